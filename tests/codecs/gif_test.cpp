// The GIF decoder on streams made here field by field: what it accepts and refuses, its
// LZW expansion, the composition of frames, truncated and flipped files, and playing.
#include <gtest/gtest.h>

#include <random>

#include "codecs/gif.h"
#include "tests/codecs/codectest.h"

namespace {

constexpr uint32_t W = kGifBackground, K = 0x000000, R = 0xFF0000, G = 0x00FF00, B = 0x0000FF;
const std::vector<uint32_t> kColours = {K, R, G, B};
const Bytes kTrailer = {0x3B};

// The header and a screen of width × height with kColours as its global table.
Bytes Start(int width, int height) {
    return Header() + ScreenDescriptor(width, height, 1) + ColourTable(kColours, 4);
}

// A 256-entry table whose colour i is the value i, so that a screen shows its indices.
std::vector<uint32_t> IndexColours() {
    std::vector<uint32_t> colours;
    for (uint32_t i = 0; i < 256; i++) colours.push_back(i);
    return colours;
}

enum class Outcome { OpenFails, FrameFails, Decodes };

struct Decoded {
    Outcome outcome;
    std::vector<uint32_t> screen;
};

Decoded DecodeFirst(const Bytes& gif) {
    // An exact copy on the heap, so that a read past its end is caught.
    Bytes data(gif);
    GifDecoder decoder;
    if (!decoder.Open(data.data(), data.size())) return {Outcome::OpenFails, {}};
    if (!decoder.NextFrame()) return {Outcome::FrameFails, {}};
    return {Outcome::Decodes, decoder.Screen()};
}

// Every screen a decoder composes, one per frame.
std::vector<std::vector<uint32_t>> AllFrames(const Bytes& gif) {
    GifDecoder decoder;
    std::vector<std::vector<uint32_t>> frames;
    if (!decoder.Open(gif.data(), gif.size())) return frames;
    while (decoder.NextFrame()) frames.push_back(decoder.Screen());
    return frames;
}

struct StreamCase {
    const char* name;
    Bytes gif;
    Outcome outcome;
    std::vector<uint32_t> screen = {};  // the first frame's, when it decodes
};

// Every index L_i as a literal until the 4096-entry table is full, then codes for
// entries and a literal sent at 12 bits without a clear; then a clear and two literals
// at 9 bits again. Entry 258 + k holds L_(k+1), L_(k+2).
struct DeferredClear {
    std::vector<int> codes;
    Bytes indices;
};
DeferredClear MakeDeferredClear() {
    DeferredClear d;
    d.codes.push_back(256);
    for (int i = 1; i <= 3839; i++) {
        d.codes.push_back(i * 7 % 256);
        d.indices.push_back(uint8_t(i * 7 % 256));
    }
    auto literal = [](int i) { return uint8_t(i * 7 % 256); };
    d.codes.insert(d.codes.end(), {300, 4095, 7, 256, 1, 2, 257});
    d.indices.insert(d.indices.end(), {literal(43), literal(44), literal(3838), literal(3839), 7, 1, 2});
    return d;
}

// A width×1 screen with kColours and one frame filling it, sent as these codes at
// minimum code size 2: 4 is the clear code, 5 the end code and 6 the first entry.
Bytes Coded(int width, const std::vector<int>& codes) {
    return Start(width, 1) + ImageDescriptor(0, 0, width, 1) + ImageData(2, codes) + kTrailer;
}

std::vector<StreamCase> Cases() {
    const Bytes good12 = Frame(0, 0, 2, 1, {1, 2});  // a 2×1 frame: red, green
    // 1, 2, then 6 (entry "1 2") and 8, the next entry itself: "1 2" and its own first
    // pixel; the codes grow to 4 bits for the last two.
    const std::vector<int> repeating = {4, 1, 2, 6, 8, 5};
    DeferredClear deferred = MakeDeferredClear();
    std::vector<uint32_t> deferredScreen(deferred.indices.begin(), deferred.indices.end());
    return {
        {"complete stream", Start(2, 1) + good12 + kTrailer, Outcome::Decodes, {R, G}},
        {"GIF87a",
         Header("GIF87a") + ScreenDescriptor(2, 1, 1) + ColourTable(kColours, 4) + good12 + kTrailer,
         Outcome::Decodes,
         {R, G}},
        {"bad signature",
         Header("GIF88a")  // a version that does not exist
             + ScreenDescriptor(2, 1, 1) + ColourTable(kColours, 4) + good12 + kTrailer,
         Outcome::OpenFails},
        {"truncated in the header", Bytes{'G', 'I', 'F', '8', '9'}, Outcome::OpenFails},
        {"truncated in the screen descriptor", Header() + Le16(2) /* width, then nothing */,
         Outcome::OpenFails},
        {"truncated in the global table",
         Header() + ScreenDescriptor(2, 1, 1)  // a table of four colours follows...
             + Bytes{0, 0, 0, 255, 0},         // ...but not even two of them
         Outcome::OpenFails},
        {"truncated in the graphic control extension",
         Start(2, 1) + Bytes{0x21, 0xF9, 4, 0} /* flags of a 4-byte block, then nothing */,
         Outcome::FrameFails},
        {"truncated in the image descriptor",
         Start(2, 1) + Bytes{0x2C} + Le16(0) + Le16(0) + Le16(2) /* no height, no flags */,
         Outcome::FrameFails},
        {"truncated in the local table",
         Start(2, 1) + ImageDescriptor(0, 0, 2, 1, 0x81)  // a local table of four colours...
             + Bytes{1, 2, 3} /* ...of which one comes */,
         Outcome::FrameFails},
        {"truncated before the minimum code size", Start(2, 1) + ImageDescriptor(0, 0, 2, 1),
         Outcome::FrameFails},
        {"truncated inside a sub-block",
         Start(2, 1) + ImageDescriptor(0, 0, 2, 1) + Bytes{2}  // minimum code size
             + Bytes{4, 0x0C} /* a 4-byte sub-block with one byte */,
         Outcome::FrameFails},
        {"sub-block chain without its terminator",
         Start(2, 1) + ImageDescriptor(0, 0, 2, 1) + Bytes{2}  // minimum code size
             + Bytes{2} + PackCodes(2, {4, 1, 2, 5}) /* a 2-byte sub-block, no empty one */,
         Outcome::FrameFails},
        {"no trailer after the frame", Start(2, 1) + good12, Outcome::Decodes, {R, G}},
        {"trailer before any frame", Start(2, 1) + kTrailer, Outcome::FrameFails},
        {"unknown block",
         Start(2, 1) + Bytes{0x99}                                  // neither extension, image nor trailer...
             + Bytes(good12.begin() + 1, good12.end()) + kTrailer,  // ...before what would be an image
         Outcome::FrameFails},
        {"graphic control block shorter than four bytes",
         Start(2, 1) + Bytes{0x21, 0xF9, 3, 0, 0, 0, 0}  // a 3-byte block, terminator
             + good12 + kTrailer,
         Outcome::FrameFails},
        {"minimum code size 1",
         Start(2, 1) + ImageDescriptor(0, 0, 2, 1) + Bytes{1}  // minimum code size 1
             + SubBlocks(PackCodes(1, {2, 1, 0, 3}))           // clear, 1, 0, end at 2 bits
             + kTrailer,
         Outcome::FrameFails},
        {"minimum code size 0",
         Start(2, 1) + ImageDescriptor(0, 0, 2, 1) + Bytes{0} + SubBlocks(Bytes(8, 0)) + kTrailer,
         Outcome::FrameFails},
        {"minimum code size 9",
         Start(2, 1) + ImageDescriptor(0, 0, 2, 1) + Bytes{9} + SubBlocks(Bytes(8, 0)) + kTrailer,
         Outcome::FrameFails},
        {"minimum code size 8",
         Start(2, 1) + ImageDescriptor(0, 0, 2, 1) + ImageData(8, {256, 3, 1, 257}) + kTrailer,
         Outcome::Decodes,
         {B, R}},
        {"next entry code repeats the previous string",
         Coded(7, repeating),
         Outcome::Decodes,
         {R, G, R, G, R, G, R}},
        {"first code not a clear", Coded(7, {1, 2, 6, 8, 5}), Outcome::Decodes, {R, G, R, G, R, G, R}},
        {"one-byte sub-blocks",
         Start(7, 1) + ImageDescriptor(0, 0, 7, 1) + Bytes{2} + SubBlocks(PackCodes(2, repeating), 1) +
             kTrailer,
         Outcome::Decodes,
         {R, G, R, G, R, G, R}},
        {"clear code empties the table", Coded(5, {4, 1, 2, 4, 6, 5}) /* 6 is gone */, Outcome::FrameFails},
        {"entry after a clear",
         Coded(6, {4, 1, 2, 4, 3, 1, 6, 5}) /* 6 is now 3, 1 */,
         Outcome::Decodes,
         {R, G, B, R, B, R}},
        {"code beyond the next free entry", Coded(3, {4, 1, 7, 5}) /* 6 is next, 7 comes */,
         Outcome::FrameFails},
        {"table code right after a clear", Coded(3, {4, 6, 1, 1, 1, 5}) /* 6 has no previous string */,
         Outcome::FrameFails},
        {"deferred clear at a full table",
         Header() + ScreenDescriptor(641, 6, 7) + ColourTable(IndexColours(), 256)  // 3846 pixels
             + ImageDescriptor(0, 0, 641, 6) + ImageData(8, deferred.codes) + kTrailer,
         Outcome::Decodes, deferredScreen},
        {"missing end code after the last pixel", Coded(3, {4, 1, 2, 3}), Outcome::Decodes, {R, G, B}},
        {"codes after the last pixel, even bad ones",
         Coded(3, {4, 1, 2, 3, 7, 7, 5}) /* 7 is beyond next */,
         Outcome::Decodes,
         {R, G, B}},
        {"last string longer than the pixels left",
         Coded(3, {4, 1, 2, 6, 5}) /* 6 is 1, 2: one too many */,
         Outcome::Decodes,
         {R, G, R}},
        {"too few pixels", Coded(3, {4, 1, 2, 5}) /* two pixels of three */, Outcome::FrameFails},
        {"codes run out before the pixels", Coded(3, {4, 1}) /* one pixel, no end code */,
         Outcome::FrameFails},
        {"frame right of the screen",
         Start(2, 1) + Frame(2, 0, 1, 1, {1}) + kTrailer,
         Outcome::Decodes,
         {W, W}},
        {"frame below the screen",
         Start(2, 1) + Frame(0, 1, 2, 1, {1, 1}) + kTrailer,
         Outcome::Decodes,
         {W, W}},
        {"frame past the screen's corner is clipped",
         Start(2, 2) + Frame(1, 1, 2, 2, {1, 2, 3, 1}) /* only its top left pixel shows */ + kTrailer,
         Outcome::Decodes,
         {W, W, W, R}},
        {"zero-sized frame", Start(2, 1) + Frame(0, 0, 0, 1, {}) + kTrailer, Outcome::FrameFails},
        {"frame larger than the bound",
         Start(2, 1) + ImageDescriptor(0, 0, 65535, 65535) + ImageData(2, {4, 1, 5}) + kTrailer,
         Outcome::FrameFails},
        {"screen larger than the bound",
         Header() + ScreenDescriptor(65535, 65535, 1) + ColourTable(kColours, 4) + good12 + kTrailer,
         Outcome::OpenFails},
        {"zero-width screen",
         Header() + ScreenDescriptor(0, 1, 1) + ColourTable(kColours, 4) + good12 + kTrailer,
         Outcome::OpenFails},
        {"zero-height screen",
         Header() + ScreenDescriptor(2, 0, 1) + ColourTable(kColours, 4) + good12 + kTrailer,
         Outcome::OpenFails},
        {"no colour table at all",
         Header() + ScreenDescriptor(2, 1, -1) /* and the frame has none */ + good12 + kTrailer,
         Outcome::Decodes,
         {K, K}},
        {"index past the colour table",
         Header() + ScreenDescriptor(3, 1, 0) + ColourTable({R, G}, 2)  // two colours
             + Frame(0, 0, 3, 1, {0, 1, 3}) /* index 3 has none */ + kTrailer,
         Outcome::Decodes,
         {R, G, K}},
    };
}

TEST(GifStreams, EachHandMadeStreamHasItsOutcome) {
    for (const StreamCase& c : Cases()) {
        Decoded d = DecodeFirst(c.gif);
        EXPECT_EQ(d.outcome, c.outcome) << c.name;
        if (c.outcome == Outcome::Decodes) {
            EXPECT_EQ(d.screen, c.screen) << c.name;
        }
    }
}

// A 3×1 screen: red all over, then green and blue on its right two pixels with the
// given disposal, then blue on the left pixel.
Bytes DisposalStream(int disposal) {
    return Start(3, 1) + Frame(0, 0, 3, 1, {1, 1, 1}) + GraphicControl(0, disposal) +
           Frame(1, 0, 2, 1, {2, 3}) + Frame(0, 0, 1, 1, {3}) + kTrailer;
}

TEST(GifComposition, EachDisposalActsOnTheFramesRectangleBeforeTheNext) {
    const struct {
        int disposal;
        std::vector<uint32_t> last;
    } cases[] = {
        {0, {B, G, B}},  // unspecified: left in place
        {1, {B, G, B}},  // left in place
        {2, {B, W, W}},  // its rectangle back to the background
        {3, {B, R, R}},  // its rectangle back to what was under it
        {6, {B, G, B}},  // no such method: left in place
        {7, {B, G, B}},
    };
    for (const auto& c : cases) {
        std::vector<std::vector<uint32_t>> frames = AllFrames(DisposalStream(c.disposal));
        ASSERT_EQ(frames.size(), 3u) << c.disposal;
        EXPECT_EQ(frames[0], (std::vector<uint32_t>{R, R, R})) << c.disposal;
        EXPECT_EQ(frames[1], (std::vector<uint32_t>{R, G, B})) << c.disposal;
        EXPECT_EQ(frames[2], c.last) << c.disposal;
    }
}

TEST(GifComposition, DisposalOfTheFirstFrameRestoresTheEmptyScreen) {
    for (int disposal : {2, 3}) {
        Bytes gif = Start(2, 1) + GraphicControl(0, disposal) + Frame(0, 0, 2, 1, {1, 1}) +
                    Frame(1, 0, 1, 1, {3}) + kTrailer;
        std::vector<std::vector<uint32_t>> frames = AllFrames(gif);
        ASSERT_EQ(frames.size(), 2u);
        EXPECT_EQ(frames[1], (std::vector<uint32_t>{W, B})) << disposal;
    }
}

TEST(GifComposition, ScreenKeepsTheLastGoodFrameWhenTheNextIsDamaged) {
    // The first frame's disposal is not carried out for a frame that never comes.
    Bytes gif = Start(2, 1) + GraphicControl(0, 2) + Frame(0, 0, 2, 1, {1, 2}) + ImageDescriptor(0, 0, 2, 1) +
                ImageData(2, {4, 3, 5}) + kTrailer;
    GifDecoder decoder;
    ASSERT_TRUE(decoder.Open(gif.data(), gif.size()));
    ASSERT_TRUE(decoder.NextFrame());
    EXPECT_FALSE(decoder.NextFrame());
    EXPECT_EQ(decoder.Screen(), (std::vector<uint32_t>{R, G}));
    EXPECT_EQ(decoder.FrameIndex(), 1);
    EXPECT_FALSE(decoder.NextFrame());
}

TEST(GifComposition, TransparencyAndDelayHoldForTheNextFrameOnly) {
    Bytes gif = Start(3, 1) + Frame(0, 0, 3, 1, {1, 1, 1})  // red
                + GraphicControl(25, 1, 2)                  // 250 ms, green is transparent
                + Frame(0, 0, 3, 1, {2, 3, 2})              // only the blue shows
                + Frame(0, 0, 2, 1, {2, 2})                 // no control: green is green
                + Bytes{0x21, 0xF9, 4, 0, 0, 0, 3, 0}       // a transparent index without its flag
                + Frame(2, 0, 1, 1, {3})                    // so blue is blue
                + kTrailer;
    GifDecoder decoder;
    ASSERT_TRUE(decoder.Open(gif.data(), gif.size()));
    ASSERT_TRUE(decoder.NextFrame());
    ASSERT_TRUE(decoder.NextFrame());
    EXPECT_EQ(decoder.Screen(), (std::vector<uint32_t>{R, B, R}));
    EXPECT_EQ(decoder.DelayMs(), 250);
    ASSERT_TRUE(decoder.NextFrame());
    EXPECT_EQ(decoder.Screen(), (std::vector<uint32_t>{G, G, R}));
    EXPECT_EQ(decoder.DelayMs(), kGifShortDelayMs);
    ASSERT_TRUE(decoder.NextFrame());
    EXPECT_EQ(decoder.Screen(), (std::vector<uint32_t>{G, G, B}));
}

TEST(GifComposition, LocalTableServesItsOwnFrameOnly) {
    Bytes gif = Start(2, 1) + ImageDescriptor(0, 0, 2, 1, 0x81)  // a local table of four colours
                + ColourTable({B, G, R, R}, 4) + ImageData(2, LiteralCodes({0, 1}, 2)) +
                Frame(1, 0, 1, 1, {1})               // the global table's red
                + ImageDescriptor(0, 0, 2, 1, 0x80)  // a local table of two colours
                + ColourTable({G, B}, 2) + ImageData(2, LiteralCodes({1, 3}, 2)) + kTrailer;
    std::vector<std::vector<uint32_t>> frames = AllFrames(gif);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], (std::vector<uint32_t>{B, G}));
    EXPECT_EQ(frames[1], (std::vector<uint32_t>{B, R}));
    EXPECT_EQ(frames[2], (std::vector<uint32_t>{B, K}));  // nothing left of the first local table
}

