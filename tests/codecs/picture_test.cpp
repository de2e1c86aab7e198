// Why a picture file cannot be shown, from its name and first bytes: files made by
// ImageMagick, cut short, renamed, or with a header claiming more pixels than Gobu shows.
#include <gtest/gtest.h>

#include "codecs/picture.h"
#include "tests/codecs/codectest.h"

TEST(PictureProblem, SaysWhyInASentence) {
    const Bytes png = ConvertedFile("-size 3x2 xc:red", "png"),
                jpg = ConvertedFile("-size 3x2 xc:red", "jpg");
    ASSERT_FALSE(png.empty() || jpg.empty());
    Bytes hugePng = png, hugeJpg = jpg;
    hugePng[16] = 0x01;  // IHDR width 0x01000003: longer than a bitmap's side may be
    size_t sof = 2;      // the frame header, after the markers before it
    while (sof + 1 < jpg.size() && !(jpg[sof] == 0xFF && (jpg[sof + 1] == 0xC0 || jpg[sof + 1] == 0xC2)))
        sof++;
    ASSERT_LT(sof + 9, jpg.size());
    hugeJpg[sof + 5] = hugeJpg[sof + 7] = 0x30;  // 12290 x 12291
    const std::string damaged = "It is damaged, or a kind of ";
    const struct {
        const char* name;
        Bytes data;
        std::string problem;
    } cases[] = {
        {"empty.jpg", {}, "It is empty."},
        {"notes.txt", {'n', 'o'}, "It is not a picture Gobu shows: BMP, JPEG, GIF or PNG."},
        {"renamed.jpg", png, "It is not a JPEG picture."},
        {"huge.png", hugePng, "It is 16777219 x 2 pixels, larger than Gobu shows (8192 x 8192)."},
        {"huge.jpeg", hugeJpg, "It is 12291 x 12290 pixels, larger than Gobu shows (8192 x 8192)."},
        {"cut.png", Bytes(png.begin(), png.begin() + 12), damaged + "PNG picture that Gobu does not read."},
        {"whole.jpg", jpg, damaged + "JPEG picture that Gobu does not read."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PictureProblem(c.name, c.data.data(), c.data.size()), c.problem) << c.name;
}
