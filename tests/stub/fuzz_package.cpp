// The fuzz target of the stub's package reader: the input is everything behind a stub
// of zeros, the configuration block and the archive. Built with libFuzzer on demand,
// and driven by a bounded mutation run in the ordinary tests.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "share/zip/sfxformat.h"
#include "tests/stub/stubtest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes package(StubSize, 0);
    package.insert(package.end(), data, data + size);
    MemoryPackage p(package);
    if (p.Open() != kPackageOk) return 0;
    // The free-space check counts what extracting writes: no entry, not even a damaged
    // one, writes more than its size.
    uint64_t counted = BytesToWrite(p.package(), nullptr, nullptr), written = 0;
    for (const MemoryPackage::Entry& e : p.ExtractAll()) {
        if (e.data.size() > e.header.size) abort();
        written += e.data.size();
    }
    if (written > counted) abort();
    return 0;
}
