#include <gtest/gtest.h>

#include "app/startup.h"
#include "app/utility.h"
#include "ui/dpi.h"

TEST(Titles, FirstLetterUpperCasedRestKept) {
    EXPECT_EQ(GobuTitle("c:\\gobus\\holiday.exe"), "Holiday");
    EXPECT_EQ(GobuTitle("C:\\GOBUS\\HOLIDAY.EXE"), "HOLIDAY");
    EXPECT_EQ(GobuTitle("c:\\x.y.exe"), "X.y");
    EXPECT_EQ(GobuTitle("c:\\gobus\\my gobu.exe"), "My gobu");
    // Only a to z are upper-cased: an accented or digit first character stays.
    EXPECT_EQ(GobuTitle("c:\\2cats.exe"), "2cats");
    EXPECT_EQ(GobuTitle("c:\\\xe9t\xe9.exe"), "\xe9t\xe9");
}

TEST(Titles, BaseNameOfFolderPathsAndNamesWithoutExtension) {
    EXPECT_EQ(BaseNameOf("C:\\x\\my.pics.exe"), "my.pics");
    EXPECT_EQ(BaseNameOf("C:\\x\\noext"), "noext");
    EXPECT_EQ(BaseNameOf("C:\\data\\pics\\"), "pics");
    EXPECT_EQ(BaseNameOf(""), "");
    EXPECT_EQ(LastFolderName("C:\\data\\pics"), "pics");
    EXPECT_EQ(LastFolderName("C:\\"), "C:\\");
    EXPECT_EQ(LastFolderName("C:"), "C:");
}

TEST(Names, PackageAndBasePathReplaceOnlyTheLastExtension) {
    EXPECT_EQ(PackagePathOf("c:\\gobus\\holiday.exe"), "c:\\gobus\\holiday_zip.exe");
    EXPECT_EQ(BasePathOf("c:\\a.b\\x.y.exe"), "c:\\a.b\\x.y");
    EXPECT_EQ(BasePathOf("c:\\a.b\\plain"), "c:\\a.b\\plain");
}

// Windows XP to 11 live in C:\WINDOWS and are NT systems all the same.
// One name per executable in any letter case, fit for a kernel object: no "\\" after the
// session prefix, within MAX_PATH however long the path.
TEST(Names, OneProcessNamePerExecutableInAnyLetterCase) {
    const std::string longPath = "c:\\" + std::string(300, 'x') + "\\gobu.exe";
    EXPECT_EQ(ProcessNameOf("c:\\gobus\\holiday.exe"), ProcessNameOf("C:\\GOBUS\\HOLIDAY.EXE"));
    EXPECT_NE(ProcessNameOf("c:\\gobus\\holiday.exe"), ProcessNameOf("d:\\gobus\\holiday.exe"));
    EXPECT_NE(ProcessNameOf(longPath), ProcessNameOf(longPath + "x"));
    const std::string name = ProcessNameOf(longPath);
    EXPECT_EQ(name.rfind("Local\\", 0), 0u);
    EXPECT_EQ(name.find('\\', 6), std::string::npos);
    EXPECT_LE(name.size(), 260u);
}

TEST(SpeedCount, FamilyFollowsThePlatformNotTheFolderName) {
    EXPECT_EQ(WindowsFamilyOf(kPlatformNT), "nt");
    EXPECT_EQ(WindowsFamilyOf(kPlatformWindows9x), "9x");
    EXPECT_EQ(WindowsFamilyOf(kPlatformWin32s), "9x");
}

TEST(SpeedCount, NtDividesBy20NineXMultipliesBy3) {
    EXPECT_EQ(ScaleSpeedCount(1000, "nt"), 50);
    EXPECT_EQ(ScaleSpeedCount(39, "nt"), 1);
    EXPECT_EQ(ScaleSpeedCount(19, "nt"), 0);  // no delay at all in the transitions
    EXPECT_EQ(ScaleSpeedCount(1000, "9x"), 3000);
    EXPECT_EQ(ScaleSpeedCount(1, "9x"), 3);
}

TEST(Placement, CentreOfGobuPulledInAtFarEdgesOnly) {
    Size screen{1024, 768}, dlg{150, 110};
    Point p = PlaceAtCentreOf({40, 40}, {155, 113}, dlg, screen);
    EXPECT_EQ(p.x, 40 + 77);
    EXPECT_EQ(p.y, 40 + 56);
    p = PlaceAtCentreOf({950, 700}, {155, 113}, dlg, screen);
    EXPECT_EQ(p.x, 1024 - 150);
    EXPECT_EQ(p.y, 768 - 110);
    // A gobu partly off the left or top edge is never pushed right or down.
    p = PlaceAtCentreOf({-300, -200}, {155, 113}, dlg, screen);
    EXPECT_EQ(p.x, -300 + 77);
    EXPECT_EQ(p.y, -200 + 56);
}

