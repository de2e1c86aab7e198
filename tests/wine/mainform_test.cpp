#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/gobuwindows.h"
#include "app/startfrm.h"
#include "links/questfrm.h"
#include "modal_steps.h"
#include "pictures/display.h"
#include "wine_support.h"

namespace {

// Runs an action while each message box would show.
struct DuringMessages : RecordedCalls {
    std::function<void()> during;
    int Message(HWND owner, const std::string& text, const std::string& caption, UINT type) override {
        if (during) during();
        return RecordedCalls::Message(owner, text, caption, type);
    }
};

class GobuWindow : public testing::Test {
protected:
    void SetUp() override {
        RememberFirstStart();
        dir = FreshFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    std::string dir;
};

}  // namespace

TEST_F(GobuWindow, StartsAt40x40WithTheBuiltInPictureSizeAndTitle) {
    auto windows = StartGobu(dir + "holiday.exe");
    Tmain* gobu = &windows->main;
    EXPECT_EQ(gobu->Left(), 40);
    EXPECT_EQ(gobu->Top(), 40);
    EXPECT_EQ(gobu->Width(), 155);
    EXPECT_EQ(gobu->Height(), 113);
    EXPECT_EQ(gobu->Caption(), "Holiday");
    EXPECT_EQ(Application.Title(), "Holiday");
    EXPECT_TRUE(gobu->menutransparent.Checked());
    EXPECT_FALSE(gobu->menustayontop.Checked());
    EXPECT_TRUE(gobu->starttimer.Enabled());
    EXPECT_TRUE(gobu->durationtimer.Enabled());
    EXPECT_FALSE(gobu->image.Visible());
}

namespace {
// The gobu window's place, size and shape (its region's kind) at the first message it
// gets once visible.
HWND watched = nullptr;
std::vector<int> firstSeen;
LRESULT CALLBACK WatchFirstSight(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && reinterpret_cast<CWPSTRUCT*>(lParam)->hwnd == watched && firstSeen.empty() &&
        IsWindowVisible(watched)) {
        RECT r;
        GetWindowRect(watched, &r);
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        firstSeen = {r.left, r.top, r.right - r.left, r.bottom - r.top, GetWindowRgn(watched, region)};
        DeleteObject(region);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

// Its settings and picture come before the gobu is first seen: never a frame at the
// window's created size, nor the picture's rectangle before its shape.
TEST_F(GobuWindow, FirstAppearsAtItsPicturesSizeAndShape) {
    WriteFile(dir + "holiday.gobu", "gobu left 300\r\ngobu top 200\r\ntransparent\r\n");
    GobuWindows windows;
    ASSERT_TRUE(windows.Create(dir + "holiday.exe"));
    watched = windows.main.Handle;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchFirstSight, nullptr, GetCurrentThreadId());
    windows.main.Show();
    Pump(200);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(firstSeen, (std::vector<int>{300, 200, 155, 113, COMPLEXREGION}));
}

TEST_F(GobuWindow, StartTimerShapesTheWindowToExactlyTheNonKeyPixels) {
    auto windows = StartGobu(dir + "gobu.exe");
    Tmain* gobu = &windows->main;
    ASSERT_TRUE(PumpUntil([&] { return !gobu->starttimer.Enabled(); }, 3000));
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(gobu->Handle, rgn), COMPLEXREGION);
    const int w = 155, h = 113;
    std::vector<uint32_t> px = PixelsOf(gobu->WorkBitmap);
    uint32_t key = px[size_t(h - 1) * w] & 0xFFFFFF;
    int holes = 0, mismatches = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            bool isKey = (px[size_t(y) * w + x] & 0xFFFFFF) == key;
            holes += isKey;
            mismatches += bool(PtInRegion(rgn, x, y)) == isKey;
        }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(holes, 0) << "the built-in picture must have a background to cut away";
    DeleteObject(rgn);
}

