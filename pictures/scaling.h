// What the gobu window shows of a decoded picture: its size on the desktop, its pixels
// reduced or enlarged by area averaging, its shape, and its alpha premultiplied for a
// layered window or flattened onto white. Plain buffers only; the window side hands
// them to GDI.
#pragma once
#include <cstdint>
#include <vector>

#include "codecs/picture.h"
#include "pictures/shape.h"

// How the pixels of a picture are averaged when it is scaled.
enum class ScaleRule {
    Plain,  // every pixel counts alike; the top byte is ignored and comes out 0
    Keyed,  // pixels of the key colour (the lower-left pixel's) are holes: a target pixel
            // is opaque (top byte 255, else 0) when more than half of its area is, and its
            // colour averages only the opaque source pixels
    Alpha,  // premultiplied 0xAARRGGBB in and out
};

// The picture scaled to size by area averaging: each target pixel averages the source
// area it covers, weighting partly covered source pixels by the part covered. Enlarged,
// a target pixel inside one source pixel takes it unchanged.
Picture ScalePicture(const Picture& source, PictureSize size, ScaleRule rule);

// Straight alpha into premultiplied: each colour channel times alpha / 255, rounded.
void Premultiply(Picture& picture);
// A premultiplied picture over a background colour (0x00RRGGBB), opaque: the top byte
// becomes 0.
void FlattenOnto(Picture& picture, uint32_t background);
// Horizontal runs of the pixels whose top byte is not 0.
std::vector<ShapeRun> OpaqueRuns(const uint32_t* pixels, int width, int height);

// A picture ready for the gobu window.
struct ShownPicture {
    // At the shown size. Layered: premultiplied 0xAARRGGBB; otherwise 0x00RRGGBB.
    Picture picture;
    // Shown through a layered window with per-pixel alpha.
    bool layered = false;
    // With transparent set and not layered: the window's shape, every pixel not a hole.
    std::vector<ShapeRun> shape;
};

// A decoded picture as the gobu shows it on a screen of dpi: at the size it has at
// 96 DPI, in proportion at any other, and reduced to fit within box (half of its
// monitor's work area) when larger. A picture with alpha is layered while transparent
// is set and flattened onto white otherwise; one without alpha is cut to its
// key-colour outline while transparent is set.
ShownPicture PreparePicture(Picture decoded, PictureSize box, bool transparent, int dpi);
