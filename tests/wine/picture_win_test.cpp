// Listed JPEG and GIF pictures on the real gobu window: still display, the animated
// picture element, and the pictures that fall back to the built-in one. The picture
// files come from ImageMagick, made by the test fixture in GOBU_TEST_PICTURES.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

#include "app/gobuwindows.h"
#include "app/startfrm.h"
#include "pictures/display.h"
#include "tests/pixels.h"
#include "wine_support.h"

namespace {

class Pictures : public testing::Test {
protected:
    void SetUp() override {
        RememberFirstStart();
        pictures = PictureFolder();
        ASSERT_FALSE(pictures.empty()) << "GOBU_TEST_PICTURES is not set";
        ASSERT_TRUE(FileExists(pictures + "photo.jpg")) << pictures;
        dir = FreshFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        windows = StartGobu(dir + "g.exe");
    }
    // Lists the pictures and shows the first, as OK of the picture dialog does.
    void Show(const std::vector<std::string>& list, bool animation, int index = 0) {
        windows->piclist.list.SetRows(list);
        windows->piclist.anbox.SetChecked(animation);
        windows->main.ShowPicture(index, true);
    }
    std::string pictures, dir;
    std::unique_ptr<GobuWindows> windows;
};

}  // namespace

TEST_F(Pictures, JpegsInEveryColourSpaceShowAtTheirSizeWithTheColoursOfTheReference) {
    Tmain& gobu = windows->main;
    for (const char* name : {"photo.jpg", "progressive.JPEG", "gray.jpg", "cmyk.jpg"}) {
        SCOPED_TRACE(name);
        Show({pictures + name}, false);
        std::string base = std::string(name).substr(0, std::string(name).find('.'));
        HBITMAP reference = LoadPicture(pictures + base + "_ref.bmp");
        ASSERT_TRUE(reference);
        BITMAP bm = {};
        GetObjectA(reference, sizeof bm, &bm);
        EXPECT_EQ(gobu.Width(), bm.bmWidth);
        EXPECT_EQ(gobu.Height(), bm.bmHeight);
        // The same library decodes both; CMYK goes through a different formula.
        EXPECT_LE(LargestDifference(PixelsOf(gobu.WorkBitmap), PixelsOf(reference)), base == "cmyk" ? 12 : 2);
        DeleteObject(reference);
        EXPECT_FALSE(gobu.image.Visible());
    }
}

TEST_F(Pictures, AStillGifIsItsFirstFrameAndOnlyAListedGifAnimates) {
    Tmain& gobu = windows->main;
    Show({pictures + "frames.gif"}, false);
    EXPECT_EQ(gobu.Width(), 40);
    EXPECT_EQ(gobu.Height(), 30);
    EXPECT_EQ(PixelsOf(gobu.WorkBitmap), std::vector<uint32_t>(40 * 30, 0xFF0000));
    EXPECT_FALSE(gobu.image.Visible());

    // GIF Animation set, but a JPEG: painted still.
    Show({pictures + "photo.jpg"}, true);
    EXPECT_FALSE(gobu.image.Visible());

    // The letter case of the listed extension does not matter, and the animated
    // element shows the following frames on its own.
    CopyFileA((pictures + "frames.gif").c_str(), (dir + "FRAMES.GIF").c_str(), FALSE);
    Show({dir + "FRAMES.GIF"}, true);
    EXPECT_EQ(PixelsOf(gobu.WorkBitmap), std::vector<uint32_t>(40 * 30, 0xFF0000));
    ASSERT_TRUE(gobu.image.Visible());
    EXPECT_EQ(gobu.image.Width(), 40);
    std::set<uint32_t> seen;
    PumpUntil([&] {
        seen.insert(PixelsOf(gobu.image.Picture())[0]);
        return seen.size() == 3;
    });
    EXPECT_EQ(seen, (std::set<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF}));
    // The still picture underneath does not change.
    EXPECT_EQ(PixelsOf(gobu.WorkBitmap)[0], 0xFF0000u);

    // Back to the built-in picture: the element hides and stops.
    gobu.ShowPicture(-1, true);
    EXPECT_FALSE(gobu.image.Visible());
    EXPECT_FALSE(gobu.image.Animating());
}

