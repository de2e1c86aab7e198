// The Share dialog, the package it builds and the floppy copy, on the program's real
// windows in this process.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <random>

#include "app/gobufiles.h"
#include "app/startfrm.h"
#include "central_directory.h"
#include "modal_steps.h"
#include "share/mailtext.h"
#include "share/mailto.h"
#include "share/sharing.h"
#include "share/zip/sfxformat.h"
#include "wine_support.h"

namespace {

class Share : public testing::Test {
protected:
    void SetUp() override {
        RememberFirstStart();
        dir = LowerAZ(FreshFolder(testing::UnitTest::GetInstance()->current_test_info()->name()));
        exe = dir + "holiday.exe";
        // Packing needs only the executable's tail, where the stub lies.
        std::string bytes(StubSize + 4000, '\0');
        for (size_t i = 0; i < bytes.size(); i++) bytes[i] = char(i * 7 / 3);
        WriteFile(exe, bytes);
        package = dir + "holiday_zip.exe";
    }

    std::vector<std::string> PackedNames() const {
        std::vector<std::string> names;
        for (const CentralEntry& e : CentralDirectory(ReadFileText(package))) names.push_back(e.name);
        return names;
    }

    std::vector<std::string> FilesInFolder() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do
            if (found.cFileName[0] != '.') names.push_back(LowerAZ(found.cFileName));
        while (FindNextFileA(search, &found));
        FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string dir, exe, package;
};

bool ShowsShare() { return VisibleForm<Tshare>("Tshare") != nullptr; }

// Answers the floppy question with the buttons given, in turn, and every other box with OK.
struct FloppyAnswers : RecordedCalls {
    std::vector<int> buttons;
    int Message(HWND owner, const std::string& text, const std::string& caption, UINT type) override {
        RecordedCalls::Message(owner, text, caption, type);
        if (caption != "Copy to Floppy" || buttons.empty()) return IDOK;
        int button = buttons.front();
        buttons.erase(buttons.begin());
        return button;
    }
};

}  // namespace

// The first share extracts the stub and packs the gobu without a settings file when
// none has been written; a second one reuses the stub file as it lies and replaces
// the package, now with the settings file.
TEST_F(Share, PacksTheGobuBehindItsStubAndReusesTheStubFile) {
    auto windows = StartGobu(exe);
    std::string reason;
    ASSERT_EQ(windows->share.BuildPackage(reason), package);
    EXPECT_EQ(PackedNames(), (std::vector<std::string>{"holiday.exe", "sfxstub32.bin"}));
    const std::string bytes = ReadFileText(package);
    EXPECT_EQ(bytes.substr(0, StubSize), ReadFileText(exe).substr(4000));
    const std::string block("SFX\x08\x0B\x08\x0D\0\0\0Holiday.exec:\\gobus><holiday.exe\x2C\0", 44);
    EXPECT_EQ(bytes.substr(StubSize, block.size()), block);

    std::string changedStub(StubSize, 'S');
    WriteFile(dir + "sfxstub32.bin", changedStub);
    windows->main.SaveSettings();
    ASSERT_EQ(windows->share.BuildPackage(reason), package);
    EXPECT_EQ(PackedNames(), (std::vector<std::string>{"holiday.exe", "sfxstub32.bin", "holiday.gobu"}));
    EXPECT_EQ(ReadFileText(package).substr(0, StubSize), changedStub);
}

// Pictures, then included files: web addresses and folders stay out, a file missing at
// its listed place is taken from the gobu's folder, and of two files with one name the
// first travels.
TEST_F(Share, PacksPicturesThenIncludedFilesUnderTheirNamesAlone) {
    CreateDirectoryA((dir + "a").c_str(), nullptr);
    CreateDirectoryA((dir + "b").c_str(), nullptr);
    WriteFile(dir + "a\\beach.bmp", "the picture");
    WriteFile(dir + "b\\beach.bmp", "an included file");
    WriteFile(dir + "notes.txt", "notes beside the gobu");
    auto windows = StartGobu(exe);
    windows->piclist.list.SetRows({dir + "a\\beach.bmp"});
    windows->share.wantedbox.SetRows(
        {"http://example.com/notes.txt", "c:\\moved\\away\\notes.txt", dir + "a", dir + "b\\beach.bmp"});
    std::string reason;
    ASSERT_EQ(windows->share.BuildPackage(reason), package);
    EXPECT_EQ(PackedNames(), (std::vector<std::string>{"holiday.exe", "sfxstub32.bin", "beach.bmp", "notes.txt"}));
}

