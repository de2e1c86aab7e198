// The settings file, listed pictures, launching and start-up with Windows, on the
// program's real windows in this process.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <memory>

#include "app/gobufiles.h"
#include "app/launching.h"
#include "app/startup.h"
#include "app/gobuwindows.h"
#include "app/startfrm.h"
#include "share/sharing.h"
#include "wine_support.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A 24-bit bitmap file of the given size, one colour.
void WriteBmp(const std::string& path, int w, int h) {
    const int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + DWORD(stride * h);
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    std::string bytes(reinterpret_cast<char*>(&fh), sizeof fh);
    bytes.append(reinterpret_cast<char*>(&ih), sizeof ih);
    bytes.append(size_t(stride * h), '\x40');
    WriteFile(path, bytes);
}

bool RunValueExists(const std::string& name, std::string* data = nullptr) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    char buffer[MAX_PATH] = "";
    DWORD size = sizeof buffer;
    bool found = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                                  &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (data) *data = buffer;
    return found;
}

void SetRunValue(const std::string& name) {
    HKEY key;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                   DWORD(name.size() + 1));
    RegCloseKey(key);
}

class Settings : public testing::Test {
protected:
    void SetUp() override {
        RememberFirstStart();
        dir = FreshFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    std::string dir;
};

}  // namespace

TEST_F(Settings, FileIsAppliedAtStartAndWrittenBackByteForByteOnClose) {
    WriteBmp(dir + "pic.bmp", 30, 20);
    const std::string text =
        "gobu left 300\r\ngobu top 200\r\nlist left 500\r\nlist top 400\r\nlist width 250\r\nlist height "
        "180\r\n"
        "picture " +
        dir + "pic.bmp\r\npicture " + dir +
        "other.bmp\r\nfile c:\\docs\\diary.doc\r\n"
        "file http://Example.com/Page\r\ninclude c:\\extra.txt\r\ntransition 5\r\nduration 7\r\n"
        "destination 2\r\ngroup launch\r\nanimation\r\nontop\r\n";
    WriteFile(dir + "holiday.gobu", text);
    auto windows = StartGobu(dir + "holiday.exe");
    Tmain& gobu = windows->main;
    EXPECT_EQ(gobu.Left(), 300);
    EXPECT_EQ(gobu.Top(), 200);
    EXPECT_EQ(gobu.Width(), 30);
    EXPECT_EQ(gobu.Height(), 20);
    EXPECT_EQ(windows->piclist.list.Rows(), (std::vector<std::string>{dir + "pic.bmp", dir + "other.bmp"}));
    EXPECT_EQ(windows->piclist.transitionBox.ItemIndex(), 5);
    EXPECT_EQ(windows->piclist.durationbox.Text(), "7");
    EXPECT_EQ(gobu.durationtimer.Interval(), 7000u);
    EXPECT_TRUE(windows->piclist.anbox.Checked());
    EXPECT_EQ(windows->filelist.list.Rows(),
              (std::vector<std::string>{"c:\\docs\\diary.doc", "http://Example.com/Page"}));
    EXPECT_TRUE(windows->filelist.grouplaunchbox.Checked());
    EXPECT_EQ(windows->share.wantedbox.Rows(), std::vector<std::string>{"c:\\extra.txt"});
    EXPECT_EQ(windows->share.destinationbox.ItemIndex(), 2);
    EXPECT_TRUE(gobu.menustayontop.Checked());
    EXPECT_FALSE(gobu.menutransparent.Checked()) << "a file without the flag line clears Transparent";
    EXPECT_FALSE(gobu.menutransparent.Enabled()) << "two pictures grey Transparent";
    EXPECT_EQ(windows->rtfiles.Left(), 500);
    EXPECT_EQ(windows->rtfiles.Height(), 180);

    DeleteFileA((dir + "holiday.gobu").c_str());
    gobu.Exit1Click();
    EXPECT_EQ(ReadFileText(dir + "holiday.gobu"), text);
}

