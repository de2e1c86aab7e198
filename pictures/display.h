// Window shapes from pictures.
#pragma once
#include <windows.h>

// The region covering exactly the pixels of the bitmap that differ from its lower-left
// pixel, built from horizontal runs; null when the pixels cannot be read.
HRGN RegionOfPicture(HBITMAP bitmap, int width, int height);
