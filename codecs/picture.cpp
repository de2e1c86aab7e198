#include "codecs/picture.h"

#include "app/utility.h"
#include "codecs/gif.h"
#include "codecs/jpeg.h"

PictureFormat PictureFormatOf(const std::string& path) {
    std::string ext = LowerAZ(ExtensionOf(path));
    if (ext == ".bmp") return PictureFormat::Bitmap;
    if (ext == ".jpg" || ext == ".jpeg") return PictureFormat::Jpeg;
    if (ext == ".gif") return PictureFormat::Gif;
    return PictureFormat::Unknown;
}

bool DecodePicture(PictureFormat format, const uint8_t* data, size_t size, Picture& picture) {
    switch (format) {
    case PictureFormat::Jpeg:
        return DecodeJpeg(data, size, picture);
    case PictureFormat::Gif:
        return DecodeGif(data, size, picture);
    default:
        return false;
    }
}
