// JPEG decoding through libjpeg, with an error manager that returns to us instead of
// ending the process.
#pragma once
#include <cstddef>
#include <cstdint>

#include "codecs/picture.h"

// Decodes a baseline or progressive JPEG in grayscale, YCbCr, RGB, CMYK or YCCK into
// RGB pixels, turned upright by its Exif orientation. False for damaged or truncated
// data and for pictures larger than PictureSizeAllowed admits, which are refused before
// decoding starts. With a box, the picture comes at the smallest of libjpeg's DCT scales
// that still covers FitSize(its full size, box).
bool DecodeJpeg(const uint8_t* data, size_t size, Picture& picture, PictureSize box = {});
