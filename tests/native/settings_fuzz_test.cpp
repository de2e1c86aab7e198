// A bounded mutation run over the settings fuzz target, from settings files as gobus
// save them and as older or hand-edited ones look. With GOBU_FUZZ_CORPUS set, the seeds
// are also written there, as the corpus of a longer libFuzzer run.
#include <gtest/gtest.h>

#include <random>

#include "app/settings.h"
#include "tests/mutate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::vector<uint8_t>> Seeds() {
    GobuSettings fresh, full;
    full.pictures = {"c:\\gobus\\red.bmp", "d:\\photos\\beach.jpg", "frames.gif"};
    full.linkedFiles = {"http://www.example.com/Page", "c:\\docs\\notes.txt", "www.example.org"};
    full.includeFiles = {"c:\\docs\\readme.txt"};
    full.transition = 12;
    full.duration = 99999;
    full.destination = -1;
    full.groupLaunch = full.animation = full.stayOnTop = true;
    full.transparent = false;
    full.windowLeft = -3000;
    full.windowTop = 9000;
    full.listLeft = 0;
    full.listWidth = 640;
    const std::string files[] = {
        FormatSettings(fresh), FormatSettings(full),
        // Edited by hand: bare line feeds, blank lines, unknown and repeated keywords,
        // values out of range and an end-of-file mark.
        "picture a.bmp\n\ntransition 40\nduration -7\ndestination 9\ncolour red\npicture a.bmp\r\n"
        "gobu left 99999999999\r\ntransparent\x1a"
        "file x.txt\r\n"};
    std::vector<std::vector<uint8_t>> seeds;
    for (const std::string& file : files) seeds.emplace_back(file.begin(), file.end());
    return seeds;
}

}  // namespace

TEST(SettingsFuzz, MutatedFilesReadIntoRangeAndSurviveTheirSave) {
    std::vector<std::vector<uint8_t>> seeds = Seeds();
    WriteSeeds(seeds);
    std::mt19937 rng(19);
    for (const std::vector<uint8_t>& seed : seeds) {
        for (int i = 0; i < 3000; i++) {
            std::vector<uint8_t> input = Mutate(seed, rng);
            ASSERT_EQ(LLVMFuzzerTestOneInput(input.data(), input.size()), 0);
        }
    }
}
