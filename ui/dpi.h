// The program's layouts are drawn for a screen of 96 dots per inch; on a scaled display
// each of their pixel figures is multiplied by the screen's DPI / 96. Portable: the
// rule is tested natively and used unchanged by the window layer.
#pragma once
#include <cstdint>

constexpr int kDesignDpi = 96;

// value × dpi / 96 rounded to the nearest pixel, halves away from zero, as MulDiv
// rounds: at 96 DPI every figure stays as it is.
constexpr int ScaleForDpi(int value, int dpi) {
    const int64_t product = int64_t(value) * dpi, half = kDesignDpi / 2;
    return int(product >= 0 ? (product + half) / kDesignDpi : (product - half) / kDesignDpi);
}
