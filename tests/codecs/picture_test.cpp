// Why a picture file cannot be shown, from what its name and its first bytes say:
// files of every kind made by ImageMagick, cut short, renamed, or with a header that
// claims more pixels than Gobu shows.
#include <gtest/gtest.h>

#include <algorithm>

#include "codecs/picture.h"
#include "tests/codecs/codectest.h"

namespace {

void PutLe(Bytes& b, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; i++) b[at + i] = uint8_t(v >> (8 * i));
}

void PutBe(Bytes& b, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; i++) b[at + i] = uint8_t(v >> (8 * (bytes - 1 - i)));
}

// The offset of a JPEG's frame header (its SOF marker).
size_t FrameHeaderOf(const Bytes& jpeg) {
    for (size_t i = 2; i + 1 < jpeg.size(); i++)
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) return i;
    return 0;
}

}  // namespace

TEST(PictureProblem, SaysWhyInASentence) {
    const Bytes bmp = ConvertedFile("-size 3x2 xc:red", "bmp"),
                gif = ConvertedFile("-size 3x2 xc:red", "gif");
    const Bytes png = ConvertedFile("-size 3x2 xc:red", "png"),
                jpg = ConvertedFile("-size 3x2 xc:red", "jpg");
    ASSERT_FALSE(bmp.empty() || gif.empty() || png.empty() || jpg.empty());
    Bytes hugeBmp = bmp, hugeGif = gif, hugePng = png, hugeJpg = jpg;
    PutLe(hugeBmp, 18, 9000, 4);
    PutLe(hugeBmp, 22, uint32_t(-9000), 4);  // a top-down bitmap
    PutLe(hugeGif, 6, 8193, 2);
    PutLe(hugeGif, 8, 8192, 2);
    PutBe(hugePng, 16, 70000, 4);  // over the longest side a bitmap may have
    PutBe(hugePng, 20, 1, 4);
    const size_t sof = FrameHeaderOf(jpg);
    ASSERT_GT(sof, 2u) << "the frame header comes after the markers before it";
    PutBe(hugeJpg, sof + 5, 9000, 2);
    PutBe(hugeJpg, sof + 7, 12000, 2);
    const Bytes text = {'n', 'o', 't', 'e', 's'};
    const std::string damaged = "It is damaged, or a kind of ";
    const struct {
        const char* name;
        Bytes data;
        std::string problem;
    } cases[] = {
        {"empty.jpg", {}, "It is empty."},
        {"notes.txt", text, "It is not a picture Gobu shows: BMP, JPEG, GIF or PNG."},
        {"photo.heic", jpg, "It is not a picture Gobu shows: BMP, JPEG, GIF or PNG."},
        {"notes.jpg", text, "It is not a JPEG picture."},
        {"renamed.jpg", png, "It is not a JPEG picture."},
        {"renamed.GIF", bmp, "It is not a GIF picture."},
        {"huge.bmp", hugeBmp, "It is 9000 x 9000 pixels, larger than Gobu shows (8192 x 8192)."},
        {"huge.gif", hugeGif, "It is 8193 x 8192 pixels, larger than Gobu shows (8192 x 8192)."},
        {"huge.png", hugePng, "It is 70000 x 1 pixels, larger than Gobu shows (8192 x 8192)."},
        {"huge.jpeg", hugeJpg, "It is 12000 x 9000 pixels, larger than Gobu shows (8192 x 8192)."},
        {"cut.jpg", Bytes(jpg.begin(), jpg.begin() + std::min<size_t>(sof + 6, jpg.size())),
         damaged + "JPEG picture that Gobu does not read."},
        {"cut.png", Bytes(png.begin(), png.begin() + 12), damaged + "PNG picture that Gobu does not read."},
        {"whole.gif", gif, damaged + "GIF picture that Gobu does not read."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PictureProblem(c.name, c.data.data(), c.data.size()), c.problem) << c.name;
}
