// What the gobu shows of a large picture: the shown size against half of the work area,
// area averaging against ImageMagick's -scale, and the shape rule of a reduced picture.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "pictures/scaling.h"
#include "tests/codecs/codectest.h"

namespace {

Picture Filled(int width, int height, const std::vector<uint32_t>& pixels, bool alpha = false) {
    Picture p;
    p.width = width;
    p.height = height;
    p.pixels = pixels;
    p.alpha = alpha;
    return p;
}

int LargestChannelDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return 255;
    int worst = 0;
    for (size_t i = 0; i < a.size(); i++)
        for (int shift : {0, 8, 16, 24})
            worst = std::max(worst, std::abs(int(a[i] >> shift & 0xFF) - int(b[i] >> shift & 0xFF)));
    return worst;
}

// ImageMagick's RGBA pixels premultiplied, as the layered window takes them.
std::vector<uint32_t> Premultiplied(Picture p) {
    Premultiply(p);
    return p.pixels;
}

// A soft-edged disc: opaque plasma inside, alpha falling to 0 over a few pixels.
Picture SoftDisc(int size) {
    Picture p = ConvertToRgba(
        ConvertedFile(
            "-size " + std::to_string(size) + "x" + std::to_string(size) + " -seed 5 plasma:fractal", "png"),
        "png");
    const double centre = (size - 1) / 2.0, radius = size * 0.4, edge = 3;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double d = std::hypot(x - centre, y - centre);
            double a = std::min(1.0, std::max(0.0, (radius - d) / edge));
            uint32_t& px = p.pixels[size_t(y) * size + x];
            px = (px & 0xFFFFFF) | uint32_t(std::lround(a * 255)) << 24;
        }
    return p;
}

using PixelSet = std::set<std::pair<int, int>>;
PixelSet Covered(const std::vector<ShapeRun>& runs) {
    PixelSet s;
    for (const ShapeRun& r : runs)
        for (int x = r.left; x < r.right; x++) s.insert({x, r.y});
    return s;
}

}  // namespace

TEST(FitSize, PicturesOverHalfTheWorkAreaShrinkToFitItAndNoOthers) {
    const PictureSize half{512, 384};  // a 1024 x 768 work area
    struct Case {
        PictureSize picture, shown;
    };
    const Case cases[] = {
        {{511, 383}, {511, 383}},    // just under
        {{512, 384}, {512, 384}},    // at
        {{512, 100}, {512, 100}},    // at in width only
        {{513, 384}, {512, 383}},    // just over in width
        {{512, 385}, {511, 384}},    // just over in height
        {{4000, 3000}, {512, 384}},  // a phone's photo
        {{3000, 4000}, {288, 384}},  // the same upright
        {{10000, 10}, {512, 1}},     // a strip keeps at least one row
        {{155, 113}, {155, 113}},    // the built-in picture
    };
    for (const Case& c : cases) {
        PictureSize got = FitSize(c.picture, half);
        EXPECT_EQ(got, c.shown) << c.picture.width << " x " << c.picture.height << " gave " << got.width
                                << " x " << got.height;
    }
    EXPECT_EQ(FitSize({9000, 9000}, {0, 0}), (PictureSize{9000, 9000}));
}