// In a folder whose path passes 260 bytes: 80 CJK characters, 240 bytes in UTF-8.
TEST_F(Settings, NamesInAnyScriptAreListedShownOpenedAndSavedAsWritten) {
    std::string folder = dir;
    for (int i = 0; i < 80; i++) folder += "\xE7\x8C\xAB";
    ASSERT_TRUE(CreateDirectoryA((folder += "\\").c_str(), nullptr));
    const std::string cat = folder + "\xE7\x8C\xAB.bmp", notes = folder + "\xF0\x9F\x90\xB1 Notes.txt";
    WriteBmp(cat, 64, 48);
    WriteFile(notes, "notes");
    const std::string lines = "picture " + cat + "\r\nfile " + notes + "\r\n";
    WriteFile(folder + "G.gobu", lines);
    auto windows = StartGobu(folder + "G.exe");
    EXPECT_EQ(windows->main.Width(), 64);
    EXPECT_EQ(windows->piclist.list.Rows(), std::vector<std::string>{cat});
    RecordedCalls calls;
    windows->main.FormMouseDown(mbLeft, 5, 5);
    windows->main.FormMouseUp(mbLeft, 5, 5);
    EXPECT_EQ(calls.opened, std::vector<std::string>{"open " + notes});
    windows->main.Exit1Click();
    EXPECT_NE(ReadFileText(folder + "G.gobu").find(lines), std::string::npos);
}

// An older gobu wrote its file in its locale's ANSI code page (Windows-1252 in Wine's).
TEST_F(Settings, AnOlderGobusAnsiFileKeepsItsNamesAndIsSavedInUtf8) {
    WriteFile(dir + "g.gobu", "picture C:\\Caf\xE9 \xC9t\xE9.bmp\r\n");
    auto windows = StartGobu(dir + "g.exe");
    const std::string utf8 = "C:\\Caf\xC3\xA9 \xC3\x89t\xC3\xA9.bmp";
    EXPECT_EQ(windows->piclist.list.Rows(), std::vector<std::string>{utf8});
    windows->main.Exit1Click();
    EXPECT_NE(ReadFileText(dir + "g.gobu").find("picture " + utf8 + "\r\n"), std::string::npos);
}

TEST(NamesOnWindows, CompareInAnyLetterCaseOfEveryScript) {
    EXPECT_TRUE(HoldsPath({"x", "Z:\\\xC3\x89t\xC3\xA9.jpg"}, "z:\\\xC3\xA9T\xC3\x89.JPG"));  // Été, éTÉ
    EXPECT_TRUE(
        HaveSameNames({"C:\\\xD0\x9A\xD0\xBE\xD1\x82.gif", "D:\\\xD0\xBA\xD0\x9E\xD0\xA2.GIF"}));  // Кот
    EXPECT_FALSE(HoldsPath({"\xE7\x8C\xAB.jpg"}, "\xE7\x8A\xAC.jpg"));                             // cat, dog
    EXPECT_FALSE(SameIgnoringCase("ma\xC3\x9Fstab", "MASSSTAB"));  // ordinal: no expansion
    // One running gobu whatever the spelling of its path.
    EXPECT_EQ(ProcessNameOf("c:\\\xC3\x89t\xC3\xA9\\g.exe"), ProcessNameOf("C:\\\xC3\xA9T\xC3\x89\\G.EXE"));
}

// A package from a larger screen: positions that would leave the windows out of sight
// bring them just inside the work area.
TEST_F(Settings, PositionsOffTheScreenBringTheWindowsInside) {
    WriteFile(dir + "g.gobu",
              "gobu left 9000\r\ngobu top -3000\r\nlist left -8000\r\nlist top 9000\r\nlist width 250\r\n"
              "list height 180\r\n");
    auto windows = StartGobu(dir + "g.exe");
    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_LE(windows->main.Left() + 32, work.right);
    EXPECT_GE(windows->main.Left(), work.left);
    EXPECT_EQ(windows->main.Top(), work.top);
    EXPECT_EQ(windows->rtfiles.Left(), work.left);
    EXPECT_EQ(windows->rtfiles.Top(), work.bottom - 180);
    EXPECT_EQ(windows->rtfiles.Width(), 250);
}