// A one-pixel-wide interlaced frame of height rows at a vertical offset, sending index
// i as its i-th row.
Bytes InterlacedColumn(int screenHeight, int top, int rows) {
    Bytes sent;
    for (int i = 0; i < rows; i++) sent.push_back(uint8_t(i));
    return Header() + ScreenDescriptor(1, screenHeight, 7) + ColourTable(IndexColours(), 256) +
           ImageDescriptor(0, top, 1, rows, 0x40)  // interlaced
           + ImageData(8, LiteralCodes(sent, 8)) + kTrailer;
}

TEST(GifComposition, InterlacedRowsComeInFourPasses) {
    // Rows 0 and 8, then 4, then 2 and 6, then the odd ones.
    EXPECT_EQ(DecodeFirst(InterlacedColumn(10, 0, 10)).screen,
              (std::vector<uint32_t>{0, 5, 3, 6, 2, 7, 4, 8, 1, 9}));
    // Clipped at the bottom, and moved down.
    EXPECT_EQ(DecodeFirst(InterlacedColumn(5, 0, 10)).screen, (std::vector<uint32_t>{0, 5, 3, 6, 2}));
    EXPECT_EQ(DecodeFirst(InterlacedColumn(5, 2, 3)).screen, (std::vector<uint32_t>{W, W, 0, 2, 1}));
}

