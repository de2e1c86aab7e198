// PNG files for the decoder's tests and its fuzz run: every kind ImageMagick writes, and
// files built chunk by chunk.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tests/codecs/codectest.h"

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
extern const PngKind kPngKinds[22];
Bytes MakePng(const PngKind& kind);

// One chunk: length, type, data and CRC.
Bytes Chunk(const char* type, const Bytes& data);
// A whole PNG: signature, IHDR of these fields, an IDAT of the given scan lines
// (compressed), IEND.
Bytes BuildPng(uint32_t width, uint32_t height, int bitDepth, int colourType, int interlace,
               const Bytes& scanLines);
