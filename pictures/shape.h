// The outline of a picture as horizontal runs of pixels that differ from its key
// colour, the colour of the lower-left pixel. The window region is built from them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct ShapeRun {
    int y;
    int left, right;  // right is exclusive
};

// pixels: width * height colours, row 0 at the top, each 0x00RRGGBB (the top byte is
// ignored). Every pixel of the key colour, wherever it lies, becomes a hole.
std::vector<ShapeRun> ShapeRuns(const uint32_t* pixels, int width, int height);