TEST(GifTiming, DelaysAreInHundredthsAndShortOnesRaised) {
    const int hundredths[] = {0, 1, 2, 7, 65535};
    const int expected[] = {kGifShortDelayMs, kGifShortDelayMs, 20, 70, 655350};
    Bytes gif = Start(1, 1);
    for (int h : hundredths) gif += GraphicControl(h, 0) + Frame(0, 0, 1, 1, {1});
    gif += Frame(0, 0, 1, 1, {1}) + kTrailer;  // no control at all
    GifDecoder decoder;
    ASSERT_TRUE(decoder.Open(gif.data(), gif.size()));
    for (int ms : expected) {
        ASSERT_TRUE(decoder.NextFrame());
        EXPECT_EQ(decoder.DelayMs(), ms);
    }
    ASSERT_TRUE(decoder.NextFrame());
    EXPECT_EQ(decoder.DelayMs(), kGifShortDelayMs);
}

TEST(GifTiming, LoopCountComesFromEitherLoopingExtension) {
    const struct {
        Bytes extension;
        int loopCount;
    } cases[] = {
        {Looping(5), 5},
        {Looping(300), 300},
        {Looping(0, "ANIMEXTS1.0"), 0},
        {Looping(3, "XMP DataXMP"), -1},  // another application's block of the same shape
        {Bytes{0x21, 0xFF, 11} + Header("NETSCAPE2.0") + Bytes{5, 2, 0, 16, 0, 0, 0},
         -1},  // buffer size, not loop
        {Bytes{0x21, 0xFE, 11} + Header("NETSCAPE2.0") + Bytes{3, 1, 3, 0, 0},
         -1},                                               // a comment that reads like one
        {Bytes{0x21, 0xFE} + SubBlocks({'h', 'i'}), -1},    // a comment
        {Bytes{0x21, 0x01} + SubBlocks(Bytes(13, 0)), -1},  // plain text
    };
    for (const auto& c : cases) {
        Bytes gif = Start(1, 1) + c.extension + Frame(0, 0, 1, 1, {2}) + kTrailer;
        GifDecoder decoder;
        ASSERT_TRUE(decoder.Open(gif.data(), gif.size()));
        EXPECT_EQ(decoder.LoopCount(), -1);
        ASSERT_TRUE(decoder.NextFrame());
        EXPECT_EQ(decoder.Screen(), std::vector<uint32_t>{G});
        EXPECT_EQ(decoder.LoopCount(), c.loopCount);
    }
}

