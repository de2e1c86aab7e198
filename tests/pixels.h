// Comparing decoded pictures with a peer's decoding of the same file.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

// The largest difference of any colour channel between two lists of 0x00RRGGBB pixels;
// lists of different lengths differ by the most there is.
inline int LargestDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return 255;
    int worst = 0;
    for (size_t i = 0; i < a.size(); i++)
        for (int shift : {0, 8, 16})
            worst = std::max(worst, std::abs(int(a[i] >> shift & 0xFF) - int(b[i] >> shift & 0xFF)));
    return worst;
}

// The same over all four bytes of 0xAARRGGBB pixels, alpha included.
inline int LargestRgbaDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return 255;
    int worst = 0;
    for (size_t i = 0; i < a.size(); i++)
        for (int shift : {0, 8, 16, 24})
            worst = std::max(worst, std::abs(int(a[i] >> shift & 0xFF) - int(b[i] >> shift & 0xFF)));
    return worst;
}