TEST(ScalePicture, AveragesAreasLikeImageMagickScale) {
    Picture opaque = ConvertToRgba(ConvertedFile("-size 97x61 -seed 3 plasma:fractal", "png"), "png");
    Picture soft = SoftDisc(90);
    ASSERT_FALSE(opaque.pixels.empty());
    struct Case {
        const char* name;
        const Picture* source;
        PictureSize size;
    };
    const Case cases[] = {
        {"opaque, at its own size", &opaque, {97, 61}}, {"opaque, 97 x 61 to 40 x 25", &opaque, {40, 25}},
        {"opaque, to one pixel", &opaque, {1, 1}},      {"soft disc, 90 to 30", &soft, {30, 30}},
        {"soft disc, 90 to 37 x 23", &soft, {37, 23}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string size = std::to_string(c.size.width) + "x" + std::to_string(c.size.height);
        Picture expected = ConvertToRgba(ConvertFromRgba(*c.source, "-scale " + size + "!", "png"), "png");
        ASSERT_EQ(expected.width, c.size.width);
        if (c.source->alpha) {
            Picture premultiplied = *c.source;
            Premultiply(premultiplied);
            Picture got = ScalePicture(premultiplied, c.size, ScaleRule::Alpha);
            EXPECT_LE(LargestChannelDifference(got.pixels, Premultiplied(expected)), 2);
        } else {
            Picture got = ScalePicture(*c.source, c.size, ScaleRule::Plain);
            for (uint32_t& p : got.pixels) p |= 0xFF000000;
            EXPECT_LE(LargestChannelDifference(got.pixels, expected.pixels), 1);
        }
    }
}

TEST(ScalePicture, AKeyColourPictureKeepsAnExactShapeWithoutAFringe) {
    const uint32_t K = 0xFFFFFF, R = 0xFF0000, B = 0x0000FF, L = 0x000000;
    struct Case {
        const char* name;
        Picture source;
        PictureSize size;
        std::vector<uint32_t> expected;  // 0xFF...... opaque, the key colour a hole
    };
    const Case cases[] = {
        // Each target pixel covers two columns; a line of one is half of it, not most.
        {"a one-pixel line at half size vanishes", Filled(4, 2, {K, L, K, K, K, L, K, K}), {2, 1}, {K, K}},
        {"a two-pixel line at half size is one pure column",
         Filled(6, 2, {K, K, L, L, K, K, K, K, L, L, K, K}),
         {3, 1},
         {K, 0xFF000000 | L, K}},
        {"three of four opaque: the colour of the three, no key colour in it",
         Filled(2, 2, {R, R, K, R}),
         {1, 1},
         {0xFF000000 | R}},
        {"two colours and a hole average the two only",
         Filled(2, 2, {R, R, K, B}),
         {1, 1},
         {0xFF000000 | 0xAA0055}},
        // 3 to 2: the middle column is split between the targets, each taking half.
        {"at two thirds a split pixel counts by its share",
         Filled(3, 1, {K, L, L}),
         {2, 1},
         {K, 0xFF000000 | L}},
    };
    for (const Case& c : cases) {
        Picture got = ScalePicture(c.source, c.size, ScaleRule::Keyed);
        EXPECT_EQ(got.pixels, c.expected) << c.name;
    }
}

TEST(PreparePicture, ShowsEachKindAtItsSizeWithItsShape) {
    // A key-colour picture of 8 x 4, white key, a red square of 4 x 4 at the right and a
    // one-pixel black line down column 1: at half size, the square is 2 x 2 of pure red
    // and the line is gone.
    std::vector<uint32_t> px(32, 0xFFFFFF);
    for (int y = 0; y < 4; y++) {
        px[size_t(y) * 8 + 1] = 0;
        for (int x = 4; x < 8; x++) px[size_t(y) * 8 + x] = 0xFF0000;
    }
    Picture keyed = Filled(8, 4, px);
    ShownPicture shown = PreparePicture(keyed, {4, 4}, true);
    EXPECT_FALSE(shown.layered);
    EXPECT_EQ(Covered(shown.shape), (PixelSet{{2, 0}, {3, 0}, {2, 1}, {3, 1}}));
    EXPECT_EQ(shown.picture.pixels[2], 0xFF0000u);
    // Transparent off: a plain reduction, the line greying its columns.
    shown = PreparePicture(keyed, {4, 4}, false);
    EXPECT_TRUE(shown.shape.empty());
    EXPECT_EQ(shown.picture.pixels[0], 0x808080u);
    // Small enough: the shape of every non-key pixel, pixel for pixel.
    shown = PreparePicture(keyed, {8, 4}, true);
    EXPECT_EQ(shown.shape.size(), 8u);
    EXPECT_EQ(shown.picture.pixels, px);

    // A soft disc with Transparent on: layered and premultiplied; off: over white.
    Picture disc = SoftDisc(40);
    shown = PreparePicture(disc, {100, 100}, true);
    EXPECT_TRUE(shown.layered);
    EXPECT_EQ(shown.picture.pixels, Premultiplied(disc));
    shown = PreparePicture(disc, {20, 20}, false);
    EXPECT_FALSE(shown.layered);
    EXPECT_EQ(shown.picture.width, 20);
    Picture expected =
        ConvertToRgba(ConvertFromRgba(disc, "-scale 20x20! -background white -flatten", "png"), "png");
    for (uint32_t& p : shown.picture.pixels) {
        ASSERT_EQ(p >> 24, 0u);
        p |= 0xFF000000;
    }
    EXPECT_LE(LargestChannelDifference(shown.picture.pixels, expected.pixels), 2);
}
