// Photos the right way up and at a desktop size: the Exif orientation of a JPEG, written
// here as an APP1 segment with one IFD entry, against ImageMagick's -auto-orient of the
// same file; damaged Exif blocks; and decoding at libjpeg's DCT scales.
#include <gtest/gtest.h>

#include "codecs/exif.h"
#include "codecs/jpeg.h"
#include "tests/codecs/codectest.h"
#include "tests/pixels.h"

namespace {

Bytes Be16(int v) { return {uint8_t(v >> 8), uint8_t(v)}; }

// The APP1 payload: "Exif", two zero bytes, a TIFF header in the byte order given, and
// IFD0 with one entry, the orientation tag as a SHORT.
Bytes ExifPayload(int orientation, bool bigEndian = true) {
    auto u16 = [bigEndian](int v) { return bigEndian ? Be16(v) : Le16(v); };
    auto u32 = [&](uint32_t v) {
        return bigEndian ? u16(int(v >> 16)) + u16(int(v & 0xFFFF))
                         : u16(int(v & 0xFFFF)) + u16(int(v >> 16));
    };
    Bytes payload = {'E', 'x', 'i', 'f', 0, 0};
    payload += bigEndian ? Bytes{'M', 'M', 0, 42} : Bytes{'I', 'I', 42, 0};
    payload += u32(8);                         // IFD0 right after the header
    payload += u16(1);                         // one entry
    payload += u16(0x0112) + u16(3) + u32(1);  // orientation, SHORT, one value
    payload += u16(orientation) + u16(0);      // the value, padded to four bytes
    payload += u32(0);                         // no next IFD
    return payload;
}

// The JPEG with an APP1 segment holding payload right after its SOI marker.
Bytes WithApp1(const Bytes& jpeg, const Bytes& payload) {
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    out += Bytes{0xFF, 0xE1} + Be16(int(payload.size()) + 2) + payload;
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

Picture AutoOriented(const Bytes& jpeg) {
    std::string in = TempPath("exif.jpg");
    WriteTemp(in, jpeg);
    Bytes ppm = ConvertedFile("'" + in + "' -auto-orient", "ppm");
    std::remove(in.c_str());
    return ConvertToPicture(ppm, "ppm");
}

}  // namespace

TEST(Exif, EveryOrientationGivesTheUprightPicture) {
    Bytes plain = ConvertedFile("-size 37x23 -seed 7 plasma:fractal -sampling-factor 1x1 -quality 95", "jpg");
    ASSERT_FALSE(plain.empty());
    for (int orientation = 1; orientation <= 8; orientation++) {
        for (bool big : {true, false}) {
            SCOPED_TRACE(std::to_string(orientation) + (big ? " big-endian" : " little-endian"));
            Bytes file = WithApp1(plain, ExifPayload(orientation, big));
            Picture expected = AutoOriented(file);
            ASSERT_EQ(expected.width, OrientationTurns(orientation) ? 23 : 37);
            Picture got;
            ASSERT_TRUE(DecodeJpeg(file.data(), file.size(), got));
            ASSERT_EQ(got.width, expected.width);
            ASSERT_EQ(got.height, expected.height);
            EXPECT_LE(LargestDifference(got.pixels, expected.pixels), 1);
            EXPECT_EQ(got.full, (PictureSize{got.width, got.height}));
        }
    }
}

TEST(Exif, DamagedOrAbsentBlocksMeanOrientationOne) {
    const Bytes good = ExifPayload(6);
    ASSERT_EQ(ExifOrientation(good.data(), good.size()), 6);
    struct Case {
        const char* name;
        Bytes payload;
    };
    Bytes badType = good, zeroCount = good, farIfd = good, manyEntries = good, nine = good;
    badType[6 + 8 + 2 + 3] = 4;         // LONG instead of SHORT
    zeroCount[6 + 8 + 2 + 7] = 0;       // a count of 0
    farIfd[6 + 7] = 200;                // IFD0 past the end
    manyEntries[6 + 9] = 0xFF;          // 0x01FF entries claimed, one present
    manyEntries[6 + 8 + 2 + 1] = 0x13;  // and the first is not the orientation
    nine[6 + 8 + 2 + 9] = 9;            // orientation 9
    const Case cases[] = {
        {"truncated inside the entry", Bytes(good.begin(), good.begin() + 22)},
        {"truncated inside the header", Bytes(good.begin(), good.begin() + 9)},
        {"no Exif signature", Bytes{'J', 'F', 'I', 'F', 0, 0} + Bytes(good.begin() + 6, good.end())},
        {"unknown byte order", Bytes(good.begin(), good.begin() + 6) + Bytes{'M', 'I', 0, 42} +
                                   Bytes(good.begin() + 10, good.end())},
        {"type LONG", badType},
        {"count 0", zeroCount},
        {"IFD past the end", farIfd},
        {"more entries claimed than present", manyEntries},
        {"value 9", nine},
        {"empty", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ExifOrientation(c.payload.data(), c.payload.size()), 1) << c.name;

    // A JPEG whose Exif block is cut short shows as stored.
    Bytes plain = ConvertedFile("-size 37x23 -seed 7 plasma:fractal", "jpg");
    Bytes cut = WithApp1(plain, Bytes(good.begin(), good.begin() + 22));
    Picture stored, got;
    ASSERT_TRUE(DecodeJpeg(plain.data(), plain.size(), stored));
    ASSERT_TRUE(DecodeJpeg(cut.data(), cut.size(), got));
    EXPECT_EQ(got.pixels, stored.pixels);
    EXPECT_EQ(got.width, 37);
}

TEST(JpegScaling, DecodesAtTheSmallestDctScaleThatCoversTheShownSize) {
    Bytes plain = ConvertedFile("-size 400x300 -seed 9 plasma:fractal", "jpg");
    struct Case {
        int orientation;
        PictureSize box;
        PictureSize decoded;  // upright
    };
    const Case cases[] = {
        {1, {0, 0}, {400, 300}},      // no box: the whole picture
        {1, {400, 300}, {400, 300}},  // fits as it is
        {1, {399, 400}, {400, 300}},  // shown 399 x 299: 1/2 would be 200 x 150
        {1, {200, 200}, {200, 150}},  // shown 200 x 150: 1/2 exactly
        {1, {150, 150}, {200, 150}},  // shown 150 x 113: 1/4 would be 100 x 75
        {1, {100, 100}, {100, 75}},   // shown 100 x 75: 1/4
        {1, {40, 40}, {50, 38}},      // shown 40 x 30: 1/8
        {6, {100, 100}, {75, 100}},   // upright 300 x 400, shown 75 x 100: 1/4
        {8, {40, 1000}, {75, 100}},   // shown 40 x 53: 1/8 would be 38 x 50
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.orientation) + ", box " + std::to_string(c.box.width) + " x " +
                     std::to_string(c.box.height));
        Bytes file = c.orientation == 1 ? plain : WithApp1(plain, ExifPayload(c.orientation));
        Picture got;
        ASSERT_TRUE(DecodeJpeg(file.data(), file.size(), got, c.box));
        EXPECT_EQ((PictureSize{got.width, got.height}), c.decoded);
        EXPECT_EQ(got.full,
                  OrientationTurns(c.orientation) ? (PictureSize{300, 400}) : (PictureSize{400, 300}));
        EXPECT_EQ(got.pixels.size(), size_t(got.width) * size_t(got.height));
    }
    // At a DCT scale, libjpeg's reduced decoding is what ImageMagick's -define jpeg:size gives.
    Picture quarter;
    ASSERT_TRUE(DecodeJpeg(plain.data(), plain.size(), quarter, {100, 100}));
    std::string in = TempPath("quarter.jpg");
    WriteTemp(in, plain);
    Picture expected = ConvertToPicture(ConvertedFile("-define jpeg:size=100x75 '" + in + "'", "ppm"), "ppm");
    std::remove(in.c_str());
    ASSERT_EQ(expected.width, 100);
    EXPECT_LE(LargestDifference(quarter.pixels, expected.pixels), 1);
}
