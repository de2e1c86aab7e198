// The stub's inflater against streams made by zlib (every strategy and level, stored,
// fixed and dynamic blocks, many sizes) and by our own encoder, fed in pieces of
// every size, and against malformed streams built bit by bit.
#include <gtest/gtest.h>

#include <zlib.h>

#include "share/zip/deflate.h"
#include "stub/inflate.h"
#include "tests/stub/stubtest.h"

namespace {

struct Source {
    const Bytes* data;
    size_t pos;
    size_t piece;  // the most bytes one read gives
};

int32_t ReadPiece(void* ctx, uint8_t* buf, uint32_t len) {
    Source& s = *static_cast<Source*>(ctx);
    size_t n = std::min({size_t(len), s.piece, s.data->size() - s.pos});
    std::copy(s.data->begin() + long(s.pos), s.data->begin() + long(s.pos + n), buf);
    s.pos += n;
    return int32_t(n);
}

bool Collect(void* ctx, const uint8_t* data, uint32_t len) {
    static_cast<Bytes*>(ctx)->insert(static_cast<Bytes*>(ctx)->end(), data, data + len);
    return true;
}

struct Result {
    InflateStatus status;
    Bytes out;
    uint32_t produced;
};

Result RunInflate(const Bytes& stream, uint32_t limit, size_t piece = 4096) {
    static InflateState s;
    Source src = {&stream, 0, piece};
    Result r;
    InflateInput in = {&src, ReadPiece};
    InflateOutput out = {&r.out, Collect};
    r.status = Inflate(s, in, out, limit, &r.produced);
    return r;
}

void ExpectInflatesTo(const Bytes& stream, const Bytes& data, const std::string& what) {
    Result r = RunInflate(stream, uint32_t(data.size()));
    ASSERT_EQ(r.status, kInflateOk) << what;
    EXPECT_EQ(r.produced, data.size()) << what;
    ASSERT_TRUE(r.out == data) << what;
}

// Writes a Deflate bit stream field by field, first bit lowest.
class BitWriter {
public:
    BitWriter& Put(uint32_t value, int bits) {
        for (int i = 0; i < bits; i++) {
            if (used_ == 0) bytes_.push_back(0);
            bytes_.back() |= uint8_t(((value >> i) & 1) << used_);
            used_ = (used_ + 1) % 8;
        }
        return *this;
    }
    // Huffman codes go most significant bit first.
    BitWriter& Code(uint32_t code, int bits) {
        for (int i = bits - 1; i >= 0; i--) Put((code >> i) & 1, 1);
        return *this;
    }
    BitWriter& Bytes8(const Bytes& b) {
        for (uint8_t x : b) Put(x, 8);
        return *this;
    }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
    int used_ = 0;
};

// The head of a dynamic block with nlen length and ndist distance symbols, whose
// code-length code gives two bits each to the lengths 0, 1 and 8 and to symbol 18 (a
// run of zeros): a complete code, so the lengths can be written with the helpers below.
BitWriter DynamicHead(uint32_t nlen, uint32_t ndist) {
    BitWriter w;
    w.Put(1, 1).Put(2, 2);  // last block, dynamic
    w.Put(nlen - 257, 5).Put(ndist - 1, 5).Put(19 - 4, 4);
    const uint32_t order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    for (uint32_t sym : order) w.Put(sym == 0 || sym == 1 || sym == 8 || sym == 18 ? 2 : 0, 3);
    return w;
}

// Canonical codes of that code-length code: 0 -> 00, 1 -> 01, 8 -> 10, 18 -> 11.
void Length0(BitWriter& w) { w.Code(0, 2); }
void Length1(BitWriter& w) { w.Code(1, 2); }
void Length8(BitWriter& w) { w.Code(2, 2); }
void Zeros(BitWriter& w, uint32_t n) { w.Code(3, 2).Put(n - 11, 7); }  // 11 to 138 zero lengths

}  // namespace

TEST(StubInflate, ZlibStreamsOfEveryStrategyAndManySizesComeBackExactly) {
    std::mt19937 rng(6);
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
    const size_t sizes[] = {0,     1,     2,     3,     257,   258,   259,    1000,
                            32767, 32768, 32769, 65535, 65536, 65537, 100000, 300000};
    for (size_t size : sizes) {
        for (int kind = 0; kind < 3; kind++) {
            Bytes data = kind == 0   ? RandomBytes(rng, size)
                         : kind == 1 ? TextData(rng, size)
                                     : MixedData(rng, size);
            for (int strategy : strategies) {
                for (int level : {0, 1, 6, 9}) {
                    std::string what = "size " + std::to_string(size) + " kind " + std::to_string(kind) +
                                       " strategy " + std::to_string(strategy) + " level " +
                                       std::to_string(level);
                    ExpectInflatesTo(ZlibDeflate(data, level, strategy), data, what);
                }
            }
        }
    }
}

