// The PNG decoder against ImageMagick's decoding of every kind of PNG, its answers to
// damaged, truncated, unsupported and oversized files, and a bounded run of its fuzz
// target from the same files (with GOBU_FUZZ_CORPUS set, they are written there as the
// seeds of a longer libFuzzer run).
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <random>

#include "codecs/png.h"
#include "tests/codecs/codectest.h"
#include "tests/pixels.h"
#include "tests/mutate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// A kind of PNG: ImageMagick's arguments and output format, and what its header must say.
struct PngKind {
    const char* name;
    std::string make;
    const char* format;  // convert's output prefix
    int colourType;      // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    int bitDepth;
    bool interlaced;
    bool alpha;     // carries alpha: an alpha channel or a tRNS chunk
    int tolerance;  // largest channel difference allowed against ImageMagick's decoding
};
// Soft alpha: a plasma picture seen through a radial gradient.
const char kSoft[] =
    "-size 37x23 -seed 5 plasma:fractal \\( -size 37x23 radial-gradient:white-black \\) -alpha off "
    "-compose CopyOpacity -composite ";
// One colour fully transparent, the others opaque: what a tRNS chunk can say of grey and RGB.
const char kKeyed[] =
    "-size 31x19 -seed 6 plasma:fractal -colors 12 -fill red -draw 'rectangle 3,3 12,9' "
    "-transparent red ";

Bytes Be32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }
// ImageMagick scales 16-bit samples to 8 bits by rounding, lodepng takes the high byte:
// they may differ by one.
const PngKind kPngKinds[] = {
    {"grey 1", "-size 33x17 gradient: -colorspace Gray -threshold 50% -depth 1", "png", 0, 1, false, false,
     0},
    {"grey 2", "-size 33x17 gradient: -colorspace Gray -posterize 4 -depth 2", "png", 0, 2, false, false, 0},
    {"grey 4", "-size 33x17 gradient: -colorspace Gray -posterize 16 -depth 4", "png", 0, 4, false, false, 0},
    {"grey 8", "-size 33x17 -seed 2 plasma:fractal -colorspace Gray -depth 8 -define png:color-type=0", "png",
     0, 8, false, false, 0},
    {"grey 16", "-size 33x17 -seed 2 plasma:fractal -colorspace Gray -depth 16 -define png:color-type=0",
     "png", 0, 16, false, false, 1},
    {"grey with tRNS", "-size 33x17 gradient: -colorspace Gray -posterize 16 -depth 4 -transparent black",
     "png", 0, 4, false, true, 0},
    {"grey + alpha 8",
     "-size 33x17 gradient: -colorspace Gray -depth 8 \\( +clone -rotate 90 -resize 33x17! \\) -alpha off "
     "-compose CopyOpacity -composite -define png:color-type=4",
     "png", 4, 8, false, true, 0},
    {"grey + alpha 16",
     "-size 33x17 gradient: -colorspace Gray -depth 16 \\( +clone -flop \\) -alpha off "
     "-compose CopyOpacity -composite -define png:color-type=4",
     "png", 4, 16, false, true, 1},
    {"palette 1", "-size 20x13 -seed 3 plasma:fractal -colors 2 -define png:bit-depth=1", "png8", 3, 1, false,
     false, 0},
    {"palette 2", "-size 20x13 -seed 3 plasma:fractal -colors 4 -define png:bit-depth=2", "png8", 3, 2, false,
     false, 0},
    {"palette 4", "-size 20x13 -seed 3 plasma:fractal -colors 16 -define png:bit-depth=4", "png8", 3, 4,
     false, false, 0},
    {"palette 8", "-size 40x30 -seed 3 plasma:fractal -colors 200", "png8", 3, 8, false, false, 0},
    {"palette 2 with tRNS",
     "-size 20x13 -seed 3 plasma:fractal -colors 3 -fill red -draw 'rectangle 2,2 9,7' "
     "-transparent red -define png:bit-depth=2",
     "png8", 3, 2, false, true, 0},
    {"palette 8 with tRNS", std::string(kKeyed) + "-colors 60", "png8", 3, 8, false, true, 0},
    {"RGB 8", "-size 37x23 -seed 4 plasma:fractal", "png24", 2, 8, false, false, 0},
    {"RGB 16", "-size 37x23 -seed 4 plasma:fractal -depth 16", "png48", 2, 16, false, false, 1},
    {"RGB with tRNS", kKeyed, "png24", 2, 8, false, true, 0},
    {"RGBA 8", kSoft, "png32", 6, 8, false, true, 0},
    {"RGBA 16", std::string(kSoft) + "-depth 16", "png64", 6, 16, false, true, 1},
    {"RGB 8 Adam7", "-size 37x23 -seed 4 plasma:fractal -interlace PNG", "png24", 2, 8, true, false, 0},
    {"RGBA 8 Adam7", std::string(kSoft) + "-interlace PNG", "png32", 6, 8, true, true, 0},
    {"1 x 1 grey", "-size 1x1 xc:#808080 -define png:color-type=0", "png", 0, 8, false, false, 0},
};