// Transparent off shows a listed picture whole (the built-in one stays cut to its outline).
TEST_F(GobuWindow, TransparentOffMakesTheWindowRectangularAgain) {
    const std::string photo = PictureFolder() + "photo.jpg";  // 37 x 23
    ASSERT_TRUE(FileExists(photo));
    WriteFile(dir + "gobu.gobu", "picture " + photo + "\r\ntransparent\r\n");
    auto windows = StartGobu(dir + "gobu.exe");
    Tmain* gobu = &windows->main;
    gobu->ApplyShape();
    gobu->menutransparentClick();
    EXPECT_FALSE(gobu->menutransparent.Checked());
    EXPECT_TRUE(gobu->starttimer.Enabled());
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(gobu->Handle, rgn), SIMPLEREGION);
    RECT box;
    GetRgnBox(rgn, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 37);
    EXPECT_EQ(box.bottom, 23);
    gobu->menutransparentClick();
    EXPECT_EQ(GetWindowRgn(gobu->Handle, rgn), COMPLEXREGION);
    DeleteObject(rgn);
}

TEST_F(GobuWindow, QuickKeysAreIgnoredWhileADialogIsBusy) {
    auto windows = StartGobu(dir + "gobu.exe");
    Tmain* gobu = &windows->main;
    HWND hwnd = gobu->Handle;
    int typed = 0;
    auto typeQuitAndHide = [&] {
        SendMessageA(hwnd, WM_CHAR, 'q', 0);
        SendMessageA(hwnd, WM_CHAR, 'M', 0);
        Pump(50);
        typed++;
    };
    // The help window, which no other dialog's visibility stands for, and a message box.
    ModalSteps steps({{[] { return help->Visible(); }, [&] {
                           typeQuitAndHide();
                           help->Close();
                       }}});
    SendMessageA(hwnd, WM_CHAR, 'h', 0);
    DuringMessages calls;
    calls.during = typeQuitAndHide;
    SendMessageA(hwnd, WM_COMMAND, gobu->About1.Id, 0);
    EXPECT_EQ(typed, 2);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_FALSE(Application.Minimized());

    calls.during = nullptr;
    SendMessageA(hwnd, WM_CHAR, 'm', 0);
    EXPECT_TRUE(PumpUntil([] { return Application.Minimized(); }, 2000));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    Application.Restore();
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(hwnd) != 0; }, 2000));

    SendMessageA(hwnd, WM_CHAR, 'q', 0);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(GobuWindow, SpacePausesAndResumesTheSlideTimer) {
    auto windows = StartGobu(dir + "gobu.exe");
    Tmain* gobu = &windows->main;
    SendMessageA(gobu->Handle, WM_CHAR, ' ', 0);
    EXPECT_FALSE(gobu->durationtimer.Enabled());
    SendMessageA(gobu->Handle, WM_CHAR, ' ', 0);
    EXPECT_TRUE(gobu->durationtimer.Enabled());
}

