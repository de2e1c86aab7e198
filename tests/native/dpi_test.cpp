// The Select Picture(s) dialog's layout at the usual display scalings, figure by figure,
// as the window layer scales it: 96 DPI keeps it, 192 doubles it, and 120 and 144 round
// each figure to the nearest pixel, halves up.
#include <gtest/gtest.h>

#include "ui/dpi.h"

TEST(ScaleForDpi, ALayoutTableKeepsItsFiguresAt96AndGrowsInProportionRoundedToTheNearestPixel) {
    // Left, top, width, height at 96 DPI (a width of 0 fits a label to its text), then
    // the same at 120 and at 144 DPI.
    const int rows[][3][4] = {
        {{0, 0, 413, 256}, {0, 0, 516, 320}, {0, 0, 620, 384}},  // the client area
        {{328, 220, 75, 25}, {410, 275, 94, 31}, {492, 330, 113, 38}},
        {{228, 220, 75, 25}, {285, 275, 94, 31}, {342, 330, 113, 38}},
        {{328, 20, 75, 25}, {410, 25, 94, 31}, {492, 30, 113, 38}},
        {{328, 60, 75, 25}, {410, 75, 94, 31}, {492, 90, 113, 38}},
        {{328, 100, 75, 25}, {410, 125, 94, 31}, {492, 150, 113, 38}},
        {{122, 160, 73, 22}, {153, 200, 91, 28}, {183, 240, 110, 33}},
        {{123, 184, 0, 13}, {154, 230, 0, 16}, {185, 276, 0, 20}},
        {{8, 160, 94, 21}, {10, 200, 118, 26}, {12, 240, 141, 32}},
        {{8, 184, 0, 13}, {10, 230, 0, 16}, {12, 276, 0, 20}},
        {{8, 210, 97, 17}, {10, 263, 121, 21}, {12, 315, 146, 26}},
        {{8, 8, 313, 145}, {10, 10, 391, 181}, {12, 12, 470, 218}},
    };
    for (const auto& row : rows)
        for (int i = 0; i < 4; i++) {
            const int figure = row[0][i];
            EXPECT_EQ(ScaleForDpi(figure, 96), figure);
            EXPECT_EQ(ScaleForDpi(figure, 120), row[1][i]) << figure << " at 120 DPI";
            EXPECT_EQ(ScaleForDpi(figure, 144), row[2][i]) << figure << " at 144 DPI";
            EXPECT_EQ(ScaleForDpi(figure, 192), 2 * figure);
        }
}
