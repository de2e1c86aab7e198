// The help window and the Help menu's commands in this process: how the help window
// opens and closes, the message boxes above a stay-on-top gobu, and the addresses handed
// to the shell.
#include <gtest/gtest.h>

#include <functional>

#include "app/startfrm.h"
#include "help/weblinks.h"
#include "wine_support.h"

namespace {

class HelpCommands : public testing::Test {
protected:
    void SetUp() override {
        RememberFirstStart();
        windows = StartGobu(FreshFolder(testing::UnitTest::GetInstance()->current_test_info()->name()) +
                            "gobu.exe");
        gobu = &windows->main;
    }
    bool Topmost() const { return (GetWindowLongPtrA(gobu->Handle, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    std::unique_ptr<GobuWindows> windows;
    Tmain* gobu = nullptr;
};

// Runs, from the message loop of the modal help window, an action that should close it;
// closes it by force after three seconds so that a failing test ends.
std::function<void()> whileShown;
bool wasShown = false, forced = false;
int ticks = 0;
VOID CALLBACK ActInHelpWindow(HWND, UINT, UINT_PTR id, DWORD) {
    if (!help->Visible()) return;
    if (ticks++ == 0) {
        wasShown = true;
        whileShown();
    } else if (ticks > 60) {
        KillTimer(nullptr, id);
        forced = true;
        help->Close();
    }
}

// The message boxes, seen with the stacking of the gobu at the moment they show.
struct StackingSeen : RecordedCalls {
    std::function<bool()> gobuTopmost;
    std::vector<bool> topmostDuring;
    std::vector<std::string> captions;
    int Message(HWND owner, const std::string& text, const std::string& caption, UINT type) override {
        topmostDuring.push_back(gobuTopmost());
        captions.push_back(caption);
        return RecordedCalls::Message(owner, text, caption, type);
    }
};

}  // namespace

TEST_F(HelpCommands, EveryWayOfOpeningAndClosingTheHelpWindowReshowsAndReshapesThePicture) {
    Thelp& helpWindow = windows->help;
    struct Case {
        const char* way;
        std::function<void()> open;
        std::function<void()> close;
    } cases[] = {
        {"menu, OK button", [&] { SendMessageA(gobu->Handle, WM_COMMAND, gobu->Help2.Id, 0); },
         [&] { SendMessageA(helpWindow.OKbutton.Handle, BM_CLICK, 0, 0); }},
        {"key h, Esc", [&] { SendMessageA(gobu->Handle, WM_CHAR, 'h', 0); },
         [&] { PostMessageA(helpWindow.Handle, WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"key H, close box", [&] { SendMessageA(gobu->Handle, WM_CHAR, 'H', 0); },
         [&] { PostMessageA(helpWindow.Handle, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        // A gobu out of its picture's size and shape, which only a re-show mends.
        gobu->SetBounds(gobu->Left(), gobu->Top(), 60, 50);
        SetWindowRgn(gobu->Handle, nullptr, TRUE);
        whileShown = c.close;
        wasShown = forced = false;
        ticks = 0;
        UINT_PTR timer = SetTimer(nullptr, 0, 50, ActInHelpWindow);
        c.open();
        KillTimer(nullptr, timer);
        EXPECT_TRUE(wasShown);
        EXPECT_FALSE(forced) << "the help window did not close";
        EXPECT_FALSE(helpWindow.Visible());
        EXPECT_EQ(gobu->Width(), 155);
        EXPECT_EQ(gobu->Height(), 113);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(GetWindowRgn(gobu->Handle, rgn), COMPLEXREGION);
        DeleteObject(rgn);
        EXPECT_TRUE(IsWindowEnabled(gobu->Handle));
    }
}

TEST_F(HelpCommands, AboutAndQuickKeysShowAboveTheGobuAndLeaveStayOnTopAsItWas) {
    StackingSeen seen;
    seen.gobuTopmost = [this] { return Topmost(); };
    struct Case {
        const char* command;
        TMenuItem Tmain::*item;
        bool stayOnTop;
        std::string text;
    } cases[] = {
        {"About, on top", &Tmain::About1, true, AboutText("1.25")},
        {"Quick Keys, on top", &Tmain::QuickKeys1, true, QuickKeysText()},
        {"About, not on top", &Tmain::About1, false, AboutText("1.25")},
        {"Quick Keys, not on top", &Tmain::QuickKeys1, false, QuickKeysText()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        if (gobu->menustayontop.Checked() != c.stayOnTop) gobu->menustayontopClick();
        ASSERT_EQ(Topmost(), c.stayOnTop);
        seen.messages.clear();
        seen.topmostDuring.clear();
        seen.captions.clear();
        SendMessageA(gobu->Handle, WM_COMMAND, (gobu->*c.item).Id, 0);
        ASSERT_EQ(seen.messages.size(), 1u);
        // The version comes from the executable's version resource.
        EXPECT_EQ(seen.messages[0], c.text);
        EXPECT_EQ(seen.captions[0], Application.Title());
        EXPECT_FALSE(seen.topmostDuring[0]) << "the box would show behind the gobu";
        EXPECT_EQ(gobu->menustayontop.Checked(), c.stayOnTop);
        EXPECT_EQ(Topmost(), c.stayOnTop);
        EXPECT_FALSE(gobu->StayOnTopSuspended);
    }
}

TEST_F(HelpCommands, LinksOpenTheirAddressesThroughTheShellFromMenuAndKeys) {
    RecordedCalls calls;
    const UINT menu = WM_COMMAND, key = WM_CHAR;
    struct Case {
        const char* trigger;
        UINT message;
        WPARAM wParam;
        std::string opened;
    } cases[] = {
        {"What's New", menu, gobu->WhatsNew1.Id, UpdatesPageUrl()},
        {"Feedback", menu, gobu->Feedback1.Id, FeedbackAddress()},
        {"Tell a Friend", menu, gobu->TellaFriend1.Id, TellaFriendAddress()},
        {"key t", key, 't', TellaFriendAddress()},
        {"key T", key, 'T', TellaFriendAddress()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trigger);
        calls.opened.clear();
        SendMessageA(gobu->Handle, c.message, c.wParam, 0);
        ASSERT_EQ(calls.opened.size(), 1u);
        EXPECT_EQ(calls.opened[0], "open " + c.opened);
        EXPECT_TRUE(calls.messages.empty()) << "nothing is reported";
    }
}
