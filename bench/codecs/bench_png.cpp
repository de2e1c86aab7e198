// bench_png [--repeat N]
// Our PNG decoder (lodepng's, built for size as the gobu ships it) against libpng's
// simplified API, both from memory to 8-bit RGBA, on a file of every kind the tests make
// and a 2000 x 2000 photo-like RGBA picture, all made with ImageMagick's convert. Every
// timing is the best of N runs (default 5), the two decoders taking turns; before
// anything is timed, the two decodings of each file are compared pixel for pixel
// (16-bit samples may differ by one: libpng rounds, lodepng takes the high byte).
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/benchmark.h"
#include "codecs/png.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Made {
    const char* name;
    std::string make;
    const char* format;
};

const Made kFiles[] = {
    {"grey 1", "-size 330x170 gradient: -colorspace Gray -threshold 50% -depth 1", "png"},
    {"grey 8", "-size 330x170 -seed 2 plasma:fractal -colorspace Gray -depth 8 -define png:color-type=0",
     "png"},
    {"grey 16", "-size 330x170 -seed 2 plasma:fractal -colorspace Gray -depth 16 -define png:color-type=0",
     "png"},
    {"palette 4", "-size 330x170 -seed 3 plasma:fractal -colors 16", "png8"},
    {"palette 8 + tRNS",
     "-size 330x170 -seed 3 plasma:fractal -colors 200 -transparent-color white "
     "-fill none -draw 'rectangle 20,20 90,70'",
     "png8"},
    {"RGB 8", "-size 370x230 -seed 4 plasma:fractal", "png24"},
    {"RGB 16", "-size 370x230 -seed 4 plasma:fractal -depth 16", "png48"},
    {"RGBA 8 Adam7",
     "-size 370x230 -seed 4 plasma:fractal \\( -size 370x230 radial-gradient:white-black \\) "
     "-alpha off -compose CopyOpacity -composite -interlace PNG",
     "png32"},
    {"RGBA 2000 x 2000 photo",
     "-size 2000x2000 -seed 6 plasma:fractal -blur 0x1 \\( -size 2000x2000 "
     "radial-gradient:white-black \\) -alpha off -compose CopyOpacity -composite",
     "png32"},
};

Bytes Make(const Made& m) {
    char folder[] = "/tmp/bench_png.XXXXXX";
    if (!mkdtemp(folder)) return {};
    std::string path = std::string(folder) + "/made.png";
    std::string command =
        std::string(GOBU_CONVERT) + " " + m.make + " " + Quote(std::string(m.format) + ":" + path);
    Bytes file = std::system(command.c_str()) == 0 ? ReadAll(path) : Bytes();
    std::remove(path.c_str());
    rmdir(folder);
    return file;
}

bool Ours(const Bytes& file, std::vector<uint32_t>& rgba) {
    Picture p;
    if (!DecodePng(file.data(), file.size(), p)) return false;
    rgba.resize(p.pixels.size());
    for (size_t i = 0; i < p.pixels.size(); i++) rgba[i] = p.alpha ? p.pixels[i] : p.pixels[i] | 0xFF000000;
    return true;
}

// libpng's simplified API into BGRA, which on a little-endian machine reads as
// 0xAARRGGBB words like ours.
bool Libpng(const Bytes& file, std::vector<uint32_t>& rgba) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return false;
    image.format = PNG_FORMAT_BGRA;
    rgba.resize(size_t(image.width) * image.height);
    bool ok = png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

// The best time of each over repeat rounds, the two taking turns, so that a change in
// the machine's load falls on both alike.
template <class A, class B>
void BestOfTurns(int repeat, A a, B b, double& bestA, double& bestB) {
    bestA = bestB = 1e9;
    for (int i = 0; i < repeat; i++) {
        Clock::time_point start = Clock::now();
        a();
        bestA = std::min(bestA, Seconds(start));
        start = Clock::now();
        b();
        bestB = std::min(bestB, Seconds(start));
    }
}

int LargestDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return 256;
    int worst = 0;
    for (size_t i = 0; i < a.size(); i++)
        for (int shift = 0; shift < 32; shift += 8)
            worst = std::max(worst, std::abs(int(a[i] >> shift & 0xFF) - int(b[i] >> shift & 0xFF)));
    return worst;
}

}  // namespace

int main(int argc, char** argv) {
    int repeat = 5;
    if (argc == 3 && std::string(argv[1]) == "--repeat") repeat = std::max(1, std::atoi(argv[2]));
    std::printf("PNG decoding, best of %d: ours (lodepng) against libpng %s's simplified API\n", repeat,
                PNG_LIBPNG_VER_STRING);
    std::printf("%-24s %10s %11s %11s %8s\n", "file", "bytes", "ours ms", "libpng ms", "speed");
    double oursTotal = 0, theirsTotal = 0;
    int failures = 0;
    for (const Made& m : kFiles) {
        Bytes file = Make(m);
        std::vector<uint32_t> a, b;
        if (file.empty() || !Ours(file, a) || !Libpng(file, b) || LargestDifference(a, b) > 1) {
            std::printf("%-24s decodings differ or failed\n", m.name);
            failures++;
            continue;
        }
        double ours, theirs;
        BestOfTurns(
            repeat, [&] { Ours(file, a); }, [&] { Libpng(file, b); }, ours, theirs);
        oursTotal += ours;
        theirsTotal += theirs;
        std::printf("%-24s %10zu %11.2f %11.2f %7.2fx\n", m.name, file.size(), ours * 1000, theirs * 1000,
                    theirs / ours);
    }
    std::printf(
        "%-24s %10s %11.2f %11.2f %7.2fx   (speed: ours as a ratio of libpng's; aim 0.80x or better)\n",
        "all", "", oursTotal * 1000, theirsTotal * 1000, theirsTotal / oursTotal);
    return failures ? 1 : 0;
}
