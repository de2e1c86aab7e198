// The Deflate encoder and CRC-32, checked against zlib: its inflater must reproduce
// every input, and its crc32 must agree.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <numeric>

#include "share/zip/crc32.h"
#include "share/zip/deflate.h"
#include "tests/zip/ziptest.h"

namespace {

struct Encoded {
    DeflateResult result;
    Bytes out;
};

Encoded Encode(DeflateEncoder& enc, int level, const Bytes& in, bool allowRaw = false) {
    Encoded e;
    MemorySource src(in.data(), in.size());
    VectorSink sink(e.out);
    e.result = enc.Encode(level, src, sink, allowRaw);
    return e;
}

Encoded Encode(int level, const Bytes& in, bool allowRaw = false) {
    DeflateEncoder enc;
    return Encode(enc, level, in, allowRaw);
}

Bytes ZlibDeflate9(const Bytes& in) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&z, uLong(in.size())));
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = uInt(in.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Hands out its data a few bytes at a time, as a slow file or pipe might.
class TrickleSource : public DeflateSource {
public:
    TrickleSource(const Bytes& data, unsigned seed) : data_(data), rng_(seed) {}
    ptrdiff_t Read(uint8_t* buf, size_t len) override {
        size_t n = std::min({len, data_.size() - pos_, size_t(1 + rng_() % 7000)});
        std::copy_n(data_.begin() + long(pos_), n, buf);
        pos_ += n;
        return ptrdiff_t(n);
    }

private:
    const Bytes& data_;
    size_t pos_ = 0;
    std::mt19937 rng_;
};

class FailingSource : public DeflateSource {
public:
    explicit FailingSource(size_t goodBytes) : left_(goodBytes) {}
    ptrdiff_t Read(uint8_t* buf, size_t len) override {
        if (left_ == 0) return -1;
        size_t n = std::min(len, left_);
        std::fill_n(buf, n, uint8_t('x'));
        left_ -= n;
        return ptrdiff_t(n);
    }

private:
    size_t left_;
};

class RefusingSink : public DeflateSink {
public:
    bool Write(const uint8_t*, size_t) override {
        calls++;
        return false;
    }
    int calls = 0;
};

// Bytes that all differ, so the encoder can only send them as literals.
Bytes DistinctBytes(const std::vector<int>& values) {
    Bytes b;
    for (int v : values) b.push_back(uint8_t(v));
    return b;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

}  // namespace

TEST(Crc32, MatchesTheStandardCheckValueAndZlib) {
    const char* check = "123456789";
    EXPECT_EQ(Crc32(check, 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(check, 0), 0u);

    std::mt19937 rng(1);
    Bytes data = RandomBytes(rng, 5000);
    // Every length and misalignment around the eight-byte steps, in one piece and split.
    for (size_t start = 0; start < 9; start++) {
        for (size_t len = 0; len < 80; len++) {
            const uint8_t* p = data.data() + start;
            uint32_t expected = uint32_t(crc32(0, p, uInt(len)));
            ASSERT_EQ(Crc32(p, len), expected) << start << "+" << len;
            size_t cut = len / 3;
            uint32_t reg = Crc32Update(0xFFFFFFFFu, p, cut);
            ASSERT_EQ(Crc32Update(reg, p + cut, len - cut) ^ 0xFFFFFFFFu, expected);
        }
    }
    EXPECT_EQ(Crc32(data.data(), data.size()), uint32_t(crc32(0, data.data(), uInt(data.size()))));
}

// Sizes on and around the block, window and stored-block edges.
TEST(Deflate, EveryLevelRoundTripsThroughZlib) {
    std::mt19937 rng(7);
    std::vector<std::pair<std::string, Bytes>> inputs = {
        {"empty", {}},
        {"one byte", {0x41}},
        {"two bytes", {0, 0}},
        {"three zeros", {0, 0, 0}},
        {"all byte values", DistinctBytes([] {
             std::vector<int> v(256);
             std::iota(v.begin(), v.end(), 0);
             return v;
         }())},
        {"zeros 300000", Bytes(300000, 0)},
        {"random 100000", RandomBytes(rng, 100000)},
        {"text 200000", TextData(rng, 200000)},
        // Blocks that end where the kind of data changes, and ones that end at a point
        // which has slid out of the window by the time the run shows they should.
        {"noise, text, noise",
         Join({RandomBytes(rng, 40000), TextData(rng, 60000), RandomBytes(rng, 40000)})},
        {"noise, a 2 MB run, text",
         Join({RandomBytes(rng, 40000), Bytes(2000000, 'x'), TextData(rng, 40000)})},
    };
    for (size_t n : {32767u, 32768u, 32769u, 65273u, 65274u, 65275u, 65535u, 65536u, 65537u, 131072u})
        inputs.push_back({"mixed " + std::to_string(n), MixedData(rng, n)});

    DeflateEncoder enc;
    for (int level = 1; level <= 9; level++) {
        for (const auto& [name, data] : inputs) {
            Encoded e = Encode(enc, level, data);
            ASSERT_EQ(e.result.status, DeflateStatus::Ok);
            EXPECT_FALSE(e.result.stored);
            EXPECT_EQ(e.result.inBytes, data.size());
            EXPECT_EQ(e.result.outBytes, e.out.size());
            Inflated back = ZlibInflate(e.out);
            ASSERT_TRUE(back.ok) << name << " at level " << level;
            ASSERT_TRUE(back.data == data) << name << " at level " << level;
        }
    }
}

TEST(Deflate, OutputDoesNotDependOnHowTheInputArrivesOrWhatCameBefore) {
    std::mt19937 rng(11);
    Bytes first = MixedData(rng, 150000), second = MixedData(rng, 250000);
    DeflateEncoder reused;
    Encode(reused, 9, first);
    Encoded afterOther = Encode(reused, 9, second);
    Encoded fresh = Encode(9, second);
    EXPECT_TRUE(afterOther.out == fresh.out);

    DeflateEncoder enc;
    Bytes trickled;
    TrickleSource src(second, 3);
    VectorSink sink(trickled);
    ASSERT_EQ(enc.Encode(9, src, sink, false).status, DeflateStatus::Ok);
    EXPECT_TRUE(trickled == fresh.out);
}

TEST(Deflate, Level9IsAsTightAsZlibOnTextAndRuns) {
    std::mt19937 rng(5);
    Bytes text = TextData(rng, 400000);
    Bytes mixed = MixedData(rng, 400000);
    for (const Bytes* data : {&text, &mixed}) {
        size_t ours = Encode(9, *data).out.size(), zlib = ZlibDeflate9(*data).size();
        EXPECT_LE(double(ours), double(zlib) * 1.005) << ours << " against zlib's " << zlib;
    }
    // Higher levels search harder and must not come out larger on redundant text.
    EXPECT_LE(Encode(9, text).out.size(), Encode(1, text).out.size());
}

// Codes fitted to each kind of data beat one code for a mixture of kinds.
TEST(Deflate, BlocksEndWhereTheKindOfDataChanges) {
    std::mt19937 rng(13);
    Bytes data;
    for (int i = 0; i < 12; i++) {
        size_t n = 5000 + rng() % 25000;
        Bytes part = i % 3 == 0 ? RandomBytes(rng, n) : i % 3 == 1 ? TextData(rng, n) : MixedData(rng, n);
        data.insert(data.end(), part.begin(), part.end());
    }
    Encoded e = Encode(9, data);
    ASSERT_TRUE(ZlibInflate(e.out).data == data);
    size_t zlib = ZlibDeflate9(data).size();
    EXPECT_LE(double(e.out.size()), double(zlib) * 0.985) << e.out.size() << " against zlib's " << zlib;
}

// Long stretches of noise make the encoder step over positions without searching them;
// what follows the noise, or repeats it, must still be found.
TEST(Deflate, MatchesAroundLongStretchesOfNoiseAreStillFound) {
    std::mt19937 rng(12);
    const Bytes noise = RandomBytes(rng, 20000), gap = RandomBytes(rng, 8000);
    const Bytes moreNoise = RandomBytes(rng, 100000), text = TextData(rng, 100000);
    for (int level = 1; level <= 9; level++) {
        DeflateEncoder enc;
        auto size = [&](const Bytes& data) { return Encode(enc, level, data).out.size(); };
        struct Case {
            const char* name;
            Bytes data;
            size_t limit;
        };
        // A repeat costs a few bytes per 258-byte match; text after noise hardly more
        // than on its own.
        const size_t repeatCost = noise.size() / 50, textCost = size(text) * 33 / 32;
        const Case cases[] = {
            {"noise, then the same noise again", Join({noise, noise}), size(noise) + repeatCost},
            {"noise, other noise, then the first noise again", Join({noise, gap, noise}),
             size(Join({noise, gap})) + repeatCost},
            {"noise, then text", Join({moreNoise, text}), size(moreNoise) + textCost},
        };
        for (const Case& c : cases) {
            Encoded e = Encode(enc, level, c.data);
            ASSERT_TRUE(ZlibInflate(e.out).data == c.data) << c.name << " at level " << level;
            EXPECT_LE(e.out.size(), c.limit) << c.name << " at level " << level;
        }
    }
}

TEST(Deflate, IncompressibleDataCostsOnlyStoredBlockHeaders) {
    std::mt19937 rng(9);
    Bytes data = RandomBytes(rng, 300000);
    Encoded e = Encode(9, data, true);
    EXPECT_FALSE(e.result.stored);  // more than one block: a Deflate stream of stored blocks
    EXPECT_LE(e.out.size(), data.size() + 5 * (data.size() / 32768 + 2));
    ASSERT_TRUE(ZlibInflate(e.out).data == data);
}

TEST(Deflate, OneBlockThatDoesNotShrinkPassesThroughUnchanged) {
    std::mt19937 rng(2);
    // Up to the 32K symbols of one block, past the point where compressing data ends
    // its blocks early.
    for (size_t n : {1000u, 30000u}) {
        Bytes noise = RandomBytes(rng, n);
        Encoded raw = Encode(9, noise, true);
        EXPECT_TRUE(raw.result.stored) << n;
        EXPECT_TRUE(raw.out == noise) << n;
        EXPECT_EQ(raw.result.outBytes, noise.size());
    }
    Bytes small = RandomBytes(rng, 1000);

    // Without leave to pass it through, the same input is a valid stream.
    Encoded framed = Encode(9, small, false);
    EXPECT_FALSE(framed.result.stored);
    EXPECT_TRUE(ZlibInflate(framed.out).data == small);

    Encoded empty = Encode(9, {}, true);
    EXPECT_TRUE(empty.result.stored);
    EXPECT_TRUE(empty.result.text);
    EXPECT_TRUE(empty.out.empty());

    Bytes text = TextData(rng, 1000);
    EXPECT_FALSE(Encode(9, text, true).result.stored);

    // Fits in one block yet shrinks only when coded: never passed through.
    Bytes few(20000);
    for (auto& b : few) b = uint8_t(rng() % 2);
    EXPECT_FALSE(Encode(9, few, true).result.stored);
}

TEST(Deflate, TextMeansAtMostOneLiteralInFiveOutside7To127) {
    std::vector<int> textValues, binaryValues;
    for (int v = 7; v <= 106; v++)  // 100 values
        textValues.push_back(v);
    textValues.back() = 127;
    for (int v : {0,   6,   128, 255, 1,   2,   3,   4,   5,   129, 130, 131, 132,
                  133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 145})  // 26 values
        binaryValues.push_back(v);

    auto literals = [&](size_t binaryCount) {
        std::vector<int> v = textValues;
        v.insert(v.end(), binaryValues.begin(), binaryValues.begin() + long(binaryCount));
        std::shuffle(v.begin(), v.end(), std::mt19937(4));
        return DistinctBytes(v);
    };
    EXPECT_TRUE(Encode(9, literals(25)).result.text);   // 100 / 4 = 25: still text
    EXPECT_FALSE(Encode(9, literals(26)).result.text);  // one more: binary
    EXPECT_TRUE(Encode(9, literals(0)).result.text);

    // Only the first block counts.
    std::mt19937 rng(8);
    Bytes textThenRandom = TextData(rng, 300000), random = RandomBytes(rng, 300000);
    textThenRandom.insert(textThenRandom.end(), random.begin(), random.end());
    EXPECT_TRUE(Encode(9, textThenRandom).result.text);
    Bytes randomThenText = RandomBytes(rng, 300000), text = TextData(rng, 300000);
    randomThenText.insert(randomThenText.end(), text.begin(), text.end());
    EXPECT_FALSE(Encode(9, randomThenText).result.text);
}

TEST(Deflate, ReportsBadLevelsAndFailedReadsAndWrites) {
    DeflateEncoder enc;
    Bytes data(100, 1), out;
    for (int level : {0, -1, 10}) {
        MemorySource src(data.data(), data.size());
        VectorSink sink(out);
        EXPECT_EQ(enc.Encode(level, src, sink, false).status, DeflateStatus::BadLevel);
    }
    EXPECT_TRUE(out.empty());

    FailingSource failing(100000);
    VectorSink sink(out);
    EXPECT_EQ(enc.Encode(9, failing, sink, false).status, DeflateStatus::ReadFailed);

    std::mt19937 rng(3);
    Bytes big = RandomBytes(rng, 500000);
    MemorySource src(big.data(), big.size());
    RefusingSink refusing;
    EXPECT_EQ(enc.Encode(9, src, refusing, false).status, DeflateStatus::WriteFailed);
    EXPECT_EQ(refusing.calls, 1);  // stops at the first refusal
}

TEST(HuffmanCodeLengths, LimitsDepthAndKeepsTheCodeCompleteAndOrdered) {
    // Fibonacci frequencies give the deepest possible Huffman tree, far beyond 15 levels.
    std::vector<uint32_t> fib(30);
    fib[0] = fib[1] = 1;
    for (size_t i = 2; i < fib.size(); i++) fib[i] = fib[i - 1] + fib[i - 2];
    struct Case {
        std::vector<uint32_t> freq;
        unsigned maxBits;
    };
    std::vector<Case> cases = {{fib, 15}, {std::vector<uint32_t>(fib.begin(), fib.begin() + 19), 7}};
    std::mt19937 rng(6);
    for (int i = 0; i < 50; i++) {
        std::vector<uint32_t> f(286);
        for (auto& x : f) x = rng() % 3 == 0 ? 0 : 1u << (rng() % 20);
        cases.push_back({f, 15});
    }
    for (const Case& c : cases) {
        std::vector<uint8_t> len(c.freq.size());
        HuffmanCodeLengths(c.freq.data(), unsigned(c.freq.size()), c.maxBits, len.data());
        uint64_t kraft = 0;
        for (size_t i = 0; i < len.size(); i++) {
            ASSERT_LE(len[i], c.maxBits);
            ASSERT_EQ(len[i] == 0, c.freq[i] == 0) << i;
            if (len[i] != 0) kraft += uint64_t(1) << (c.maxBits - len[i]);
            for (size_t j = 0; j < len.size(); j++) {
                if (c.freq[i] > c.freq[j] && c.freq[j] != 0) {
                    ASSERT_LE(len[i], len[j]) << "a more frequent symbol got a longer code";
                }
            }
        }
        EXPECT_EQ(kraft, uint64_t(1) << c.maxBits) << "the code must be complete";
    }

    // One used symbol or none still make a code of two.
    uint32_t one[5] = {0, 0, 9, 0, 0}, none[5] = {};
    uint8_t len[5];
    HuffmanCodeLengths(one, 5, 15, len);
    EXPECT_EQ(len[2], 1);
    EXPECT_EQ(std::count(len, len + 5, 1), 2);
    HuffmanCodeLengths(none, 5, 15, len);
    EXPECT_EQ(std::count(len, len + 5, 1), 2);
}
