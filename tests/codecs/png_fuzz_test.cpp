// A bounded mutation run over the PNG fuzz target, so that every test run fuzzes the
// decoder a little under ASan and UBSan, from a file of every kind the PNG tests decode.
// With GOBU_FUZZ_CORPUS set, the seeds are also written there.
#include <gtest/gtest.h>

#include <random>

#include "tests/codecs/pngtest.h"
#include "tests/mutate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(PngFuzz, MutatedFilesOfEveryKindNeitherCrashNorOverrun) {
    std::vector<Bytes> seeds;
    for (const PngKind& kind : kPngKinds) {
        seeds.push_back(MakePng(kind));
        ASSERT_GT(seeds.back().size(), 33u) << kind.name;
    }
    WriteSeeds(seeds);
    std::mt19937 rng(25);
    for (const Bytes& seed : seeds) {
        for (int i = 0; i < 300; i++) {
            Bytes input = Mutate(seed, rng);
            ASSERT_EQ(LLVMFuzzerTestOneInput(input.data(), input.size()), 0);
        }
    }
}
