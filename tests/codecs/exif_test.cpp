// Photos the right way up: the Exif orientation of a JPEG, written here as an APP1
// segment with one IFD entry, against ImageMagick's -auto-orient of the same file; and
// damaged Exif blocks.
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

TEST(Exif, DamagedBlocksMeanOrientationOne) {
    const Bytes good = ExifPayload(6);
    ASSERT_EQ(ExifOrientation(good.data(), good.size()), 6);
    Bytes longType = good, nine = good, farIfd = good;
    longType[6 + 8 + 2 + 3] = 4;  // LONG instead of SHORT
    nine[6 + 8 + 2 + 9] = 9;      // orientation 9
    farIfd[6 + 7] = 200;          // IFD0 past the end
    const Bytes cases[] = {Bytes(good.begin(), good.begin() + 22), longType, nine, farIfd, {}};
    for (const Bytes& c : cases) EXPECT_EQ(ExifOrientation(c.data(), c.size()), 1) << c.size() << " bytes";

    // A JPEG whose Exif block is cut short inside its entry shows as stored.
    Bytes plain = ConvertedFile("-size 37x23 -seed 7 plasma:fractal", "jpg");
    Bytes cut = WithApp1(plain, Bytes(good.begin(), good.begin() + 22));
    Picture stored, got;
    ASSERT_TRUE(DecodeJpeg(plain.data(), plain.size(), stored));
    ASSERT_TRUE(DecodeJpeg(cut.data(), cut.size(), got));
    EXPECT_EQ(got.pixels, stored.pixels);
    EXPECT_EQ(got.width, 37);
}