TEST(Placement, AnimatedGobuOpensMenuAtItsCornerAwayFromEdges) {
    Size screen{1024, 768}, win{200, 100};
    Point c = PopupMenuPoint({300, 300}, win, {50, 40}, screen, true, kDesignDpi);
    EXPECT_EQ(c.x, 500);
    EXPECT_EQ(c.y, 400);
    c = PopupMenuPoint({300, 300}, win, {50, 40}, screen, false, kDesignDpi);
    EXPECT_EQ(c.x, 350);
    EXPECT_EQ(c.y, 340);
    // Within 100 pixels of the right or the bottom edge the menu opens at the mouse.
    c = PopupMenuPoint({900, 300}, win, {24, 40}, screen, true, kDesignDpi);
    EXPECT_EQ(c.x, 924);
    c = PopupMenuPoint({300, 600}, win, {10, 68}, screen, true, kDesignDpi);
    EXPECT_EQ(c.y, 668);
    c = PopupMenuPoint({300, 600}, win, {10, 67}, screen, true, kDesignDpi);
    EXPECT_EQ(c.y, 700);
    // At 144 DPI the margin is 150 pixels.
    c = PopupMenuPoint({300, 550}, win, {10, 68}, screen, true, 144);
    EXPECT_EQ(c.y, 618);
    c = PopupMenuPoint({300, 550}, win, {10, 67}, screen, true, 144);
    EXPECT_EQ(c.y, 650);
}

// A window 100 x 80 on a 1024 x 768 screen with a taskbar of 30 pixels at the bottom,
// and beside it, for the last cases, a second monitor to the right.
TEST(Placement, PositionsOffTheDesktopMoveJustInsideTheWorkArea) {
    const Size window{100, 80};
    const Area work{0, 0, 1024, 738};
    const std::vector<Area> one{{0, 0, 1024, 768}};
    const std::vector<Area> two{{0, 0, 1024, 768}, {1024, 0, 2304, 1024}};
    struct Case {
        const char* what;
        Point pos;
        const std::vector<Area>& monitors;
        Point expected;
        int dpi = kDesignDpi;
    } cases[] = {
        {"inside", {200, 150}, one, {200, 150}},
        {"over the taskbar, but visible", {900, 700}, one, {900, 700}},
        {"32 pixels left on the right edge", {992, 10}, one, {992, 10}},
        {"31 pixels left on the right edge", {993, 10}, one, {924, 10}},
        {"32 pixels left at the top", {10, -48}, one, {10, -48}},
        {"31 pixels left at the top", {10, -49}, one, {10, 0}},
        {"wholly off to the left", {-5000, 300}, one, {0, 300}},
        {"wholly off to the right", {5000, 300}, one, {924, 300}},
        {"wholly off at the top", {300, -900}, one, {300, 0}},
        {"wholly off at the bottom", {300, 5000}, one, {300, 658}},
        {"off in a corner", {-300, 5000}, one, {0, 658}},
        {"on the second monitor", {1500, 900}, two, {1500, 900}},
        {"across both monitors", {1000, 300}, two, {1000, 300}},
        {"below the shorter monitor", {300, 900}, two, {300, 658}},
        {"48 pixels left on the right edge at 144 DPI", {976, 10}, one, {976, 10}, 144},
        {"47 pixels left on the right edge at 144 DPI", {977, 10}, one, {924, 10}, 144},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Point p = VisiblePosition(c.pos, window, c.monitors, work, c.dpi);
        EXPECT_EQ(p.x, c.expected.x);
        EXPECT_EQ(p.y, c.expected.y);
    }
    // A window smaller than 32 pixels counts as visible when the whole of it is.
    Point small = VisiblePosition({1004, 748}, {20, 20}, one, work, kDesignDpi);
    EXPECT_EQ(small.x, 1004);
    // One larger than the work area keeps its top-left corner on it.
    Point large = VisiblePosition({-5000, -5000}, {2000, 1000}, one, work, kDesignDpi);
    EXPECT_EQ(large.x, 0);
    EXPECT_EQ(large.y, 0);
}
