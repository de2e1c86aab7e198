#include "tests/codecs/codectest.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include <gtest/gtest.h>

#include "codecs/gif.h"

Bytes operator+(Bytes a, const Bytes& b) { return a += b; }

Bytes& operator+=(Bytes& a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Le16(int value) { return {uint8_t(value), uint8_t(value >> 8)}; }

Bytes Header(const char* version) { return Bytes(version, version + std::strlen(version)); }

Bytes ScreenDescriptor(int width, int height, int tableBits) {
    uint8_t flags = tableBits < 0 ? 0 : uint8_t(0x80 | tableBits);
    return Le16(width) + Le16(height) + Bytes{flags, 0, 0};
}

Bytes ColourTable(const std::vector<uint32_t>& colours, size_t entries) {
    Bytes table(entries * 3, 0);
    for (size_t i = 0; i < colours.size() && i < entries; i++) {
        table[i * 3] = uint8_t(colours[i] >> 16);
        table[i * 3 + 1] = uint8_t(colours[i] >> 8);
        table[i * 3 + 2] = uint8_t(colours[i]);
    }
    return table;
}

Bytes ImageDescriptor(int left, int top, int width, int height, int flags) {
    return Bytes{0x2C} + Le16(left) + Le16(top) + Le16(width) + Le16(height) + Bytes{uint8_t(flags)};
}

Bytes GraphicControl(int delayHundredths, int disposal, int transparent) {
    uint8_t flags = uint8_t(disposal << 2 | (transparent >= 0 ? 1 : 0));
    return Bytes{0x21, 0xF9, 4, flags} + Le16(delayHundredths) + Bytes{uint8_t(transparent), 0};
}

Bytes Looping(int count, const char* application) {
    return Bytes{0x21, 0xFF, 11} + Header(application) + Bytes{3, 1} + Le16(count) + Bytes{0};
}

Bytes SubBlocks(const Bytes& data, size_t blockSize) {
    Bytes out;
    for (size_t at = 0; at < data.size(); at += blockSize) {
        size_t n = std::min(blockSize, data.size() - at);
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + long(at), data.begin() + long(at + n));
    }
    out.push_back(0);
    return out;
}

Bytes PackCodes(int minCodeSize, const std::vector<int>& codes) {
    const int clear = 1 << minCodeSize;
    int width = minCodeSize + 1, next = clear + 2;
    bool havePrevious = false;
    Bytes out;
    uint32_t bits = 0;
    int count = 0;
    for (int code : codes) {
        bits |= uint32_t(code) << count;
        for (count += width; count >= 8; count -= 8, bits >>= 8) out.push_back(uint8_t(bits));
        if (code == clear) {
            width = minCodeSize + 1;
            next = clear + 2;
            havePrevious = false;
        } else if (code != clear + 1) {
            if (havePrevious && next < 4096 && ++next == 1 << width && width < 12) width++;
            havePrevious = true;
        }
    }
    if (count > 0) out.push_back(uint8_t(bits));
    return out;
}

Bytes ImageData(int minCodeSize, const std::vector<int>& codes) {
    return Bytes{uint8_t(minCodeSize)} + SubBlocks(PackCodes(minCodeSize, codes));
}

std::vector<int> LiteralCodes(const Bytes& indices, int minCodeSize) {
    const int clear = 1 << minCodeSize;
    std::vector<int> codes;
    for (size_t i = 0; i < indices.size(); i++) {
        // The first code after a clear adds no entry; each later one adds one.
        if (i % size_t(clear - 1) == 0) codes.push_back(clear);
        codes.push_back(indices[i]);
    }
    codes.push_back(clear + 1);
    return codes;
}

Bytes Frame(int left, int top, int width, int height, const Bytes& indices, int minCodeSize) {
    return ImageDescriptor(left, top, width, height) +
           ImageData(minCodeSize, LiteralCodes(indices, minCodeSize));
}

