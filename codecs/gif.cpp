// GIF decoding. The blocks are walked with a checked cursor; a frame's LZW data is
// joined from its sub-blocks and expanded into colour indices, and only a frame that
// decodes completely is composed onto the screen, so a damaged one leaves the last
// good frame in place.
//
// Choices where files disagree with the GIF89a document or with each other:
// - A frame without a colour table, or with an index past its table, gets black.
// - LZW minimum code sizes 2 to 8 are accepted; 1 is refused: the document asks
//   two-colour pictures to use 2, and encoders do (ImageMagick among them).
// - A frame's sub-block chain must be complete up to its terminator; inside it, the
//   end code may be missing once every pixel has come, and anything after is ignored.
// - Disposal methods 4 to 7 are taken as 0: they have no meaning.
// - Zero-sized frames are damaged, as are frames over PictureSizeAllowed.
#include "codecs/gif.h"

#include <algorithm>
#include <cstring>

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the LZW bit reader and string copies assume a little-endian machine"
#endif

namespace {

constexpr uint8_t kExtensionBlock = 0x21, kImageBlock = 0x2C;
constexpr uint8_t kGraphicControl = 0xF9, kApplication = 0xFF;

// LZW codes are at most 12 bits wide, so there are at most this many table entries,
// and no code expands to more pixels.
constexpr int kMaxCodes = 4096;

int DelayToMs(int hundredths) { return hundredths <= 1 ? kGifShortDelayMs : hundredths * 10; }

bool IsLoopingApplication(const uint8_t* id, int n) {
    return id && n == 11 &&
           (std::memcmp(id, "NETSCAPE2.0", 11) == 0 || std::memcmp(id, "ANIMEXTS1.0", 11) == 0);
}

}  // namespace

// A cursor over the data. A read past the end fails it and yields zeros; once failed it
// stays failed, so several fields can be read and then tested at once. Every test of the
// input goes through Check.
class GifDecoder::Input {
public:
    Input(const uint8_t* data, size_t size, size_t pos) : data_(data), size_(size), pos_(pos) {}

    bool Check(bool condition) {
        if (!condition) failed_ = true;
        return !failed_;
    }
    size_t Pos() const { return pos_; }

