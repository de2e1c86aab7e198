// PNG decoding through lodepng's decoder.
#pragma once
#include <cstddef>
#include <cstdint>

#include "codecs/picture.h"

// Decodes a PNG of any colour type, bit depth and interlacing into 8-bit pixels. A
// picture with an alpha channel or a transparent colour comes with alpha set. False for
// damaged, truncated or unsupported data, and for pictures larger than
// PictureSizeAllowed admits, which are refused from the header before decoding.
// Gamma and colour profiles are ignored.
bool DecodePng(const uint8_t* data, size_t size, Picture& picture);
