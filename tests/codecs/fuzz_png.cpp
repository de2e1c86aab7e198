// libFuzzer entry for the PNG decoder: any input either fails or gives a picture of a
// size the bound admits, with exactly its pixels, and without alpha a top byte of 0.
#include <cstdlib>

#include "codecs/png.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Picture picture;
    if (!DecodePng(data, size, picture)) return 0;
    if (!PictureSizeAllowed(uint64_t(picture.width), uint64_t(picture.height)) ||
        picture.pixels.size() != size_t(picture.width) * size_t(picture.height))
        abort();
    for (uint32_t p : picture.pixels)
        if (!picture.alpha && p >> 24 != 0) abort();
    return 0;
}
