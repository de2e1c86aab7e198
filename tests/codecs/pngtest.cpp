#include "tests/codecs/pngtest.h"

#include <zlib.h>

#include <cstring>

namespace {

// Soft alpha: a plasma picture seen through a radial gradient.
const char kSoft[] =
    "-size 37x23 -seed 5 plasma:fractal \\( -size 37x23 radial-gradient:white-black \\) -alpha off "
    "-compose CopyOpacity -composite ";
// One colour fully transparent, the others opaque: what a tRNS chunk can say of grey and RGB.
const char kKeyed[] =
    "-size 31x19 -seed 6 plasma:fractal -colors 12 -fill red -draw 'rectangle 3,3 12,9' "
    "-transparent red ";

Bytes Be32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

}  // namespace

// ImageMagick scales 16-bit samples to 8 bits by rounding, lodepng takes the high byte:
// they may differ by one.
const PngKind kPngKinds[22] = {
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
