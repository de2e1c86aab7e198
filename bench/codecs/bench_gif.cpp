// bench_gif [--repeat N] [FILE...]
// Our GIF decoder against giflib on each file in memory, both composing every frame
// onto a 32-bit screen: ours with GifDecoder, giflib's with DGifSlurp and then the
// plain composition of each saved image with its graphic control block's transparency
// and disposal. Every timing is the best of N runs (default 5). Before anything is
// timed, the two composed screens of every frame are compared.
// Without files it makes its own with ImageMagick's convert: an animation with every
// disposal, a large noisy picture, a large interlaced one and a sequence of full frames.
#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/benchmark.h"
#include "codecs/gif.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Called with each composed screen; the timed runs pass one that does nothing.
using FrameSink = void (*)(const std::vector<uint32_t>& screen, void* context);
void Ignore(const std::vector<uint32_t>&, void*) {}
void Keep(const std::vector<uint32_t>& screen, void* context) {
    static_cast<std::vector<std::vector<uint32_t>>*>(context)->push_back(screen);
}

int OursAll(const Bytes& file, FrameSink sink, void* context) {
    GifDecoder gif;
    if (!gif.Open(file.data(), file.size())) return 0;
    int frames = 0;
    for (; gif.NextFrame(); frames++) sink(gif.Screen(), context);
    return frames;
}

struct MemoryInput {
    const Bytes* file;
    size_t pos;
};

int ReadMemory(GifFileType* gif, GifByteType* out, int n) {
    MemoryInput* in = static_cast<MemoryInput*>(gif->UserData);
    size_t take = std::min(size_t(n), in->file->size() - in->pos);
    std::memcpy(out, in->file->data() + in->pos, take);
    in->pos += take;
    return int(take);
}

// giflib reads the whole file; the frames are then composed as a viewer would.
int GiflibAll(const Bytes& file, FrameSink sink, void* context) {
    MemoryInput in{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&in, ReadMemory, &error);
    if (!gif) return 0;
    if (DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &error);
        return 0;
    }
    const int width = gif->SWidth, height = gif->SHeight;
    std::vector<uint32_t> screen(size_t(width) * size_t(height), kGifBackground), saved;
    int disposal = DISPOSAL_UNSPECIFIED, x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (int i = 0; i < gif->ImageCount; i++) {
        // The previous frame's disposal, over its rectangle.
        for (int y = y0; y < y1; y++) {
            uint32_t* row = &screen[size_t(y) * size_t(width)];
            if (disposal == DISPOSE_BACKGROUND) std::fill(row + x0, row + x1, kGifBackground);
            if (disposal == DISPOSE_PREVIOUS)
                std::copy_n(&saved[size_t(y - y0) * size_t(x1 - x0)], x1 - x0, row + x0);
        }
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& d = image.ImageDesc;
        GraphicsControlBlock gcb = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(gif, i, &gcb);
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        uint32_t palette[256] = {};
        for (int c = 0; map && c < map->ColorCount && c < 256; c++)
            palette[c] = uint32_t(map->Colors[c].Red) << 16 | map->Colors[c].Green << 8 | map->Colors[c].Blue;
        x0 = std::min(d.Left, width);
        y0 = std::min(d.Top, height);
        x1 = std::min(d.Left + d.Width, width);
        y1 = std::min(d.Top + d.Height, height);
        disposal = gcb.DisposalMode;
        if (disposal == DISPOSE_PREVIOUS) {
            saved.clear();
            for (int y = y0; y < y1; y++)
                saved.insert(saved.end(), &screen[size_t(y) * size_t(width) + size_t(x0)],
                             &screen[size_t(y) * size_t(width) + size_t(x1)]);
        }
        // DGifSlurp gives the rows in picture order, interlaced or not.
        for (int y = y0; y < y1; y++) {
            const GifByteType* src = image.RasterBits + size_t(y - d.Top) * size_t(d.Width);
            uint32_t* dst = &screen[size_t(y) * size_t(width)];
            for (int x = x0; x < x1; x++) {
                int index = src[x - d.Left];
                if (index != gcb.TransparentColor) dst[x] = palette[index];
            }
        }
        sink(screen, context);
    }
    int frames = gif->ImageCount;
    DGifCloseFile(gif, &error);
    return frames;
}

double Best(int repeat, int (*decode)(const Bytes&, FrameSink, void*), const Bytes& file) {
    double best = 1e30;
    for (int r = 0; r < repeat; r++) {
        Clock::time_point start = Clock::now();
        decode(file, Ignore, nullptr);
        best = std::min(best, Seconds(start));
    }
    return best;
}

