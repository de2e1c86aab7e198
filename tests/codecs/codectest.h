// Helpers of the codec tests: GIF streams built field by field, ImageMagick as the
// peer that makes picture files and decodes them, and the kinds of JPEG tried.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/picture.h"

using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes a, const Bytes& b);
Bytes& operator+=(Bytes& a, const Bytes& b);

// A 16-bit field, low byte first.
Bytes Le16(int value);
// The signature and version, "GIF89a" unless told.
Bytes Header(const char* version = "GIF89a");
// The logical screen descriptor: width, height, then a global colour table flag with
// the table's size (2 << tableBits entries; tableBits -1 for no table), background index
// 0 and aspect ratio 0.
Bytes ScreenDescriptor(int width, int height, int tableBits);
// A colour table of 0xRRGGBB entries, padded with black to entries (a power of two).
Bytes ColourTable(const std::vector<uint32_t>& colours, size_t entries);
// The image descriptor: position, size, and the flags byte as given (0x80 local table,
// 0x40 interlaced, low bits the local table's size).
Bytes ImageDescriptor(int left, int top, int width, int height, int flags = 0);
// A graphic control extension; transparent -1 for none.
Bytes GraphicControl(int delayHundredths, int disposal, int transparent = -1);
// An application extension with the looping sub-block.
Bytes Looping(int count, const char* application = "NETSCAPE2.0");
// Data cut into sub-blocks of at most blockSize bytes, with the terminator.
Bytes SubBlocks(const Bytes& data, size_t blockSize = 255);
// LZW codes packed low bit first, each as wide as a decoder expects it at that point.
Bytes PackCodes(int minCodeSize, const std::vector<int>& codes);
// The minimum code size byte and the packed codes in sub-blocks.
Bytes ImageData(int minCodeSize, const std::vector<int>& codes);
// Codes that send every index as a literal, with a clear code before every clear - 1
// of them, so that the table stays small, and the end code.
std::vector<int> LiteralCodes(const Bytes& indices, int minCodeSize);
// A frame without a local table whose indices are sent as literals.
Bytes Frame(int left, int top, int width, int height, const Bytes& indices, int minCodeSize = 2);
// A 4×3 animation of three frames with every kind of block: looping (twice more),
// graphic control with transparency and each restoring disposal, a local table, a
// comment and interlacing. frameEnds, when given, gets the offsets just past each
// frame's data.
Bytes SmallAnimation(std::vector<size_t>* frameEnds = nullptr);

// A fresh file name in the test's temporary folder.
std::string TempPath(const std::string& name);
Bytes ReadFile(const std::string& path);
// Runs ImageMagick's convert (the real one) with these shell words; false when it fails.
bool RunConvert(const std::string& arguments);
// ImageMagick's own composition of every frame (-coalesce), screen-sized, with the
// pixels it leaves transparent as kGifBackground. Empty when it fails or when a pixel is
// partly transparent, which a GIF cannot make.
std::vector<std::vector<uint32_t>> ConvertFrames(const std::string& gif, int width, int height);
// The file that ImageMagick makes from these arguments in this format ("jpg", "gif");
// empty when it fails.
Bytes ConvertedFile(const std::string& arguments, const std::string& format);
// ImageMagick's decoding of a file of this format, its first frame in sRGB; an empty
// picture when it fails.
Picture ConvertToPicture(const Bytes& file, const std::string& format);

// ImageMagick's decoding of a file of this format as 8-bit RGBA: 0xAARRGGBB pixels with
// straight alpha, alpha set on the picture. An empty picture when it fails.
Picture ConvertToRgba(const Bytes& file, const std::string& format);
// The file of this format ImageMagick makes from raw 8-bit RGBA pixels (0xAARRGGBB)
// with these further arguments, for example "-scale 20x10!".
Bytes ConvertFromRgba(const Picture& picture, const std::string& arguments, const std::string& format);
void WriteTemp(const std::string& path, const Bytes& file);

// A kind of JPEG file: ImageMagick's arguments that make it and, for arithmetic coding,
// which ImageMagick cannot write, jpegtran's that recode it.
struct JpegKind {
    const char* name;
    const char* make;
    const char* recode;  // nullptr: as ImageMagick wrote it
    int tolerance;       // largest channel difference allowed against ImageMagick's decoding
};
extern const JpegKind kJpegKinds[10];
Bytes MakeJpeg(const JpegKind& kind);
