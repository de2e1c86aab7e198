#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

#include "pictures/shape.h"

namespace {

using PixelSet = std::set<std::pair<int, int>>;

PixelSet Covered(const std::vector<ShapeRun>& runs) {
    PixelSet s;
    for (const ShapeRun& r : runs) {
        EXPECT_LT(r.left, r.right);
        for (int x = r.left; x < r.right; x++) EXPECT_TRUE(s.insert({x, r.y}).second) << "overlap";
    }
    return s;
}

PixelSet NonKey(const std::vector<uint32_t>& px, int w, int h) {
    PixelSet s;
    uint32_t key = px[size_t(h - 1) * w] & 0xFFFFFF;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if ((px[size_t(y) * w + x] & 0xFFFFFF) != key) s.insert({x, y});
    return s;
}

}  // namespace

TEST(ShapeRuns, CoverExactlyTheNonKeyPixelsOfRandomPictures) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; round++) {
        int w = 1 + int(rng() % 40), h = 1 + int(rng() % 30);
        std::vector<uint32_t> px(size_t(w) * h);
        // Few colours, so that key-coloured pixels and runs of all lengths occur.
        for (uint32_t& p : px) p = (rng() % 3) * 0x10203u;
        EXPECT_EQ(Covered(ShapeRuns(px.data(), w, h)), NonKey(px, w, h)) << w << "x" << h;
    }
}

TEST(ShapeRuns, KeyColourInsideThePictureIsAHoleToo) {
    const uint32_t B = 0xFF00FF, O = 0x123456;
    std::vector<uint32_t> px = {
        B, O, O, O, B, O, O, B, O, O, B, O, O, O, B,
    };
    auto runs = ShapeRuns(px.data(), 5, 3);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[1].y, 1);
    EXPECT_EQ(runs[1].left, 0);
    EXPECT_EQ(runs[1].right, 2);
    EXPECT_EQ(runs[2].left, 3);
    EXPECT_EQ(runs[2].right, 5);
}

TEST(ShapeRuns, AllKeyColourGivesNoRegionAtAll) {
    std::vector<uint32_t> px(12 * 9, 0x00AABBCC);
    EXPECT_TRUE(ShapeRuns(px.data(), 12, 9).empty());
}

TEST(ShapeRuns, OneRowPictureKeysOnItsFirstPixel) {
    std::vector<uint32_t> px = {5, 5, 9, 5, 9, 9};
    auto runs = ShapeRuns(px.data(), 6, 1);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].left, 2);
    EXPECT_EQ(runs[0].right, 3);
    EXPECT_EQ(runs[1].left, 4);
    EXPECT_EQ(runs[1].right, 6);
}

TEST(ShapeRuns, TopByteOfAPixelIsNotPartOfItsColour) {
    std::vector<uint32_t> px = {0xFF112233, 0x00112233, 0x00445566, 0x00112233};
    auto runs = ShapeRuns(px.data(), 4, 1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].left, 2);
}