TEST_F(GobuWindow, SuspendAndResumeRestoreStayOnTop) {
    auto windows = StartGobu(dir + "gobu.exe");
    Tmain* gobu = &windows->main;
    gobu->ApplyShape();
    auto topmost = [&] { return (GetWindowLongPtrA(gobu->Handle, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    // The Share dialog from the menu: the gobu steps down while it shows.
    auto shareAndSee = [&](bool& checkedDuring, bool& topmostDuring) {
        ModalSteps steps({{[] { return VisibleForm<Tshare>("Tshare") != nullptr; }, [&] {
                               checkedDuring = gobu->menustayontop.Checked();
                               topmostDuring = topmost();
                               windows->share.cancelbutton.Click();
                           }}});
        SendMessageA(gobu->Handle, WM_COMMAND, gobu->HardDisk1.Id, 0);
        EXPECT_TRUE(steps.Done());
    };

    gobu->menustayontopClick();
    EXPECT_TRUE(gobu->menustayontop.Checked());
    EXPECT_TRUE(topmost());
    bool checkedDuring = true, topmostDuring = true;
    shareAndSee(checkedDuring, topmostDuring);
    EXPECT_FALSE(checkedDuring);
    EXPECT_FALSE(topmostDuring);
    EXPECT_TRUE(gobu->menustayontop.Checked());
    EXPECT_TRUE(topmost());

    // Without Stay on Top the dialog changes nothing.
    gobu->menustayontopClick();
    EXPECT_FALSE(topmost());
    // The stacking changes keep the window's shape.
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(gobu->Handle, rgn), COMPLEXREGION);
    DeleteObject(rgn);
    shareAndSee(checkedDuring, topmostDuring);
    EXPECT_FALSE(topmostDuring);
    EXPECT_FALSE(gobu->menustayontop.Checked());
    EXPECT_FALSE(topmost());
}

TEST_F(GobuWindow, DeletesOnlyItsOwnLeftoverPackage) {
    WriteFile(dir + "holiday_zip.exe", "old package");
    WriteFile(dir + "other_zip.exe", "someone else's");
    auto windows = StartGobu(dir + "holiday.exe");
    EXPECT_FALSE(FileExists(dir + "holiday_zip.exe"));
    EXPECT_TRUE(FileExists(dir + "other_zip.exe"));
}

TEST_F(GobuWindow, DragMovesByTheMouseDeltaAndAReturnedDragCountsAsAClick) {
    auto windows = StartGobu(dir + "gobu.exe");
    Tmain* gobu = &windows->main;
    gobu->FormMouseDown(mbLeft, 10, 10);
    gobu->FormMouseMove(true, 25, 17);
    EXPECT_EQ(gobu->Left(), 55);
    EXPECT_EQ(gobu->Top(), 47);
    gobu->FormMouseMove(true, -5, 3);  // relative to the moved window: back to 40,40
    EXPECT_EQ(gobu->Left(), 40);
    EXPECT_EQ(gobu->Top(), 40);
    EXPECT_EQ(Application.ScreenCursor(), crHandPoint);
    gobu->FormMouseUp(mbLeft, 10, 10);
    EXPECT_EQ(Application.ScreenCursor(), crDefault);

    // The right button alone never drags.
    gobu->FormMouseDown(mbRight, 10, 10);
    gobu->FormMouseMove(false, 40, 40);
    EXPECT_EQ(gobu->Left(), 40);
    Application.SetScreenCursor(crDefault);
}

namespace {
HWND seenDialog = nullptr;
RECT seenDialogRect = {};
VOID CALLBACK CloseStartDialog(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = FindWindowA("Tstartdlg", "Gobu");
    if (!dlg) return;
    KillTimer(nullptr, id);
    seenDialog = dlg;
    GetWindowRect(dlg, &seenDialogRect);
    PostMessageA(dlg, WM_CHAR, 'x', 0);
}
}  // namespace

TEST_F(GobuWindow, FirstStartForTheUserShowsTheStartDialogOnceAtTheGobuCentre) {
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Gobu");
    ASSERT_TRUE(IsFirstStartForUser());
    UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseStartDialog);
    auto windows = StartGobu(dir + "first.exe");
    KillTimer(nullptr, timer);
    ASSERT_NE(seenDialog, nullptr);
    EXPECT_EQ(seenDialogRect.left, 40 + 155 / 2);
    EXPECT_EQ(seenDialogRect.top, 40 + 113 / 2);
    EXPECT_FALSE(IsWindow(seenDialog)) << "the dialog is destroyed once closed";
    EXPECT_FALSE(IsFirstStartForUser());
}

namespace {
// The menu as "caption" lines, submenu items indented by two blanks.
std::string MenuText(HMENU menu, const std::string& indent = "") {
    std::string text;
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        char caption[128] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = caption;
        info.cch = sizeof caption;
        GetMenuItemInfoA(menu, UINT(i), TRUE, &info);
        text += indent + ((info.fType & MFT_SEPARATOR) ? "-" : caption) + "\n";
        if (info.hSubMenu) text += MenuText(info.hSubMenu, indent + "  ");
    }
    return text;
}
}  // namespace

TEST_F(GobuWindow, PopupMenuHasEveryCommandInItsPlace) {
    auto windows = StartGobu(dir + "gobu.exe");
    Tmain* gobu = &windows->main;
    EXPECT_EQ(MenuText(gobu->pop),
              "File\n  &New Gobu\n  &Open Gobu\n  &Save Gobu As\n  &Close Gobu\n"
              "Select Picture(s)\nLink File(s)\n"
              "Configure\n  &Hide Gobu\n  &Transparent\n  &Stay on Top\n  &Auto StartUp\n"
              "Share\n  &E-Mail\n  &Hard Disk\n  &Floppy Disk\n  -\n  &Tell a Friend\n"
              "&Help\n  &Help\n  &Quick Keys\n  &About\n  -\n  &What's New\n  &Feedback\n");
}