// A package that cannot be written leaves nothing behind but what was there, and OK
// tells the user why, in the archive writer's words.
TEST_F(Share, AFailedPackShowsItsMessageAndLeavesNoFile) {
    struct Case {
        const char* what;
        std::function<void(const std::string& dir)> spoil;
        std::string reason;
    } cases[] = {
        {"a folder holds the package's name",
         [](const std::string& d) { CreateDirectoryA((d + "holiday_zip.exe").c_str(), nullptr); },
         "The archive " + package + " already exists."},
        {"the executable is too short to carry a stub",
         [](const std::string& d) { WriteFile(d + "holiday.exe", "MZ"); },
         "Cannot read the extractor stub " + dir + "sfxstub32.bin."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.spoil(dir);
        const std::vector<std::string> before = FilesInFolder();
        RecordedCalls calls;
        auto windows = StartGobu(exe);
        windows->share.destinationbox.SetItemIndex(1);
        ModalSteps steps({{ShowsShare, [&] { windows->share.okbutton.Click(); }}});
        windows->share.ShowModal();
        EXPECT_EQ(calls.messages, std::vector<std::string>{PackingFailedMessage(c.reason)});
        std::vector<std::string> after = FilesInFolder();
        after.erase(std::remove(after.begin(), after.end(), "sfxstub32.bin"), after.end());
        EXPECT_EQ(after, before);
        windows.reset();
        RemoveDirectoryA((dir + "holiday_zip.exe").c_str());
    }
}

// The lists of the dialog: only files are offered, Add takes the chosen rows last to
// first and never twice in any letter case, and OK refuses two files of one name,
// keeping the dialog open.
TEST_F(Share, TheListsAddEachFileOnceAndOkRefusesTwoOfOneName) {
    RecordedCalls calls;
    auto windows = StartGobu(exe);
    Tshare& share = windows->share;
    windows->filelist.list.SetRows({"C:\\a\\notes.txt", "http://example.com", "c:\\b\\plan.txt",
                                    "HTTPS://example.com/plan.txt", "mailto:me@example.com",
                                    "c:\\c\\map.txt"});
    windows->piclist.list.SetRows({"c:\\beach.bmp"});
    std::vector<std::string> offered, afterAdd, afterSecondAdd, afterCase;
    std::string note;
    RECT noteBounds = {};
    bool openAfterRefusal = false;
    ModalSteps steps({{ShowsShare, [&] {
                           offered = share.availablebox.Rows();
                           note = share.includelabel.Text();
                           noteBounds = share.includelabel.Bounds();
                           share.availablebox.SetSelected(0, true);
                           share.availablebox.SetSelected(2, true);
                           share.addbutton.Click();
                           afterAdd = share.wantedbox.Rows();
                           share.addbutton.Click();
                           afterSecondAdd = share.wantedbox.Rows();
                           Tshare::AddUnique(share.wantedbox, "c:\\A\\NOTES.TXT");
                           afterCase = share.wantedbox.Rows();
                           Tshare::AddUnique(share.wantedbox, "d:\\b\\notes.txt");
                           share.okbutton.Click();
                       }},
                      {[&] { return !calls.messages.empty(); },
                       [&] {
                           openAfterRefusal = ShowsShare();
                           share.cancelbutton.Click();
                       }}});
    share.ShowModal();
    EXPECT_EQ(offered, (std::vector<std::string>{"C:\\a\\notes.txt", "c:\\b\\plan.txt", "c:\\c\\map.txt"}));
    EXPECT_EQ(note, "Picture is already included.");
    EXPECT_EQ(noteBounds.right, 413 - 4);
    EXPECT_EQ(afterAdd, (std::vector<std::string>{"c:\\c\\map.txt", "C:\\a\\notes.txt"}));
    EXPECT_EQ(afterSecondAdd, afterAdd);
    EXPECT_EQ(afterCase, afterAdd);
    EXPECT_EQ(calls.messages, std::vector<std::string>{"Two or more files in the list have the same name."});
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_FALSE(FileExists(package));
}

// Where OK delivers the package: Hard Disk names it, a typed destination that is no
// item leaves it silently; Floppy Disk says so where there is no drive A:, refuses a
// package too large for a disk, and asks for a floppy after each failed copy until the
// user cancels, when it says where the package stays.
TEST_F(Share, EachDestinationDeliversThePackageItsOwnWay) {
    // Noise, which no encoder makes smaller than a floppy.
    std::mt19937 noise(7);
    std::string big(1500000, '\0');
    for (char& c : big) c = char(noise());
    WriteFile(dir + "big.bin", big);
    struct Case {
        const char* destination;
        bool driveA;  // a drive A: without a disk in it, where every copy fails
        std::vector<std::string> included;
        std::vector<int> floppyButtons;
        std::vector<std::string> messages;
    } cases[] = {
        {"Hard Disk", false, {}, {}, {PackedMessage(package)}},
        {"Nowhere", false, {}, {}, {}},
        {"Floppy Disk", false, {}, {}, {NoFloppyDriveMessage(package)}},
        {"Floppy Disk", true, {dir + "big.bin"}, {}, {TooLargeForFloppyMessage(package)}},
        {"Floppy Disk",
         true,
         {},
         {IDOK, IDCANCEL},
         {kInsertFloppyQuestion, kInsertFloppyQuestion, NotCopiedToFloppyMessage(package)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.destination) + (c.driveA ? " with drive A:" : ""));
        DefineDosDeviceA(DDD_REMOVE_DEFINITION, "a:", nullptr);
        if (c.driveA) {
            ASSERT_TRUE(DefineDosDeviceA(0, "a:", "c:\\no floppy in the drive"));
        }
        ASSERT_EQ((GetLogicalDrives() & 1) != 0, c.driveA);
        FloppyAnswers calls;
        calls.buttons = c.floppyButtons;
        auto windows = StartGobu(exe);
        windows->share.wantedbox.SetRows(c.included);
        windows->share.destinationbox.SetText(c.destination);
        ModalSteps steps({{ShowsShare, [&] { windows->share.okbutton.Click(); }}});
        windows->share.ShowModal();
        EXPECT_EQ(calls.messages, c.messages);
        EXPECT_TRUE(FileExists(package));
        EXPECT_FALSE(ShowsShare());
    }
    DefineDosDeviceA(DDD_REMOVE_DEFINITION, "a:", nullptr);
}

// E-Mail by a "mailto:" address (Wine names a mail client of its own): the address goes
// to the shell, then Explorer shows the package selected, to be attached by hand; where
// no mail program takes the address, one message says where the package is.
TEST_F(Share, AMailtoShareShowsThePackageAndAShellThatRefusesIsTold) {
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, sizeof folder);
    const std::string address = MailtoAddress(ShareMailSubject, ShareMailBody(false, package));
    for (bool refused : {false, true}) {
        RecordedCalls calls;
        if (refused) calls.shellRefuses[address] = SE_ERR_NOASSOC;
        auto windows = StartGobu(exe);
        ComposeShareMail(package);
        EXPECT_EQ(calls.opened, (std::vector<std::string>{"open " + address, "open " + std::string(folder) +
                                                                                 "\\explorer.exe /select,\"" +
                                                                                 package + "\""}));
        ASSERT_EQ(calls.messages.size(), refused ? 1u : 0u);
        for (const std::string& message : calls.messages) EXPECT_NE(message.find(package), std::string::npos);
    }
}