Bytes MakePng(const PngKind& kind) { return ConvertedFile(kind.make, kind.format); }

Bytes Chunk(const char* type, const Bytes& data) {
    Bytes body(type, type + 4);
    body += data;
    return Be32(uint32_t(data.size())) + body + Be32(uint32_t(crc32(0, body.data(), uInt(body.size()))));
}

Bytes BuildPng(uint32_t width, uint32_t height, int bitDepth, int colourType, int interlace,
               const Bytes& scanLines) {
    const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    // IHDR: width, height, bit depth, colour type, compression 0, filter 0, interlace.
    Bytes header =
        Be32(width) + Be32(height) + Bytes{uint8_t(bitDepth), uint8_t(colourType), 0, 0, uint8_t(interlace)};
    uLongf size = compressBound(uLong(scanLines.size()));
    Bytes packed(size);
    compress2(packed.data(), &size, scanLines.data(), uLong(scanLines.size()), 9);
    packed.resize(size);
    return signature + Chunk("IHDR", header) + Chunk("IDAT", packed) + Chunk("IEND", {});
}

// Scan lines of a grey 1-bit picture, every line filter 0 and all pixels black.
Bytes BlackLines(uint32_t width, uint32_t height) { return Bytes(size_t((width + 7) / 8 + 1) * height, 0); }

// Whether the byte at lies in the signature or in a critical chunk.
bool Read(const Bytes& png, size_t at) {
    size_t chunk = 8;  // after the signature
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

// Files built field by field, whole and with valid CRCs: each is refused for what its
// header says, the oversized ones before their pixels are decoded.
TEST(Png, UnsupportedAndOversizedPicturesAreRefused) {
    const Bytes lines = BlackLines(8, 2);
    const std::pair<const char*, Bytes> cases[] = {
        {"bit depth 3", BuildPng(8, 2, 3, 0, 0, lines)},
        {"colour type 5", BuildPng(8, 2, 8, 5, 0, Bytes(18, 0))},
        {"interlace method 2", BuildPng(8, 2, 1, 0, 2, lines)},
        {"filter type 5", BuildPng(8, 2, 1, 0, 0, Bytes{5, 0, 0, 0})},
        {"8193 x 8192", BuildPng(8193, 8192, 1, 0, 0, BlackLines(8193, 8192))},
        {"65535 x 1025", BuildPng(65535, 1025, 1, 0, 0, BlackLines(65535, 1025))},
        {"60000 x 60000 claimed over 64 bytes", BuildPng(60000, 60000, 8, 6, 0, Bytes(64, 0))},
    };
    for (const auto& [name, file] : cases) {
        Picture got;
        EXPECT_FALSE(DecodePng(file.data(), file.size(), got)) << name;
    }
    // The same builder makes good files, up to the bound.
    Bytes good = BuildPng(8192, 8, 1, 0, 0, BlackLines(8192, 8));
    Picture got;
    ASSERT_TRUE(DecodePng(good.data(), good.size(), got));
    EXPECT_EQ(got.pixels, std::vector<uint32_t>(8192 * 8, 0));
}

TEST(PngFuzz, MutatedFilesOfEveryKindNeitherCrashNorOverrun) {
    std::vector<Bytes> seeds;
    for (const PngKind& kind : kPngKinds) {
        seeds.push_back(MakePng(kind));
        ASSERT_GT(seeds.back().size(), 33u) << kind.name;
    }
    WriteSeeds(seeds);
    std::mt19937 rng(25);
    for (const Bytes& seed : seeds)
        for (int i = 0; i < 300; i++) {
            Bytes input = Mutate(seed, rng);
            ASSERT_EQ(LLVMFuzzerTestOneInput(input.data(), input.size()), 0);
        }
}
