// The gobu's pictures: loading, window shapes, and the element that plays an animated
// GIF.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "codecs/gif.h"
#include "codecs/picture.h"
#include "pictures/shape.h"
#include "ui/forms.h"

// The pixels of a bitmap as 0x00RRGGBB values, top row first.
bool ReadPixels(HBITMAP bitmap, int width, int height, std::vector<uint32_t>& pixels);

// The region covering exactly the pixels of the runs.
HRGN RegionOfRuns(const std::vector<ShapeRun>& runs);
// The region covering exactly the pixels of the bitmap that differ from its lower-left
// pixel, built from horizontal runs; null when the pixels cannot be read.
HRGN RegionOfPicture(HBITMAP bitmap, int width, int height);

// A bitmap's pixels as a picture without alpha.
bool PictureOfBitmap(HBITMAP bitmap, Picture& picture);

// A picture file decoded, the decoder chosen by the extension in any letter case; box
// as DecodePicture takes it. False when the file cannot be loaded.
bool LoadPictureFile(const std::string& path, PictureSize box, Picture& picture);

// Whether a file holds a picture the gobu shows, by its first bytes (not by its name
// alone); false for a folder and for what cannot be read.
bool IsPictureFile(const std::string& path);

// Why the gobu cannot show a picture file, found by loading it as the gobu would within
// box; empty when it can.
std::string PictureFileProblem(const std::string& path, PictureSize box);

// A picture file as a bitmap of its full size, alpha flattened onto the background
// colour; null when the file cannot be loaded.
HBITMAP LoadPicture(const std::string& path, uint32_t background = 0xFFFFFF);

// A PNG picture among the program's resources (of the kind RCDATA); false when there is
// none of that name.
bool LoadResourcePicture(const char* name, Picture& picture);

// What the file dialogs preview: pictures over the dialog's colour, null for any other
// file.
HBITMAP PreviewPicture(const std::string& path);

// Half of the work area of the monitor the window is on: large pictures are fitted
// into it.
PictureSize HalfWorkArea(HWND window);

// A GIF file ready to play from its first frame; null when it cannot be read or decoded.
std::unique_ptr<GifAnimation> LoadAnimation(const std::string& path);

// The gobu's picture element: a picture component that can play an animated GIF from
// its first frame on, each frame for its own delay, on a timer of the component's own
// window; the frames touch nothing but this component's picture. A new picture ends
// the animation.
class TAnimatedImage : public TImage {
public:
    // Frames of another size than shown are reduced to it.
    void Animate(std::unique_ptr<GifAnimation> animation, PictureSize shown);
    bool Animating() const { return animation_ != nullptr; }

protected:
    void PictureChanging() override;
    void Timer(UINT_PTR id) override;

private:
    void Stop();
    // The animation's screen into the picture, at the shown size.
    void ShowFrame();
    std::unique_ptr<GifAnimation> animation_;
    uint32_t* frameBits_ = nullptr;  // the pixels of the picture while animating
    PictureSize shown_;
};
