// A decoded picture, as every decoder hands it to the window code.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize& o) const { return width == o.width && height == o.height; }
    bool operator!=(const PictureSize& o) const { return !(*this == o); }
};

// Pixels are 0x00RRGGBB values, top row first: the layout of a 32-bit top-down DIB.
// A picture with alpha (a PNG with an alpha channel or a transparent colour) keeps each
// pixel's opacity in the top byte instead, 0 clear to 255 opaque, not premultiplied.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    bool alpha = false;
    // The upright size of the whole picture, before any reduction while decoding.
    PictureSize full;
};

// Pictures larger than this are refused before anything is allocated, so that a small
// file cannot claim gigabytes. 64 megapixels admits any real photo; at 4 bytes a pixel
// it still fits a 32-bit process next to its device bitmap.
constexpr uint64_t kMaxPicturePixels = uint64_t(8192) * 8192;

inline bool PictureSizeAllowed(uint64_t width, uint64_t height) {
    return width > 0 && height > 0 && width <= 65535 && height <= 65535 &&
           width * height <= kMaxPicturePixels;
}

// The size a picture is shown at: one larger than box either way is reduced, its aspect
// kept, to the largest size that fits; any other keeps its own. A box of 0 × 0 fits all.
inline PictureSize FitSize(PictureSize picture, PictureSize box) {
    if (box.width <= 0 || box.height <= 0 || (picture.width <= box.width && picture.height <= box.height))
        return picture;
    const int64_t w = picture.width, h = picture.height;
    PictureSize fitted = box;
    // The side that meets the box first sets the scale; the other is rounded.
    if (w * box.height >= h * box.width)
        fitted.height = int((h * box.width + w / 2) / w);
    else
        fitted.width = int((w * box.height + h / 2) / h);
    fitted.width = fitted.width < 1 ? 1 : fitted.width;
    fitted.height = fitted.height < 1 ? 1 : fitted.height;
    return fitted;
}

// The decoders, chosen by a file's extension in any letter case.
enum class PictureFormat { Unknown, Bitmap, Jpeg, Gif, Png };
PictureFormat PictureFormatOf(const std::string& path);

// Whether the data begin as a picture of the kind a file of this name is decoded as:
// its first bytes decide, so a text named photo.jpg is none, and neither is a PNG
// named photo.jpg, which its name sends to the wrong decoder.
bool IsNamedPictureData(const std::string& path, const uint8_t* data, size_t size);
// The bytes IsNamedPictureData reads at most.
constexpr size_t kPictureHeaderBytes = 8;

// Why a picture file that Gobu could not load cannot be shown, in a sentence for the
// user: it is empty, is not a kind Gobu shows, is not the kind its name says, is larger
// than PictureSizeAllowed admits, or else is damaged or of a variant Gobu does not read.
std::string PictureProblem(const std::string& path, const uint8_t* data, size_t size);

// Decodes JPEG, GIF and PNG data (a GIF gives its first frame) the right way up; false
// for damaged data and for the formats the window code decodes itself. With a box, a
// decoder that can reduce a picture cheaply while decoding (JPEG, by libjpeg's DCT
// scaling) may give it smaller, but never smaller than FitSize(its full size, box).
bool DecodePicture(PictureFormat format, const uint8_t* data, size_t size, Picture& picture,
                   PictureSize box = {});