TEST_F(Settings, ReloadWithoutPositionsLeavesTheWindowsWhereTheyAre) {
    WriteFile(dir + "g.gobu", "gobu left 300\r\ngobu top 200\r\nduration 9\r\n");
    auto windows = StartGobu(dir + "g.exe");
    Tmain& gobu = windows->main;
    gobu.SetPosition(123, 77);
    gobu.LoadSettings(false);
    EXPECT_EQ(gobu.Left(), 123);
    EXPECT_EQ(gobu.Top(), 77);
    EXPECT_EQ(gobu.durationtimer.Interval(), 9000u);
    // An empty file clears the lists but leaves the slide interval.
    gobu.durationtimer.SetInterval(4000);
    WriteFile(dir + "g.gobu", "");
    gobu.LoadSettings(true);
    EXPECT_EQ(gobu.durationtimer.Interval(), 4000u);
}

TEST_F(Settings, AFailedSaveLeavesThePreviousFileAndNoStrayFile) {
    const std::string before = "gobu left 300\r\ngobu top 200\r\n";
    WriteFile(dir + "g.gobu", before);
    auto windows = StartGobu(dir + "g.exe");
    Tmain& gobu = windows->main;
    gobu.SetPosition(10, 10);
    // Another program holds the file open without sharing: it cannot be replaced.
    HANDLE held = CreateFileA((dir + "g.gobu").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RecordedCalls calls;
    EXPECT_FALSE(gobu.SaveSettings());
    CloseHandle(held);
    EXPECT_EQ(calls.messages.size(), 1u);
    EXPECT_EQ(ReadFileText(dir + "g.gobu"), before);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "left behind: " << found.cFileName;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);

    EXPECT_TRUE(gobu.SaveSettings());
    EXPECT_EQ(ReadFileText(dir + "g.gobu").find("gobu left 10\r\ngobu top 10\r\n"), 0u);
    EXPECT_EQ(calls.messages.size(), 1u) << "a save that succeeds says nothing";
}

// A gobu in a folder where its file cannot be written keeps running with its settings
// in memory, and every save that fails says so once, naming the file and the reason.
TEST_F(Settings, ASaveIntoAReadOnlyFileSaysSoOnceNamingTheFile) {
    const std::string file = dir + "g.gobu", before = "gobu left 300\r\ngobu top 200\r\n";
    WriteFile(file, before);
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    auto windows = StartGobu(dir + "g.exe");
    Tmain& gobu = windows->main;
    RecordedCalls calls;
    EXPECT_FALSE(gobu.SaveSettings());
    EXPECT_EQ(calls.messages, std::vector<std::string>{"Gobu: " + file + " could not be saved. " +
                                                       SystemErrorText(ERROR_ACCESS_DENIED)});
    // A command that saves: the check mark stays as the user set it.
    gobu.menustayontopClick();
    EXPECT_TRUE(gobu.menustayontop.Checked());
    EXPECT_EQ(calls.messages.size(), 2u);
    EXPECT_EQ(ReadFileText(file), before);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Settings, TogglingTransparentOrStayOnTopWritesTheFileAtOnce) {
    auto windows = StartGobu(dir + "g.exe");
    Tmain& gobu = windows->main;
    ASSERT_FALSE(FileExists(dir + "g.gobu"));
    gobu.menutransparentClick();
    EXPECT_EQ(ReadFileText(dir + "g.gobu").find("transparent"), std::string::npos);
    gobu.menustayontopClick();
    std::string text = ReadFileText(dir + "g.gobu");
    EXPECT_EQ(text.substr(text.size() - 7), "ontop\r\n");
}

TEST_F(Settings, ListedBmpShowsAtItsSizeAndAMovedOneIsFoundBesideTheExecutable) {
    WriteBmp(dir + "moved.BMP", 64, 48);
    WriteFile(dir + "g.gobu", "picture d:\\gone\\moved.bmp\r\n");
    auto windows = StartGobu(dir + "g.exe");
    EXPECT_EQ(windows->main.Width(), 64);
    EXPECT_EQ(windows->main.Height(), 48);
    EXPECT_EQ(windows->piclist.list.Rows(), std::vector<std::string>{dir + "moved.bmp"});
}

