#include "codecs/png.h"

#include <cstdlib>
#include <new>

extern "C" {
#include <lodepng.h>
}

namespace {

// lodepng's state and output buffer, released on every way out.
struct PngReader {
    LodePNGState state;
    unsigned char* rgba = nullptr;
    PngReader() { lodepng_state_init(&state); }
    ~PngReader() {
        free(rgba);
        lodepng_state_cleanup(&state);
    }
};

}  // namespace

bool DecodePng(const uint8_t* data, size_t size, Picture& picture) {
    if (!data || size == 0) return false;
    PngReader r;
    unsigned width = 0, height = 0;
    if (lodepng_inspect(&width, &height, &r.state, data, size) != 0) return false;
    if (!PictureSizeAllowed(width, height)) return false;
    r.state.info_raw.colortype = LCT_RGBA;
    r.state.info_raw.bitdepth = 8;
    if (lodepng_decode(&r.rgba, &width, &height, &r.state, data, size) != 0) return false;
    const bool alpha = lodepng_can_have_alpha(&r.state.info_png.color) != 0;
    Picture decoded;
    try {
        decoded.pixels.resize(size_t(width) * height);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const unsigned char* p = r.rgba;
    for (uint32_t& pixel : decoded.pixels) {
        pixel = uint32_t(alpha ? p[3] : 0) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
        p += 4;
    }
    decoded.width = int(width);
    decoded.height = int(height);
    decoded.alpha = alpha;
    picture = std::move(decoded);
    return true;
}
