#include "codecs/exif.h"

#include <cstring>
#include <utility>

namespace {

const size_t kTiffStart = 6;  // after "Exif\0\0"
const uint16_t kOrientationTag = 0x0112;
const uint16_t kTypeShort = 3;

// Reads of the TIFF block in its own byte order; a read past the end gives 0 and marks
// the block damaged.
class TiffReader {
public:
    TiffReader(const uint8_t* tiff, size_t size, bool bigEndian)
        : tiff_(tiff), size_(size), big_(bigEndian) {}
    uint32_t U16(size_t at) {
        if (at > size_ || size_ - at < 2) return Bad();
        return big_ ? uint32_t(tiff_[at]) << 8 | tiff_[at + 1] : uint32_t(tiff_[at + 1]) << 8 | tiff_[at];
    }
    uint32_t U32(size_t at) {
        if (at > size_ || size_ - at < 4) return Bad();
        return big_ ? U16(at) << 16 | U16(at + 2) : U16(at + 2) << 16 | U16(at);
    }
    bool damaged = false;

private:
    uint32_t Bad() {
        damaged = true;
        return 0;
    }
    const uint8_t* tiff_;
    size_t size_;
    bool big_;
};

}  // namespace

int ExifOrientation(const uint8_t* payload, size_t size) {
    if (!payload || size < kTiffStart + 8 || memcmp(payload, "Exif\0\0", kTiffStart) != 0) return 1;
    const uint8_t* tiff = payload + kTiffStart;
    const size_t tiffSize = size - kTiffStart;
    bool big;
    if (memcmp(tiff, "MM\0\x2A", 4) == 0)
        big = true;
    else if (memcmp(tiff, "II\x2A\0", 4) == 0)
        big = false;
    else
        return 1;
    TiffReader in(tiff, tiffSize, big);
    const size_t ifd = in.U32(4);
    const uint32_t entries = in.U16(ifd);
    for (uint32_t i = 0; i < entries && !in.damaged; i++) {
        // Each entry: tag, type, count (32 bits), then the value or its offset.
        const size_t entry = ifd + 2 + size_t(i) * 12;
        if (in.U16(entry) != kOrientationTag) continue;
        const uint32_t type = in.U16(entry + 2), count = in.U32(entry + 4), value = in.U16(entry + 8);
        if (in.damaged || type != kTypeShort || count != 1 || value < 1 || value > 8) return 1;
        return int(value);
    }
    return 1;
}

void OrientPicture(Picture& picture, int orientation) {
    if (orientation < 2 || orientation > 8) return;
    const int w = picture.width, h = picture.height;
    const bool turns = OrientationTurns(orientation);
    const int outW = turns ? h : w, outH = turns ? w : h;
    std::vector<uint32_t> out(picture.pixels.size());
    for (int y = 0; y < outH; y++) {
        for (int x = 0; x < outW; x++) {
            // The stored pixel that lands on upright (x, y).
            int sx, sy;
            switch (orientation) {
            case 2:
                sx = w - 1 - x, sy = y;
                break;
            case 3:
                sx = w - 1 - x, sy = h - 1 - y;
                break;
            case 4:
                sx = x, sy = h - 1 - y;
                break;
            case 5:
                sx = y, sy = x;
                break;
            case 6:
                sx = y, sy = h - 1 - x;
                break;
            case 7:
                sx = w - 1 - y, sy = h - 1 - x;
                break;
            default:
                sx = w - 1 - y, sy = x;
                break;  // 8
            }
            out[size_t(y) * outW + x] = picture.pixels[size_t(sy) * w + sx];
        }
    }
    picture.pixels = std::move(out);
    picture.width = outW;
    picture.height = outH;
}
