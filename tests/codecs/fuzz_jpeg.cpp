// libFuzzer entry for the JPEG wrapper: any input either fails or gives a picture of
// a size the bound admits, with exactly its pixels.
#include <cstdlib>

#include "codecs/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Picture picture;
    if (DecodeJpeg(data, size, picture) &&
        (!PictureSizeAllowed(uint64_t(picture.width), uint64_t(picture.height)) ||
         picture.pixels.size() != size_t(picture.width) * size_t(picture.height)))
        abort();
    return 0;
}