Bytes SmallAnimation(std::vector<size_t>* frameEnds) {
    std::vector<size_t> ends;
    Bytes gif = Header() + ScreenDescriptor(4, 3, 1)  // four colours: black, red, green, blue
                + ColourTable({0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, 4) + Looping(2)  //
                + GraphicControl(5, 2, 0)  // 50 ms, restore to background, black is transparent
                + Frame(0, 0, 4, 3, {1, 2, 3, 1, 2, 3, 0, 0, 1, 2, 3, 1});
    ends.push_back(gif.size());
    gif += GraphicControl(9, 3)  // 90 ms, restore to what was under it
           + ImageDescriptor(1, 1, 2, 2, 0x81) + ColourTable({0x0000FF, 0x00FF00, 0xFF0000, 0}, 4) +
           ImageData(2, LiteralCodes({0, 1, 2, 3}, 2));
    ends.push_back(gif.size());
    gif += Bytes{0x21, 0xFE} + SubBlocks({'o', 'k'})  // a comment
           + ImageDescriptor(0, 0, 4, 3, 0x40)        // interlaced
           + ImageData(2, LiteralCodes({3, 3, 3, 3, 2, 2, 2, 2, 1, 1, 1, 1}, 2));
    ends.push_back(gif.size());
    if (frameEnds) *frameEnds = ends;
    return gif + Bytes{0x3B};
}

std::string TempPath(const std::string& name) {
    static std::atomic<int> serial{0};
    return testing::TempDir() + "gif" + std::to_string(getpid()) + "_" + std::to_string(serial++) + "_" +
           name;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

bool RunConvert(const std::string& arguments) {
    std::string command = std::string(GOBU_CONVERT) + " " + arguments;
    return std::system(command.c_str()) == 0;
}

std::vector<std::vector<uint32_t>> ConvertFrames(const std::string& gif, int width, int height) {
    std::string raw = TempPath("coalesced.rgba");
    bool ran = RunConvert("'" + gif + "' -coalesce -depth 8 'rgba:" + raw + "'");
    Bytes rgba = ReadFile(raw);
    std::remove(raw.c_str());
    size_t frameBytes = size_t(width) * size_t(height) * 4;
    if (!ran || rgba.empty() || rgba.size() % frameBytes != 0) return {};
    std::vector<std::vector<uint32_t>> frames;
    for (size_t at = 0; at < rgba.size(); at += frameBytes) {
        std::vector<uint32_t> frame;
        for (size_t i = at; i < at + frameBytes; i += 4) {
            if (rgba[i + 3] != 0 && rgba[i + 3] != 255) return {};
            frame.push_back(rgba[i + 3] == 0
                                ? kGifBackground
                                : uint32_t(rgba[i]) << 16 | uint32_t(rgba[i + 1]) << 8 | rgba[i + 2]);
        }
        frames.push_back(frame);
    }
    return frames;
}

Bytes ConvertedFile(const std::string& arguments, const std::string& format) {
    std::string path = TempPath("made." + format);
    Bytes file;
    if (RunConvert(arguments + " '" + format + ":" + path + "'")) file = ReadFile(path);
    std::remove(path.c_str());
    return file;
}

Picture ConvertToPicture(const Bytes& file, const std::string& format) {
    std::string in = TempPath("in." + format), out = TempPath("out.ppm");
    std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), long(file.size()));
    bool ran = RunConvert("'" + format + ":" + in + "[0]' -colorspace sRGB -depth 8 'ppm:" + out + "'");
    Bytes ppm = ReadFile(out);
    std::remove(in.c_str());
    std::remove(out.c_str());
    // A binary PPM: "P6", width, height, 255, one white-space byte, then RGB triples.
    Picture picture;
    std::string magic;
    int maxValue = 0, width = 0, height = 0;
    std::istringstream header(std::string(ppm.begin(), ppm.end()));
    header >> magic >> width >> height >> maxValue;
    size_t at = size_t(header.tellg()) + 1, count = size_t(width) * size_t(height);
    if (!ran || magic != "P6" || maxValue != 255 || ppm.size() != at + count * 3) return picture;
    picture.width = width;
    picture.height = height;
    for (const uint8_t* p = &ppm[at]; p < &ppm[at] + count * 3; p += 3)
        picture.pixels.push_back(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
    return picture;
}

Picture ConvertToRgba(const Bytes& file, const std::string& format) {
    std::string in = TempPath("in." + format), out = TempPath("out.rgba");
    WriteTemp(in, file);
    std::string size = TempPath("size.txt");
    bool ran =
        RunConvert("'" + format + ":" + in + "[0]' -colorspace sRGB -depth 8 -format '%w %h' -write info:'" +
                   size + "' 'rgba:" + out + "'");
    Bytes sizeText = ReadFile(size), rgba = ReadFile(out);
    for (const std::string& f : {in, out, size}) std::remove(f.c_str());
    Picture picture;
    int width = 0, height = 0;
    std::istringstream(std::string(sizeText.begin(), sizeText.end())) >> width >> height;
    if (!ran || width <= 0 || height <= 0 || rgba.size() != size_t(width) * size_t(height) * 4)
        return picture;
    picture.width = width;
    picture.height = height;
    picture.alpha = true;
    for (size_t i = 0; i < rgba.size(); i += 4)
        picture.pixels.push_back(uint32_t(rgba[i + 3]) << 24 | uint32_t(rgba[i]) << 16 |
                                 uint32_t(rgba[i + 1]) << 8 | rgba[i + 2]);
    return picture;
}

Bytes ConvertFromRgba(const Picture& picture, const std::string& arguments, const std::string& format) {
    Bytes rgba;
    for (uint32_t p : picture.pixels)
        rgba.insert(rgba.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)});
    std::string in = TempPath("in.rgba");
    WriteTemp(in, rgba);
    Bytes file =
        ConvertedFile("-size " + std::to_string(picture.width) + "x" + std::to_string(picture.height) +
                          " -depth 8 'rgba:" + in + "' " + arguments,
                      format);
    std::remove(in.c_str());
    return file;
}