TEST(GifDamage, EveryTruncationKeepsTheFramesThatCameWhole) {
    std::vector<size_t> frameEnds;
    Bytes gif = SmallAnimation(&frameEnds);
    std::vector<std::vector<uint32_t>> whole = AllFrames(gif);
    ASSERT_EQ(whole.size(), 3u);
    for (size_t length = 0; length < gif.size(); length++) {
        Bytes cut(gif.begin(), gif.begin() + long(length));
        size_t complete = 0;
        while (complete < frameEnds.size() && frameEnds[complete] <= length) complete++;
        std::vector<std::vector<uint32_t>> frames = AllFrames(cut);
        ASSERT_EQ(frames.size(), complete) << length;
        for (size_t i = 0; i < frames.size(); i++) EXPECT_EQ(frames[i], whole[i]) << length;
        Picture picture;
        EXPECT_EQ(DecodeGif(cut.data(), cut.size(), picture), complete > 0) << length;
    }
}

TEST(GifDamage, FlippedBitsNeverBreakTheDecoder) {
    DeferredClear deferred = MakeDeferredClear();
    const Bytes inputs[] = {
        SmallAnimation(),
        Header() + ScreenDescriptor(641, 6, 7) + ColourTable(IndexColours(), 256) +
            ImageDescriptor(0, 0, 641, 6) + ImageData(8, deferred.codes) + kTrailer,
    };
    std::mt19937 rng(5);
    for (const Bytes& input : inputs) {
        for (int i = 0; i < 2000; i++) {
            Bytes flipped = input;
            for (int n = 1 + int(rng() % 3); n > 0; n--)
                flipped[rng() % flipped.size()] ^= uint8_t(1 << rng() % 8);
            GifDecoder decoder;
            if (!decoder.Open(flipped.data(), flipped.size())) continue;
            while (decoder.NextFrame()) {
            }
            size_t pixels = size_t(decoder.Width()) * size_t(decoder.Height());
            EXPECT_EQ(decoder.Screen().size(), decoder.FrameIndex() > 0 ? pixels : 0);
            GifAnimation animation;
            if (animation.Open(flipped))
                for (int step = 0; step < 10 && animation.Advance(); step++) {
                }
        }
    }
}

