// The small random changes that the bounded fuzz runs make to their seeds, and the
// seeds written out for a longer libFuzzer run.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

// One to four changes: a flipped bit, a random byte, a boundary value written as a
// 16- or 32-bit little-endian field, a cut, an inserted or a removed byte.
inline std::vector<uint8_t> Mutate(std::vector<uint8_t> b, std::mt19937& rng) {
    const uint32_t interesting[] = {0,      1,      2,      3,      0x7F,    0x80,       0xFF,      0x100,
                                    0x0FFF, 0x1000, 0x7FFF, 0xFFFF, 0x10000, 0x7FFFFFFF, 0xFFFFFFFF};
    const size_t kInteresting = sizeof interesting / sizeof interesting[0];
    int ops = 1 + int(rng() % 4);
    for (int i = 0; i < ops && !b.empty(); i++) {
        size_t at = rng() % b.size();
        switch (rng() % 6) {
        case 0:
            b[at] ^= uint8_t(1u << (rng() % 8));
            break;
        case 1:
            b[at] = uint8_t(rng());
            break;
        case 2: {
            uint32_t v = interesting[rng() % kInteresting];
            size_t width = rng() % 2 ? 2 : 4;
            if (at + width <= b.size())
                for (size_t k = 0; k < width; k++) b[at + k] = uint8_t(v >> (8 * k));
            break;
        }
        case 3:
            b.resize(at);
            break;
        case 4:
            b.insert(b.begin() + long(at), uint8_t(rng()));
            break;
        default:
            b.erase(b.begin() + long(at));
            break;
        }
    }
    return b;
}

// With GOBU_FUZZ_CORPUS set, writes the seeds into that folder as seed0, seed1 ...: the
// corpus that scripts/fuzz starts from.
inline void WriteSeeds(const std::vector<std::vector<uint8_t>>& seeds) {
    const char* corpus = std::getenv("GOBU_FUZZ_CORPUS");
    for (size_t i = 0; corpus != nullptr && i < seeds.size(); i++)
        std::ofstream(std::string(corpus) + "/seed" + std::to_string(i), std::ios::binary)
            .write(reinterpret_cast<const char*>(seeds[i].data()), long(seeds[i].size()));
}