TEST_F(Pictures, ClicksOnTheAnimatedPictureLaunchLikeClicksOnTheWindow) {
    Tmain& gobu = windows->main;
    WriteFile(dir + "notes.txt", "x");
    windows->filelist.list.SetRows({dir + "notes.txt"});
    Show({pictures + "frames.gif"}, true);
    ASSERT_TRUE(gobu.image.Visible());
    RecordedCalls calls;
    SendMessageA(gobu.image.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(gobu.image.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(calls.opened, std::vector<std::string>{"open " + dir + "notes.txt"});
}

TEST_F(Pictures, DamagedTruncatedHugeAndMisnamedPicturesShowTheBuiltInOneAndStayListed) {
    Tmain& gobu = windows->main;
    std::string gif = ReadFileText(pictures + "frames.gif");
    std::string jpeg = ReadFileText(pictures + "photo.jpg");
    WriteFile(dir + "text.jpg", "this is not a picture");
    WriteFile(dir + "cut.jpg", jpeg.substr(0, jpeg.size() / 2));
    WriteFile(dir + "cut.gif", gif.substr(0, 40));
    // A logical screen of 65535 x 65535 pixels with nothing in it.
    WriteFile(dir + "huge.gif", std::string("GIF89a\xFF\xFF\xFF\xFF\x00\x00\x00;", 14));
    WriteFile(dir + "gif.jpg", gif);
    const std::vector<std::string> list = {pictures + "photo.jpg", dir + "text.jpg", dir + "cut.jpg",
                                           dir + "cut.gif",        dir + "huge.gif", dir + "gif.jpg"};
    windows->piclist.list.SetRows(list);
    windows->piclist.anbox.SetChecked(true);
    for (int index = 1; index < int(list.size()); index++) {
        gobu.ShowPicture(0, false);
        ASSERT_EQ(gobu.Width(), 37);
        gobu.ShowPicture(index, false);
        EXPECT_EQ(gobu.Width(), 155) << list[size_t(index)];
        EXPECT_EQ(gobu.Height(), 113) << list[size_t(index)];
        EXPECT_FALSE(gobu.image.Visible()) << list[size_t(index)];
    }
    EXPECT_EQ(windows->piclist.list.Rows(), list);
    // Shaped to itself even where Transparent is off, as in a slide show: never the
    // built-in picture on its key-colour rectangle. A listed picture shows whole.
    gobu.menutransparent.SetChecked(false);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (int index : {1, 0}) {
        gobu.ShowPicture(index, true);
        EXPECT_EQ(GetWindowRgn(gobu.Handle, region), index == 0 ? SIMPLEREGION : COMPLEXREGION) << index;
    }
    gobu.ShowPicture(1, false);
    gobu.ApplyShape();
    EXPECT_EQ(GetWindowRgn(gobu.Handle, region), COMPLEXREGION) << "the start timer's shape too";
    DeleteObject(region);
}

// Add takes what the gobu can show and refuses the rest, all of it in one message that
// names each refused file; a refused file is not listed.
TEST_F(Pictures, AddRefusesWhatCannotBeShownInOneMessageAndAddsTheRest) {
    const std::string jpeg = ReadFileText(pictures + "photo.jpg");
    WriteFile(dir + "notes.txt", "a text, not a picture");
    WriteFile(dir + "empty.jpg", "");
    WriteFile(dir + "cut.jpg", jpeg.substr(0, jpeg.size() / 2));
    RecordedCalls calls;
    windows->piclist.AddPictures({dir + "notes.txt", pictures + "photo.jpg", dir + "empty.jpg",
                                  dir + "cut.jpg", pictures + "frames.gif"});
    EXPECT_EQ(windows->piclist.list.Rows(),
              (std::vector<std::string>{pictures + "photo.jpg", pictures + "frames.gif"}));
    ASSERT_EQ(calls.messages.size(), 1u);
    for (const char* name : {"notes.txt", "empty.jpg", "cut.jpg"})
        EXPECT_NE(calls.messages[0].find(dir + name), std::string::npos) << name;
    EXPECT_EQ(calls.messages[0].find("photo.jpg"), std::string::npos);
}
