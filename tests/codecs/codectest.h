// Helpers for the codec tests: ImageMagick as the peer that makes and decodes files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/picture.h"

using Bytes = std::vector<uint8_t>;

// Runs ImageMagick's convert with these arguments (a shell word list whose output
// goes to "-") and returns what it wrote; the test fails when it fails.
Bytes Convert(const std::string& arguments, const Bytes& input = {});

// ImageMagick's decoding of a file of this format ("jpg", "gif"), first frame, in sRGB.
Picture ConvertToPicture(const Bytes& file, const std::string& format);
