// The GIF decoder against ImageMagick: files that ImageMagick makes, composed frame by
// frame, must give exactly the pixels of ImageMagick's own composition (-coalesce),
// and the delays and loop counts it was asked to write.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "codecs/gif.h"
#include "tests/codecs/codectest.h"

namespace {

struct MadeGif {
    const char* name;
    std::string make;    // convert's arguments, before the output file
    const char* output;  // the output's format prefix
    int frames;
    int delayMs;    // of every frame
    int loopCount;  // as the decoder reports it after the last frame
};

// Four frames: a plasma background with the first disposal, then, with the other, a red
// circle at an offset, a blue rectangle reaching past the screen's edge and a green
// circle, all with transparent parts.
std::string Overlays(const std::string& firstDisposal, const std::string& disposal) {
    std::string d = " -set dispose " + disposal + " \\)";
    return "-size 60x40 -seed 4 plasma:fractal -colors 32 -set dispose " + firstDisposal +
           " \\( -size 30x20 xc:none -fill red -draw 'circle 15,10 15,2' -set page +10+5" + d +
           " \\( -size 30x20 xc:none -fill blue -draw 'rectangle 2,2 20,15' -set page +45+30" + d +
           " \\( -size 20x20 xc:none -fill lime -draw 'circle 10,10 10,3' -set page +5+15" + d;
}

// ImageMagick's -loop counts showings: the file holds one less, and for one no looping
// extension at all. For a first frame to be restored to what was before it, ImageMagick
// keeps it, where we clear the screen as the GIF89a document says; the first frames
// here are disposed of otherwise.
const MadeGif kMade[] = {
    {"interlaced", "-size 97x61 -seed 1 plasma:fractal -colors 200 -interlace GIF", "gif", 1, 100, -1},
    {"interlaced, a few rows", "-size 5x3 -seed 1 plasma:fractal -colors 9 -interlace GIF", "gif", 1, 100,
     -1},
    {"noisy, 256 colours, many table fills", "-size 300x200 xc: -seed 2 +noise Random -colors 256", "gif", 1,
     100, -1},
    {"transparency",
     "-size 40x30 xc:none -fill red -draw 'circle 20,15 20,4' -fill blue -draw 'rectangle 0,0 8,8'", "gif", 1,
     100, -1},
    {"local tables",
     "-size 50x40 gradient:red-yellow gradient:blue-cyan -seed 3 plasma:fractal -set delay 7 -loop 3", "gif",
     3, 70, 2},
    {"disposal none", Overlays("None", "None") + " -set delay 2 -loop 0", "gif", 4, 20, 0},
    {"disposal background", Overlays("Background", "Background") + " -set delay 0 -loop 1", "gif", 4,
     kGifShortDelayMs, -1},
    {"disposal previous", Overlays("None", "Previous") + " -set delay 1 -loop 2", "gif", 4, kGifShortDelayMs,
     1},
    {"disposal unspecified", Overlays("Undefined", "Undefined") + " -set delay 150", "gif", 4, 1500, 0},
    {"disposals mixed",
     "-size 45x35 -seed 5 plasma:fractal -colors 64 -set dispose Background "
     "\\( -size 20x15 xc:none -fill red -draw 'circle 10,7 10,1' -set page +3+4 -set dispose Previous \\) "
     "\\( -size 25x25 -seed 6 plasma:fractal -colors 16 -set page +18+9 -set dispose None \\) "
     "\\( -size 10x30 xc:none -fill navy -draw 'rectangle 0,5 9,20' -set page +30+2 -set dispose Background "
     "\\) "
     "\\( -size 44x10 xc:none -fill orange -draw 'rectangle 4,2 40,8' -set page +1+24 \\) -set delay 9",
     "gif", 5, 90, 0},
    {"odd size", "-size 37x23 -seed 7 plasma:fractal -colors 100", "gif", 1, 100, -1},
    {"one pixel", "-size 1x1 xc:green", "gif", 1, 100, -1},
    {"two colours", "-size 33x17 pattern:checkerboard -monochrome", "gif", 1, 100, -1},
    {"GIF87a", "-size 31x17 -seed 8 plasma:fractal -colors 64", "gif87", 1, 100, -1},
};

// Where two screens first differ and how many pixels do; empty when they are the same.
std::string Difference(const std::vector<uint32_t>& ours, const std::vector<uint32_t>& theirs, int width) {
    if (ours.size() != theirs.size()) return "sizes differ";
    size_t first = ours.size(), count = 0;
    for (size_t i = 0; i < ours.size(); i++) {
        if (ours[i] == theirs[i]) continue;
        first = std::min(first, i);
        count++;
    }
    if (count == 0) return "";
    char text[120];
    std::snprintf(text, sizeof text, "%zu pixels differ, first at %zu,%zu: ours %06X, ImageMagick's %06X",
                  count, first % size_t(width), first / size_t(width), ours[first], theirs[first]);
    return text;
}

void PrintTo(const MadeGif& m, std::ostream* os) { *os << m.name; }

class GifInterop : public testing::TestWithParam<MadeGif> {};

TEST_P(GifInterop, ComposedFramesMatchImageMagick) {
    const MadeGif& m = GetParam();
    std::string path = TempPath("made.gif");
    ASSERT_TRUE(RunConvert(m.make + " '" + m.output + ":" + path + "'"));
    Bytes gif = ReadFile(path);
    GifDecoder decoder;
    ASSERT_TRUE(decoder.Open(gif.data(), gif.size()));
    std::vector<std::vector<uint32_t>> expected = ConvertFrames(path, decoder.Width(), decoder.Height());
    std::remove(path.c_str());
    ASSERT_EQ(expected.size(), size_t(m.frames));
    for (size_t i = 0; i < expected.size(); i++) {
        ASSERT_TRUE(decoder.NextFrame()) << "frame " << i;
        EXPECT_EQ(Difference(decoder.Screen(), expected[i], decoder.Width()), "") << "frame " << i;
        EXPECT_EQ(decoder.DelayMs(), m.delayMs) << "frame " << i;
    }
    EXPECT_FALSE(decoder.NextFrame());
    EXPECT_EQ(decoder.LoopCount(), m.loopCount);
}

std::string CaseName(const testing::TestParamInfo<MadeGif>& info) {
    std::string name;
    for (const char* c = info.param.name; *c; c++) name += std::isalnum(uint8_t(*c)) ? *c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Made, GifInterop, testing::ValuesIn(kMade), CaseName);

}  // namespace
