// Building a window region for a photo-like picture: from horizontal runs (as the
// gobu does) against one CombineRgn per pixel. Run under Wine or Windows.
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "pictures/display.h"

namespace {

// A photo-like picture: a noisy, shaded ellipse on a plain key-coloured background.
HBITMAP MakePicture(int w, int h) {
    uint32_t* px = nullptr;
    HBITMAP bmp = CreatePixelBitmap(w, h, nullptr, &px);
    const uint32_t key = 0xFFFFFF;
    srand(1);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            double dx = (x - w / 2.0) / (w * 0.45), dy = (y - h / 2.0) / (h * 0.42);
            double wobble = 0.08 * std::sin(x * 0.05) * std::cos(y * 0.07);
            if (dx * dx + dy * dy > 1.0 + wobble) {
                px[size_t(y) * w + x] = key;
            } else {
                int r = (x * 255 / w + rand() % 24) & 0xFF, g = (y * 200 / h + rand() % 24) & 0xFF;
                int b = (128 + rand() % 64) & 0xFF;
                px[size_t(y) * w + x] = uint32_t(r << 16 | g << 8 | b) & 0xFEFEFE;  // never the key
            }
        }
    return bmp;
}

HRGN PerPixelRegion(HBITMAP bmp, int w, int h) {
    BITMAP bm;
    GetObjectA(bmp, sizeof bm, &bm);
    auto* px = static_cast<const uint32_t*>(bm.bmBits);
    uint32_t key = px[size_t(h - 1) * w] & 0xFFFFFF;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if ((px[size_t(y) * w + x] & 0xFFFFFF) != key) {
                HRGN dot = CreateRectRgn(x, y, x + 1, y + 1);
                CombineRgn(region, region, dot, RGN_OR);
                DeleteObject(dot);
            }
    return region;
}

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    int w = argc > 2 ? atoi(argv[1]) : 1024, h = argc > 2 ? atoi(argv[2]) : 768;
    HBITMAP bmp = MakePicture(w, h);
    LARGE_INTEGER t0, t1, t2;
    QueryPerformanceCounter(&t0);
    HRGN runs = RegionOfPicture(bmp, w, h);
    QueryPerformanceCounter(&t1);
    HRGN dots = PerPixelRegion(bmp, w, h);
    QueryPerformanceCounter(&t2);
    bool same = EqualRgn(runs, dots) != 0;
    double a = Seconds(t0, t1), b = Seconds(t1, t2);
    printf("region of a %dx%d photo-like picture\n", w, h);
    printf("  runs (ExtCreateRegion batches)  %10.4f s\n", a);
    printf("  one CombineRgn per pixel        %10.4f s\n", b);
    printf("  ratio                           %10.1f x faster%s\n", b / a, same ? "" : "  (REGIONS DIFFER)");
    return same ? 0 : 1;
}