TEST(GifDecoderState, RewindStartsAgainOnAnEmptyScreen) {
    Bytes gif = SmallAnimation();
    std::vector<std::vector<uint32_t>> whole = AllFrames(gif);
    GifDecoder decoder;
    ASSERT_TRUE(decoder.Open(gif.data(), gif.size()));
    ASSERT_TRUE(decoder.NextFrame());
    ASSERT_TRUE(decoder.NextFrame());
    decoder.Rewind();
    EXPECT_EQ(decoder.FrameIndex(), 0);
    EXPECT_EQ(decoder.Screen(), std::vector<uint32_t>(12, W));
    EXPECT_EQ(decoder.LoopCount(), 2);
    for (const std::vector<uint32_t>& frame : whole) {
        ASSERT_TRUE(decoder.NextFrame());
        EXPECT_EQ(decoder.Screen(), frame);
    }
    EXPECT_FALSE(decoder.NextFrame());
    EXPECT_EQ(decoder.FrameIndex(), 3);
}

TEST(GifDecoderState, ControlLeftAtTheEndDoesNotReachTheFirstFrameAfterRewind) {
    Bytes gif = Start(2, 1) + Frame(0, 0, 2, 1, {1, 1}) +
                Frame(0, 0, 1, 1, {2})      // red, then green on the left
                + GraphicControl(50, 2, 1)  // for a frame that never comes: red transparent
                + kTrailer;
    GifDecoder decoder;
    ASSERT_TRUE(decoder.Open(gif.data(), gif.size()));
    while (decoder.NextFrame()) {
    }
    decoder.Rewind();
    ASSERT_TRUE(decoder.NextFrame());
    EXPECT_EQ(decoder.Screen(), (std::vector<uint32_t>{R, R}));
    EXPECT_EQ(decoder.DelayMs(), kGifShortDelayMs);
}

