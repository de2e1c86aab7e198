// A bounded mutation run over the GIF fuzz target, so that every test run fuzzes the
// decoder a little under ASan and UBSan. The seeds are files of ImageMagick and one
// made here with every kind of block. With GOBU_FUZZ_CORPUS set, the seeds are also
// written there, as a corpus for a longer libFuzzer run.
#include <gtest/gtest.h>

#include <random>

#include "tests/codecs/codectest.h"
#include "tests/mutate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<Bytes> Seeds() {
    // Small, so that each run is quick and most mutations reach the frames.
    const char* made[] = {
        "-size 24x16 -seed 1 plasma:fractal -colors 16 -set dispose Background "
        "\\( -size 10x8 xc:none -fill red -draw 'circle 5,4 5,1' -set page +3+2 -set dispose Previous \\) "
        "\\( -size 12x6 -seed 2 plasma:fractal -set page +14+12 \\) -set delay 3 -loop 2 gif:",
        "-size 20x13 -seed 3 plasma:fractal -colors 40 -interlace GIF gif87:",
        "-size 80x60 xc: -seed 4 +noise Random -colors 256 gif:",
    };
    std::vector<Bytes> seeds = {SmallAnimation()};
    for (const char* arguments : made) {
        std::string path = TempPath("seed.gif");
        EXPECT_TRUE(RunConvert(std::string(arguments) + "'" + path + "'")) << arguments;
        seeds.push_back(ReadFile(path));
        std::remove(path.c_str());
    }
    return seeds;
}

}  // namespace

TEST(GifFuzz, ThousandsOfMutatedFilesNeitherCrashNorOverrun) {
    std::vector<Bytes> seeds = Seeds();
    for (const Bytes& seed : seeds) ASSERT_GT(seed.size(), 13u);
    WriteSeeds(seeds);
    std::mt19937 rng(17);
    for (const Bytes& seed : seeds) {
        for (int i = 0; i < 3000; i++) {
            Bytes input = Mutate(seed, rng);
            // Most of the time of a large screen goes to making and clearing it, which
            // the libFuzzer run has time for.
            if (input.size() >= 10 &&
                uint64_t(input[6] | input[7] << 8) * uint64_t(input[8] | input[9] << 8) > 1 << 20)
                continue;
            ASSERT_EQ(LLVMFuzzerTestOneInput(input.data(), input.size()), 0);
        }
    }
}
