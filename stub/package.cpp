#include "stub/package.h"

#include <string.h>

#include "share/zip/sfxformat.h"
#include "share/zip/zipformat.h"
#include "stub/crc.h"

namespace {

// The end record with the longest comment starts this far before the end of the file.
constexpr uint32_t kEndSearch = 65558;
// Flag bits: 0x0001 encrypted, 0x0040 strongly encrypted, 0x0008 sizes and CRC in a
// data descriptor behind the data (the central header has them).
constexpr uint16_t kEncrypted = 0x0041;
constexpr uint16_t kDescriptor = 0x0008;

uint32_t Get16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Get32(const uint8_t* p) { return Get16(p) | Get16(p + 2) << 16; }

// Reads a string of the configuration block into a terminated buffer of 256 bytes.
bool ReadString(const PackageFile& f, uint32_t offset, uint32_t len, char* out) {
    out[len] = '\0';
    return len == 0 || f.ReadAt(f.ctx, offset, out, len);
}

PackageStatus ReadConfig(const PackageFile& f, Package& p) {
    if (f.size < StubSize) return kPackageBadSize;
    p.archiveStart = StubSize;
    p.hasConfig = false;
    memset(&p.config, 0, sizeof p.config);
    uint8_t head[kSfxHeadSize];
    if (f.size - StubSize < 3 || !f.ReadAt(f.ctx, StubSize, head, 3) || memcmp(head, "SFX", 3) != 0)
        return kPackageOk;  // no block: the stub's defaults, the archive right behind it
    if (!f.ReadAt(f.ctx, StubSize, head, kSfxHeadSize)) return kPackageBadSize;
    uint32_t caption = head[4], path = head[5], cmdLine = head[6], infoText = Get16(head + 7),
             infoTitle = head[9];
    uint32_t size = kSfxHeadSize + caption + path + cmdLine + infoText + infoTitle + kSfxTailSize;
    if (f.size - StubSize < size) return kPackageBadSize;
    uint32_t at = StubSize + kSfxHeadSize;
    uint8_t tail[kSfxTailSize];
    if (!ReadString(f, at, caption, p.config.caption) ||
        !ReadString(f, at + caption, path, p.config.defaultPath) ||
        !ReadString(f, at + caption + path, cmdLine, p.config.cmdLine) ||
        !f.ReadAt(f.ctx, StubSize + size - kSfxTailSize, tail, kSfxTailSize))
        return kPackageBadSize;
    // The closing size word must agree with the lengths, or the block is damaged.
    if (Get16(tail) != size) return kPackageBadArchive;
    p.config.flags = head[3];
    p.hasConfig = true;
    p.archiveStart = StubSize + size;
    return kPackageOk;
}

// The end record is the last "PK\5\6" whose comment reaches exactly the end of the file.
PackageStatus FindEnd(const PackageFile& f, Package& p) {
    uint32_t span = f.size - p.archiveStart;
    if (span > kEndSearch) span = kEndSearch;
    if (span < kEndSize) return kPackageBadSize;
    uint8_t* tail = static_cast<uint8_t*>(f.Alloc(span));
    if (tail == nullptr) return kPackageBadArchive;
    uint32_t base = f.size - span;
    PackageStatus status = kPackageBadSize;
    if (f.ReadAt(f.ctx, base, tail, span)) {
        for (uint32_t i = span - kEndSize + 1; i-- > 0;) {
            const uint8_t* e = tail + i;
            if (Get32(e) != kEndSignature || i + kEndSize + Get16(e + 20) != span) continue;
            uint32_t at = base + i;
            uint32_t entries = Get16(e + 10);
            p.centralSize = Get32(e + 12);
            p.centralOffset = Get32(e + 16);
            p.entryCount = entries;
            // One disk only; the directory lies in the archive, before the end record.
            bool sound = Get16(e + 4) == 0 && Get16(e + 6) == 0 && Get16(e + 8) == entries &&
                         p.centralOffset >= p.archiveStart && p.centralOffset <= at &&
                         p.centralSize <= at - p.centralOffset;
            status = sound ? kPackageOk : kPackageBadArchive;
            break;
        }
    }
    f.Free(tail);
    return status;
}

bool ParseCentral(const uint8_t* cd, uint32_t cdSize, uint32_t pos, PackageEntry& e) {
    if (pos > cdSize || cdSize - pos < kCentralHeaderSize) return false;
    const uint8_t* h = cd + pos;
    if (Get32(h) != kCentralSignature) return false;
    uint32_t name = Get16(h + 28), extra = Get16(h + 30), comment = Get16(h + 32);
    if (cdSize - pos - kCentralHeaderSize < name + extra + comment) return false;
    e.flags = uint16_t(Get16(h + 8));
    e.method = uint16_t(Get16(h + 10));
    e.time = uint16_t(Get16(h + 12));
    e.date = uint16_t(Get16(h + 14));
    e.crc = Get32(h + 16);
    e.compressedSize = Get32(h + 20);
    e.size = Get32(h + 24);
    e.localOffset = Get32(h + 42);
    e.name = reinterpret_cast<const char*>(h + kCentralHeaderSize);
    e.nameLength = name;
    e.next = pos + kCentralHeaderSize + name + extra + comment;
    return true;
}

// Checks the entry's local header against its central header and finds its data,
// which must end before the central directory.
bool LocateData(const PackageFile& f, const Package& p, const PackageEntry& e, uint32_t& data) {
    uint8_t h[kLocalHeaderSize];
    if (e.localOffset < p.archiveStart || e.localOffset > p.centralOffset ||
        p.centralOffset - e.localOffset < kLocalHeaderSize || !f.ReadAt(f.ctx, e.localOffset, h, sizeof h))
        return false;
    if (Get32(h) != kLocalSignature || Get16(h + 8) != e.method || Get16(h + 26) != e.nameLength ||
        ((Get16(h + 6) ^ e.flags) & (kEncrypted | kDescriptor)) != 0)
        return false;
    if ((e.flags & kDescriptor) == 0 &&
        (Get32(h + 14) != e.crc || Get32(h + 18) != e.compressedSize || Get32(h + 22) != e.size))
        return false;
    uint64_t start = uint64_t(e.localOffset) + kLocalHeaderSize + e.nameLength + Get16(h + 28);
    if (start + e.compressedSize > p.centralOffset) return false;
    // The same name in both headers, compared a piece at a time.
    uint8_t piece[256];
    for (uint32_t done = 0; done < e.nameLength;) {
        uint32_t n = e.nameLength - done < sizeof piece ? e.nameLength - done : uint32_t(sizeof piece);
        if (!f.ReadAt(f.ctx, e.localOffset + kLocalHeaderSize + done, piece, n) ||
            memcmp(piece, e.name + done, n) != 0)
            return false;
        done += n;
    }
    data = uint32_t(start);
    return true;
}

// The stretch of the file an entry takes: its local header, name, extra field and data.
struct Span {
    uint32_t start, end;
};

PackageStatus CheckEntry(const PackageFile& f, const Package& p, const PackageEntry& e, Span& span) {
    if ((e.flags & kEncrypted) != 0 || !IsSafeEntryName(e.name, e.nameLength)) return kPackageBadArchive;
    if (e.method != 0 && e.method != 8) return kPackageUnknownMethod;
    if (e.method == 0 && e.compressedSize != e.size) return kPackageBadArchive;
    if (IsFolderEntry(e) && e.size != 0) return kPackageBadArchive;
    uint32_t data;
    if (!LocateData(f, p, e, data)) return kPackageBadArchive;
    span.start = e.localOffset;
    span.end = data + e.compressedSize;
    return kPackageOk;
}

// Heap sort by start: no C library here, and no stack depth that a stranger's entry
// count could drive.
void SiftDown(Span* s, uint32_t root, uint32_t n) {
    for (uint32_t child; (child = 2 * root + 1) < n; root = child) {
        if (child + 1 < n && s[child + 1].start > s[child].start) child++;
        if (s[root].start >= s[child].start) return;
        Span t = s[root];
        s[root] = s[child];
        s[child] = t;
    }
}

void SortByStart(Span* s, uint32_t n) {
    for (uint32_t i = n / 2; i-- > 0;) SiftDown(s, i, n);
    for (uint32_t last = n; last-- > 1;) {
        Span t = s[0];
        s[0] = s[last];
        s[last] = t;
        SiftDown(s, 0, last);
    }
}

// Overlapping entries are how a few megabytes expand into terabytes: data read twice,
// or one local header named by many entries. Every entry must end before the next
// starts (all end before the central directory, which LocateData saw to).
bool Disjoint(Span* spans, uint32_t n) {
    SortByStart(spans, n);
    for (uint32_t i = 1; i < n; i++)
        if (spans[i].start < spans[i - 1].end) return false;
    return true;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool SameLetters(const char* a, const char* b, uint32_t n) {
    for (uint32_t i = 0; i < n; i++)
        if (Upper(a[i]) != b[i]) return false;
    return true;
}

// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9 and LPT0-9 (with the superscript digits
// that Windows also takes), alone or before any extension.
bool IsDeviceName(const char* part, uint32_t n) {
    uint32_t stem = 0;
    while (stem < n && part[stem] != '.') stem++;
    while (stem > 0 && part[stem - 1] == ' ') stem--;
    if (stem == 3)
        return SameLetters(part, "CON", 3) || SameLetters(part, "PRN", 3) || SameLetters(part, "AUX", 3) ||
               SameLetters(part, "NUL", 3);
    if (stem == 4 && (SameLetters(part, "COM", 3) || SameLetters(part, "LPT", 3))) {
        uint8_t d = uint8_t(part[3]);
        return (d >= '0' && d <= '9') || d == 0xB9 || d == 0xB2 || d == 0xB3;
    }
    // The superscript digits in UTF-8.
    if (stem == 5 && (SameLetters(part, "COM", 3) || SameLetters(part, "LPT", 3)) &&
        uint8_t(part[3]) == 0xC2) {
        uint8_t d = uint8_t(part[4]);
        return d == 0xB9 || d == 0xB2 || d == 0xB3;
    }
    return (stem == 6 && SameLetters(part, "CONIN$", 6)) || (stem == 7 && SameLetters(part, "CONOUT$", 7));
}

bool IsSafePart(const char* part, uint32_t n) {
    if (n == 0 || part[n - 1] == '.' || part[n - 1] == ' ') return false;
    for (uint32_t i = 0; i < n; i++) {
        uint8_t c = uint8_t(part[i]);
        if (c < 0x20 || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
            return false;
    }
    return !IsDeviceName(part, n);
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Output that counts the CRC of what passes through.
struct CrcOutput {
    const InflateOutput* out;
    uint32_t crc;
};

bool CrcWrite(void* ctx, const uint8_t* data, uint32_t len) {
    CrcOutput* c = static_cast<CrcOutput*>(ctx);
    c->crc = StubCrc32Update(c->crc, data, len);
    return c->out->Write(c->out->ctx, data, len);
}

// Input from a stretch of the package file.
struct SpanInput {
    const PackageFile* f;
    uint32_t pos, left;
};

int32_t SpanRead(void* ctx, uint8_t* buf, uint32_t len) {
    SpanInput* s = static_cast<SpanInput*>(ctx);
    if (len > s->left) len = s->left;
    if (len > 0 && !s->f->ReadAt(s->f->ctx, s->pos, buf, len)) return -1;
    s->pos += len;
    s->left -= len;
    return int32_t(len);
}

}  // namespace

bool IsSafeEntryName(const char* name, uint32_t length) {
    if (length > 1 && IsSeparator(name[length - 1])) length--;  // a folder entry
    uint32_t start = 0;
    for (uint32_t i = 0; i <= length; i++) {
        if (i < length && !IsSeparator(name[i])) continue;
        if (!IsSafePart(name + start, i - start)) return false;
        start = i + 1;
    }
    return true;
}

bool IsFolderEntry(const PackageEntry& e) {
    return e.nameLength > 0 && IsSeparator(e.name[e.nameLength - 1]);
}

bool EntryAt(const Package& p, uint32_t pos, PackageEntry& e) {
    return ParseCentral(p.central, p.centralSize, pos, e);
}

uint64_t BytesToWrite(const Package& p, bool (*chosen)(void* ctx, uint32_t index), void* ctx) {
    uint64_t total = 0;
    PackageEntry e;
    for (uint32_t i = 0, pos = 0; i < p.entryCount && EntryAt(p, pos, e); i++, pos = e.next)
        if (chosen == nullptr || chosen(ctx, i)) total += e.size;
    return total;
}

PackageStatus OpenPackage(const PackageFile& f, Package& p) {
    p.central = nullptr;
    PackageStatus status = ReadConfig(f, p);
    if (status == kPackageOk) status = FindEnd(f, p);
    if (status != kPackageOk) return status;
    p.central = static_cast<uint8_t*>(f.Alloc(p.centralSize > 0 ? p.centralSize : 1));
    if (p.central == nullptr) return kPackageBadArchive;
    if (p.centralSize > 0 && !f.ReadAt(f.ctx, p.centralOffset, p.central, p.centralSize))
        status = kPackageBadSize;
    Span* spans = static_cast<Span*>(f.Alloc(p.entryCount > 0 ? p.entryCount * uint32_t(sizeof(Span)) : 1));
    if (spans == nullptr && status == kPackageOk) status = kPackageBadArchive;
    uint32_t pos = 0;
    PackageEntry e;
    for (uint32_t i = 0; i < p.entryCount && status == kPackageOk; i++) {
        if (!ParseCentral(p.central, p.centralSize, pos, e)) {
            status = kPackageBadArchive;
            break;
        }
        status = CheckEntry(f, p, e, spans[i]);
        pos = e.next;
    }
    // The directory holds exactly the entries the end record counts.
    if (status == kPackageOk && pos != p.centralSize) status = kPackageBadArchive;
    if (status == kPackageOk && !Disjoint(spans, p.entryCount)) status = kPackageBadArchive;
    if (spans != nullptr) f.Free(spans);
    if (status != kPackageOk) ClosePackage(f, p);
    return status;
}

void ClosePackage(const PackageFile& f, Package& p) {
    if (p.central != nullptr) f.Free(p.central);
    p.central = nullptr;
}

ExtractStatus ExtractEntry(const PackageFile& f, const Package& p, const PackageEntry& e, InflateState& work,
                           const InflateOutput& out) {
    uint32_t data;
    if (!LocateData(f, p, e, data)) return kExtractBadData;
    CrcOutput counted = {&out, 0xFFFFFFFFu};
    InflateOutput through = {&counted, CrcWrite};
    if (e.method == 0) {
        // A stored entry is copied through the decoder's window, which is idle.
        for (uint32_t done = 0; done < e.size;) {
            uint32_t n = e.size - done < sizeof work.window ? e.size - done : uint32_t(sizeof work.window);
            if (!f.ReadAt(f.ctx, data + done, work.window, n)) return kExtractReadFailed;
            if (!through.Write(through.ctx, work.window, n)) return kExtractWriteFailed;
            done += n;
        }
    } else {
        SpanInput span = {&f, data, e.compressedSize};
        InflateInput in = {&span, SpanRead};
        uint32_t produced;
        InflateStatus r = Inflate(work, in, through, e.size, &produced);
        if (r == kInflateReadFailed) return kExtractReadFailed;
        if (r == kInflateWriteFailed) return kExtractWriteFailed;
        if (r != kInflateOk || produced != e.size) return kExtractBadData;
    }
    return (counted.crc ^ 0xFFFFFFFFu) == e.crc ? kExtractOk : kExtractBadCrc;
}