TEST_F(Settings, PicturesThatDoNotLoadShowTheBuiltInPictureAndStayListed) {
    WriteBmp(dir + "good.bmp", 40, 30);
    WriteFile(dir + "damaged.bmp", "BM this is not a bitmap");
    WriteBmp(dir + "wrongname.tif", 40, 30);
    const std::vector<std::string> list = {dir + "damaged.bmp", dir + "missing.bmp", dir + "wrongname.tif",
                                           dir + "good.bmp"};
    auto windows = StartGobu(dir + "g.exe");
    Tmain& gobu = windows->main;
    windows->piclist.list.SetRows(list);
    for (int index : {0, 1, 2, 4, -1}) {
        gobu.ShowPicture(3, false);
        ASSERT_EQ(gobu.Width(), 40);
        gobu.ShowPicture(index, false);
        EXPECT_EQ(gobu.Width(), 155) << "picture " << index;
        EXPECT_EQ(gobu.Height(), 113) << "picture " << index;
    }
    EXPECT_EQ(windows->piclist.list.Rows(), list);
}

TEST_F(Settings, NewGobuWithoutSettingsLosesItsAutoStartUnlessNamedGobuExe) {
    SetRunValue(dir + "holiday.exe");
    SetRunValue(dir + "gobu.exe");
    {
        auto windows = StartGobu(dir + "holiday.exe");
        EXPECT_FALSE(RunValueExists(dir + "holiday.exe"));
    }
    {
        auto windows = StartGobu(dir + "GOBU.EXE");
        EXPECT_TRUE(RunValueExists(dir + "gobu.exe"));
    }
    // With a settings file the entry stays.
    SetRunValue(dir + "kept.exe");
    WriteFile(dir + "kept.gobu", "");
    auto windows = StartGobu(dir + "kept.exe");
    EXPECT_TRUE(RunValueExists(dir + "kept.exe"));
}

TEST_F(Settings, AutoStartUpAddsThenRemovesItsRunValueWithItsMessages) {
    auto windows = StartGobu(dir + "auto.exe");
    Tmain& gobu = windows->main;
    RecordedCalls calls;
    gobu.Edit1Click();
    ASSERT_FALSE(gobu.Autostart1.Checked());
    gobu.Autostart1Click();
    std::string data;
    EXPECT_TRUE(RunValueExists(dir + "auto.exe", &data));
    EXPECT_EQ(data, dir + "auto.exe");
    EXPECT_TRUE(gobu.IsAutoStart());
    EXPECT_FALSE(gobu.Autostart1.Checked()) << "the mark is read back when Configure opens";
    gobu.Edit1Click();
    EXPECT_TRUE(gobu.Autostart1.Checked());
    gobu.Autostart1Click();
    EXPECT_FALSE(RunValueExists(dir + "auto.exe"));
    EXPECT_EQ(calls.messages, (std::vector<std::string>{
                                  "This gobu will automatically appear on the Windows desktop at startup.",
                                  "This gobu will not appear on the Windows desktop at startup."}));
}

TEST_F(Settings, AutoStartChangeKeepsStayOnTop) {
    auto windows = StartGobu(dir + "auto.exe");
    Tmain& gobu = windows->main;
    RecordedCalls calls;
    gobu.menustayontopClick();
    gobu.ChangeAutoStart(true);
    EXPECT_TRUE(gobu.menustayontop.Checked());
    EXPECT_TRUE(GetWindowLongPtrA(gobu.Handle, GWL_EXSTYLE) & WS_EX_TOPMOST);
    gobu.SetAutoStart(false);
    EXPECT_EQ(calls.messages.size(), 1u);
}

class Launching : public Settings {};

