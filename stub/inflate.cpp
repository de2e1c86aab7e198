#include "stub/inflate.h"

#include <string.h>

#include "share/zip/deflate_tables.h"

namespace {

constexpr uint32_t kWindowMask = 0x7FFF;
constexpr uint32_t kMaxLengthSymbols = 286;
constexpr uint32_t kMaxDistanceSymbols = 30;

// Every failure goes through here: the first one is kept, and everything after it
// sees a failed state and stops.
bool Fail(InflateState& s, InflateStatus why) {
    if (s.status == kInflateOk) s.status = why;
    return false;
}

bool Failed(const InflateState& s) { return s.status != kInflateOk; }

// The next input byte, or -1 once the input has ended or failed.
int NextByte(InflateState& s) {
    if (s.inPos == s.inEnd) {
        if (Failed(s)) return -1;
        int32_t n = s.input.Read(s.input.ctx, s.in, sizeof s.in);
        if (n == 0) return Fail(s, kInflateTruncated), -1;
        if (n < 0 || uint32_t(n) > sizeof s.in) return Fail(s, kInflateReadFailed), -1;
        s.inPos = 0;
        s.inEnd = uint32_t(n);
    }
    return s.in[s.inPos++];
}

// The next n bits (at most 16), the first one lowest. Zeros once the input has failed;
// callers look at the state after each symbol.
uint32_t Bits(InflateState& s, uint32_t n) {
    while (s.bitCount < n) {
        int b = NextByte(s);
        if (b < 0) return 0;
        s.bits |= uint32_t(b) << s.bitCount;
        s.bitCount += 8;
    }
    uint32_t v = s.bits & ((1u << n) - 1);
    s.bits >>= n;
    s.bitCount -= n;
    return v;
}

bool Flush(InflateState& s) {
    uint32_t n = s.total - s.flushed;
    uint8_t* from = s.window + (s.flushed & kWindowMask);
    s.flushed = s.total;
    if (n > 0 && !s.output.Write(s.output.ctx, from, n)) return Fail(s, kInflateWriteFailed);
    return true;
}

bool Put(InflateState& s, uint8_t b) {
    if (s.total == s.limit) return Fail(s, kInflateTooLong);
    s.window[s.total & kWindowMask] = b;
    s.total++;
    return (s.total & kWindowMask) != 0 || Flush(s);
}

// Builds a canonical code from the lengths of n symbols (0: symbol not coded). Returns
// the number of codes of length 15 left unused (0 for a complete code), or -1 when the
// lengths ask for more codes than exist.
int32_t BuildCode(HuffmanCode& h, const uint8_t* length, uint32_t n) {
    memset(h.count, 0, sizeof h.count);
    for (uint32_t i = 0; i < n; i++) h.count[length[i]]++;
    int32_t left = 1;
    for (uint32_t len = 1; len <= 15; len++) {
        left = left * 2 - h.count[len];
        if (left < 0) return -1;
    }
    uint16_t next[16];
    next[1] = 0;
    for (uint32_t len = 1; len < 15; len++) next[len + 1] = uint16_t(next[len] + h.count[len]);
    for (uint32_t i = 0; i < n; i++)
        if (length[i] != 0) h.symbol[next[length[i]]++] = uint16_t(i);
    return left;
}

// An incomplete code is accepted only where encoders legitimately make one: a single
// symbol coded in one bit, or (for distances) no symbol at all. A code that is not in
// the table is then refused when it is met.
bool AcceptableCode(const HuffmanCode& h, int32_t left, uint32_t n, bool mayBeEmpty) {
    if (left == 0) return true;
    if (left < 0) return false;
    uint32_t coded = n - h.count[0];
    return (coded == 1 && h.count[1] == 1) || (coded == 0 && mayBeEmpty);
}

// One symbol, read code bit by code bit; -1 for a code the table lacks.
int32_t Decode(InflateState& s, const HuffmanCode& h) {
    int32_t code = 0, first = 0, index = 0;
    for (uint32_t len = 1; len <= 15; len++) {
        code |= int32_t(Bits(s, 1));
        int32_t count = h.count[len];
        if (code - first < count) return h.symbol[index + code - first];
        index += count;
        first = (first + count) * 2;
        code *= 2;
    }
    return Fail(s, kInflateBadData), -1;
}

bool StoredBlock(InflateState& s) {
    s.bits = 0;  // the rest of the current byte
    s.bitCount = 0;
    uint32_t head[4];
    for (uint32_t& b : head) b = uint32_t(NextByte(s));
    if (Failed(s)) return false;
    uint32_t len = head[0] | head[1] << 8, nlen = head[2] | head[3] << 8;
    if (len != (~nlen & 0xFFFF)) return Fail(s, kInflateBadData);
    while (len-- > 0) {
        int b = NextByte(s);
        if (b < 0 || !Put(s, uint8_t(b))) return false;
    }
    return true;
}

// The symbols of one block, up to its end code.
bool CodedBlock(InflateState& s) {
    for (;;) {
        int32_t sym = Decode(s, s.lengths);
        if (Failed(s)) return false;
        if (sym < 256) {
            if (!Put(s, uint8_t(sym))) return false;
            continue;
        }
        if (sym == 256) return true;
        sym -= 257;
        if (sym >= 29) return Fail(s, kInflateBadData);
        uint32_t len = kLengthBase[sym] + Bits(s, kLengthExtra[sym]);
        int32_t dsym = Decode(s, s.distances);
        if (Failed(s)) return false;
        if (dsym >= 30) return Fail(s, kInflateBadData);
        uint32_t dist = kDistBase[dsym] + Bits(s, kDistExtra[dsym]);
        if (Failed(s)) return false;
        if (dist > s.total) return Fail(s, kInflateBadData);  // before the start of the output
        while (len-- > 0)
            if (!Put(s, s.window[(s.total - dist) & kWindowMask])) return false;
    }
}

bool FixedBlock(InflateState& s) {
    uint8_t length[288];
    uint32_t i = 0;
    for (; i < 144; i++) length[i] = 8;
    for (; i < 256; i++) length[i] = 9;
    for (; i < 280; i++) length[i] = 7;
    for (; i < 288; i++) length[i] = 8;
    BuildCode(s.lengths, length, 288);
    // Distance codes 30 and 31 exist in the fixed code but mean nothing; leaving them
    // out of the table makes them bad data.
    for (i = 0; i < 30; i++) length[i] = 5;
    BuildCode(s.distances, length, 30);
    return CodedBlock(s);
}

bool DynamicBlock(InflateState& s) {
    uint32_t nlen = Bits(s, 5) + 257, ndist = Bits(s, 5) + 1, ncode = Bits(s, 4) + 4;
    if (Failed(s)) return false;
    if (nlen > kMaxLengthSymbols || ndist > kMaxDistanceSymbols) return Fail(s, kInflateBadData);

    uint8_t length[kMaxLengthSymbols + kMaxDistanceSymbols];
    memset(length, 0, 19);
    for (uint32_t i = 0; i < ncode; i++) length[kCodeLenOrder[i]] = uint8_t(Bits(s, 3));
    if (Failed(s)) return false;
    // The code-length code must be complete.
    if (BuildCode(s.lengths, length, 19) != 0) return Fail(s, kInflateBadData);

    for (uint32_t i = 0; i < nlen + ndist;) {
        int32_t sym = Decode(s, s.lengths);
        if (Failed(s)) return false;
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

    if (!AcceptableCode(s.lengths, BuildCode(s.lengths, length, nlen), nlen, false) ||
        !AcceptableCode(s.distances, BuildCode(s.distances, length + nlen, ndist), ndist, true))
        return Fail(s, kInflateBadData);
    return CodedBlock(s);
}

}  // namespace

InflateStatus Inflate(InflateState& s, const InflateInput& in, const InflateOutput& out, uint32_t limit,
                      uint32_t* produced) {
    s.total = s.flushed = 0;
    s.limit = limit;
    s.inPos = s.inEnd = 0;
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
