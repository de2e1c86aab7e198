// The PNG decoder against ImageMagick's decoding of every kind it writes, and its answers
// to damaged, truncated, unsupported and oversized files.
#include <gtest/gtest.h>

#include <algorithm>

#include "codecs/png.h"
#include "tests/codecs/pngtest.h"

namespace {

int LargestRgbaDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return 255;
    int worst = 0;
    for (size_t i = 0; i < a.size(); i++)
        for (int shift : {0, 8, 16, 24})
            worst = std::max(worst, std::abs(int(a[i] >> shift & 0xFF) - int(b[i] >> shift & 0xFF)));
    return worst;
}

// Scan lines of a grey 1-bit picture, every line filter 0 and all pixels black.
Bytes BlackLines(uint32_t width, uint32_t height) { return Bytes(size_t((width + 7) / 8 + 1) * height, 0); }

const Bytes kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Whether the byte at lies in the signature or in a critical chunk.
bool Read(const Bytes& png, size_t at) {
    size_t chunk = kSignature.size();
    if (at < chunk) return true;
    while (chunk + 8 <= png.size()) {
        const size_t length = size_t(png[chunk]) << 24 | size_t(png[chunk + 1]) << 16 |
                              size_t(png[chunk + 2]) << 8 | png[chunk + 3];
        const size_t end = chunk + 12 + length;
        if (at < end) return (png[chunk + 4] & 0x20) == 0;
        chunk = end;
    }
    return false;
}

}  // namespace

TEST(Png, DecodesEveryKindLikeImageMagick) {
    for (const PngKind& kind : kPngKinds) {
        SCOPED_TRACE(kind.name);
        Bytes file = MakePng(kind);
        ASSERT_GT(file.size(), 33u);
        // The header says what the row claims: colour type, bit depth, interlacing.
        ASSERT_EQ(file[24], kind.bitDepth);
        ASSERT_EQ(file[25], kind.colourType);
        ASSERT_EQ(file[28], kind.interlaced ? 1 : 0);
        Picture expected = ConvertToRgba(file, "png");
        ASSERT_FALSE(expected.pixels.empty());
        Picture got;
        ASSERT_TRUE(DecodePng(file.data(), file.size(), got));
        ASSERT_EQ(got.width, expected.width);
        ASSERT_EQ(got.height, expected.height);
        EXPECT_EQ(got.alpha, kind.alpha);
        // Without alpha the top byte is 0; ImageMagick's is 255 throughout.
        if (!kind.alpha) {
            for (uint32_t& p : got.pixels) {
                ASSERT_EQ(p >> 24, 0u);
                p |= 0xFF000000;
            }
        }
        EXPECT_LE(LargestRgbaDifference(got.pixels, expected.pixels), kind.tolerance);
    }
}

TEST(Png, EveryTruncationAndEveryFlippedBitOfACriticalChunkIsRefused) {
    for (int k : {0, 12, 16, 17, 18}) {  // grey 1, palette 2 with tRNS, RGB with tRNS, RGBA 8 and 16
        SCOPED_TRACE(kPngKinds[k].name);
        Bytes file = MakePng(kPngKinds[k]);
        Picture kept;
        kept.width = kept.height = 1;
        kept.pixels = {0x123456};
        for (size_t length = 0; length < file.size(); length++)
            ASSERT_FALSE(DecodePng(file.data(), length, kept)) << "length " << length;
        // Every byte of the signature and of the critical chunks lies under a CRC or
        // is a length or a CRC. A damaged ancillary chunk reads as an unknown one.
        for (size_t at = 0; at < file.size(); at++) {
            if (!Read(file, at)) continue;
            Bytes damaged = file;
            damaged[at] ^= uint8_t(1 << (at % 8));
            ASSERT_FALSE(DecodePng(damaged.data(), damaged.size(), kept)) << "byte " << at;
        }
        EXPECT_EQ(kept.pixels, std::vector<uint32_t>{0x123456});
    }
}

TEST(Png, DamageThatTheChunkCrcsDoNotCoverIsRefused) {
    struct Case {
        const char* name;
        Bytes file;
    };
    const Bytes lines = BlackLines(8, 2);
    const Case cases[] = {
        {"bit depth 3", BuildPng(8, 2, 3, 0, 0, lines)},
        {"colour type 5", BuildPng(8, 2, 8, 5, 0, Bytes(18, 0))},
        {"RGB at 4 bits", BuildPng(8, 2, 4, 2, 0, Bytes(26, 0))},
        {"interlace method 2", BuildPng(8, 2, 1, 0, 2, lines)},
        {"width 0", BuildPng(0, 2, 1, 0, 0, Bytes(2, 0))},
        {"scan lines one byte short", BuildPng(8, 2, 1, 0, 0, Bytes(lines.size() - 1, 0))},
        {"filter type 5", BuildPng(8, 2, 1, 0, 0, Bytes{5, 0, 0, 0})},
        {"palette picture without a palette", BuildPng(8, 2, 1, 3, 0, lines)},
        {"no IDAT",
         kSignature + Chunk("IHDR", Bytes{0, 0, 0, 8, 0, 0, 0, 2, 1, 0, 0, 0, 0}) + Chunk("IEND", {})},
        {"IDAT that is not zlib", kSignature + Chunk("IHDR", Bytes{0, 0, 0, 8, 0, 0, 0, 2, 1, 0, 0, 0, 0}) +
                                      Chunk("IDAT", Bytes{1, 2, 3, 4, 5, 6}) + Chunk("IEND", {})},
    };
    for (const Case& c : cases) {
        Picture got;
        EXPECT_FALSE(DecodePng(c.file.data(), c.file.size(), got)) << c.name;
    }
    Picture got;
    EXPECT_FALSE(DecodePng(nullptr, 0, got));
    Bytes jpeg = ConvertedFile("-size 4x4 xc:red", "jpg");
    EXPECT_FALSE(DecodePng(jpeg.data(), jpeg.size(), got));
    // The same builder makes a good file.
    Bytes good = BuildPng(8, 2, 1, 0, 0, lines);
    ASSERT_TRUE(DecodePng(good.data(), good.size(), got));
    EXPECT_EQ(got.pixels, std::vector<uint32_t>(16, 0));
}

TEST(Png, PicturesBeyondTheSizeBoundAreRefusedFromTheHeader) {
    // Whole, valid files: only their size can refuse them.
    struct Case {
        uint32_t width, height;
        bool decodes;
    };
    const Case cases[] = {{8192, 8, true}, {8193, 8192, false}, {65535, 1025, false}, {65536, 1, false}};
    for (const Case& c : cases) {
        Bytes file = BuildPng(c.width, c.height, 1, 0, 0, BlackLines(c.width, c.height));
        Picture got;
        EXPECT_EQ(DecodePng(file.data(), file.size(), got), c.decodes) << c.width << " x " << c.height;
    }
    // A header that claims 60000 x 60000 over a few bytes of data.
    Bytes claim = BuildPng(60000, 60000, 8, 6, 0, Bytes(64, 0));
    Picture got;
    EXPECT_FALSE(DecodePng(claim.data(), claim.size(), got));
}
