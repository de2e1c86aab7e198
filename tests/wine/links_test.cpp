// The Link File(s) dialog and the input box, on the program's real windows in this
// process.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/startfrm.h"
#include "links/questfrm.h"
#include "modal_steps.h"
#include "wine_support.h"

namespace {

class Links : public testing::Test {
protected:
    void SetUp() override {
        RememberFirstStart();
        dir = LowerAZ(FreshFolder(testing::UnitTest::GetInstance()->current_test_info()->name()));
    }
    std::string dir;
};

bool ShowsFileList() { return VisibleForm<Tfilelist>("Tfilelist") != nullptr; }

void SetClipboardText(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

}  // namespace

TEST_F(Links, RemoveDeletesTheSelectedRowsAndKeepsTheOrderOfTheRest) {
    auto windows = StartGobu(dir + "g.exe");
    TListView& list = windows->filelist.list;
    list.SetRows({"c:\\1.txt", "c:\\2.txt", "c:\\3.txt", "c:\\4.txt", "c:\\5.txt"});
    list.SetSelected(1, true);
    list.SetSelected(3, true);
    windows->filelist.removebuttonClick();
    EXPECT_EQ(list.Rows(), (std::vector<std::string>{"c:\\1.txt", "c:\\3.txt", "c:\\5.txt"}));
}

// After Clear All and a Group Launch change: OK writes the edits; Cancel, Esc, the
// close box and Alt+F4 read back the file saved as the dialog opened (the window
// staying where it is); and the gobu, active before, is active again.
TEST_F(Links, OkCancelAndTheCloseBoxEndTheDialogEachInItsOwnWay) {
    struct Case {
        const char* how;
        std::function<void(Tfilelist&)> close;
        bool editsKept, editsSaved;
    } cases[] = {
        {"OK", [](Tfilelist& f) { f.okbutton.Click(); }, true, true},
        {"Cancel", [](Tfilelist& f) { f.cancelbutton.Click(); }, false, false},
        {"Esc", [](Tfilelist& f) { PostMessageA(f.list.Handle, WM_KEYDOWN, VK_ESCAPE, 0); }, false, false},
        {"close box", [](Tfilelist& f) { PostMessageA(f.Handle, WM_SYSCOMMAND, SC_CLOSE, 0); }, false, false},
        {"Alt+F4", [](Tfilelist& f) { PostMessageA(f.Handle, WM_SYSKEYDOWN, VK_F4, 1 << 29); }, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        WriteFile(dir + "g.gobu", "file c:\\docs\\a.txt\r\nfile http://X.com/Y\r\n");
        auto windows = StartGobu(dir + "g.exe");
        Tmain& gobu = windows->main;
        // Not yet in the file: the opening save writes it, so Cancel keeps it too.
        windows->filelist.list.Add("c:\\docs\\b.txt");
        bool keysIgnored = false;
        ModalSteps steps({{ShowsFileList, [&] {
                               Tfilelist& f = windows->filelist;
                               SendMessageA(gobu.Handle, WM_CHAR, 'q', 0);
                               keysIgnored = IsWindow(gobu.Handle);
                               f.clearbuttonClick();
                               f.grouplaunchbox.SetChecked(true);
                               gobu.SetPosition(200, 100);
                               c.close(f);
                           }}});
        SetActiveWindow(gobu.Handle);
        gobu.Launch1Click();
        EXPECT_TRUE(steps.Done());
        EXPECT_TRUE(keysIgnored);
        EXPECT_EQ(GetActiveWindow(), gobu.Handle);
        // Once it has closed, quick keys are answered again.
        const bool showRunning = gobu.durationtimer.Enabled();
        SendMessageA(gobu.Handle, WM_CHAR, ' ', 0);
        EXPECT_NE(gobu.durationtimer.Enabled(), showRunning);
        EXPECT_FALSE(windows->filelist.Visible());
        const std::vector<std::string> saved = {"c:\\docs\\a.txt", "http://X.com/Y", "c:\\docs\\b.txt"};
        EXPECT_EQ(windows->filelist.list.Rows(), c.editsKept ? std::vector<std::string>{} : saved);
        EXPECT_EQ(windows->filelist.grouplaunchbox.Checked(), c.editsKept);
        EXPECT_EQ(windows->rtfiles.xbox.Rows().size(), c.editsKept ? 0u : 3u) << "the run-time list follows";
        EXPECT_EQ(gobu.Left(), 200);
        const std::string file = ReadFileText(dir + "g.gobu");
        EXPECT_EQ(file.find("file c:\\docs\\b.txt\r\n") == std::string::npos, c.editsSaved);
        EXPECT_EQ(file.find("group launch\r\n") != std::string::npos, c.editsSaved);
    }
}

TEST_F(Links, QuickKeyFOpensTheDialogOnlyWhenNoDialogIsBusy) {
    auto windows = StartGobu(dir + "g.exe");
    Tmain& gobu = windows->main;
    int shown = 0;
    // F typed while the help window shows, then once it has closed.
    ModalSteps steps({{[] { return help->Visible(); },
                       [&] {
                           SendMessageA(gobu.Handle, WM_CHAR, 'f', 0);
                           Pump(100);
                           help->Close();
                       }},
                      {ShowsFileList, [&] {
                           shown++;
                           windows->filelist.cancelbutton.Click();
                       }}});
    SendMessageA(gobu.Handle, WM_CHAR, 'h', 0);
    EXPECT_EQ(shown, 0);
    SendMessageA(gobu.Handle, WM_CHAR, 'f', 0);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(steps.Done());
}

TEST_F(Links, AskForTextReturnsWhatTheBoxHoldsAsTheInputBoxCloses) {
    auto windows = StartGobu(dir + "g.exe");
    SetClipboardText("example.org/x");
    struct Case {
        const char* how;
        std::function<void(Tquest&)> answer;
        const char* text;
    } cases[] = {
        {"OK", [](Tquest& q) { q.box.SetText("typed"), q.okbutton.Click(); }, "typed"},
        {"OK untouched", [](Tquest& q) { q.okbutton.Click(); }, "http://"},
        {"Cancel", [](Tquest& q) { q.box.SetText("typed"), q.Cancelbutton.Click(); }, ""},
        {"Esc",
         [](Tquest& q) { q.box.SetText("typed"), PostMessageA(q.box.Handle, WM_KEYDOWN, VK_ESCAPE, 0); }, ""},
        {"close box",
         [](Tquest& q) { q.box.SetText("typed"), PostMessageA(q.Handle, WM_SYSCOMMAND, SC_CLOSE, 0); },
         "typed"},
        {"Enter",
         [](Tquest& q) { q.box.SetText("typed"), PostMessageA(q.box.Handle, WM_KEYDOWN, VK_RETURN, 0); },
         "typed"},
        {"Paste at the caret",
         [](Tquest& q) {
             SendMessageA(q.box.Handle, EM_SETSEL, 7, 7);
             q.pastebuttonClick();
             q.okbutton.Click();
         },
         "http://example.org/x"},
        {"Paste over the selection",
         [](Tquest& q) {
             q.pastebuttonClick();
             q.okbutton.Click();
         },
         "example.org/x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        SetActiveWindow(windows->main.Handle);
        HWND shown = nullptr, owner = nullptr;
        std::string caption, prompt;
        ModalSteps steps({{[] { return VisibleForm<Tquest>("Tquest") != nullptr; },
                           [&] {
                               Tquest& q = *VisibleForm<Tquest>("Tquest");
                               shown = q.Handle;
                               owner = GetWindow(q.Handle, GW_OWNER);
                               caption = q.Caption();
                               prompt = q.mainlabel.Text();
                               c.answer(q);
                           }}});
        EXPECT_EQ(AskForText("Enter a web page", "Web Page", "http://"), c.text);
        EXPECT_TRUE(steps.Done());
        EXPECT_EQ(owner, windows->main.Handle);
        EXPECT_EQ(caption, "Web Page");
        EXPECT_EQ(prompt, "Enter a web page");
        EXPECT_FALSE(IsWindow(shown)) << "each question has its own input box";
        EXPECT_EQ(GetActiveWindow(), windows->main.Handle);
    }
}

// A dialog opened by a key typed in the run-time list gives the keys back to the list
// however it closes, not to whichever window the system would pick.
TEST_F(Links, ADialogOpenedFromTheRunTimeListMakesTheListActiveAgain) {
    auto windows = StartGobu(dir + "g.exe");
    windows->filelist.list.SetRows({"c:\\a.txt", "c:\\b.txt"});
    windows->main.LaunchOnClick();
    ASSERT_TRUE(windows->rtfiles.Visible());
    const std::function<void(Tfilelist&)> closings[] = {
        [](Tfilelist& f) { f.okbutton.Click(); },
        [](Tfilelist& f) { PostMessageA(f.list.Handle, WM_KEYDOWN, VK_ESCAPE, 0); },
        [](Tfilelist& f) { PostMessageA(f.Handle, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (const auto& close : closings) {
        SetActiveWindow(windows->rtfiles.Handle);
        ModalSteps steps({{ShowsFileList, [&] { close(windows->filelist); }}});
        PostMessageA(windows->rtfiles.xbox.Handle, WM_CHAR, 'f', 0);
        EXPECT_TRUE(PumpUntil([&] { return steps.Done() && !windows->filelist.Visible(); }));
        EXPECT_EQ(GetActiveWindow(), windows->rtfiles.Handle);
    }
}
