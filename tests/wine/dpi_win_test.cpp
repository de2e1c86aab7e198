// The program's windows at the screen's DPI, in this process. These tests run at 96 DPI
// with the other Windows-side tests, and once more on screens of 120 and 144 DPI
// (scripts/wine-dpi, which names the DPI in GOBU_DPI). Every expected figure is the
// 96-DPI layout through Windows' own MulDiv.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/startfrm.h"
#include "links/questfrm.h"
#include "wine_support.h"

namespace {

int ScreenDpi() {
    const char* dpi = getenv("GOBU_DPI");
    return dpi ? atoi(dpi) : 96;
}

int At(int pixels) { return MulDiv(pixels, ScreenDpi(), 96); }

SIZE ClientSize(HWND window) {
    RECT r = {};
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

SIZE WindowSize(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right - r.left) +
           " x " + std::to_string(r.bottom - r.top);
}

BOOL CALLBACK AddChild(HWND child, LPARAM children) {
    reinterpret_cast<std::vector<HWND>*>(children)->push_back(child);
    return TRUE;
}

class Dpi : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Application.Dpi, ScreenDpi()) << "the screen is not at the DPI of this run";
        RememberFirstStart();
        windows = StartGobu(FreshFolder(testing::UnitTest::GetInstance()->current_test_info()->name()) +
                            "gobu.exe");
    }
    std::unique_ptr<GobuWindows> windows;
};

}  // namespace

TEST(DpiManifest, DeclaresTheProgramAwareOfTheSystemDpi) {
    using Query = BOOL(WINAPI*)(DWORD, HANDLE, PCWSTR, PCWSTR, PWSTR, SIZE_T, SIZE_T*);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryActCtxSettingsW")));
    ASSERT_TRUE(query);
    wchar_t value[16] = L"";
    SIZE_T written = 0;
    ASSERT_TRUE(query(0, nullptr, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware",
                      value, 16, &written));
    EXPECT_EQ(std::wstring(value), L"true");
}