TEST_F(Launching, AClickOpensTheOneEntryFromBesideTheExecutableWhenItMoved) {
    WriteFile(dir + "report.doc", "x");
    WriteFile(dir + "g.gobu", "file e:\\old\\report.doc\r\n");
    auto windows = StartGobu(dir + "g.exe");
    Tmain& gobu = windows->main;
    RecordedCalls calls;
    gobu.FormMouseDown(mbLeft, 5, 5);
    gobu.FormMouseUp(mbLeft, 5, 5);
    EXPECT_EQ(calls.opened, std::vector<std::string>{"open " + dir + "report.doc"});
    // A release that ends a drag launches nothing.
    gobu.FormMouseDown(mbLeft, 5, 5);
    gobu.FormMouseMove(true, 9, 9);
    gobu.FormMouseUp(mbLeft, 9, 9);
    EXPECT_EQ(calls.opened.size(), 1u);
}

TEST_F(Launching, GroupLaunchOpensEveryEntryInOrderAndNoEntryOpensNothing) {
    auto windows = StartGobu(dir + "g.exe");
    Tmain& gobu = windows->main;
    RecordedCalls calls;
    windows->filelist.grouplaunchbox.SetChecked(true);
    gobu.LaunchOnClick();
    EXPECT_TRUE(calls.opened.empty());
    windows->filelist.list.SetRows({"c:\\a.exe", "http://X.com/Y", "c:\\b.txt"});
    gobu.LaunchOnClick();
    EXPECT_EQ(calls.opened,
              (std::vector<std::string>{"open c:\\a.exe", "open http://X.com/Y", "open c:\\b.txt"}));
    EXPECT_FALSE(windows->rtfiles.Visible());
}

// What the shell cannot open is told in the system's words, one message for a click:
// the one entry, a row of the run-time list, or all that failed of a Group Launch.
TEST_F(Launching, EntriesTheShellCannotOpenAreToldInOneMessage) {
    const std::string plan = "c:\\plan.xyz", gone = "c:\\gone.txt", fine = "c:\\fine.txt";
    const std::string noProgram = SystemErrorText(ERROR_NO_ASSOCIATION),
                      denied = SystemErrorText(ERROR_ACCESS_DENIED);
    struct Case {
        std::vector<std::string> entries;
        bool groupLaunch;
        std::vector<std::string> told;  // what the one message holds; none without one
    } cases[] = {
        {{plan}, false, {plan, noProgram}},
        {{fine, plan}, false, {plan, noProgram}},  // the second row of the run-time list
        {{plan, fine, gone}, true, {plan, noProgram, gone, denied}},
        {{fine}, true, {}},
    };
    for (const Case& c : cases) {
        auto windows = StartGobu(dir + "g.exe");
        RecordedCalls calls;
        calls.shellRefuses = {{plan, SE_ERR_NOASSOC}, {gone, SE_ERR_ACCESSDENIED}};
        windows->filelist.list.SetRows(c.entries);
        windows->filelist.grouplaunchbox.SetChecked(c.groupLaunch);
        windows->main.LaunchOnClick();
        if (windows->rtfiles.Visible()) windows->main.OpenListedEntry(windows->rtfiles.xbox.SubItem(1));
        EXPECT_EQ(calls.opened.size(), c.groupLaunch ? c.entries.size() : 1u) << "every entry is tried";
        ASSERT_EQ(calls.messages.size(), c.told.empty() ? 0u : 1u);
        for (const std::string& text : c.told)
            EXPECT_NE(calls.messages[0].find(text), std::string::npos) << text;
    }
}

