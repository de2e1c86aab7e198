// Helpers of the stub's tests: a package in memory read through the reader's own
// callbacks (exact-size allocations and strict bounds, so ASan sees any overrun), and a
// small ZIP maker whose every field position is known, for crafting damaged packages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stub/package.h"
#include "tests/zip/ziptest.h"

class MemoryPackage {
public:
    explicit MemoryPackage(const Bytes& bytes);
    ~MemoryPackage();
    MemoryPackage(const MemoryPackage&) = delete;
    MemoryPackage& operator=(const MemoryPackage&) = delete;

    PackageStatus Open();
    const Package& package() const { return package_; }
    const PackageFile& file() const { return file_; }

    struct Entry {
        std::string name;
        PackageEntry header;
        ExtractStatus status;
        Bytes data;
    };
    // Every entry of the opened package, extracted.
    std::vector<Entry> ExtractAll();

private:
    Bytes bytes_;
    PackageFile file_;
    Package package_ = {};
    bool open_ = false;
};

// One entry of a crafted archive; method 8 deflates data with zlib.
struct CraftEntry {
    std::string name;
    Bytes data;
    uint16_t method = 0;
};

// A package made of StubSize zero bytes, an optional configuration block and an
// archive, with the offsets of every record in it.
struct Crafted {
    Bytes bytes;
    std::vector<size_t> local, central;
    size_t end = 0;
};
Crafted Craft(const std::vector<CraftEntry>& entries, const std::string& block = "");

void Put16(Bytes& b, size_t at, uint32_t v);
void Put32(Bytes& b, size_t at, uint32_t v);
uint32_t Get32(const Bytes& b, size_t at);

// Zlib's raw Deflate stream of data at a level and strategy.
Bytes ZlibDeflate(const Bytes& data, int level, int strategy);