TEST_F(GobuWindow, CloseGobuCommandEndsTheWindow) {
    auto windows = StartGobu(dir + "gobu.exe");
    Tmain* gobu = &windows->main;
    HWND hwnd = gobu->Handle;
    SendMessageA(hwnd, WM_COMMAND, gobu->Exit1.Id, 0);
    EXPECT_FALSE(IsWindow(hwnd));
}

namespace {
SIZE ClientSize(const TForm& form) {
    RECT r;
    GetClientRect(form.Handle, &r);
    return SIZE{r.right, r.bottom};
}
bool Topmost(const TForm& form) { return (GetWindowLongPtrA(form.Handle, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
}  // namespace

TEST_F(GobuWindow, DialogsExistHiddenFromTheStartWithTheirCaptionsSizesAndStacking) {
    auto windows = StartGobu(dir + "gobu.exe");
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    struct Expected {
        const TForm& form;
        const char* caption;
        int clientWidth, clientHeight;
    };
    for (const Expected& e : {Expected{windows->filelist, "Select File(s)", 408, 252},
                              Expected{windows->piclist, "Select Picture(s)", 413, 256},
                              Expected{windows->share, "Share", 413, 255}}) {
        SCOPED_TRACE(e.caption);
        EXPECT_FALSE(e.form.Visible());
        EXPECT_TRUE(Topmost(e.form));
        EXPECT_EQ(e.form.Caption(), e.caption);
        EXPECT_EQ(ClientSize(e.form).cx, e.clientWidth);
        EXPECT_EQ(ClientSize(e.form).cy, e.clientHeight);
    }
    EXPECT_EQ(windows->filelist.Left(), (sw - windows->filelist.Width()) / 2);
    EXPECT_EQ(windows->piclist.Top(), (sh - windows->piclist.Height()) / 2);
    EXPECT_EQ(windows->share.Left(), 224);
    EXPECT_EQ(windows->share.Top(), 150);
    EXPECT_EQ(windows->piclist.transitionBox.Count(), 13);
    EXPECT_EQ(windows->piclist.transitionBox.ItemIndex(), 0);
    EXPECT_EQ(windows->piclist.durationbox.Text(), "10");
    EXPECT_EQ(windows->share.destinationbox.ItemIndex(), 0);
    // Typing a text that matches no destination leaves none selected.
    windows->share.destinationbox.SetText("Carrier Pigeon");
    EXPECT_EQ(windows->share.destinationbox.ItemIndex(), -1);
    windows->share.destinationbox.SetText("Floppy Disk");
    EXPECT_EQ(windows->share.destinationbox.ItemIndex(), 2);

    Tquest quest;
    ASSERT_TRUE(quest.Create(windows->main.Handle));
    EXPECT_EQ(ClientSize(quest).cx, 471);
    EXPECT_EQ(ClientSize(quest).cy, 99);
    EXPECT_EQ(GetWindow(quest.Handle, GW_OWNER), windows->main.Handle);
}

TEST_F(GobuWindow, HelpWindowKeepsItsButtonCentredAndItsTextBoxAtTheMarginsWhenResized) {
    auto windows = StartGobu(dir + "gobu.exe");
    Thelp& help = windows->help;
    EXPECT_EQ(help.Caption(), "Gobu - Help");
    EXPECT_EQ(help.Width(), 417);
    EXPECT_EQ(help.Height(), 424);
    EXPECT_TRUE(Topmost(help));
    for (SIZE outer : {SIZE{417, 424}, SIZE{600, 300}, SIZE{250, 500}, SIZE{417, 424}, SIZE{1000, 700}}) {
        help.SetBounds(help.Left(), help.Top(), outer.cx, outer.cy);
        const SIZE client = ClientSize(help);
        RECT button = help.OKbutton.Bounds(), box = help.box.Bounds();
        EXPECT_EQ(button.right - button.left, 75);
        EXPECT_EQ(button.left, (client.cx - 75) / 2);
        EXPECT_EQ(button.bottom, client.cy - 8);
        EXPECT_EQ(box.left, 8);
        EXPECT_EQ(box.top, 8);
        EXPECT_EQ(box.right, client.cx - 8);
        EXPECT_EQ(box.bottom, button.top - 8);
    }
}
