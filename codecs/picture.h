// A decoded picture, as every decoder hands it to the window code.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Pixels are 0x00RRGGBB values, top row first: the layout of a 32-bit top-down DIB.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// Pictures larger than this are refused before anything is allocated, so that a small
// file cannot claim gigabytes. 64 megapixels admits any real photo; at 4 bytes a pixel
// it still fits a 32-bit process next to its device bitmap.
constexpr uint64_t kMaxPicturePixels = uint64_t(8192) * 8192;

inline bool PictureSizeAllowed(uint64_t width, uint64_t height) {
    return width > 0 && height > 0 && width <= 65535 && height <= 65535 &&
           width * height <= kMaxPicturePixels;
}

// The decoders, chosen by a file's extension in any letter case.
enum class PictureFormat { Unknown, Bitmap, Jpeg, Gif };
PictureFormat PictureFormatOf(const std::string& path);

// Decodes JPEG and GIF data (a GIF gives its first frame); false for damaged data and
// for the formats the window code decodes itself.
bool DecodePicture(PictureFormat format, const uint8_t* data, size_t size, Picture& picture);