TEST(StubInflate, InputInPiecesOfAnySizeGivesTheSameOutput) {
    std::mt19937 rng(7);
    Bytes data = MixedData(rng, 70000);
    Bytes stream = ZlibDeflate(data, 9, Z_DEFAULT_STRATEGY);
    for (size_t piece : {size_t(1), size_t(2), size_t(3), size_t(7), size_t(4095), size_t(4096)}) {
        Result r = RunInflate(stream, uint32_t(data.size()), piece);
        ASSERT_EQ(r.status, kInflateOk) << piece;
        ASSERT_TRUE(r.out == data) << piece;
    }
}

TEST(StubInflate, OurOwnEncoderRoundTrips) {
    std::mt19937 rng(8);
    DeflateEncoder encoder;
    for (size_t size : {size_t(0), size_t(10), size_t(40000), size_t(200000)}) {
        for (int level : {1, 5, 9}) {
            Bytes data = MixedData(rng, size), stream;
            MemorySource src(data.data(), data.size());
            VectorSink sink(stream);
            ASSERT_EQ(encoder.Encode(level, src, sink, false).status, DeflateStatus::Ok);
            ExpectInflatesTo(stream, data,
                             "size " + std::to_string(size) + " level " + std::to_string(level));
        }
    }
}

TEST(StubInflate, OutputPastTheLimitAndInputThatEndsEarlyAreRefused) {
    std::mt19937 rng(9);
    Bytes data = MixedData(rng, 50000);
    Bytes stream = ZlibDeflate(data, 9, Z_DEFAULT_STRATEGY);
    EXPECT_EQ(RunInflate(stream, uint32_t(data.size() - 1)).status, kInflateTooLong);
    EXPECT_LE(RunInflate(stream, uint32_t(data.size() - 1)).out.size(), data.size() - 1);
    for (size_t cut : {size_t(0), size_t(1), stream.size() / 2, stream.size() - 1}) {
        Bytes part(stream.begin(), stream.begin() + long(cut));
        EXPECT_EQ(RunInflate(part, uint32_t(data.size())).status, kInflateTruncated) << cut;
    }
}

TEST(StubInflate, MalformedStreamsAreBadData) {
    struct Case {
        const char* what;
        Bytes stream;
    };
    std::vector<Case> cases;
    cases.push_back({"block type 3", BitWriter().Put(1, 1).Put(3, 2).Put(0, 16).bytes()});
    cases.push_back({"stored length and its complement disagree", BitWriter()
                                                                      .Put(1, 1)
                                                                      .Put(0, 2)
                                                                      .Put(0, 5)
                                                                      .Put(5, 16)
                                                                      .Put(0xFFFF, 16)
                                                                      .Bytes8({1, 2, 3, 4, 5})
                                                                      .bytes()});
    // Fixed block: literal 'a' is 0x30 + 0x61 in 8 bits; length symbol 257 (length 3)
    // is code 0000001 in 7 bits, distance 0 (distance 1) is 00000 in 5 bits.
    cases.push_back({"match before the start of the output",
                     BitWriter().Put(1, 1).Put(1, 2).Code(1, 7).Code(0, 5).Code(0, 7).bytes()});
    cases.push_back(
        {"fixed length symbol 286", BitWriter().Put(1, 1).Put(1, 2).Code(0xC6, 8).Code(0, 7).bytes()});
    cases.push_back(
        {"fixed distance symbol 30",
         BitWriter().Put(1, 1).Put(1, 2).Code(0x30 + 'a', 8).Code(1, 7).Code(30, 5).Put(0, 16).bytes()});
    {
        BitWriter w = DynamicHead(287, 1);
        cases.push_back({"287 length symbols", w.Put(0, 32).bytes()});
    }
    {
        BitWriter w = DynamicHead(257, 31);
        cases.push_back({"31 distance symbols", w.Put(0, 32).bytes()});
    }
    {
        BitWriter w;
        w.Put(1, 1).Put(2, 2).Put(0, 5).Put(0, 5).Put(0, 4);
        w.Put(1, 3).Put(0, 3).Put(0, 3).Put(0, 3);  // only symbol 16 has a length: incomplete
        cases.push_back({"incomplete code-length code", w.Put(0, 32).bytes()});
    }
    {
        BitWriter w;
        w.Put(1, 1).Put(2, 2).Put(0, 5).Put(0, 5).Put(0, 4);
        w.Put(1, 3).Put(1, 3).Put(1, 3).Put(0, 3);  // three codes of one bit: over-subscribed
        cases.push_back({"over-subscribed code-length code", w.Put(0, 32).bytes()});
    }
    {
        // The code-length code 16 -> "0", 17 -> "10", 18 -> "11".
        BitWriter w;
        w.Put(1, 1).Put(2, 2).Put(0, 5).Put(0, 5).Put(0, 4);
        w.Put(1, 3).Put(2, 3).Put(2, 3).Put(0, 3);
        w.Code(0, 1).Put(0, 2);  // repeat the previous length, with no previous length
        cases.push_back({"repeat with nothing before it", w.Put(0, 32).bytes()});
    }
    {
        BitWriter w = DynamicHead(257, 1);
        Zeros(w, 138);
        Zeros(w, 138);  // 276 lengths for 258 symbols
        cases.push_back({"repeat past the last length", w.Put(0, 32).bytes()});
    }
    {
        // 256 literals of length 8 and no end-of-block code.
        BitWriter w = DynamicHead(257, 1);
        for (int i = 0; i < 256; i++) Length8(w);
        Length0(w);
        Length0(w);
        cases.push_back({"no end-of-block code", w.Put(0, 32).bytes()});
    }
    {
        // 257 length codes of 8 bits: more than 256 codes of 8 bits exist.
        BitWriter w = DynamicHead(257, 1);
        for (int i = 0; i < 257; i++) Length8(w);
        Length0(w);
        cases.push_back({"over-subscribed literal code", w.Put(0, 32).bytes()});
    }
    {
        // Only two literals and the end code, of 8 bits each: a code with holes.
        BitWriter w = DynamicHead(257, 1);
        Zeros(w, 97);
        Length8(w);
        Length8(w);
        Zeros(w, 138);
        Zeros(w, 157 - 138);
        Length8(w);
        Length0(w);
        cases.push_back({"incomplete literal code", w.Put(0, 32).bytes()});
    }
    for (const Case& c : cases) {
        Result r = RunInflate(c.stream, 1 << 20);
        EXPECT_EQ(r.status, kInflateBadData) << c.what;
    }
}

