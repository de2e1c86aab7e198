// A bounded mutation run over the fuzz target, so that every test run fuzzes the
// package reader a little under ASan and UBSan. With GOBU_FUZZ_CORPUS set, the seeds
// are also written there, as a corpus for a longer libFuzzer run.
#include <gtest/gtest.h>

#include "share/zip/sfxconfig.h"
#include "share/zip/sfxformat.h"
#include "tests/mutate.h"
#include "tests/stub/stubtest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// Seeds: packages behind the stub, of stored, deflated, empty and folder entries.
std::vector<Bytes> Seeds() {
    std::mt19937 rng(16);
    TSFXConfig config;
    config.Caption = "Seed.exe";
    config.DefaultPath = "c:\\gobus";
    config.CmdLine = "><seed.exe";
    config.BuildConfigBlock();
    std::vector<Crafted> made = {
        Craft({{"seed.exe", MixedData(rng, 2000), 8}, {"seed.gobu", TextData(rng, 300), 0}},
              config.ConfigBlock),
        Craft({{"pics/", {}, 0}, {"pics/a.bmp", MixedData(rng, 600), 8}, {"empty", {}, 8}}),
        Craft({{"one.txt", TextData(rng, 5000), 8}}, config.ConfigBlock),
    };
    std::vector<Bytes> seeds;
    for (const Crafted& c : made) seeds.emplace_back(c.bytes.begin() + StubSize, c.bytes.end());
    return seeds;
}

}  // namespace

TEST(StubFuzz, ThousandsOfMutatedPackagesNeitherCrashNorOverrun) {
    std::vector<Bytes> seeds = Seeds();
    WriteSeeds(seeds);
    std::mt19937 rng(17);
    for (const Bytes& seed : seeds) {
        for (int i = 0; i < 6000; i++) {
            Bytes input = Mutate(seed, rng);
            ASSERT_EQ(LLVMFuzzerTestOneInput(input.data(), input.size()), 0);
        }
    }
}
