#include "codecs/picture.h"

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
