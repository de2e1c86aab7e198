// What the gobu shows of a picture: the shown size against half of the work area and the
// screen's DPI, area averaging against ImageMagick's -scale, and the shape rule of a
// reduced or enlarged picture.
#include <gtest/gtest.h>

#include "pictures/scaling.h"
#include "tests/codecs/codectest.h"
#include "tests/pixels.h"
#include "ui/dpi.h"

namespace {

// A soft-edged disc of 90 x 90: plasma seen through a radial gradient.
Picture SoftDisc() {
    return ConvertToRgba(
        ConvertedFile("-size 90x90 -seed 5 plasma:fractal \\( -size 90x90 radial-gradient:white-black "
                      "-level 40%,60% \\) -alpha off -compose CopyOpacity -composite",
                      "png"),
        "png");
}

}  // namespace

TEST(FitSize, PicturesOverHalfTheWorkAreaShrinkToFitItAndNoOthers) {
    const PictureSize half{512, 384};  // of a 1024 x 768 work area
    const PictureSize cases[][2] = {
        {{511, 383}, {511, 383}},    // just under
        {{512, 384}, {512, 384}},    // at
        {{513, 384}, {512, 383}},    // just over in width
        {{512, 385}, {511, 384}},    // just over in height
        {{4000, 3000}, {512, 384}},  // a phone's photo
        {{3000, 4000}, {288, 384}},  // the same upright
        {{10000, 10}, {512, 1}},     // a strip keeps a row
    };
    for (const auto& c : cases) {
        PictureSize got = FitSize(c[0], half);
        EXPECT_EQ(got, c[1]) << c[0].width << " x " << c[0].height << " gave " << got.width << " x "
                             << got.height;
    }
}

TEST(PreparePicture, APictureKeepsItsSizeAt96DpiGrowsInProportionAboveAndFitsHalfTheWorkArea) {
    // The built-in picture of 155 x 113 at each DPI, then two that outgrow the box.
    const struct {
        PictureSize picture;
        int dpi;
        PictureSize shown;
    } cases[] = {{{155, 113}, 96, {155, 113}},  {{155, 113}, 120, {194, 141}}, {{155, 113}, 144, {233, 170}},
                 {{155, 113}, 192, {310, 226}}, {{400, 300}, 144, {512, 384}}, {{300, 400}, 192, {288, 384}}};
    for (const auto& c : cases) {
        Picture p;
        p.width = c.picture.width, p.height = c.picture.height;
        p.pixels.assign(size_t(p.width) * p.height, 0x123456);
        const Picture& got = PreparePicture(p, {512, 384}, false, c.dpi).picture;
        EXPECT_EQ((PictureSize{got.width, got.height}), c.shown)
            << c.picture.width << " at " << c.dpi << " DPI";
    }
}

TEST(ScalePicture, AveragesAreasLikeImageMagickScaleAlphaPremultiplied) {
    const Picture opaque = ConvertToRgba(ConvertedFile("-size 97x61 -seed 3 plasma:fractal", "png"), "png");
    const Picture disc = SoftDisc();
    const struct {
        const Picture* source;
        PictureSize size;
    } cases[] = {{&opaque, {40, 25}},  {&opaque, {1, 1}},     {&disc, {30, 30}},   {&disc, {37, 23}},
                 {&opaque, {146, 92}}, {&opaque, {194, 122}}, {&disc, {135, 135}}, {&disc, {113, 113}}};
    for (const auto& c : cases) {
        const std::string size = std::to_string(c.size.width) + "x" + std::to_string(c.size.height);
        SCOPED_TRACE((c.source == &disc ? "soft disc to " : "opaque to ") + size);
        Picture expected = ConvertToRgba(ConvertFromRgba(*c.source, "-scale " + size + "!", "png"), "png");
        ASSERT_EQ(expected.width, c.size.width);
        Picture source = *c.source, got;
        if (c.source == &disc) {
            Premultiply(source);
            Premultiply(expected);
            got = ScalePicture(source, c.size, ScaleRule::Alpha);
        } else {
            got = ScalePicture(source, c.size, ScaleRule::Plain);
            for (uint32_t& p : got.pixels) p |= 0xFF000000;
        }
        EXPECT_LE(LargestRgbaDifference(got.pixels, expected.pixels), 2);
    }
}

TEST(PreparePicture, AReducedOrEnlargedKeyColourPictureKeepsAnExactShapeWithoutAFringe) {
    const uint32_t K = 0xFFFFFF, R = 0xFF0000, B = 0x0000FF, L = 0x000000;
    struct Case {
        const char* name;
        int width, height;
        std::vector<uint32_t> pixels;  // the key colour is the lower-left pixel's
        PictureSize box;
        std::vector<ShapeRun> shape;
        std::vector<uint32_t> shown;
        int dpi = kDesignDpi;
    };
    const Case cases[] = {
        // Each shown pixel covers two columns; a line of one is half of it, not most.
        {"a one-pixel line at half size vanishes", 4, 2, {K, L, K, K, K, L, K, K}, {2, 1}, {}, {K, K}},
        {"a two-pixel line at half size is one pure column",
         6,
         2,
         {K, K, L, L, K, K, K, K, L, L, K, K},
         {3, 1},
         {{0, 1, 2}},
         {K, L, K}},
        {"three of four opaque: their colour, none of the key's",
         2,
         2,
         {R, R, K, R},
         {1, 1},
         {{0, 0, 1}},
         {R}},
        {"two colours and a hole: the two averaged", 2, 2, {R, R, K, B}, {1, 1}, {{0, 0, 1}}, {0xAA0055}},
        // 3 to 2: the middle pixel is split between the shown pixels, half to each.
        {"at two thirds a split pixel counts by its share", 3, 1, {K, L, L}, {2, 1}, {{0, 1, 2}}, {K, L}},
        // Enlarged for the screen's DPI: at 192 each pixel becomes two by two; at 144
        // the middle row and column cover half of two pixels, over a hole a hole.
        {"doubled at 192 DPI", 2, 1, {K, L}, {}, {{0, 2, 4}, {1, 2, 4}}, {K, K, L, L, K, K, L, L}, 192},
        {"halves at 144 DPI", 2, 2, {R, B, K, K}, {}, {{0, 0, 3}}, {R, 0x800080, B, K, K, K, K, K, K}, 144},
    };
    for (const Case& c : cases) {
        Picture p;
        p.width = c.width, p.height = c.height, p.pixels = c.pixels;
        ShownPicture shown = PreparePicture(p, c.box, true, c.dpi);
        EXPECT_FALSE(shown.layered) << c.name;
        EXPECT_EQ(shown.picture.pixels, c.shown) << c.name;
        ASSERT_EQ(shown.shape.size(), c.shape.size()) << c.name;
        for (size_t i = 0; i < c.shape.size(); i++)
            EXPECT_TRUE(shown.shape[i].y == c.shape[i].y && shown.shape[i].left == c.shape[i].left &&
                        shown.shape[i].right == c.shape[i].right)
                << c.name;
    }
}