TEST(StubInflate, CodesOfEveryLengthUpToFifteenBitsDecode) {
    // Literal k-1 has a code of k bits for k up to 14; literal 14 and the end code have
    // 15 bits: a complete code whose longest codes lie in the deepest second-level table.
    // The code-length code gives 4 bits to the lengths 0 to 14, and 5 to 15 and to 18.
    BitWriter w;
    w.Put(1, 1).Put(2, 2).Put(0, 5).Put(0, 5).Put(19 - 4, 4);
    const uint32_t order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    for (uint32_t sym : order) w.Put(sym <= 14 ? 4 : sym == 15 || sym == 18 ? 5 : 0, 3);
    for (uint32_t k = 1; k <= 14; k++) w.Code(k, 4);  // literals 0 to 13
    w.Code(0x1E, 5);                                  // literal 14: 15 bits
    w.Code(0x1F, 5).Put(138 - 11, 7);                 // literals 15 to 255: no code
    w.Code(0x1F, 5).Put(103 - 11, 7);
    w.Code(0x1E, 5);  // 256: 15 bits
    w.Code(0, 4);     // no distance code
    Bytes expected;
    for (int round = 0; round < 60; round++) {  // long enough for the quick path
        for (uint32_t k = 1; k <= 14; k++) w.Code((1u << k) - 2, int(k));
        w.Code(0x7FFE, 15);
        for (uint8_t b = 0; b <= 14; b++) expected.push_back(b);
    }
    w.Code(0x7FFF, 15);
    Result r = RunInflate(w.bytes(), 1 << 20);
    ASSERT_EQ(r.status, kInflateOk);
    EXPECT_TRUE(r.out == expected);
}

TEST(StubInflate, ABlockOfOnlyLiteralsMayHaveNoDistanceCodeButThenNoMatch) {
    // Literal 'a' (97) and the end code get one bit each; the one distance length is 0.
    auto head = [](bool withMatch) {
        BitWriter w = DynamicHead(withMatch ? 258 : 257, 1);
        Zeros(w, 97);
        Length1(w);
        Zeros(w, 138);
        Zeros(w, 158 - 138);
        Length1(w);                 // 256, end of block
        if (withMatch) Length1(w);  // 257, a length of 3: now three codes of one bit
        Length0(w);                 // the distance code
        return w;
    };
    BitWriter literals = head(false);
    literals.Code(0, 1).Code(0, 1).Code(1, 1);  // 'a' 'a' end
    Result r = RunInflate(literals.bytes(), 10);
    EXPECT_EQ(r.status, kInflateOk);
    EXPECT_EQ(std::string(r.out.begin(), r.out.end()), "aa");

    BitWriter match = head(true);
    EXPECT_EQ(RunInflate(match.Put(0, 16).bytes(), 10).status, kInflateBadData);
}
