// GIF87a and GIF89a decoding: single pictures and animations, composed onto the
// logical screen frame by frame.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "codecs/picture.h"

// The colour of screen pixels that no frame has painted, or that a frame leaves
// transparent: white, as a transparent GIF looks on a plain page. With Transparent set
// the gobu takes its key colour from the lower-left pixel, so a GIF whose corner is
// transparent is cut to its opaque part.
constexpr uint32_t kGifBackground = 0xFFFFFF;

// Delays of 0 and 1 hundredths of a second are shown this long, as browsers do: such
// files were made for players that ignore the delay.
constexpr int kGifShortDelayMs = 100;

// Reads the frames of a GIF one after the other, composing each onto the logical
// screen with the disposal of the frame before it. The data is not copied and must
// outlive the decoder. Every length is checked against the data; nothing is trusted.
class GifDecoder {
public:
    // Reads the header and the logical screen descriptor. False when the data is not a
    // GIF or its screen is larger than PictureSizeAllowed admits.
    bool Open(const uint8_t* data, size_t size);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Decodes the next frame onto the screen. False at the trailer, at the end of the
    // data, or at damaged data; the screen then keeps the last good frame.
    bool NextFrame();

    // The composed screen after the last NextFrame, width × height pixels; empty until
    // a frame has decoded.
    const std::vector<uint32_t>& Screen() const { return screen_; }
    // How long the last frame is shown, in milliseconds (short delays already raised).
    int DelayMs() const { return delayMs_; }
    // The looping extension's count: -1 when none has been read yet, 0 for endless,
    // otherwise how many times the animation repeats after its first showing.
    int LoopCount() const { return loopCount_; }
    // Frames decoded since Open or Rewind.
    int FrameIndex() const { return frameIndex_; }

    // Back to the first frame, with a cleared screen.
    void Rewind();

private:
    class Input;
    // What a graphic control extension says about the frame after it.
    struct Control {
        int delay = 0;  // hundredths of a second
        int disposal = 0;
        int transparent = -1;
    };
    // A frame's rectangle clipped to the screen; empty when it lies outside.
    struct Rect {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    };

    bool ReadExtension(Input& in);
    bool ReadFrame(Input& in);
    static bool ReadPalette(Input& in, int sizeBits, std::vector<uint32_t>& palette);
    bool Expand(Input& in, int minCodeSize, size_t count);
    void Draw(const Rect& r, int frameWidth, int frameHeight, int top, bool interlaced,
              const uint32_t* palette, int transparent);
    void Dispose();

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;         // the next block
    size_t firstBlock_ = 0;  // the block after the global colour table, where Rewind starts
    int width_ = 0, height_ = 0;
    std::vector<uint32_t> globalPalette_;  // 256 entries, black past the file's table
    std::vector<uint32_t> localPalette_;
    std::vector<uint32_t> screen_;
    std::vector<uint8_t> codes_;  // the frame's LZW data, its sub-blocks joined
    // The frame's colour indices in the order sent. Not a vector, whose growth would
    // clear it: only the pixels that come are ever written.
    std::unique_ptr<uint8_t[]> indices_;
    size_t indicesSize_ = 0;
    std::vector<uint32_t> saved_;  // the screen under the last frame, for disposal 3
    Control next_;                 // for the frame still to come
    int disposal_ = 0;             // of the frame on the screen
    Rect rect_;                    // of the frame on the screen
    int delayMs_ = 0;
    int loopCount_ = -1;
    int frameIndex_ = 0;
};

// The still picture of a GIF: its first frame composed onto the screen.
bool DecodeGif(const uint8_t* data, size_t size, Picture& picture);

// Plays a GIF: which frame is shown and for how long, with the file's looping.
// Without a looping extension the animation plays once and stays on its last frame;
// damaged data after at least one good frame ends the round as the trailer would.
class GifAnimation {
public:
    // Takes a copy of the data and decodes the first frame. False when not even the
    // first frame decodes.
    bool Open(std::vector<uint8_t> data);

    const std::vector<uint32_t>& Screen() const { return decoder_.Screen(); }
    int Width() const { return decoder_.Width(); }
    int Height() const { return decoder_.Height(); }

    // How long the frame now on the screen is shown, in milliseconds.
    int DelayMs() const { return decoder_.DelayMs(); }

    // Moves on to the next frame, rewinding at the end of a round while rounds remain.
    // False when the animation has ended (or has a single frame): the screen stays.
    bool Advance();

private:
    std::vector<uint8_t> data_;
    GifDecoder decoder_;
    int roundsPlayed_ = 0;
    bool ended_ = false;
};
