// The help window and the Help menu's commands in this process: each way of closing the
// help window, the message boxes above a stay-on-top gobu, the addresses for the shell.
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

// Run from the modal help window's message loop: the first tick closes it the way the
// test chose; after three seconds it is closed by force, so that a failing test ends.
std::function<void()> closeHelp;
int ticks = 0;
VOID CALLBACK CloseHelpWindow(HWND, UINT, UINT_PTR, DWORD) {
    if (!help->Visible()) return;
    if (ticks++ == 0)
        closeHelp();
    else if (ticks > 60)
        help->Close();
}

// Message boxes seen with the gobu's stacking at the moment they show.
struct StackingSeen : RecordedCalls {
    std::function<bool()> gobuTopmost;
    std::vector<bool> topmostDuring;
    int Message(HWND owner, const std::string& text, const std::string& caption, UINT type) override {
        topmostDuring.push_back(gobuTopmost());
        return RecordedCalls::Message(owner, text, caption, type);
    }
};

}  // namespace

TEST_F(HelpCommands, EveryWayOfClosingTheHelpWindowReshowsAndReshapesThePicture) {
    Thelp& helpWindow = windows->help;
    struct Case {
        const char* way;
        UINT message;
        WPARAM wParam;
        std::function<void()> close;
    } cases[] = {
        {"menu, OK button", WM_COMMAND, gobu->Help2.Id,
         [&] { SendMessageA(helpWindow.OKbutton.Handle, BM_CLICK, 0, 0); }},
        {"key h, Esc", WM_CHAR, 'h', [&] { PostMessageA(helpWindow.Handle, WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"key H, close box", WM_CHAR, 'H',
         [&] { PostMessageA(helpWindow.Handle, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        // Out of its picture's size and shape, which only a re-show mends.
        gobu->SetBounds(gobu->Left(), gobu->Top(), 60, 50);
        SetWindowRgn(gobu->Handle, nullptr, TRUE);
        closeHelp = c.close;
        ticks = 0;
        UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseHelpWindow);
        SendMessageA(gobu->Handle, c.message, c.wParam, 0);
        KillTimer(nullptr, timer);
        EXPECT_EQ(ticks, 1) << "shown, and closed at the first try";
        EXPECT_FALSE(helpWindow.Visible());
        EXPECT_EQ(gobu->Width(), 155);
        EXPECT_EQ(gobu->Height(), 113);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(GetWindowRgn(gobu->Handle, rgn), COMPLEXREGION);
        DeleteObject(rgn);
    }
}

TEST_F(HelpCommands, AboutAndQuickKeysShowAboveTheGobuAndLeaveStayOnTopAsItWas) {
    StackingSeen seen;
    seen.gobuTopmost = [this] { return Topmost(); };
    for (bool stayOnTop : {true, false}) {
        // The version comes from the executable's version resource.
        for (auto [item, text] :
             {std::pair{&Tmain::About1, AboutText("1.25")}, std::pair{&Tmain::QuickKeys1, QuickKeysText()}}) {
            SCOPED_TRACE(text + (stayOnTop ? ", on top" : ", not on top"));
            if (gobu->menustayontop.Checked() != stayOnTop) gobu->menustayontopClick();
            seen.messages.clear();
            seen.topmostDuring.clear();
            SendMessageA(gobu->Handle, WM_COMMAND, (gobu->*item).Id, 0);
            ASSERT_EQ(seen.messages.size(), 1u);
            EXPECT_EQ(seen.messages[0], text);
            EXPECT_FALSE(seen.topmostDuring[0]) << "the box would show behind the gobu";
            EXPECT_EQ(gobu->menustayontop.Checked(), stayOnTop);
            EXPECT_EQ(Topmost(), stayOnTop);
        }
    }
}

TEST_F(HelpCommands, WebLinksOpenTheirAddressesThroughTheShell) {
    RecordedCalls calls;
    for (TMenuItem Tmain::*item : {&Tmain::WhatsNew1, &Tmain::Feedback1, &Tmain::TellaFriend1})
        SendMessageA(gobu->Handle, WM_COMMAND, (gobu->*item).Id, 0);
    SendMessageA(gobu->Handle, WM_CHAR, 't', 0);
    EXPECT_EQ(calls.opened,
              (std::vector<std::string>{"open " + UpdatesPageUrl(), "open " + FeedbackAddress(),
                                        "open " + TellaFriendAddress(), "open " + TellaFriendAddress()}));
    EXPECT_TRUE(calls.messages.empty()) << "nothing is reported";
}
