#include "stub/inflate.h"

#include <string.h>

#include "share/zip/deflate_tables.h"

namespace {

constexpr uint32_t kWindowSize = 32768, kWindowMask = kWindowSize - 1;
constexpr uint32_t kMaxLengthSymbols = 286;
constexpr uint32_t kMaxDistanceSymbols = 30;
constexpr uint32_t kCodeLengthRoot = 7;  // the code-length code has codes of at most 7 bits

// What a table entry means: a literal (or a code length); a length or a distance, with
// op - kBase extra bits; the end of the block; a code that means nothing; or, with
// kLink, a second-level table of op & 15 bits that starts value entries into the table.
constexpr uint8_t kLiteral = 0, kBase = 0x10, kEndOfBlock = 0x20, kInvalid = 0x40, kLink = 0x80;

constexpr InflateEntry Entry(uint32_t value, uint32_t bits, uint32_t op) {
    return value << 16 | op << 8 | bits;
}
uint32_t CodeBits(InflateEntry e) { return e & 0xFF; }
uint32_t Op(InflateEntry e) { return e >> 8 & 0xFF; }
uint32_t Value(InflateEntry e) { return e >> 16; }

uint32_t Min(uint32_t a, uint32_t b) { return a < b ? a : b; }

// The copies of a match sit in the hottest loop; built for size, the compiler would
// call them.
#define GOBU_ALWAYS_INLINE inline __attribute__((always_inline))

// Every failure goes through here: the first one is kept, and everything after it
// sees a failed state and stops.
bool Fail(InflateState& s, InflateStatus why) {
    if (s.status == kInflateOk) s.status = why;
    return false;
}

bool Failed(const InflateState& s) { return s.status != kInflateOk; }

// More input into s.in, after the bytes not yet taken, which move to its start; false
// once the input has ended or failed, which inputEnd keeps until a decode needs the
// bits that are missing.
bool ReadMore(InflateState& s) {
    if (s.inputEnd != kInflateOk) return false;
    uint32_t kept = s.inEnd - s.inPos;
    for (uint32_t i = 0; i < kept; i++) s.in[i] = s.in[s.inPos + i];
    s.inPos = 0;
    s.inEnd = kept;
    int32_t n = s.input.Read(s.input.ctx, s.in + kept, sizeof s.in - kept);
    if (n <= 0 || uint32_t(n) > sizeof s.in - kept) {
        s.inputEnd = n == 0 ? kInflateTruncated : kInflateReadFailed;
        return false;
    }
    s.inEnd += uint32_t(n);
    return true;
}

// Tops the bit buffer up to at least 24 bits (and at most 31), or to what the input
// still holds. The bits above bitCount stay zero.
void Fill(InflateState& s) {
    while (s.bitCount < 24) {
        if (s.inPos == s.inEnd && !ReadMore(s)) return;
        s.bits |= uint32_t(s.in[s.inPos++]) << s.bitCount;
        s.bitCount += 8;
    }
}

// The next n bits (at most 16), the first one lowest; 0 when the input ends first,
// which fails the state.
uint32_t Bits(InflateState& s, uint32_t n) {
    if (s.bitCount < n) Fill(s);
    if (s.bitCount < n) return Fail(s, s.inputEnd), 0;
    uint32_t v = s.bits & ((1u << n) - 1);
    s.bits >>= n;
    s.bitCount -= n;
    return v;
}

// The entry of the next code, its bits taken; 0, with the state failed, when the input
// ends inside the code or the code means nothing.
InflateEntry Decode(InflateState& s, const InflateEntry* table, uint32_t root) {
    if (s.bitCount < 15) Fill(s);  // the bits past the end of the input read as zeros
    InflateEntry e = table[s.bits & ((1u << root) - 1)];
    if (Op(e) & kLink) e = table[Value(e) + ((s.bits >> root) & ((1u << (Op(e) & 15)) - 1))];
    if (CodeBits(e) > s.bitCount) return Fail(s, s.inputEnd), 0;
    if (Op(e) == kInvalid) return Fail(s, kInflateBadData), 0;
    s.bits >>= CodeBits(e);
    s.bitCount -= CodeBits(e);
    return e;
}

bool Flush(InflateState& s) {
    uint32_t n = s.total - s.flushed;
    uint8_t* from = s.window + (s.flushed & kWindowMask);
    s.flushed = s.total;
    if (n > 0 && !s.output.Write(s.output.ctx, from, n)) return Fail(s, kInflateWriteFailed);
    return true;
}

// How many bytes may follow in one stretch: up to the end of the window and no further
// than the limit; 0, with the state failed, at the limit.
uint32_t Room(InflateState& s) {
    uint32_t room = Min(kWindowSize - (s.total & kWindowMask), s.limit - s.total);
    if (room == 0) Fail(s, kInflateTooLong);
    return room;
}

// Counts n bytes placed at the end of the window, which goes to the output once full.
bool Advance(InflateState& s, uint32_t n) {
    s.total += n;
    return (s.total & kWindowMask) != 0 || Flush(s);
}

bool Put(InflateState& s, uint8_t b) {
    if (s.total == s.limit) return Fail(s, kInflateTooLong);
    s.window[s.total & kWindowMask] = b;
    return Advance(s, 1);
}

// Copies n bytes forward to d from f, dist bytes before it in the output: eight at a
// time unless the copy reads bytes it has itself just written (a distance under eight),
// which one by one repeat as they should.
GOBU_ALWAYS_INLINE void CopyForward(uint8_t* d, const uint8_t* f, uint32_t n, uint32_t dist) {
    uint32_t i = 0;
    if (dist >= 8) {
        for (; i + 8 <= n; i += 8) {
            uint64_t v;
            __builtin_memcpy(&v, f + i, 8);
            __builtin_memcpy(d + i, &v, 8);
        }
    }
    for (; i < n; i++) d[i] = f[i];
}

// Copies len bytes from dist bytes back to position to of the window, which len does
// not take past the window's end; the bytes copied may start near the end and wrap.
GOBU_ALWAYS_INLINE void CopyMatch(uint8_t* window, uint32_t to, uint32_t dist, uint32_t len) {
    uint32_t from = (to - dist) & kWindowMask;
    uint32_t n = from + len > kWindowSize ? kWindowSize - from : len;
    CopyForward(window + to, window + from, n, dist);
    CopyForward(window + to + n, window, len - n, dist);
}

// Appends len bytes copied from dist bytes back, in stretches that end at the window's
// end or the limit.
bool Repeat(InflateState& s, uint32_t dist, uint32_t len) {
    while (len > 0) {
        uint32_t n = Min(len, Room(s));
        if (n == 0) return false;
        CopyMatch(s.window, s.total & kWindowMask, dist, n);
        len -= n;
        if (!Advance(s, n)) return false;
    }
    return true;
}

// Counts the codes of each length among n symbols (0: symbol not coded). Returns the
// number of codes of length 15 left unused (0 for a complete code), or -1 when the
// lengths ask for more codes than exist.
int32_t CountCodes(uint16_t* count, const uint8_t* length, uint32_t n) {
    memset(count, 0, 16 * sizeof *count);
    for (uint32_t i = 0; i < n; i++) count[length[i]]++;
    int32_t left = 1;
    for (uint32_t len = 1; len <= 15; len++) {
        left = left * 2 - count[len];
        if (left < 0) return -1;
    }
    return left;
}

// An incomplete code is accepted only where encoders legitimately make one: a single
// symbol coded in one bit, or (for distances) no symbol at all. A code that is not in
// the table is then refused when it is met.
bool AcceptableCode(const uint16_t* count, int32_t left, uint32_t n, bool mayBeEmpty) {
    if (left == 0) return true;
    if (left < 0) return false;
    uint32_t coded = n - count[0];
    return (coded == 1 && count[1] == 1) || (coded == 0 && mayBeEmpty);
}

enum CodeKind { kCodeLengths, kLiterals, kDistances };

InflateEntry Meaning(CodeKind kind, uint32_t sym, uint32_t len) {
    if (kind == kDistances) return Entry(kDistBase[sym], len, kBase + kDistExtra[sym]);
    if (kind == kCodeLengths || sym < 256) return Entry(sym, len, kLiteral);
    if (sym == 256) return Entry(0, len, kEndOfBlock);
    sym -= 257;
    return sym < 29 ? Entry(kLengthBase[sym], len, kBase + kLengthExtra[sym])
                    : Entry(0, len, kInvalid);  // 286, 287
}

// The len bits of code in reverse order.
uint32_t Reversed(uint32_t code, uint32_t len) {
    code = (code & 0x5555) << 1 | (code >> 1 & 0x5555);
    code = (code & 0x3333) << 2 | (code >> 2 & 0x3333);
    code = (code & 0x0F0F) << 4 | (code >> 4 & 0x0F0F);
    code = (code & 0x00FF) << 8 | (code >> 8 & 0x00FF);
    return code >> (16 - len);
}

// Fills the decoding table of an accepted canonical code (complete unless its left
// codes are unused). Codes are sent first bit highest, so an entry sits at the reverse
// of its code; the entry of a code shorter than the table's bits is repeated under
// each value of the bits that follow it.
void FillTable(InflateEntry* table, uint32_t root, const uint16_t* count, int32_t left, const uint8_t* length,
               uint32_t n, CodeKind kind) {
    uint16_t next[16], sorted[288], remaining[16];
    next[1] = 0;
    for (uint32_t len = 1; len < 15; len++) next[len + 1] = uint16_t(next[len] + count[len]);
    for (uint32_t i = 0; i < n; i++)
        if (length[i] != 0) sorted[next[length[i]]++] = uint16_t(i);
    memcpy(remaining, count, sizeof remaining);

    const uint32_t rootSize = 1u << root;
    if (left != 0)
        for (uint32_t i = 0; i < rootSize; i++) table[i] = Entry(0, 0, kInvalid);
    InflateEntry* sub = table;
    uint32_t used = rootSize, subBits = 0, prefix = rootSize, code = 0, k = 0;
    for (uint32_t len = 1; len <= 15; len++, code <<= 1) {
        for (uint32_t c = 0; c < count[len]; c++, code++, remaining[len]--) {
            InflateEntry e = Meaning(kind, sorted[k++], len);
            uint32_t at = Reversed(code, len);
            if (len <= root) {
                for (uint32_t i = at; i < rootSize; i += 1u << len) table[i] = e;
                continue;
            }
            if ((at & (rootSize - 1)) != prefix) {
                // A new second-level table, as deep as the longest code that starts with
                // these bits: the codes that remain fill it in order.
                prefix = at & (rootSize - 1);
                subBits = len - root;
                for (int32_t open = 1 << subBits; root + subBits < 15; subBits++, open *= 2) {
                    open -= remaining[root + subBits];
                    if (open <= 0) break;
                }
                table[prefix] = Entry(used, root, kLink | subBits);
                sub = table + used;
                used += 1u << subBits;
            }
            for (uint32_t i = at >> root; i < (1u << subBits); i += 1u << (len - root)) sub[i] = e;
        }
    }
}

bool StoredBlock(InflateState& s) {
    Bits(s, s.bitCount & 7);  // the rest of the current byte
    uint32_t len = Bits(s, 16), nlen = Bits(s, 16);
    if (Failed(s)) return false;
    if (len != (~nlen & 0xFFFF)) return Fail(s, kInflateBadData);
    // The first bytes may already sit in the bit buffer; the rest come straight from
    // the input.
    for (; len > 0 && s.bitCount > 0; len--) {
        uint8_t b = uint8_t(s.bits);
        s.bits >>= 8;
        s.bitCount -= 8;
        if (!Put(s, b)) return false;
    }
    while (len > 0) {
        if (s.inPos == s.inEnd && !ReadMore(s)) return Fail(s, s.inputEnd);
        uint32_t n = Min(Min(len, s.inEnd - s.inPos), Room(s));
        if (n == 0) return false;
        memcpy(s.window + (s.total & kWindowMask), s.in + s.inPos, n);
        s.inPos += n;
        len -= n;
        if (!Advance(s, n)) return false;
    }
    return true;
}

enum Progress { kMoreSymbols, kBlockEnd, kStopped };

// Decodes symbols without checking each bit and byte, for as long as the input holds 16
// bytes more (a symbol takes at most 48 bits, and the bit buffer is topped up with 4
// bytes at a time) and the window and the limit have room. A match that would run past
// the room goes the careful way, as does the next symbol (kMoreSymbols) once the input
// runs short.
Progress QuickSymbols(InflateState& s) {
    if (s.inEnd - s.inPos < 16) ReadMore(s);
    const InflateEntry* const lengths = s.lengths;
    const InflateEntry* const distances = s.distances;
    uint8_t* const window = s.window;
    const uint32_t windowStart = s.total - (s.total & kWindowMask);  // of the output, where window[0] is
    const uint32_t room = Min(kWindowSize - (s.total & kWindowMask), s.limit - s.total);
    if (room == 0 || s.inEnd - s.inPos < 16) return kMoreSymbols;
    const uint8_t* in = s.in + s.inPos;
    const uint8_t* const inLast = s.in + s.inEnd - 16;
    uint8_t* out = window + (s.total & kWindowMask);
    uint8_t* const outEnd = out + room;
    uint32_t bits = s.bits, count = s.bitCount;
    uint32_t pendingLen = 0, pendingDist = 0;  // a match left to the careful way
    Progress progress = kMoreSymbols;
    // At least 24 bits after each top-up: the bytes that fit whole are taken, and the
    // bits above count hold the start of the next byte, which the next top-up ORs in
    // again unchanged.
#define GOBU_FILL_BITS()                                                                                 \
    do {                                                                                                 \
        bits |= (uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24) \
                << count;                                                                                \
        in += (31 - count) >> 3;                                                                         \
        count |= 24;                                                                                     \
    } while (0)
    while (in <= inLast && out < outEnd) {
        GOBU_FILL_BITS();
        InflateEntry e = lengths[bits & ((1u << kLiteralRoot) - 1)];
        if (Op(e) & kLink) e = lengths[Value(e) + ((bits >> kLiteralRoot) & ((1u << (Op(e) & 15)) - 1))];
        bits >>= CodeBits(e);
        count -= CodeBits(e);
        if (Op(e) == kLiteral) {
            *out++ = uint8_t(Value(e));
            continue;
        }
        if (Op(e) == kEndOfBlock || Op(e) == kInvalid) {
            progress = Op(e) == kEndOfBlock ? kBlockEnd : kStopped;
            break;
        }
        uint32_t extra = Op(e) - kBase;
        uint32_t len = Value(e) + (bits & ((1u << extra) - 1));
        bits >>= extra;
        count -= extra;
        GOBU_FILL_BITS();
        e = distances[bits & ((1u << kDistanceRoot) - 1)];
        if (Op(e) & kLink) e = distances[Value(e) + ((bits >> kDistanceRoot) & ((1u << (Op(e) & 15)) - 1))];
        bits >>= CodeBits(e);
        count -= CodeBits(e);
        if (Op(e) == kInvalid) {
            progress = kStopped;
            break;
        }
        extra = Op(e) - kBase;
        if (count < extra) GOBU_FILL_BITS();
        uint32_t dist = Value(e) + (bits & ((1u << extra) - 1));
        bits >>= extra;
        count -= extra;
        uint32_t at = uint32_t(out - window);
        if (dist > windowStart + at) {  // before the start of the output
            progress = kStopped;
            break;
        }
        if (len > uint32_t(outEnd - out)) {
            pendingLen = len;
            pendingDist = dist;
            break;
        }
        CopyMatch(window, at, dist, len);
        out += len;
    }
#undef GOBU_FILL_BITS
    s.bits = bits & ((1u << count) - 1);  // bits above count zero again, as Fill wants
    s.bitCount = count;
    s.inPos = uint32_t(in - s.in);
    s.total = windowStart + uint32_t(out - window);
    if (progress == kStopped) return Fail(s, kInflateBadData), kStopped;
    if (pendingLen > 0) return Repeat(s, pendingDist, pendingLen) ? kMoreSymbols : kStopped;
    if (s.total - s.flushed == kWindowSize && !Flush(s)) return kStopped;
    return progress;
}

// The symbols of one block, up to its end code: quickly while the input and the window
// allow, otherwise one by one with every bit and byte checked.
bool CodedBlock(InflateState& s) {
    for (;;) {
        Progress p = QuickSymbols(s);
        if (p != kMoreSymbols) return p == kBlockEnd;
        InflateEntry e = Decode(s, s.lengths, kLiteralRoot);
        if (e == 0) return false;
        if (Op(e) == kLiteral) {
            if (!Put(s, uint8_t(Value(e)))) return false;
            continue;
        }
        if (Op(e) == kEndOfBlock) return true;
        uint32_t len = Value(e) + Bits(s, Op(e) - kBase);
        e = Decode(s, s.distances, kDistanceRoot);
        if (e == 0) return false;
        uint32_t dist = Value(e) + Bits(s, Op(e) - kBase);
        if (Failed(s)) return false;
        if (dist > s.total) return Fail(s, kInflateBadData);  // before the start of the output
        if (!Repeat(s, dist, len)) return false;
    }
}

bool FixedBlock(InflateState& s) {
    uint8_t length[288];
    uint16_t count[16];
    uint32_t i = 0;
    for (; i < 144; i++) length[i] = 8;
    for (; i < 256; i++) length[i] = 9;
    for (; i < 280; i++) length[i] = 7;
    for (; i < 288; i++) length[i] = 8;
    FillTable(s.lengths, kLiteralRoot, count, CountCodes(count, length, 288), length, 288, kLiterals);
    // Distance codes 30 and 31 exist in the fixed code but mean nothing; leaving them
    // out of the table makes them bad data.
    for (i = 0; i < 30; i++) length[i] = 5;
    FillTable(s.distances, kDistanceRoot, count, CountCodes(count, length, 30), length, 30, kDistances);
    return CodedBlock(s);
}

bool DynamicBlock(InflateState& s) {
    uint32_t nlen = Bits(s, 5) + 257, ndist = Bits(s, 5) + 1, ncode = Bits(s, 4) + 4;
    if (Failed(s)) return false;
    if (nlen > kMaxLengthSymbols || ndist > kMaxDistanceSymbols) return Fail(s, kInflateBadData);

    uint8_t length[kMaxLengthSymbols + kMaxDistanceSymbols];
    uint16_t count[16];
    memset(length, 0, sizeof length);
    for (uint32_t i = 0; i < ncode; i++) length[kCodeLenOrder[i]] = uint8_t(Bits(s, 3));
    if (Failed(s)) return false;
    // The code-length code must be complete.
    if (CountCodes(count, length, kCodeLenCodes) != 0) return Fail(s, kInflateBadData);
    FillTable(s.lengths, kCodeLengthRoot, count, 0, length, kCodeLenCodes, kCodeLengths);

    for (uint32_t i = 0; i < nlen + ndist;) {
        InflateEntry e = Decode(s, s.lengths, kCodeLengthRoot);
        if (e == 0) return false;
        uint32_t sym = Value(e);
        if (sym < 16) {
            length[i++] = uint8_t(sym);
            continue;
        }
        uint8_t repeated = 0;
        uint32_t times;
        if (sym == 16) {
            if (i == 0) return Fail(s, kInflateBadData);  // nothing to repeat
            repeated = length[i - 1];
            times = 3 + Bits(s, 2);
        } else if (sym == 17) {
            times = 3 + Bits(s, 3);
        } else {
            times = 11 + Bits(s, 7);
        }
        if (Failed(s)) return false;
        if (i + times > nlen + ndist) return Fail(s, kInflateBadData);
        while (times-- > 0) length[i++] = repeated;
    }
    if (length[256] == 0) return Fail(s, kInflateBadData);  // no end-of-block code

    int32_t left = CountCodes(count, length, nlen);
    if (!AcceptableCode(count, left, nlen, false)) return Fail(s, kInflateBadData);
    FillTable(s.lengths, kLiteralRoot, count, left, length, nlen, kLiterals);
    left = CountCodes(count, length + nlen, ndist);
    if (!AcceptableCode(count, left, ndist, true)) return Fail(s, kInflateBadData);
    FillTable(s.distances, kDistanceRoot, count, left, length + nlen, ndist, kDistances);
    return CodedBlock(s);
}

}  // namespace

InflateStatus Inflate(InflateState& s, const InflateInput& in, const InflateOutput& out, uint32_t limit,
                      uint32_t* produced) {
    s.total = s.flushed = 0;
    s.limit = limit;
    s.inPos = s.inEnd = 0;
    s.inputEnd = kInflateOk;
    s.bits = s.bitCount = 0;
    s.status = kInflateOk;
    s.input = in;
    s.output = out;
    bool last;
    do {
        last = Bits(s, 1) != 0;
        uint32_t type = Bits(s, 2);
        if (Failed(s)) break;
        if (type == 0)
            StoredBlock(s);
        else if (type == 1)
            FixedBlock(s);
        else if (type == 2)
            DynamicBlock(s);
        else
            Fail(s, kInflateBadData);
    } while (!last && !Failed(s));
    if (!Failed(s)) Flush(s);
    *produced = s.total;
    return s.status;
}