void WriteTemp(const std::string& path, const Bytes& file) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), long(file.size()));
}

// ImageMagick decodes with the same library, so only CMYK and YCCK, which it turns into
// RGB by a formula of its own, may differ more than by rounding.
const JpegKind kJpegKinds[10] = {
    {"odd size, 4:2:0", "-size 37x23 -seed 7 plasma:fractal -quality 92", nullptr, 1},
    {"4:4:4", "-size 64x48 -seed 3 plasma:fractal -sampling-factor 1x1", nullptr, 1},
    {"progressive", "-size 50x41 -seed 8 plasma:fractal -interlace JPEG", nullptr, 1},
    {"restart markers", "-size 40x40 -seed 5 plasma:fractal -define jpeg:restart-interval=1", nullptr, 1},
    {"grayscale", "-size 33x17 -seed 9 plasma:fractal -colorspace Gray", nullptr, 1},
    {"CMYK", "-size 29x31 -seed 10 plasma:fractal -colorspace CMYK", nullptr, 3},
    {"YCCK", "-size 29x31 -seed 10 plasma:fractal -colorspace CMYK -define jpeg:colorspace=5", nullptr, 3},
    {"1 x 1", "-size 1x1 xc:#3080C0", nullptr, 1},
    {"arithmetic-coded", "-size 45x30 -seed 11 plasma:fractal", "-arithmetic", 1},
    {"arithmetic-coded progressive", "-size 30x45 -seed 12 plasma:fractal", "-arithmetic -progressive", 1},
};

Bytes MakeJpeg(const JpegKind& kind) {
    Bytes file = ConvertedFile(kind.make, "jpg");
    if (kind.recode == nullptr || file.empty()) return file;
    std::string in = TempPath("plain.jpg"), out = TempPath("recoded.jpg");
    std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), long(file.size()));
    std::string command =
        std::string(GOBU_JPEGTRAN) + " " + kind.recode + " -outfile '" + out + "' '" + in + "'";
    file = std::system(command.c_str()) == 0 ? ReadFile(out) : Bytes();
    std::remove(in.c_str());
    std::remove(out.c_str());
    return file;
}