// The Share menu presets the destination and lifts Stay on Top while the dialog shows;
// the key S keeps both; two linked files of one name keep the dialog closed.
TEST_F(Share, MenuAndKeyOpenTheDialogOnlyForLinkedFilesOfDistinctNames) {
    struct Case {
        const char* how;
        std::function<void(Tmain&)> open;
        std::vector<std::string> linked;
        int destination;  // shown in the dialog; -2 when it must not open
        bool topmostMeanwhile;
    } cases[] = {
        {"E-Mail", [](Tmain& m) { m.EMail1Click(); }, {}, 0, false},
        {"Hard Disk", [](Tmain& m) { m.HardDisk1Click(); }, {}, 1, false},
        {"Floppy Disk", [](Tmain& m) { m.FloppyDisk1Click(); }, {}, 2, false},
        {"key S", [](Tmain& m) { char k = 's'; m.FormKeyPress(k); }, {}, 1, true},
        {"same names", [](Tmain& m) { m.HardDisk1Click(); }, {"c:\\a\\x.txt", "c:\\b\\X.TXT"}, -2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        RecordedCalls calls;
        auto windows = StartGobu(exe);
        windows->filelist.list.SetRows(c.linked);
        windows->share.destinationbox.SetItemIndex(1);
        windows->main.menustayontop.SetChecked(true);
        windows->main.ApplyStayOnTop();
        int shown = -2;
        bool topmost = false;
        ModalSteps steps({{ShowsShare, [&] {
                               shown = windows->share.destinationbox.ItemIndex();
                               topmost = (GetWindowLongA(windows->main.Handle, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
                               windows->share.cancelbutton.Click();
                           }}});
        c.open(windows->main);
        EXPECT_EQ(shown, c.destination);
        if (c.destination == -2)
            EXPECT_EQ(calls.messages, std::vector<std::string>{"Two or more files in the list have the same name."});
        else
            EXPECT_EQ(topmost, c.topmostMeanwhile);
        EXPECT_TRUE(GetWindowLongA(windows->main.Handle, GWL_EXSTYLE) & WS_EX_TOPMOST);
    }
}
