// A layout drawn for 96 DPI at the usual display scalings: the Select Picture(s) dialog's
// table, figure by figure, as the window layer scales it.
#include <gtest/gtest.h>

#include "ui/dpi.h"

namespace {

struct Place {
    int left, top, width, height;
};

Place Scaled(const Place& p, int dpi) {
    return {ScaleForDpi(p.left, dpi), ScaleForDpi(p.top, dpi), ScaleForDpi(p.width, dpi),
            ScaleForDpi(p.height, dpi)};
}

void ExpectPlace(const Place& got, const Place& expected, const char* what, int dpi) {
    EXPECT_TRUE(got.left == expected.left && got.top == expected.top && got.width == expected.width &&
                got.height == expected.height)
        << what << " at " << dpi << " DPI: " << got.left << ", " << got.top << ", " << got.width << " x "
        << got.height;
}

}  // namespace

TEST(ScaleForDpi, ALayoutTableKeepsItsFiguresAt96AndGrowsInProportionRoundedToTheNearestPixel) {
    // The client area and the controls as laid out for 96 DPI (a width of 0 fits the
    // label to its text), and the same at 120 (125 %) and 144 DPI (150 %).
    const struct {
        const char* what;
        Place at96, at120, at144;
    } rows[] = {
        {"client area", {0, 0, 413, 256}, {0, 0, 516, 320}, {0, 0, 620, 384}},
        {"okbutton", {328, 220, 75, 25}, {410, 275, 94, 31}, {492, 330, 113, 38}},
        {"cancelbutton", {228, 220, 75, 25}, {285, 275, 94, 31}, {342, 330, 113, 38}},
        {"addbutton", {328, 20, 75, 25}, {410, 25, 94, 31}, {492, 30, 113, 38}},
        {"removebutton", {328, 60, 75, 25}, {410, 75, 94, 31}, {492, 90, 113, 38}},
        {"clearbutton", {328, 100, 75, 25}, {410, 125, 94, 31}, {492, 150, 113, 38}},
        {"durationbox", {122, 160, 73, 22}, {153, 200, 91, 28}, {183, 240, 110, 33}},
        {"durationlabel", {123, 184, 0, 13}, {154, 230, 0, 16}, {185, 276, 0, 20}},
        {"transitionBox", {8, 160, 94, 21}, {10, 200, 118, 26}, {12, 240, 141, 32}},
        {"transitionlabel", {8, 184, 0, 13}, {10, 230, 0, 16}, {12, 276, 0, 20}},
        {"anbox", {8, 210, 97, 17}, {10, 263, 121, 21}, {12, 315, 146, 26}},
        {"list", {8, 8, 313, 145}, {10, 10, 391, 181}, {12, 12, 470, 218}},
    };
    for (const auto& row : rows) {
        ExpectPlace(Scaled(row.at96, 96), row.at96, row.what, 96);
        ExpectPlace(Scaled(row.at96, 120), row.at120, row.what, 120);
        ExpectPlace(Scaled(row.at96, 144), row.at144, row.what, 144);
        const Place& p = row.at96;
        ExpectPlace(Scaled(p, 192), {2 * p.left, 2 * p.top, 2 * p.width, 2 * p.height}, row.what, 192);
    }
}

TEST(ScaleForDpi, HalvesRoundAwayFromZeroAsMulDivRoundsThem) {
    const struct {
        int value, dpi, expected;
    } cases[] = {
        {1, 144, 2},   {2, 120, 3},     {3, 120, 4}, {5, 120, 6}, {-1, 144, -2},       {-2, 120, -3},
        {-5, 120, -6}, {-20, 144, -30}, {0, 192, 0}, {7, 72, 5},  {20000, 192, 40000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi << " DPI";
}
