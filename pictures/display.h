// The gobu's pictures: loading, window shapes, and the element that plays an animated
// GIF.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "codecs/gif.h"
#include "ui/forms.h"

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

// The gobu's picture element: a picture component that can play an animated GIF from
// its first frame on, each frame for its own delay, on a timer of the component's own
// window; the frames touch nothing but this component's picture. A new picture ends
// the animation.
class TAnimatedImage : public TImage {
public:
    void Animate(std::unique_ptr<GifAnimation> animation);
    bool Animating() const { return animation_ != nullptr; }

protected:
    void PictureChanging() override;
    void Timer(UINT_PTR id) override;

private:
    void Stop();
    std::unique_ptr<GifAnimation> animation_;
    uint32_t* frameBits_ = nullptr;  // the pixels of the picture while animating
};