TEST(GifDecoderState, TinyFramesOnALargeScreenCostOnlyTheirOwnPixels) {
    // Were each frame, or its disposal, to touch the whole 4096×4096 screen, this would
    // not finish.
    const int frames = 20000;
    Bytes gif = Header() + ScreenDescriptor(4096, 4096, 1) + ColourTable(kColours, 4);
    for (int i = 0; i < frames; i++)
        gif += GraphicControl(0, 2 + i % 2) + Frame(i % 4096, i / 4096, 1, 1, {1});
    gif += kTrailer;
    GifDecoder decoder;
    ASSERT_TRUE(decoder.Open(gif.data(), gif.size()));
    while (decoder.NextFrame()) {
    }
    EXPECT_EQ(decoder.FrameIndex(), frames);
    const std::vector<uint32_t>& screen = decoder.Screen();
    int x = (frames - 1) % 4096, y = (frames - 1) / 4096;
    EXPECT_EQ(screen[size_t(y) * 4096 + size_t(x)], R);
    EXPECT_EQ(screen[size_t(y) * 4096 + size_t(x) - 1], W);
}

// A 2×1 animation whose frames are given by the index they fill it with; an index of 9
// makes a damaged frame.
Bytes Animation(int loopCount, const std::vector<int>& fills, int delay = 4) {
    Bytes gif = Start(2, 1);
    if (loopCount >= 0) gif += Looping(loopCount);
    for (int fill : fills) {
        gif += GraphicControl(delay, 0);
        if (fill == 9)
            gif += ImageDescriptor(0, 0, 2, 1) + ImageData(2, {4, 1, 5});  // one pixel of two
        else
            gif += Frame(0, 0, 2, 1, {uint8_t(fill), uint8_t(fill)});
    }
    return gif + kTrailer;
}

