// The slide show on the real gobu window and the Select Picture(s) dialog's commands.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "app/gobuwindows.h"
#include "app/startfrm.h"
#include "modal_steps.h"
#include "wine_support.h"

namespace {

class SlideShow : public testing::Test {
protected:
    void SetUp() override {
        RememberFirstStart();
        pictures = PictureFolder();
        ASSERT_TRUE(FileExists(pictures + "photo.jpg")) << "GOBU_TEST_PICTURES: " << pictures;
        dir = LowerAZ(FreshFolder(testing::UnitTest::GetInstance()->current_test_info()->name()));
        windows = StartGobu(dir + "g.exe");
        windows->piclist.transitionBox.SetItemIndex(0);
        // Effects here run without waits; their pace is the benchmark's business.
        windows->main.SpeedCount = 0;
    }
    std::vector<std::string> Pictures(std::initializer_list<const char*> names) const {
        std::vector<std::string> paths;
        for (const char* name : names) paths.push_back(pictures + name);
        return paths;
    }
    Tmain& gobu() { return windows->main; }
    Tpiclist& dialog() { return windows->piclist; }
    std::string pictures, dir;
    std::unique_ptr<GobuWindows> windows;
};

}  // namespace

TEST_F(SlideShow, TicksAdvanceThroughTwoOrMorePicturesAndWrapAtTheEnd) {
    // photo.jpg is 37 pixels wide, progressive.JPEG 50 and gray.jpg 33.
    struct Case {
        std::vector<std::string> list;
        int start;
        std::vector<int> shown;  // CurrentPicture after each tick
    } cases[] = {
        {{}, 0, {0, 0}},
        {Pictures({"photo.jpg"}), 0, {0, 0}},
        {Pictures({"photo.jpg", "progressive.JPEG"}), 0, {1, 0, 1}},
        {Pictures({"photo.jpg", "progressive.JPEG", "gray.jpg"}), 0, {1, 2, 0}},
        // Entries removed behind the current picture: the next tick starts over.
        {Pictures({"photo.jpg", "progressive.JPEG", "gray.jpg"}), 5, {0, 1}},
    };
    const int widths[] = {37, 50, 33};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list.size());
        dialog().list.SetRows(c.list);
        gobu().ShowPicture(0, true);
        gobu().CurrentPicture = c.start;
        const int before = gobu().Width();
        for (int expected : c.shown) {
            gobu().durationtimerTimer();
            EXPECT_EQ(gobu().CurrentPicture, expected);
            EXPECT_EQ(gobu().Width(), c.list.size() < 2 ? before : widths[expected]);
            EXPECT_FALSE(gobu().TransitionBusy);
        }
    }
}

TEST_F(SlideShow, EveryEffectEndsWithTheWholeNewPictureOnTheWindow) {
    dialog().list.SetRows(Pictures({"photo.jpg", "gray.jpg"}));
    for (int effect = 0; effect <= kEffectRandom; effect++) {
        SCOPED_TRACE(effect);
        dialog().transitionBox.SetItemIndex(effect);
        gobu().durationtimerTimer();
        EXPECT_FALSE(gobu().TransitionBusy);
        EXPECT_EQ(gobu().Width(), gobu().CurrentPicture == 0 ? 37 : 33);
        if (effect == kEffectRandom) {
            EXPECT_GE(gobu().LastRandomEffect, 1);
            EXPECT_LE(gobu().LastRandomEffect, 11);
        }
    }
}

TEST_F(SlideShow, AnAnimatedGifIsShownAtOnceWithoutAnEffect) {
    dialog().list.SetRows(Pictures({"photo.jpg", "frames.gif"}));
    dialog().anbox.SetChecked(true);
    dialog().transitionBox.SetItemIndex(1);
    gobu().ShowPicture(0, true);
    gobu().durationtimerTimer();
    EXPECT_EQ(gobu().CurrentPicture, 1);
    EXPECT_TRUE(gobu().image.Visible());
    EXPECT_EQ(gobu().Width(), 40);
    // Nor does a transition started while the animation shows draw or wait.
    gobu().RunTransition(1);
    EXPECT_FALSE(gobu().TransitionBusy);
}

