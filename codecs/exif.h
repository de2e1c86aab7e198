// The Exif orientation of a photo: how the stored picture is turned to stand upright.
#pragma once
#include <cstddef>
#include <cstdint>

#include "codecs/picture.h"

// The orientation tag (0x0112) of the first IFD of an APP1 segment's payload ("Exif",
// two zero bytes, then a TIFF header), 1 to 8; 1 when the block is absent, damaged or
// names no valid orientation.
int ExifOrientation(const uint8_t* payload, size_t size);

// Whether the orientation exchanges width and height (5 to 8).
inline bool OrientationTurns(int orientation) { return orientation >= 5 && orientation <= 8; }

// Turns and mirrors the picture from its stored orientation into the upright one.
void OrientPicture(Picture& picture, int orientation);