// The colour of each frame shown, the first included, for at most steps steps.
std::vector<uint32_t> Play(const Bytes& gif, int steps = 100) {
    GifAnimation animation;
    std::vector<uint32_t> shown;
    if (!animation.Open(gif)) return shown;
    shown.push_back(animation.Screen()[0]);
    for (int i = 0; i < steps && animation.Advance(); i++) shown.push_back(animation.Screen()[0]);
    return shown;
}

TEST(GifPlaying, WithoutLoopingPlaysOnceAndStaysOnTheLastFrame) {
    GifAnimation animation;
    ASSERT_TRUE(animation.Open(Animation(-1, {1, 2, 3})));
    EXPECT_TRUE(animation.Advance());
    EXPECT_TRUE(animation.Advance());
    EXPECT_FALSE(animation.Advance());
    EXPECT_FALSE(animation.Advance());
    EXPECT_EQ(animation.Screen(), (std::vector<uint32_t>{B, B}));
    EXPECT_EQ(animation.DelayMs(), 40);
}

TEST(GifPlaying, LoopCountRepeatsAfterTheFirstShowing) {
    EXPECT_EQ(Play(Animation(2, {1, 2})), (std::vector<uint32_t>{R, G, R, G, R, G}));
    EXPECT_EQ(Play(Animation(1, {1, 2, 3})), (std::vector<uint32_t>{R, G, B, R, G, B}));
}