TEST_F(SlideShow, OkShowsTheFirstPictureAndKeepsOnlyTheSettingsThatStillApply) {
    struct Case {
        const char* what;
        std::vector<std::string> list;
        bool animationKept, transparentKept;
        int width;
    } cases[] = {
        {"no pictures", {}, false, true, 155},
        {"one picture", Pictures({"photo.jpg"}), false, true, 37},
        {"two pictures", Pictures({"photo.jpg", "gray.jpg"}), false, false, 37},
        {"a GIF among them", Pictures({"gray.jpg", "frames.gif"}), true, false, 33},
        {"an upper-case GIF", {dir + "X.GIF", pictures + "photo.jpg"}, true, false, 155},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialog().Show();
        dialog().list.SetRows(c.list);
        dialog().anbox.SetChecked(true);
        gobu().menutransparent.SetChecked(true);
        dialog().durationbox.SetText("7");
        gobu().CurrentPicture = 3;
        dialog().okbuttonClick();
        EXPECT_FALSE(dialog().Visible());
        EXPECT_EQ(gobu().CurrentPicture, 0);
        EXPECT_EQ(gobu().Width(), c.width);
        EXPECT_EQ(dialog().anbox.Checked(), c.animationKept);
        EXPECT_EQ(gobu().menutransparent.Checked(), c.transparentKept);
        EXPECT_EQ(gobu().menutransparent.Enabled(), c.list.size() < 2);
        EXPECT_EQ(gobu().durationtimer.Interval(), 7000u);
        std::string file = ReadFileText(gobu().SettingsPath());
        EXPECT_NE(file.find("duration 7\r\n"), std::string::npos);
        EXPECT_EQ(file.find("picture ") != std::string::npos, !c.list.empty());
    }
}

TEST_F(SlideShow, RemoveDeletesExactlyTheSelectedRowsAndKeepsTheOrderOfTheRest) {
    dialog().list.SetRows({"a.bmp", "b.bmp", "c.bmp", "d.bmp", "e.bmp"});
    for (int i : {0, 2, 3}) dialog().list.SetSelected(i, true);
    dialog().removebuttonClick();
    EXPECT_EQ(dialog().list.Rows(), (std::vector<std::string>{"b.bmp", "e.bmp"}));
    EXPECT_TRUE(gobu().menutransparent.Enabled() == false);
    dialog().list.SetSelected(0, true);
    dialog().removebuttonClick();
    EXPECT_TRUE(gobu().menutransparent.Enabled());
}

// Cancel, Esc, the close box and Alt+F4 all read back the file saved as the dialog
// opened, and the gobu, active before, is active again to take its quick keys.
TEST_F(SlideShow, CancelEscAndTheCloseBoxReadTheListBackAndTheGobuIsActiveAgain) {
    const std::vector<std::string> saved = {dir + "one.bmp", dir + "two.bmp"};
    const std::function<void(Tpiclist&)> closings[] = {
        [](Tpiclist& d) { d.cancelbutton.Click(); },
        [](Tpiclist& d) { PostMessageA(d.list.Handle, WM_KEYDOWN, VK_ESCAPE, 0); },
        [](Tpiclist& d) { PostMessageA(d.Handle, WM_SYSCOMMAND, SC_CLOSE, 0); },
        [](Tpiclist& d) { PostMessageA(d.Handle, WM_SYSKEYDOWN, VK_F4, 1 << 29); },  // Alt held
    };
    for (const auto& close : closings) {
        dialog().list.SetRows(saved);
        dialog().durationbox.SetText("30");
        gobu().CurrentPicture = 1;
        SetActiveWindow(gobu().Handle);
        ModalSteps steps({{[&] { return dialog().Visible(); },
                           [&] {
                               dialog().clearbuttonClick();
                               dialog().durationbox.SetText("45");
                               close(dialog());
                           }}});
        gobu().SelectPictures1Click();
        EXPECT_TRUE(steps.Done());
        EXPECT_FALSE(dialog().Visible());
        EXPECT_EQ(dialog().list.Rows(), saved);
        EXPECT_EQ(dialog().durationbox.Text(), "30");
        EXPECT_EQ(gobu().CurrentPicture, 1) << "Cancel keeps the slide shown";
        EXPECT_NE(ReadFileText(gobu().SettingsPath()).find("duration 30"), std::string::npos);
        EXPECT_EQ(GetActiveWindow(), gobu().Handle);
    }
}

TEST_F(SlideShow, EveryWayOfClosingTheDialogResumesAPausedShow) {
    const std::function<void()> closings[] = {
        [&] { dialog().okbuttonClick(); },
        [&] { dialog().cancelbuttonClick(); },
        [&] { SendMessageA(dialog().Handle, WM_CLOSE, 0, 0); },
    };
    for (const auto& close : closings) {
        SendMessageA(gobu().Handle, WM_CHAR, ' ', 0);
        ASSERT_FALSE(gobu().durationtimer.Enabled());
        dialog().Show();
        EXPECT_FALSE(gobu().durationtimer.Enabled());
        close();
        EXPECT_TRUE(gobu().durationtimer.Enabled());
    }
}

TEST_F(SlideShow, TheDurationBoxBringsTypedValuesIntoRangeWhenItIsLeft) {
    dialog().Show();
    const std::pair<const char*, const char*> cases[] = {{"1", "2"}, {"100000", "99999"}, {"abc", "2"}, {"60", "60"}};
    for (const auto& c : cases) {
        SetFocus(dialog().durationbox.Handle);
        dialog().durationbox.SetText(c.first);
        SetFocus(dialog().okbutton.Handle);
        EXPECT_EQ(dialog().durationbox.Text(), c.second) << c.first;
    }
    dialog().Hide();
}