TEST_F(Dpi, EveryWindowAndOneOfItsControlsTakeTheirSizeAtTheScreensDpi) {
    GobuWindows& w = *windows;
    Tquest quest;
    ASSERT_TRUE(quest.Create(w.main.Handle));
    Tstartdlg start;
    ASSERT_TRUE(start.Create(w.main.Handle));
    start.Show();  // takes its picture's size
    const struct {
        const char* what;
        HWND window;
        bool outer;  // the size given is the whole window's, not its client area's
        SIZE at96;
        TControl* control;
        RECT at96control;  // left, top, right, bottom
    } rows[] = {
        {"Select Picture(s)", w.piclist.Handle, false, {413, 256}, &w.piclist.okbutton, {328, 220, 403, 245}},
        {"Link File(s)", w.filelist.Handle, false, {408, 252}, &w.filelist.pagebutton, {322, 130, 397, 155}},
        {"Share", w.share.Handle, false, {413, 255}, &w.share.wantedbox, {247, 16, 409, 201}},
        {"input box", quest.Handle, false, {471, 99}, &quest.box, {16, 32, 457, 53}},
        {"help window", w.help.Handle, true, {417, 424}, nullptr, {}},
        {"run-time list", w.rtfiles.Handle, true, {172, 121}, nullptr, {}},
        {"start dialog", start.Handle, false, {142, 80}, nullptr, {}},
        {"gobu (its built-in picture)", w.main.Handle, false, {155, 113}, nullptr, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const SIZE got = row.outer ? WindowSize(row.window) : ClientSize(row.window);
        EXPECT_EQ(got.cx, At(row.at96.cx));
        EXPECT_EQ(got.cy, At(row.at96.cy));
        if (!row.control) continue;
        const RECT& r = row.at96control;
        const RECT expected = {At(r.left), At(r.top), At(r.left) + At(r.right - r.left),
                               At(r.top) + At(r.bottom - r.top)};
        const RECT bounds = row.control->Bounds();
        EXPECT_TRUE(EqualRect(&bounds, &expected)) << Describe(bounds) << " for " << Describe(expected);
    }

    // The controls that follow the window's own size: the help window's OK button and
    // text box, the run-time list's list, the start dialog's picture.
    const SIZE help = ClientSize(w.help.Handle);
    const RECT ok = w.help.OKbutton.Bounds(), box = w.help.box.Bounds();
    const RECT okExpected = {(help.cx - At(75)) / 2, help.cy - At(25) - At(8),
                             (help.cx - At(75)) / 2 + At(75), help.cy - At(8)};
    const RECT boxExpected = {At(8), At(8), help.cx - At(8), okExpected.top - At(8)};
    EXPECT_TRUE(EqualRect(&ok, &okExpected)) << Describe(ok);
    EXPECT_TRUE(EqualRect(&box, &boxExpected)) << Describe(box);
    const RECT list = w.rtfiles.xbox.Bounds();
    const SIZE listClient = ClientSize(w.rtfiles.Handle);
    EXPECT_EQ(list.right - list.left, listClient.cx);
    EXPECT_EQ(list.bottom - list.top, listClient.cy);
    EXPECT_EQ(start.image.Width(), At(142));
    EXPECT_EQ(start.image.Height(), At(80));
    start.Hide();
}

TEST_F(Dpi, TheShareNoteEndsFourPixelsAtTheScreensDpiFromTheEdge) {
    windows->piclist.list.SetRows({"c:\\a.bmp"});
    windows->share.Show();
    const RECT note = windows->share.includelabel.Bounds();
    EXPECT_GT(note.right - note.left, At(40)) << "the note is fitted to its text";
    EXPECT_EQ(note.right, ClientSize(windows->share.Handle).cx - At(4));
    EXPECT_EQ(note.top, At(207));
    windows->share.Hide();
}

TEST_F(Dpi, EveryCaptionFitsItsControlInTheDialogFontAtTheScreensDpi) {
    Tquest quest;
    ASSERT_TRUE(quest.Create(windows->main.Handle));
    for (HWND dialog : {windows->piclist.Handle, windows->filelist.Handle, windows->share.Handle,
                        windows->help.Handle, quest.Handle}) {
        std::vector<HWND> children;
        EnumChildWindows(dialog, AddChild, LPARAM(&children));
        for (HWND child : children) {
            char kind[32] = "", text[128] = "";
            GetClassNameA(child, kind, sizeof kind);
            GetWindowTextA(child, text, sizeof text);
            if ((lstrcmpiA(kind, "Button") != 0 && lstrcmpiA(kind, "Static") != 0) || !text[0]) continue;
            SCOPED_TRACE(text);
            HFONT font = HFONT(SendMessageA(child, WM_GETFONT, 0, 0));
            LOGFONTA face = {};
            ASSERT_TRUE(GetObjectA(font, sizeof face, &face));
            EXPECT_EQ(face.lfHeight, -MulDiv(8, ScreenDpi(), 72)) << "8 points at the screen's DPI";
            HDC dc = GetDC(child);
            HGDIOBJ old = SelectObject(dc, font);
            SIZE extent = {};
            GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
            TEXTMETRICA metrics = {};
            GetTextMetricsA(dc, &metrics);
            SelectObject(dc, old);
            ReleaseDC(child, dc);
            // A check box's text stands beside its box; a button's inside its edges.
            const LONG style = GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
            const int beside = lstrcmpiA(kind, "Static") == 0 ? 0
                               : style == BS_AUTOCHECKBOX     ? At(13) + At(4)
                                                              : 2 * GetSystemMetrics(SM_CXEDGE);
            const SIZE size = ClientSize(child);
            EXPECT_LE(extent.cx + beside, size.cx) << "wide enough";
            EXPECT_LE(metrics.tmHeight, size.cy) << "high enough";
        }
    }
}

TEST_F(Dpi, TheHandCursorIsDrawnAtTheScreensDpiWithItsHotspotOnTheFingertip) {
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(Application.CursorFor(crHandPoint), &info));
    BITMAP mask = {};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    // A two-colour cursor keeps both of its masks in one bitmap of twice its height.
    EXPECT_EQ(mask.bmWidth, At(32));
    EXPECT_EQ(mask.bmHeight, 2 * At(32));
    // The fingertip's pixel is the sixth of the top row at 96 DPI; its centre, scaled.
    EXPECT_EQ(int(info.xHotspot), 11 * ScreenDpi() / (2 * 96));
    EXPECT_EQ(info.yHotspot, 0u);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
}