TEST(GifPlaying, EndlessLoopKeepsGoing) {
    std::vector<uint32_t> shown = Play(Animation(0, {1, 2, 3}), 3000);
    ASSERT_EQ(shown.size(), 3001u);
    for (size_t i = 0; i < shown.size(); i++) EXPECT_EQ(shown[i], kColours[1 + i % 3]) << i;
}

TEST(GifPlaying, ShortDelaysAreShownForAShortDelay) {
    for (int delay : {0, 1}) {
        GifAnimation animation;
        ASSERT_TRUE(animation.Open(Animation(0, {1, 2}, delay)));
        EXPECT_EQ(animation.DelayMs(), kGifShortDelayMs);
        ASSERT_TRUE(animation.Advance());
        EXPECT_EQ(animation.DelayMs(), kGifShortDelayMs);
    }
}

TEST(GifPlaying, DamagedFrameEndsTheRound) {
    EXPECT_EQ(Play(Animation(-1, {1, 2, 9, 3})), (std::vector<uint32_t>{R, G}));
    EXPECT_EQ(Play(Animation(1, {1, 2, 9, 3})), (std::vector<uint32_t>{R, G, R, G}));
    EXPECT_EQ(Play(Animation(0, {1, 2, 9}), 5), (std::vector<uint32_t>{R, G, R, G, R, G}));
}

TEST(GifPlaying, OneGoodFrameIsAStillPictureHoweverItLoops) {
    // A single frame, a damaged second one, and zero-sized frames after the first all
    // leave one frame to a round: Advance must not go round it for ever.
    const Bytes zeroSized = ImageDescriptor(0, 0, 0, 0) + ImageData(2, {4, 5});
    const Bytes gifs[] = {
        Animation(0, {2}),
        Animation(0, {2, 9, 9}),
        Start(2, 1) + Looping(0) + Frame(0, 0, 2, 1, {2, 2}) + zeroSized + zeroSized + kTrailer,
    };
    for (const Bytes& gif : gifs) EXPECT_EQ(Play(gif), std::vector<uint32_t>{G});
}

TEST(GifPlaying, OpenFailsWithoutAGoodFirstFrame) {
    GifAnimation animation;
    EXPECT_FALSE(animation.Open(Animation(0, {9, 1, 2})));
    EXPECT_FALSE(animation.Open(Bytes{'G', 'I', 'F'}));
    EXPECT_FALSE(animation.Advance());
}

}  // namespace
