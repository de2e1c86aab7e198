#include "tests/zip/ziptest.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

ScratchDir::ScratchDir() {
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/gobuzip-test-XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = buf.data();
}

ScratchDir::~ScratchDir() {
    // Tests may leave read-only files behind; rm -rf copes with those.
    std::string cmd = "rm -rf " + ShellQuote(path_);
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", path_.c_str());
}

void WriteFile(const std::string& path, const Bytes& data) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}

void WriteFile(const std::string& path, const std::string& text) {
    WriteFile(path, Bytes(text.begin(), text.end()));
}

Bytes ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) throw std::runtime_error("cannot read " + path);
    return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

Bytes RandomBytes(std::mt19937& rng, size_t n) {
    Bytes out(n);
    for (auto& b : out) b = uint8_t(rng());
    return out;
}

Bytes TextData(std::mt19937& rng, size_t n) {
    static const char* const words[] = {"the", "gobu",    "picture", "window", "archive", "of",
                                        "a",   "deflate", "and",     "share",  "desktop", "file",
                                        "to",  "is",      "with",    "slide"};
    std::string s;
    while (s.size() < n) {
        s += words[rng() % 16];
        s += (rng() % 12 == 0) ? ".\r\n" : " ";
    }
    s.resize(n);
    return Bytes(s.begin(), s.end());
}

Bytes MixedData(std::mt19937& rng, size_t n) {
    Bytes out;
    out.reserve(n);
    while (out.size() < n) {
        size_t left = n - out.size();
        size_t len = std::min<size_t>(left, 1 + rng() % 5000);
        switch (rng() % 6) {
        case 0:  // random bytes
            for (size_t i = 0; i < len; i++) out.push_back(uint8_t(rng()));
            break;
        case 1: {  // a run, sometimes far longer than the longest match
            uint8_t v = uint8_t(rng());
            len = std::min<size_t>(left, 1 + rng() % 70000);
            out.insert(out.end(), len, v);
            break;
        }
        case 2:  // a copy of an earlier stretch, near or up to the window's reach
            if (!out.empty()) {
                size_t dist = 1 + rng() % std::min<size_t>(out.size(), 40000);
                for (size_t i = 0; i < len; i++) out.push_back(out[out.size() - dist]);
                break;
            }
            [[fallthrough]];
        case 3:  // every byte value in turn
            for (size_t i = 0; i < len; i++) out.push_back(uint8_t(i));
            break;
        case 4: {  // words
            Bytes t = TextData(rng, len);
            out.insert(out.end(), t.begin(), t.end());
            break;
        }
        default:  // few distinct values, short matches everywhere
            for (size_t i = 0; i < len; i++) out.push_back(uint8_t(rng() % 3));
            break;
        }
    }
    out.resize(n);
    return out;
}

Inflated ZlibInflate(const uint8_t* data, size_t len) {
    Inflated r;
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return r;
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = uInt(len);
    uint8_t buf[65536];
    int status;
    do {
        z.next_out = buf;
        z.avail_out = sizeof buf;
        status = inflate(&z, Z_NO_FLUSH);
        r.data.insert(r.data.end(), buf, buf + (sizeof buf - z.avail_out));
    } while (status == Z_OK);
    r.ok = status == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    return r;
}

Inflated ZlibInflate(const Bytes& data) { return ZlibInflate(data.data(), data.size()); }

namespace {

struct Cursor {
    const Bytes& file;
    uint64_t pos;

    void Need(uint64_t n) const {
        if (pos + n > file.size()) throw std::runtime_error("archive truncated");
    }
    uint16_t U16() {
        Need(2);
        uint16_t v = uint16_t(file[pos] | file[pos + 1] << 8);
        pos += 2;
        return v;
    }
    uint32_t U32() {
        uint32_t lo = U16();
        return lo | uint32_t(U16()) << 16;
    }
    std::string Text(size_t n) {
        Need(n);
        std::string s(file.begin() + long(pos), file.begin() + long(pos + n));
        pos += n;
        return s;
    }
};

}  // namespace

ReadArchive ParseArchive(const Bytes& file) {
    ReadArchive a{};
    a.fileSize = file.size();
    if (file.size() < 22) throw std::runtime_error("no end record");
    // The writer puts no comment after the end record, so it must be the last 22 bytes.
    a.endOffset = file.size() - 22;
    Cursor c{file, a.endOffset};
    if (c.U32() != 0x06054B50u) throw std::runtime_error("end record signature missing");
    a.thisDisk = c.U16();
    a.centralDisk = c.U16();
    a.entriesThisDisk = c.U16();
    a.totalEntries = c.U16();
    a.centralSize = c.U32();
    a.centralOffset = c.U32();
    a.commentLength = c.U16();

    Cursor d{file, a.centralOffset};
    for (unsigned i = 0; i < a.totalEntries; i++) {
        ReadEntry e{};
        if (d.U32() != 0x02014B50u) throw std::runtime_error("central header signature missing");
        e.madeBy = d.U16();
        e.needed = d.U16();
        e.flags = d.U16();
        e.method = d.U16();
        e.time = d.U16();
        e.date = d.U16();
        e.crc = d.U32();
        e.compressedSize = d.U32();
        e.size = d.U32();
        e.nameLength = d.U16();
        e.extraLength = d.U16();
        e.commentLength = d.U16();
        e.diskStart = d.U16();
        e.internalAttr = d.U16();
        e.externalAttr = d.U32();
        e.localOffset = d.U32();
        e.name = d.Text(e.nameLength);
        d.pos += e.extraLength + e.commentLength;

        Cursor l{file, e.localOffset};
        if (l.U32() != 0x04034B50u) throw std::runtime_error("local header signature missing");
        e.localNeeded = l.U16();
        e.localFlags = l.U16();
        e.localMethod = l.U16();
        e.localTime = l.U16();
        e.localDate = l.U16();
        e.localCrc = l.U32();
        e.localCompressedSize = l.U32();
        e.localSize = l.U32();
        e.localNameLength = l.U16();
        e.localExtraLength = l.U16();
        e.localName = l.Text(e.localNameLength);
        l.pos += e.localExtraLength;
        l.Need(e.compressedSize);
        e.data.assign(file.begin() + long(l.pos), file.begin() + long(l.pos + e.compressedSize));
        a.entries.push_back(std::move(e));
    }
    if (d.pos != a.centralOffset + a.centralSize || d.pos != a.endOffset)
        throw std::runtime_error("central directory size does not match");
    return a;
}

Inflated ExtractEntry(const ReadEntry& e) {
    if (e.method == 0) {
        Inflated r;
        r.ok = true;
        r.data = e.data;
        return r;
    }
    if (e.method == 8) return ZlibInflate(e.data);
    return Inflated();
}

CommandResult RunCommand(const std::string& command) {
    CommandResult r{-1, ""};
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (p == nullptr) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
    int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}
