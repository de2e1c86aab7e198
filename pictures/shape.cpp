#include "pictures/shape.h"

std::vector<ShapeRun> ShapeRuns(const uint32_t* pixels, int width, int height) {
    std::vector<ShapeRun> runs;
    if (width <= 0 || height <= 0) return runs;
    const uint32_t mask = 0xFFFFFF;
    const uint32_t key = pixels[size_t(height - 1) * width] & mask;
    for (int y = 0; y < height; y++) {
        const uint32_t* row = pixels + size_t(y) * width;
        int x = 0;
        while (x < width) {
            while (x < width && (row[x] & mask) == key) x++;
            int left = x;
            while (x < width && (row[x] & mask) != key) x++;
            if (x > left) runs.push_back(ShapeRun{y, left, x});
        }
    }
    return runs;
}
