// bench_zip [--repeat N] [FILE...]
// Our Deflate encoder at level 9 against zlib's deflate at level 9 (raw: windowBits -15,
// memLevel 8) on each file in memory, then the stub's inflater against zlib's inflate on
// zlib's streams of those files, both fed alike (4 KB of input at a time, read into a
// buffer, decoded into a 32 KB window), then the whole archive writer against Info-ZIP's
// `zip -9 -X` on the same file list. Every timing is the best of N runs (default 3), so
// that a machine busy with something else disturbs the figures less. Our output is
// inflated by zlib and compared before it is counted.
// Without files it gathers its own corpus with make_corpus.sh: text, an executable
// (GOBU_BENCH_EXE, by default /usr/bin/cmake), JPEG pictures and a tarball of them.
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "bench/benchmark.h"
#include "share/zip/deflate.h"
#include "share/zip/zipwriter.h"
#include "stub/inflate.h"

namespace {

using Bytes = std::vector<uint8_t>;

size_t ZlibDeflate(const Bytes& in, Bytes& out) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = uInt(in.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    size_t n = z.total_out;
    deflateEnd(&z);
    return n;
}

bool InflatesTo(const Bytes& packed, const Bytes& original) {
    Bytes back(original.size() + 1);
    z_stream z{};
    inflateInit2(&z, -15);
    z.next_in = const_cast<Bytef*>(packed.data());
    z.avail_in = uInt(packed.size());
    z.next_out = back.data();
    z.avail_out = uInt(back.size());
    int status = inflate(&z, Z_FINISH);
    size_t n = z.total_out;
    inflateEnd(&z);
    return status == Z_STREAM_END && n == original.size() &&
           std::equal(original.begin(), original.end(), back.begin());
}

// The input of both inflaters: a stream read 4 KB at a time, as a file would be.
struct ChunkedInput {
    const Bytes* data;
    size_t pos;
};
constexpr uint32_t kInputChunk = 4096;

uint32_t ReadChunk(ChunkedInput& in, uint8_t* buf, uint32_t len) {
    uint32_t n = uint32_t(std::min({size_t(len), size_t(kInputChunk), in.data->size() - in.pos}));
    std::memcpy(buf, in.data->data() + in.pos, n);
    in.pos += n;
    return n;
}

int32_t StubRead(void* ctx, uint8_t* buf, uint32_t len) {
    return int32_t(ReadChunk(*static_cast<ChunkedInput*>(ctx), buf, len));
}
bool StubDiscard(void*, const uint8_t*, uint32_t) { return true; }
bool StubKeep(void* ctx, const uint8_t* data, uint32_t len) {
    static_cast<Bytes*>(ctx)->insert(static_cast<Bytes*>(ctx)->end(), data, data + len);
    return true;
}

InflateState stubState;

// The stub's inflater; out, when given, receives what it decodes.
bool StubInflate(const Bytes& packed, uint32_t size, Bytes* out) {
    ChunkedInput src = {&packed, 0};
    InflateInput in = {&src, StubRead};
    InflateOutput sink = {out, out != nullptr ? StubKeep : StubDiscard};
    uint32_t produced;
    return Inflate(stubState, in, sink, size, &produced) == kInflateOk && produced == size;
}

// Zlib's inflate fed the same way, its output taken 32 KB at a time.
bool ZlibInflateChunked(const Bytes& packed, size_t size) {
    static uint8_t input[kInputChunk], window[32768];
    ChunkedInput src = {&packed, 0};
    z_stream z{};
    inflateInit2(&z, -15);
    z.next_out = window;
    z.avail_out = sizeof window;
    int status = Z_OK;
    while (status == Z_OK) {
        if (z.avail_in == 0) {
            z.next_in = input;
            z.avail_in = ReadChunk(src, input, kInputChunk);
        }
        status = inflate(&z, Z_NO_FLUSH);
        if (z.avail_out == 0) {
            z.next_out = window;
            z.avail_out = sizeof window;
        }
    }
    bool ok = status == Z_STREAM_END && z.total_out == size;
    inflateEnd(&z);
    return ok;
}

// Writes into a buffer made large enough beforehand, as zlib's side does.
class BufferSink : public DeflateSink {
public:
    explicit BufferSink(Bytes& buf) : buf_(buf) {}
    bool Write(const uint8_t* data, size_t len) override {
        if (len > buf_.size() - used_) return false;
        std::memcpy(buf_.data() + used_, data, len);
        used_ += len;
        return true;
    }
    size_t used_ = 0;

private:
    Bytes& buf_;
};

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

double Mbps(uint64_t bytes, double seconds) { return seconds > 0 ? double(bytes) / 1e6 / seconds : 0; }

uint64_t FileSize(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? uint64_t(st.st_size) : 0;
}

// The default corpus, made in dir; the file list, sorted.
std::vector<std::string> MakeCorpus(const std::string& dir) {
    const char* exe = std::getenv("GOBU_BENCH_EXE");
    std::string cmd = "sh " + Quote(GOBU_CORPUS_SCRIPT) + " " + Quote(dir) + " " +
                      Quote(exe != nullptr && *exe != '\0' ? exe : "/usr/bin/cmake");
    std::vector<std::string> files;
    if (std::system(cmd.c_str()) != 0) return files;
    FILE* list = popen(("find " + Quote(dir) + " -type f | LC_ALL=C sort").c_str(), "r");
    if (list == nullptr) return files;
    char line[4096];
    while (std::fgets(line, sizeof line, list) != nullptr) {
        std::string path(line);
        while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
        if (!path.empty()) files.push_back(path);
    }
    pclose(list);
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    int repeat = 3;
    std::vector<std::string> files;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc)
            repeat = std::max(1, std::atoi(argv[++i]));
        else
            files.push_back(argv[i]);
    }
    char dirTemplate[] = "/tmp/bench_zip-XXXXXX";
    if (mkdtemp(dirTemplate) == nullptr) return 1;
    std::string dir = dirTemplate;
    if (files.empty()) {
        files = MakeCorpus(dir + "/corpus");
        if (files.empty()) {
            std::fprintf(stderr, "bench_zip: could not make the corpus\n");
            return 1;
        }
    }

    std::printf("Deflate level 9, in memory, best of %d runs\n", repeat);
    std::printf("%-28s %10s %10s %10s %8s %9s %9s %7s\n", "file", "size", "zlib", "ours", "ratio",
                "zlib MB/s", "ours MB/s", "speed");
    DeflateEncoder encoder;
    uint64_t totalIn = 0, totalZlib = 0, totalOurs = 0;
    double timeZlib = 0, timeOurs = 0;
    bool allVerified = true;
    for (const std::string& path : files) {
        Bytes in = ReadAll(path);
        Bytes zout(in.size() + in.size() / 100 + 1024), ours(zout.size());
        double bestZlib = 1e9, bestOurs = 1e9;
        size_t zlibSize = 0, oursSize = 0;
        for (int r = 0; r < repeat; r++) {
            Clock::time_point t = Clock::now();
            zlibSize = ZlibDeflate(in, zout);
            bestZlib = std::min(bestZlib, Seconds(t));

            t = Clock::now();
            MemorySource src(in.data(), in.size());
            BufferSink sink(ours);
            encoder.Encode(9, src, sink, false);
            bestOurs = std::min(bestOurs, Seconds(t));
            oursSize = sink.used_;
        }
        bool verified = InflatesTo(Bytes(ours.begin(), ours.begin() + long(oursSize)), in);
        allVerified = allVerified && verified;
        std::printf("%-28s %10zu %10zu %10zu %8.4f %9.1f %9.1f %6.2fx%s\n", BaseName(path).c_str(), in.size(),
                    zlibSize, oursSize, double(oursSize) / double(zlibSize), Mbps(in.size(), bestZlib),
                    Mbps(in.size(), bestOurs), bestZlib / bestOurs, verified ? "" : "  OUTPUT WRONG");
        totalIn += in.size();
        totalZlib += zlibSize;
        totalOurs += oursSize;
        timeZlib += bestZlib;
        timeOurs += bestOurs;
    }
    std::printf("%-28s %10llu %10llu %10llu %8.4f %9.1f %9.1f %6.2fx\n", "TOTAL", (unsigned long long)totalIn,
                (unsigned long long)totalZlib, (unsigned long long)totalOurs,
                double(totalOurs) / double(totalZlib), Mbps(totalIn, timeZlib), Mbps(totalIn, timeOurs),
                timeZlib / timeOurs);
    std::printf(
        "size: %+.3f%% against zlib (goal: at most +0.000%%); speed: %.2fx zlib's (goal: at least 3.0x)\n",
        100.0 * (double(totalOurs) / double(totalZlib) - 1), timeZlib / timeOurs);

    std::printf(
        "\nInflate of zlib -9 streams, 4 KB of input at a time into a 32 KB window, best of %d runs\n",
        repeat);
    std::printf("%-28s %10s %10s %9s %9s %7s\n", "file", "size", "stream", "zlib MB/s", "stub MB/s", "speed");
    uint64_t inflated = 0;
    double timeZlibInflate = 0, timeStub = 0;
    for (const std::string& path : files) {
        Bytes in = ReadAll(path);
        Bytes packed(in.size() + in.size() / 100 + 1024);
        packed.resize(ZlibDeflate(in, packed));
        Bytes back;
        bool verified = StubInflate(packed, uint32_t(in.size()), &back) && back == in &&
                        ZlibInflateChunked(packed, in.size());
        allVerified = allVerified && verified;
        double bestZlib = 1e9, bestStub = 1e9;
        for (int r = 0; r < repeat; r++) {
            Clock::time_point t = Clock::now();
            ZlibInflateChunked(packed, in.size());
            bestZlib = std::min(bestZlib, Seconds(t));
            t = Clock::now();
            StubInflate(packed, uint32_t(in.size()), nullptr);
            bestStub = std::min(bestStub, Seconds(t));
        }
        std::printf("%-28s %10zu %10zu %9.1f %9.1f %6.2fx%s\n", BaseName(path).c_str(), in.size(),
                    packed.size(), Mbps(in.size(), bestZlib), Mbps(in.size(), bestStub), bestZlib / bestStub,
                    verified ? "" : "  OUTPUT WRONG");
        inflated += in.size();
        timeZlibInflate += bestZlib;
        timeStub += bestStub;
    }
    std::printf("%-28s %10llu %10s %9.1f %9.1f %6.2fx\n", "TOTAL", (unsigned long long)inflated, "",
                Mbps(inflated, timeZlibInflate), Mbps(inflated, timeStub), timeZlibInflate / timeStub);
    std::printf("stub inflater: %.2fx zlib's speed (goal: at least 1.0x)\n", timeZlibInflate / timeStub);

    // The whole writer, with file reading, CRC and archive writing, against zip -9 -X
    // with bare names (-j), as the writer stores them.
    std::string ourZip = dir + "/ours.zip", infoZip = dir + "/infozip.zip";
    std::string list;
    for (const std::string& path : files) list += " " + Quote(path);
    double bestWriter = 1e9, bestZip = 1e9;
    uint32_t entries = 0;
    int zipStatus = 0;
    for (int r = 0; r < repeat; r++) {
        unlink(ourZip.c_str());
        TZipWriter writer;
        writer.ZipName = ourZip;
        writer.PackLevel = 9;
        writer.StorePaths = false;
        writer.FilesList = files;
        Clock::time_point t = Clock::now();
        try {
            entries = writer.WriteArchive();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "writer failed: %s\n", e.what());
            return 1;
        }
        bestWriter = std::min(bestWriter, Seconds(t));

        unlink(infoZip.c_str());
        std::string cmd = "zip -q -9 -X -j " + Quote(infoZip) + list;
        t = Clock::now();
        zipStatus = std::system(cmd.c_str());
        bestZip = std::min(bestZip, Seconds(t));
    }
    std::printf("\nWhole archive, %zu files, %u entries, best of %d runs\n", files.size(), unsigned(entries),
                repeat);
    std::printf("%-28s %12s %10s\n", "", "archive", "wall s");
    std::printf("%-28s %12llu %10.3f\n", "zip -9 -X -j", (unsigned long long)FileSize(infoZip), bestZip);
    std::printf("%-28s %12llu %10.3f\n", "TZipWriter level 9", (unsigned long long)FileSize(ourZip),
                bestWriter);
    std::printf("size: %+.3f%% against zip; time: %.2fx zip's speed%s\n",
                100.0 * (double(FileSize(ourZip)) / double(FileSize(infoZip)) - 1), bestZip / bestWriter,
                zipStatus == 0 ? "" : "  (zip reported an error)");
    std::string check = "unzip -tqq " + Quote(ourZip);
    bool archiveOk = std::system(check.c_str()) == 0;
    std::printf("our archive %s unzip -t\n", archiveOk ? "passes" : "FAILS");
    std::string cleanup = "rm -rf " + Quote(dir);
    if (std::system(cleanup.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", dir.c_str());
    return allVerified && archiveOk ? 0 : 1;
}
