// A bounded mutation run over the JPEG fuzz target, so that every test run fuzzes the
// wrapper and libjpeg a little under ASan and UBSan, from a file of every kind the JPEG
// tests decode. With GOBU_FUZZ_CORPUS set, the seeds are also written there, as the
// corpus of a longer libFuzzer run.
#include <gtest/gtest.h>

#include <random>

#include "tests/codecs/codectest.h"
#include "tests/mutate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(JpegFuzz, MutatedFilesOfEveryKindNeitherCrashNorOverrun) {
    std::vector<Bytes> seeds;
    for (const JpegKind& kind : kJpegKinds) {
        seeds.push_back(MakeJpeg(kind));
        ASSERT_GT(seeds.back().size(), 100u) << kind.name;
    }
    WriteSeeds(seeds);
    std::mt19937 rng(18);
    for (const Bytes& seed : seeds) {
        for (int i = 0; i < 500; i++) {
            Bytes input = Mutate(seed, rng);
            ASSERT_EQ(LLVMFuzzerTestOneInput(input.data(), input.size()), 0);
        }
    }
}
