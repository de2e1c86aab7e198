#include "codecs/picture.h"

#include <cstdlib>
#include <cstring>

#include "app/utility.h"
#include "codecs/gif.h"
#include "codecs/jpeg.h"
#include "codecs/png.h"

PictureFormat PictureFormatOf(const std::string& path) {
    std::string ext = LowerAZ(ExtensionOf(path));
    if (ext == ".bmp") return PictureFormat::Bitmap;
    if (ext == ".jpg" || ext == ".jpeg" || ext == ".jpe" || ext == ".jfif") return PictureFormat::Jpeg;
    if (ext == ".gif") return PictureFormat::Gif;
    if (ext == ".png") return PictureFormat::Png;
    return PictureFormat::Unknown;
}

namespace {

const char* FormatName(PictureFormat format) {
    switch (format) {
    case PictureFormat::Bitmap:
        return "BMP";
    case PictureFormat::Jpeg:
        return "JPEG";
    case PictureFormat::Gif:
        return "GIF";
    case PictureFormat::Png:
        return "PNG";
    default:
        return "";
    }
}

uint32_t Le(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; i--) v = v << 8 | p[i];
    return v;
}

uint32_t Be(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; i++) v = v << 8 | p[i];
    return v;
}

// The kind of picture the data hold, by their first bytes.
PictureFormat FormatOfData(const uint8_t* d, size_t size) {
    if (size >= 2 && d[0] == 'B' && d[1] == 'M') return PictureFormat::Bitmap;
    if (size >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return PictureFormat::Jpeg;
    if (size >= 6 && memcmp(d, "GIF8", 4) == 0 && (d[4] == '7' || d[4] == '9') && d[5] == 'a')
        return PictureFormat::Gif;
    if (size >= 8 && memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0) return PictureFormat::Png;
    return PictureFormat::Unknown;
}

// The size the header declares; false when the header is cut short.
bool DeclaredSize(PictureFormat format, const uint8_t* d, size_t size, uint64_t& width, uint64_t& height) {
    switch (format) {
    case PictureFormat::Bitmap:
        if (size < 26) return false;
        if (Le(d + 14, 4) == 12) {  // an OS/2 core header
            width = Le(d + 18, 2), height = Le(d + 20, 2);
        } else {  // a bottom-up or, with a negative height, top-down bitmap
            width = uint64_t(std::abs(int64_t(int32_t(Le(d + 18, 4)))));
            height = uint64_t(std::abs(int64_t(int32_t(Le(d + 22, 4)))));
        }
        return true;
    case PictureFormat::Gif:
        if (size < 10) return false;
        width = Le(d + 6, 2), height = Le(d + 8, 2);
        return true;
    case PictureFormat::Png:
        if (size < 24) return false;
        width = Be(d + 16, 4), height = Be(d + 20, 4);
        return true;
    case PictureFormat::Jpeg:
        // The frame header, after the markers that come before it.
        for (size_t at = 2; at + 4 <= size;) {
            if (d[at] != 0xFF) return false;
            const uint8_t marker = d[at + 1];
            if (marker == 0xFF) {  // fill
                at++;
            } else if (marker >= 0xD0 && marker <= 0xD7) {
                at += 2;
            } else if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                       marker != 0xCC) {
                if (at + 9 > size) return false;
                height = Be(d + at + 5, 2), width = Be(d + at + 7, 2);
                return true;
            } else {
                at += 2 + Be(d + at + 2, 2);
            }
        }
        return false;
    default:
        return false;
    }
}

}  // namespace

bool IsNamedPictureData(const std::string& path, const uint8_t* data, size_t size) {
    const PictureFormat named = PictureFormatOf(path);
    return named != PictureFormat::Unknown && FormatOfData(data, size) == named;
}

std::string PictureProblem(const std::string& path, const uint8_t* data, size_t size) {
    if (size == 0) return "It is empty.";
    const PictureFormat named = PictureFormatOf(path);
    if (named == PictureFormat::Unknown) return "It is not a picture Gobu shows: BMP, JPEG, GIF or PNG.";
    const std::string kind = FormatName(named);
    if (FormatOfData(data, size) != named) return "It is not a " + kind + " picture.";
    uint64_t width = 0, height = 0;
    if (DeclaredSize(named, data, size, width, height) && width > 0 && height > 0 &&
        !PictureSizeAllowed(width, height))
        return "It is " + std::to_string(width) + " x " + std::to_string(height) +
               " pixels, larger than Gobu shows (8192 x 8192).";
    return "It is damaged, or a kind of " + kind + " picture that Gobu does not read.";
}

bool DecodePicture(PictureFormat format, const uint8_t* data, size_t size, Picture& picture,
                   PictureSize box) {
    bool ok;
    switch (format) {
    case PictureFormat::Jpeg:
        return DecodeJpeg(data, size, picture, box);
    case PictureFormat::Gif:
        ok = DecodeGif(data, size, picture);
        break;
    case PictureFormat::Png:
        ok = DecodePng(data, size, picture);
        break;
    default:
        return false;
    }
    if (ok) picture.full = PictureSize{picture.width, picture.height};
    return ok;
}