TEST_F(Launching, TwoEntriesShowTheListAtTheGobuCentrePulledInAtTheScreenEdges) {
    auto windows = StartGobu(dir + "g.exe");
    Tmain& gobu = windows->main;
    Trtfiles& list = windows->rtfiles;
    RecordedCalls calls;
    windows->filelist.list.SetRows({"c:\\docs\\readme.txt", "http://Example.com/A", "c:\\folder\\"});
    gobu.LaunchOnClick();
    ASSERT_TRUE(list.Visible());
    EXPECT_TRUE(calls.opened.empty());
    EXPECT_EQ(list.Left(), 40 + 155 / 2);
    EXPECT_EQ(list.Top(), 40 + 113 / 2);
    EXPECT_EQ(list.Width(), 172);
    EXPECT_EQ(list.Height(), 121);
    EXPECT_EQ(list.Caption(), "G");
    EXPECT_EQ(list.xbox.Rows(), (std::vector<std::string>{"Readme.txt", "http://Example.com/A", ""}));
    EXPECT_EQ(list.xbox.SubItem(2), "c:\\folder\\");

    // A placed list keeps its place; one at the mark is placed afresh, pulled in.
    list.SetPosition(11, 12);
    gobu.LaunchOnClick();
    EXPECT_EQ(list.Left(), 11);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    list.SetPosition(Trtfiles::kNotPlaced, Trtfiles::kNotPlaced);
    gobu.SetPosition(sw - 60, sh - 30);
    gobu.LaunchOnClick();
    EXPECT_EQ(list.Left(), sw - 172);
    EXPECT_EQ(list.Top(), sh - 121);
}

// A row longer than its list scrolls to its end: the column is as wide as the row.
TEST_F(Launching, TheListsScrollToTheEndOfTheirLongestRow) {
    const std::string longest =
        "http://www.example.org/an/address/far/too/long/for/the/lists/to/show/whole.html";
    auto windows = StartGobu(dir + "g.exe");
    windows->filelist.list.SetRows({longest, "c:\\b.txt"});
    windows->share.wantedbox.SetRows({"c:\\b.txt", longest});
    windows->main.LaunchOnClick();
    for (const TListView* list : {&windows->rtfiles.xbox, &windows->share.wantedbox}) {
        RECT client;
        GetClientRect(list->Handle, &client);
        const int width = int(SendMessageA(list->Handle, LVM_GETSTRINGWIDTHA, 0, LPARAM(longest.c_str())));
        EXPECT_GT(width, client.right);
        EXPECT_GE(int(SendMessageA(list->Handle, LVM_GETCOLUMNWIDTH, 0, 0)), width);
    }
}

TEST_F(Launching, ListRowsOpenOnALeftClickAndShowTheirWholeEntryOnARightClick) {
    auto windows = StartGobu(dir + "g.exe");
    Trtfiles& list = windows->rtfiles;
    RecordedCalls calls;
    windows->filelist.list.SetRows({"c:\\docs\\readme.txt", "c:\\b\\plan.xls"});
    windows->main.LaunchOnClick();
    RECT row = {LVIR_BOUNDS, 0, 0, 0};
    ASSERT_TRUE(SendMessageA(list.xbox.Handle, LVM_GETITEMRECT, 1, LPARAM(&row)));
    list.xbox.OnMouseUp(mbRight, row.left + 5, row.top + 2);
    list.xbox.OnMouseUp(mbLeft, row.left + 5, row.top + 2);
    list.xbox.OnMouseUp(mbLeft, row.left + 5, row.bottom + 40);  // below the last row
    EXPECT_EQ(calls.messages, std::vector<std::string>{"c:\\b\\plan.xls"});
    EXPECT_EQ(calls.opened, std::vector<std::string>{"open c:\\b\\plan.xls"});
}

TEST_F(Launching, KeysTypedInTheListReachTheGobu) {
    auto windows = StartGobu(dir + "g.exe");
    windows->filelist.list.SetRows({"c:\\a.txt", "c:\\b.txt"});
    windows->main.LaunchOnClick();
    HWND gobu = windows->main.Handle;
    PostMessageA(windows->rtfiles.xbox.Handle, WM_CHAR, 'q', 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(gobu); }, 2000));
}

TEST_F(Launching, SameFileNamesAreReportedOnce) {
    auto windows = StartGobu(dir + "g.exe");
    RecordedCalls calls;
    windows->filelist.list.SetRows({"C:\\a\\report.doc", "c:\\x.txt", "D:\\b\\REPORT.DOC"});
    EXPECT_FALSE(windows->main.CheckLinkedNames());
    windows->filelist.list.SetRows({"C:\\a\\report.doc", "c:\\x.txt"});
    EXPECT_TRUE(windows->main.CheckLinkedNames());
    EXPECT_EQ(calls.messages, std::vector<std::string>{"Two or more files in the list have the same name."});
}
