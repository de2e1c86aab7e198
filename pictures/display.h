// Window shapes from pictures.
#pragma once
#include <windows.h>

#include "app/forms.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The pixels of a bitmap as 0x00RRGGBB values, top row first.
bool ReadPixels(HBITMAP bitmap, int width, int height, std::vector<uint32_t>& pixels);

// The region covering exactly the pixels of the bitmap that differ from its lower-left
// pixel, built from horizontal runs; null when the pixels cannot be read.
HRGN RegionOfPicture(HBITMAP bitmap, int width, int height);

// A picture file as a bitmap, the decoder chosen by the extension in any letter case;
// null when the file cannot be loaded.
HBITMAP LoadPicture(const std::string& path);

// A GIF file ready to play from its first frame; null when it cannot be read or decoded.
std::unique_ptr<GifAnimation> LoadAnimation(const std::string& path);
