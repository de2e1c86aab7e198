// bench_deflate_time FILE...
// Our Deflate encoder at level 9 on each file in memory, best of 3 runs: size and
// MB/s per file and in all. Built natively and into the shipped 32-bit tree, so that
// `make bench` can time the encoder the shipped program carries (under Wine) beside the
// native one on the same files.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/benchmark.h"
#include "share/zip/deflate.h"

namespace {

class CountingSink : public DeflateSink {
public:
    bool Write(const uint8_t*, size_t len) override {
        size += len;
        return true;
    }
    size_t size = 0;
};

}  // namespace

int main(int argc, char** argv) {
    std::printf("Deflate level 9, %d-bit build, in memory, best of 3 runs\n", int(sizeof(void*) * 8));
    std::printf("%-28s %10s %10s %9s\n", "file", "size", "deflated", "MB/s");
    DeflateEncoder encoder;
    uint64_t totalIn = 0, totalOut = 0;
    double totalTime = 0;
    for (int i = 1; i < argc; i++) {
        std::vector<uint8_t> in = ReadAll(argv[i]);
        double best = 1e9;
        size_t out = 0;
        for (int r = 0; r < 3; r++) {
            MemorySource src(in.data(), in.size());
            CountingSink sink;
            Clock::time_point t = Clock::now();
            encoder.Encode(9, src, sink, false);
            best = std::min(best, Seconds(t));
            out = sink.size;
        }
        const char* slash = std::strrchr(argv[i], '/');
        std::printf("%-28s %10zu %10zu %9.1f\n", slash ? slash + 1 : argv[i], in.size(), out,
                    best > 0 ? double(in.size()) / 1e6 / best : 0);
        totalIn += in.size();
        totalOut += out;
        totalTime += best;
    }
    std::printf("%-28s %10llu %10llu %9.1f\n", "TOTAL", (unsigned long long)totalIn,
                (unsigned long long)totalOut, totalTime > 0 ? double(totalIn) / 1e6 / totalTime : 0);
    return 0;
}
