#include "tests/codecs/codectest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

Bytes Convert(const std::string& arguments, const Bytes& input) {
    // The input goes through a file, so that the pipe carries one direction only.
    std::string in = testing::TempDir() + "convert_in_" + std::to_string(rand());
    std::string command = std::string(GOBU_CONVERT) + " " + arguments;
    if (!input.empty()) {
        std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char*>(input.data()), long(input.size()));
        command += " < " + in;
    }
    Bytes out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        uint8_t buffer[65536];
        size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.insert(out.end(), buffer, buffer + got);
        EXPECT_EQ(pclose(pipe), 0) << command;
    } else {
        ADD_FAILURE() << "cannot run " << command;
    }
    if (!input.empty()) remove(in.c_str());
    EXPECT_FALSE(out.empty()) << command;
    return out;
}

Picture ConvertToPicture(const Bytes& file, const std::string& format) {
    Bytes ppm = Convert(format + ":-[0] -colorspace sRGB -depth 8 ppm:-", file);
    Picture picture;
    std::string text(ppm.begin(), ppm.end());
    std::istringstream header(text);
    std::string magic;
    int maxValue = 0;
    header >> magic >> picture.width >> picture.height >> maxValue;
    EXPECT_EQ(magic, "P6");
    EXPECT_EQ(maxValue, 255);
    size_t at = size_t(header.tellg()) + 1;
    size_t count = size_t(picture.width) * size_t(picture.height);
    EXPECT_EQ(ppm.size(), at + count * 3);
    if (ppm.size() != at + count * 3) return picture;
    for (size_t i = 0; i < count; i++) {
        const uint8_t* p = &ppm[at + i * 3];
        picture.pixels.push_back(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
    }
    return picture;
}