struct Made {
    std::string name;
    std::string make;  // convert's arguments, before the output file
};

std::vector<Made> Corpus() {
    // 36 frames on a 400×300 screen: shapes with transparent surroundings at offsets,
    // each disposal in turn, and now and then a whole new picture with its own table.
    std::string animation = "-size 400x300 -seed 11 plasma:fractal -colors 128 -set dispose None";
    const char* disposals[] = {"None", "Background", "Previous", "Undefined"};
    const char* colours[] = {"red", "blue", "lime", "orange", "navy", "magenta"};
    for (int i = 0; i < 35; i++) {
        if (i % 7 == 6) {
            animation += " \\( -size 400x300 -seed " + std::to_string(20 + i) +
                         " plasma:fractal -colors 200 -set dispose None \\)";
            continue;
        }
        int w = 60 + i * 13 % 140, h = 40 + i * 17 % 120, x = i * 37 % (400 - w), y = i * 23 % (300 - h);
        char frame[300];
        std::snprintf(frame, sizeof frame,
                      " \\( -size %dx%d xc:none -fill %s -draw 'ellipse %d,%d %d,%d 0,360' -set page +%d+%d "
                      "-set dispose %s \\)",
                      w, h, colours[i % 6], w / 2, h / 2, w / 2 - 1, h / 2 - 1, x, y, disposals[i % 4]);
        animation += frame;
    }
    return {
        {"animation 400x300, 36 frames, every disposal", animation + " -set delay 4 -loop 0"},
        {"noise 2000x1500, 256 colours", "-size 2000x1500 xc: -seed 12 +noise Random -colors 256"},
        {"interlaced 1600x1200, 256 colours",
         "-size 1600x1200 -seed 13 plasma:fractal -colors 256 -interlace GIF"},
        {"full frames 480x360, 30 frames, local tables",
         "-size 480x360 -seed 14 plasma:fractal -duplicate 29 -distort SRT '%[fx:t*12]' -colors 256 "
         "-set delay 4 -loop 0"},
    };
}

}  // namespace

int main(int argc, char** argv) {
    int repeat = 5;
    std::vector<std::string> paths, names;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++i]));
        } else {
            paths.push_back(argv[i]);
            names.push_back(argv[i]);
        }
    }
    std::string folder;
    if (paths.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/bench-gif-XXXXXX";
        if (!mkdtemp(&templ[0])) return 1;
        folder = templ;
        std::printf("making the files with %s...\n", GOBU_CONVERT);
        for (const Made& m : Corpus()) {
            std::string path = folder + "/" + std::to_string(paths.size()) + ".gif";
            std::string command = std::string(GOBU_CONVERT) + " " + m.make + " '" + path + "'";
            if (std::system(command.c_str()) != 0) {
                std::fprintf(stderr, "convert failed: %s\n", command.c_str());
                return 1;
            }
            paths.push_back(path);
            names.push_back(m.name);
        }
    }

    std::printf("GIF decoding and composition of every frame, best of %d, in ms\n", repeat);
    std::printf("%-48s %9s %7s %9s %9s %7s\n", "file", "bytes", "frames", "ours", "giflib", "ratio");
    bool agree = true;
    double oursTotal = 0, giflibTotal = 0;
    for (size_t i = 0; i < paths.size(); i++) {
        Bytes file = ReadAll(paths[i]);
        std::vector<std::vector<uint32_t>> ours, theirs;
        int frames = OursAll(file, Keep, &ours);
        GiflibAll(file, Keep, &theirs);
        if (frames == 0 || ours != theirs) {
            std::printf("%-48s: the decoders disagree (%zu and %zu frames)\n", names[i].c_str(), ours.size(),
                        theirs.size());
            agree = false;
            continue;
        }
        double a = Best(repeat, OursAll, file), b = Best(repeat, GiflibAll, file);
        oursTotal += a;
        giflibTotal += b;
        std::printf("%-48s %9zu %7d %9.2f %9.2f %6.2fx\n", names[i].c_str(), file.size(), frames, a * 1000,
                    b * 1000, b / a);
    }
    if (oursTotal > 0)
        std::printf("%-48s %9s %7s %9.2f %9.2f %6.2fx\n", "all", "", "", oursTotal * 1000, giflibTotal * 1000,
                    giflibTotal / oursTotal);
    std::printf("ratio: giflib's time over ours, above 1 when ours is faster\n");
    if (!folder.empty()) std::system(("rm -rf '" + folder + "'").c_str());
    return agree ? 0 : 1;
}
