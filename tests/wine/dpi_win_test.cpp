// The windows at the screen's DPI: run at 96 DPI with the other Windows-side tests, and
// again on screens of 120 and 144 DPI (scripts/wine-dpi names the DPI in GOBU_DPI).
// Every expected figure is the 96-DPI layout through Windows' own MulDiv.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/startfrm.h"
#include "links/questfrm.h"
#include "wine_support.h"

namespace {

int ScreenDpi() { return getenv("GOBU_DPI") ? atoi(getenv("GOBU_DPI")) : 96; }
int At(int pixels) { return MulDiv(pixels, ScreenDpi(), 96); }

RECT ClientRect(HWND window) {
    RECT r = {};
    GetClientRect(window, &r);
    return r;
}

}  // namespace

TEST(DpiManifest, DeclaresTheProgramAwareOfTheSystemDpi) {
    using Query = BOOL(WINAPI*)(DWORD, HANDLE, PCWSTR, PCWSTR, PWSTR, SIZE_T, SIZE_T*);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryActCtxSettingsW")));
    wchar_t value[16] = L"";
    ASSERT_TRUE(query && query(0, nullptr, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                               L"dpiAware", value, 16, nullptr));
    EXPECT_EQ(std::wstring(value), L"true");
}

TEST(Dpi, EveryWindowAndOneOfItsControlsTakeTheirSizeAtTheScreensDpi) {
    ASSERT_EQ(Application.Dpi, ScreenDpi()) << "the screen is not at the DPI of this run";
    RememberFirstStart();
    auto windows = StartGobu(FreshFolder("dpi") + "gobu.exe");
    GobuWindows& w = *windows;
    Tquest quest;
    Tstartdlg start;
    ASSERT_TRUE(quest.Create(w.main.Handle) && start.Create(w.main.Handle));
    start.Show();  // takes its picture's size
    w.piclist.list.SetRows({"c:\\a.bmp"});
    w.share.Show();  // fits the note on the pictures to its text
    // Each window's client area (or whole window, for the two given so) and one control,
    // as left, top, width, height.
    const struct {
        HWND window;
        bool whole;
        SIZE size;
        TControl* control;
        int place[4];
    } rows[] = {
        {w.piclist.Handle, false, {413, 256}, &w.piclist.okbutton, {328, 220, 75, 25}},
        {w.filelist.Handle, false, {408, 252}, &w.filelist.pagebutton, {322, 130, 75, 25}},
        {w.share.Handle, false, {413, 255}, &w.share.wantedbox, {247, 16, 162, 185}},
        {quest.Handle, false, {471, 99}, &quest.box, {16, 32, 441, 21}},
        {w.help.Handle, true, {417, 424}, nullptr, {}},
        {w.rtfiles.Handle, true, {172, 121}, nullptr, {}},
        {start.Handle, false, {142, 80}, nullptr, {}},
        {w.main.Handle, false, {155, 113}, nullptr, {}},  // the gobu, at its built-in picture's size
    };
    for (const auto& row : rows) {
        char caption[64] = "";
        GetWindowTextA(row.window, caption, sizeof caption);
        SCOPED_TRACE(caption);
        RECT r = ClientRect(row.window);
        if (row.whole) GetWindowRect(row.window, &r);
        EXPECT_EQ(r.right - r.left, At(row.size.cx));
        EXPECT_EQ(r.bottom - r.top, At(row.size.cy));
        if (!row.control) continue;
        const RECT got = row.control->Bounds();
        EXPECT_EQ(got.left, At(row.place[0]));
        EXPECT_EQ(got.top, At(row.place[1]));
        EXPECT_EQ(got.right - got.left, At(row.place[2]));
        EXPECT_EQ(got.bottom - got.top, At(row.place[3]));
    }
    // Those placed by their window: the help window's OK button 8 pixels above its bottom
    // edge, centred, and the share note 4 pixels from the right edge.
    const RECT help = ClientRect(w.help.Handle), ok = w.help.OKbutton.Bounds();
    EXPECT_EQ(ok.left, (help.right - At(75)) / 2);
    EXPECT_EQ(ok.bottom, help.bottom - At(8));
    EXPECT_EQ(w.share.includelabel.Bounds().right, ClientRect(w.share.Handle).right - At(4));
    w.share.Hide();
}

TEST(Dpi, TheHandCursorIsDrawnAtTheScreensDpiWithItsHotspotOnTheFingertip) {
    auto windows = StartGobu(FreshFolder("cursor") + "gobu.exe");
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(Application.CursorFor(crHandPoint), &info));
    BITMAP mask = {};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    // A two-colour cursor keeps both of its masks in one bitmap of twice its height.
    EXPECT_EQ(mask.bmWidth, At(32));
    EXPECT_EQ(mask.bmHeight, 2 * At(32));
    // The centre of the fingertip's pixel, the sixth of the top row at 96 DPI.
    EXPECT_EQ(int(info.xHotspot), 11 * ScreenDpi() / (2 * 96));
    EXPECT_EQ(info.yHotspot, 0u);
    DeleteObject(info.hbmMask);
}