    // The next n bytes, or null when the data ends before them.
    const uint8_t* Take(size_t n) {
        if (!Check(data_ && n <= size_ - pos_)) return nullptr;
        const uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }
    int Byte() {
        const uint8_t* p = Take(1);
        return p ? p[0] : 0;
    }
    int Word() {
        const uint8_t* p = Take(2);
        return p ? p[0] | p[1] << 8 : 0;
    }
    // The next sub-block of a chain and its length n, which is 0 at the terminator.
    const uint8_t* SubBlock(int& n) {
        n = Byte();
        return Take(size_t(n));
    }
    // The rest of a chain through its terminator, its bytes appended to out when given.
    bool SubBlocks(std::vector<uint8_t>* out) {
        for (;;) {
            int n;
            const uint8_t* p = SubBlock(n);
            if (!p) return false;
            if (n == 0) return true;
            if (out) out->insert(out->end(), p, p + n);
        }
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_;
    bool failed_ = false;
};

bool GifDecoder::Open(const uint8_t* data, size_t size) {
    *this = GifDecoder();
    Input in(data, size, 0);
    const uint8_t* signature = in.Take(6);
    int width = in.Word(), height = in.Word(), flags = in.Byte();
    in.Take(2);  // the background colour index, ignored as browsers do, and the aspect ratio
    if (!in.Check(signature &&
                  (std::memcmp(signature, "GIF87a", 6) == 0 || std::memcmp(signature, "GIF89a", 6) == 0) &&
                  PictureSizeAllowed(uint64_t(width), uint64_t(height))))
        return false;
    globalPalette_.assign(256, 0);
    if ((flags & 0x80) && !ReadPalette(in, flags & 7, globalPalette_)) return false;
    data_ = data;
    size_ = size;
    width_ = width;
    height_ = height;
    pos_ = firstBlock_ = in.Pos();
    return true;
}

void GifDecoder::Rewind() {
    pos_ = firstBlock_;
    std::fill(screen_.begin(), screen_.end(), kGifBackground);
    next_ = Control();
    disposal_ = 0;
    rect_ = Rect();
    frameIndex_ = 0;
}

bool GifDecoder::NextFrame() {
    // The trailer ends the frames as damage does; either stays where it is, so that
    // every later call fails too, until Rewind.
    Input in(data_, size_, pos_);
    for (;;) {
        int kind = in.Byte();
        if (!in.Check(kind == kExtensionBlock || kind == kImageBlock)) return false;
        if (kind == kImageBlock) break;
        if (!ReadExtension(in)) return false;
    }
    if (!ReadFrame(in)) return false;
    pos_ = in.Pos();
    return true;
}

bool GifDecoder::ReadExtension(Input& in) {
    int label = in.Byte();
    int n;
    const uint8_t* p = in.SubBlock(n);
    if (label == kGraphicControl) {
        if (!in.Check(n >= 4)) return false;
        next_.disposal = p[0] >> 2 & 7;
        next_.delay = p[1] | p[2] << 8;
        next_.transparent = (p[0] & 1) ? p[3] : -1;
    }
    bool looping = label == kApplication && IsLoopingApplication(p, n);
    while (p && n > 0) {
        p = in.SubBlock(n);
        if (looping && p && n >= 3 && p[0] == 1) loopCount_ = p[1] | p[2] << 8;
    }
    return p != nullptr;
}

bool GifDecoder::ReadPalette(Input& in, int sizeBits, std::vector<uint32_t>& palette) {
    size_t count = size_t(2) << sizeBits;
    const uint8_t* p = in.Take(3 * count);
    palette.assign(256, 0);
    if (!p) return false;
    for (size_t i = 0; i < count; i++, p += 3) palette[i] = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    return true;
}

bool GifDecoder::ReadFrame(Input& in) {
    int left = in.Word(), top = in.Word(), width = in.Word(), height = in.Word(), flags = in.Byte();
    const std::vector<uint32_t>* palette = &globalPalette_;
    if (flags & 0x80) {
        if (!ReadPalette(in, flags & 7, localPalette_)) return false;
        palette = &localPalette_;
    }
    int minCodeSize = in.Byte();
    if (!in.Check(PictureSizeAllowed(uint64_t(width), uint64_t(height)) && minCodeSize >= 2 &&
                  minCodeSize <= 8))
        return false;
    codes_.clear();
    if (!in.SubBlocks(&codes_)) return false;
    size_t count = size_t(width) * size_t(height);
    // Room past the frame for the last code's string, which may overshoot it, and for
    // the seven more pixels a copy of eight at a time may write.
    if (indicesSize_ < count + kMaxCodes + 8) {
        indicesSize_ = count + kMaxCodes + 8;
        indices_.reset(new uint8_t[indicesSize_]);
    }
    if (!Expand(in, minCodeSize, count)) return false;

    // The frame is good: only now does the screen change. It is made for the first good
    // frame, so that a file of a large screen and no picture costs nothing.
    if (screen_.empty()) screen_.assign(size_t(width_) * size_t(height_), kGifBackground);
    Dispose();
    Rect r;
    if (left < width_ && top < height_)
        r = {left, top, std::min(left + width, width_), std::min(top + height, height_)};
    if (next_.disposal == 3) {
        saved_.clear();
        for (int y = r.y0; y < r.y1; y++) {
            const uint32_t* row = screen_.data() + size_t(y) * size_t(width_);
            saved_.insert(saved_.end(), row + r.x0, row + r.x1);
        }
    }
    Draw(r, width, height, top, (flags & 0x40) != 0, palette->data(), next_.transparent);
    disposal_ = next_.disposal;
    rect_ = r;
    delayMs_ = DelayToMs(next_.delay);
    next_ = Control();
    frameIndex_++;
    return true;
}

// A code's string is a copy of output already made: each new table entry is the string
// of the previous code, which was just written, followed by the first pixel of the
// next, which comes right after it. So an entry is kept as where its string lies and
// how long it is, and expanding a code is one copy, eight pixels at a time. The first
// eight pixels of each string are kept in the table too: most strings are no longer,
// and the table stays in the cache where the output they come from may not.
bool GifDecoder::Expand(Input& in, int minCodeSize, size_t count) {
    uint32_t at[kMaxCodes];
    uint16_t length[kMaxCodes];
    uint64_t head[kMaxCodes];
    const int clear = 1 << minCodeSize, end = clear + 1;
    for (int c = 0; c < clear; c++) {
        length[c] = 1;
        head[c] = uint64_t(c);
    }
    int width = minCodeSize + 1, next = clear + 2, prev = -1;
    const uint8_t* src = codes_.data();
    const uint8_t* srcEnd = src + codes_.size();
    uint64_t bits = 0;
    int bitCount = 0;
    uint8_t* const out = indices_.get();
    size_t done = 0;
    while (done < count) {
        if (bitCount < width) {
            if (srcEnd - src >= 8) {
                // The whole bytes that fit; the bits above bitCount then hold the start
                // of the next byte, which the next top-up ORs in again unchanged.
                uint64_t word;
                std::memcpy(&word, src, 8);
                bits |= word << bitCount;
                src += (63 - bitCount) >> 3;
                bitCount |= 56;
            } else {
                while (bitCount <= 56 && src < srcEnd) {
                    bits |= uint64_t(*src++) << bitCount;
                    bitCount += 8;
                }
                if (bitCount < width) break;
            }
        }
        int code = int(bits & ((1u << width) - 1));
        bits >>= width;
        bitCount -= width;
        if (code == clear) {
            width = minCodeSize + 1;
            next = clear + 2;
            prev = -1;
            continue;
        }
        if (code == end) break;
        // The one code not yet in the table that may come is the next entry, which is
        // the previous string followed by its own first pixel.
        if (code > next || (code == next && prev < 0)) return in.Check(false);
        // A full table stays as it is until a clear code comes.
        if (prev >= 0 && next < kMaxCodes) {
            at[next] = uint32_t(done - length[prev]);
            length[next] = uint16_t(length[prev] + 1);
            uint64_t firstPixel = (code == next ? head[prev] : head[code]) & 0xFF;
            head[next] = length[prev] < 8 ? head[prev] | firstPixel << (8 * length[prev]) : head[prev];
            if (++next == 1 << width && width < 12) width++;
        }
        // Eight at a time overshoots the string by up to seven pixels, which the next
        // strings overwrite. A longer string starts at least eight pixels back, even the
        // entry just made: it ends with the pixel that starts it.
        uint8_t* to = out + done;
        size_t n = length[code];
        if (n <= 8) {
            std::memcpy(to, &head[code], 8);
        } else {
            const uint8_t* from = out + at[code];
            for (size_t i = 0; i < n; i += 8) std::memcpy(to + i, from + i, 8);
        }
        done += n;
        prev = code;
    }
    return in.Check(done >= count);
}

void GifDecoder::Draw(const Rect& r, int frameWidth, int frameHeight, int top, bool interlaced,
                      const uint32_t* palette, int transparent) {
    // Interlaced rows come in four passes: every eighth from 0, every eighth from 4,
    // every fourth from 2, every second from 1.
    struct Pass {
        int start, step;
    };
    static const Pass kInterlaced[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    static const Pass kSequential[] = {{0, 1}};
    const Pass* passes = interlaced ? kInterlaced : kSequential;
    int passCount = interlaced ? 4 : 1;
    int visible = r.x1 - r.x0;
    const uint8_t* src = indices_.get();
    for (int p = 0; p < passCount; p++) {
        for (int y = passes[p].start; y < frameHeight; y += passes[p].step, src += frameWidth) {
            int screenY = top + y;
            if (screenY >= r.y1) continue;
            uint32_t* dst = screen_.data() + size_t(screenY) * size_t(width_) + r.x0;
            if (transparent < 0) {
                for (int x = 0; x < visible; x++) dst[x] = palette[src[x]];
            } else {
                for (int x = 0; x < visible; x++)
                    if (src[x] != transparent) dst[x] = palette[src[x]];
            }
        }
    }
}

void GifDecoder::Dispose() {
    const Rect& r = rect_;
    size_t w = size_t(r.x1 - r.x0);
    for (int y = r.y0; y < r.y1; y++) {
        uint32_t* row = screen_.data() + size_t(y) * size_t(width_) + r.x0;
        if (disposal_ == 2) std::fill(row, row + w, kGifBackground);
        if (disposal_ == 3) std::copy_n(saved_.data() + size_t(y - r.y0) * w, w, row);
    }
}

bool DecodeGif(const uint8_t* data, size_t size, Picture& picture) {
    GifDecoder gif;
    if (!gif.Open(data, size) || !gif.NextFrame()) return false;
    picture.width = gif.Width();
    picture.height = gif.Height();
    picture.pixels = gif.Screen();
    return true;
}

bool GifAnimation::Open(std::vector<uint8_t> data) {
    data_ = std::move(data);
    roundsPlayed_ = 0;
    ended_ = false;
    return decoder_.Open(data_.data(), data_.size()) && decoder_.NextFrame();
}

bool GifAnimation::Advance() {
    if (ended_) return false;
    if (decoder_.NextFrame()) return true;
    // The round is over. A round of one frame is a still picture however it loops.
    roundsPlayed_++;
    int loops = decoder_.LoopCount();
    bool again = decoder_.FrameIndex() > 1 && (loops == 0 || (loops > 0 && roundsPlayed_ <= loops));
    if (again) {
        decoder_.Rewind();
        if (decoder_.NextFrame()) return true;
    }
    ended_ = true;
    return false;
}
