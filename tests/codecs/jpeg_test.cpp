// The JPEG wrapper against ImageMagick's decoding of the same files, and its answers to
// damaged, truncated and oversized ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "codecs/jpeg.h"
#include "tests/codecs/codectest.h"
#include "tests/pixels.h"

namespace {

const uint8_t kSof0[] = {0xFF, 0xC0};

}  // namespace

TEST(Jpeg, DecodesEveryKindLikeImageMagick) {
    for (const JpegKind& c : kJpegKinds) {
        SCOPED_TRACE(c.name);
        Bytes file = MakeJpeg(c);
        Picture expected = ConvertToPicture(file, "jpg");
        ASSERT_FALSE(expected.pixels.empty());
        Picture got;
        ASSERT_TRUE(DecodeJpeg(file.data(), file.size(), got));
        ASSERT_EQ(got.width, expected.width);
        ASSERT_EQ(got.height, expected.height);
        EXPECT_LE(LargestDifference(got.pixels, expected.pixels), c.tolerance);
    }
}

TEST(Jpeg, EveryTruncationFailsAndLeavesThePictureAlone) {
    Bytes file = MakeJpeg(kJpegKinds[0]);
    Picture kept;
    kept.width = kept.height = 1;
    kept.pixels = {0x123456};
    for (size_t length = 0; length < file.size(); length++) {
        Bytes cut(file.begin(), file.begin() + long(length));
        ASSERT_FALSE(DecodeJpeg(cut.data(), cut.size(), kept)) << "length " << length;
    }
    EXPECT_EQ(kept.pixels, std::vector<uint32_t>{0x123456});
}

TEST(Jpeg, FlippedBitsNeverCrashAndNeverGiveAMisshapenPicture) {
    Bytes file = MakeJpeg(kJpegKinds[2]);
    std::mt19937 rng(4);
    int decoded = 0;
    for (int round = 0; round < 3000; round++) {
        Bytes damaged = file;
        for (int flips = 1 + int(rng() % 3); flips > 0; flips--)
            damaged[rng() % damaged.size()] ^= 1 << (rng() % 8);
        Picture got;
        if (!DecodeJpeg(damaged.data(), damaged.size(), got)) continue;
        decoded++;
        ASSERT_TRUE(PictureSizeAllowed(uint64_t(got.width), uint64_t(got.height)));
        ASSERT_EQ(got.pixels.size(), size_t(got.width) * size_t(got.height));
    }
    // Most flips land in the entropy-coded data, which libjpeg cannot tell from good data.
    EXPECT_GT(decoded, 0);
}

TEST(Jpeg, PicturesBeyondTheSizeBoundAreRefusedBeforeDecoding) {
    Bytes file = MakeJpeg(kJpegKinds[0]);
    // The frame header (SOF0): marker, length, precision, then height and width.
    auto sof = std::search(file.begin(), file.end(), std::begin(kSof0), std::end(kSof0));
    ASSERT_NE(sof, file.end());
    size_t at = size_t(sof - file.begin()) + 5;
    for (auto [w, h] : {std::pair{8193, 8193}, std::pair{65535, 1025}, std::pair{65000, 65000}}) {
        Bytes big = file;
        big[at] = uint8_t(h >> 8), big[at + 1] = uint8_t(h);
        big[at + 2] = uint8_t(w >> 8), big[at + 3] = uint8_t(w);
        Picture got;
        EXPECT_FALSE(DecodeJpeg(big.data(), big.size(), got)) << w << " x " << h;
    }
}

TEST(Jpeg, EmptyAndForeignDataFail) {
    Picture got;
    EXPECT_FALSE(DecodeJpeg(nullptr, 0, got));
    Bytes gif = ConvertedFile("-size 4x4 xc:red", "gif");
    EXPECT_FALSE(DecodeJpeg(gif.data(), gif.size(), got));
    const uint8_t soiOnly[] = {0xFF, 0xD8, 0xFF, 0xD9};
    EXPECT_FALSE(DecodeJpeg(soiOnly, sizeof soiOnly, got));
}
