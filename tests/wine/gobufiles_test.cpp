// New Gobu, Save Gobu As and Auto StartUp, on the program's real windows, files and
// registry in this process.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <algorithm>

#include "app/startfrm.h"
#include "wine_support.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class GobuFiles : public testing::Test {
protected:
    void SetUp() override {
        RememberFirstStart();
        dir = FreshFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        dir[0] = 'C';
    }
    std::string dir;
};

// Answers every message box with the same button.
struct Answering : RecordedCalls {
    explicit Answering(int button) : button(button) {}
    int Message(HWND owner, const std::string& text, const std::string& caption, UINT type) override {
        RecordedCalls::Message(owner, text, caption, type);
        return button;
    }
    int button;
};

// Whether the application was asked to end since the last look.
bool QuitPosted() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(LowerAZ(found.cFileName));
    while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST_F(GobuFiles, NewGobuCopiesOnlyToAFreeNameAndMakesRoomAt40x40) {
    struct Case {
        const char* what;
        std::string chosen;
        POINT at;
        std::string message;  // empty when the new gobu is made
        POINT after;
    } cases[] = {
        {"own name in other letters",
         dir + "GOBU3.EXE",
         {40, 40},
         "Create a gobu with a new name.",
         {40, 40}},
        {"existing file",
         dir + "other.exe",
         {40, 40},
         "Gobu: " + dir + "other.exe already exists.",
         {40, 40}},
        {"made at 40,40", dir + "fresh.exe", {40, 40}, "", {20, 20}},
        {"made elsewhere", dir + "fresh.exe", {100, 50}, "", {100, 50}},
        // The first character is upper-cased, so the drive letter may be typed small.
        {"made, typed in lower case", "c" + dir.substr(1) + "small.exe", {40, 40}, "", {20, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA((dir + "fresh.exe").c_str());
        WriteFile(dir + "gobu3.exe", "this gobu's program");
        WriteFile(dir + "other.exe", "another program");
        auto windows = StartGobu(dir + "gobu3.exe");
        Tmain& gobu = windows->main;
        gobu.SetPosition(c.at.x, c.at.y);
        RecordedCalls calls;
        gobu.MakeNewGobu(c.chosen);
        const std::string made = "C" + c.chosen.substr(1);
        if (c.message.empty()) {
            EXPECT_TRUE(calls.messages.empty());
            EXPECT_EQ(ReadFileText(made), "this gobu's program");
            EXPECT_EQ(calls.opened, std::vector<std::string>{"open " + made});
        } else {
            EXPECT_EQ(calls.messages, std::vector<std::string>{c.message});
            EXPECT_TRUE(calls.opened.empty());
        }
        EXPECT_EQ(ReadFileText(dir + "other.exe"), "another program");
        EXPECT_EQ(gobu.Left(), c.after.x);
        EXPECT_EQ(gobu.Top(), c.after.y);
    }
}

TEST_F(GobuFiles, NewGobuThatCannotBeCopiedSaysWhichFileAndWhy) {
    WriteFile(dir + "gobu.exe", "program");
    auto windows = StartGobu(dir + "gobu.exe");
    RecordedCalls calls;
    const std::string chosen = dir + "no such folder\\new.exe";
    windows->main.MakeNewGobu(chosen);
    ASSERT_EQ(calls.messages.size(), 1u);
    const std::string start = "Gobu: " + chosen + " could not be made. ";
    EXPECT_EQ(calls.messages[0].substr(0, start.size()), start);
    EXPECT_GT(calls.messages[0].size(), start.size()) << "the reason follows";
    EXPECT_TRUE(calls.opened.empty());
}

TEST_F(GobuFiles, SaveGobuAsOntoAnExistingGobuReplacesBothFilesAndEndsThisGobu) {
    struct Case {
        const char* what;
        bool sourceHasSettings;
    } cases[] = {{"with settings", true}, {"without settings", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(dir + "gobu.exe", "source program");
        DeleteFileA((dir + "gobu.gobu").c_str());
        auto windows = StartGobu(dir + "gobu.exe");
        Tmain& gobu = windows->main;
        if (c.sourceHasSettings) WriteFile(dir + "gobu.gobu", "gobu left 300\r\n");
        WriteFile(dir + "holiday.exe", "old program");
        WriteFile(dir + "holiday.gobu", "old settings");
        Answering calls(IDYES);
        QuitPosted();
        gobu.SaveGobuAs(dir + "holiday.exe");
        EXPECT_EQ(calls.messages,
                  std::vector<std::string>{"File: " + dir + "holiday.exe already exists.  Overwrite?"});
        EXPECT_EQ(ReadFileText(dir + "holiday.exe"), "source program");
        EXPECT_EQ(FileExists(dir + "holiday.gobu"), c.sourceHasSettings);
        if (c.sourceHasSettings) {
            EXPECT_EQ(ReadFileText(dir + "holiday.gobu"), "gobu left 300\r\n");
        }
        EXPECT_EQ(calls.opened, std::vector<std::string>{"open " + dir + "holiday.exe"});
        EXPECT_TRUE(QuitPosted());
        const std::vector<std::string> expected =
            c.sourceHasSettings
                ? std::vector<std::string>{"gobu.exe", "gobu.gobu", "holiday.exe", "holiday.gobu"}
                : std::vector<std::string>{"gobu.exe", "holiday.exe"};
        EXPECT_EQ(FilesIn(dir), expected) << "no file is left behind";
    }
}

TEST_F(GobuFiles, SaveGobuAsAnsweredNoOrGivenItsOwnNameChangesNothing) {
    WriteFile(dir + "gobu.exe", "source program");
    WriteFile(dir + "gobu.gobu", "");
    WriteFile(dir + "holiday.exe", "old program");
    auto windows = StartGobu(dir + "gobu.exe");
    Answering calls(IDNO);
    QuitPosted();
    windows->main.SaveGobuAs(dir + "holiday.exe");
    windows->main.SaveGobuAs(dir + "GOBU.EXE");
    EXPECT_EQ(ReadFileText(dir + "holiday.exe"), "old program");
    EXPECT_FALSE(FileExists(dir + "holiday.gobu"));
    EXPECT_EQ(calls.messages.size(), 2u);
    EXPECT_EQ(calls.messages.back(), "Create a gobu with a new name.");
    EXPECT_TRUE(calls.opened.empty());
    EXPECT_FALSE(QuitPosted());
}

// Another program holds one of the target's files open without sharing: nothing of the
// target may change, and this gobu goes on.
TEST_F(GobuFiles, SaveGobuAsThatCannotReplaceTheTargetLeavesItWholeAndKeepsRunning) {
    for (const char* held : {"holiday.exe", "holiday.gobu"}) {
        SCOPED_TRACE(held);
        WriteFile(dir + "gobu.exe", "source program");
        WriteFile(dir + "gobu.gobu", "gobu left 300\r\n");
        WriteFile(dir + "holiday.exe", "old program");
        WriteFile(dir + "holiday.gobu", "old settings");
        auto windows = StartGobu(dir + "gobu.exe");
        Answering calls(IDYES);
        QuitPosted();
        HANDLE file = CreateFileA((dir + held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        windows->main.SaveGobuAs(dir + "holiday.exe");
        CloseHandle(file);
        EXPECT_EQ(ReadFileText(dir + "holiday.exe"), "old program");
        EXPECT_EQ(ReadFileText(dir + "holiday.gobu"), "old settings");
        ASSERT_EQ(calls.messages.size(), 2u);
        const std::string start = "Gobu: " + dir + "holiday.exe could not be saved. ";
        EXPECT_EQ(calls.messages[1].substr(0, start.size()), start);
        EXPECT_GT(calls.messages[1].size(), start.size()) << "the reason follows";
        EXPECT_TRUE(calls.opened.empty());
        EXPECT_FALSE(QuitPosted());
        EXPECT_TRUE(IsWindow(windows->main.Handle));
        EXPECT_EQ(FilesIn(dir),
                  (std::vector<std::string>{"gobu.exe", "gobu.gobu", "holiday.exe", "holiday.gobu"}));
    }
}

namespace {

bool DeleteKeyTree(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        char name[256];
        DWORD size = sizeof name;
        while (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
               DeleteKeyTree(key, name))
            size = sizeof name;
        RegCloseKey(key);
    }
    return RegDeleteKeyA(root, path.c_str()) == ERROR_SUCCESS;
}

// Run keys in place of the machine's and the user's, in a test key of the user's:
// each may be made read-only, as the machine's is for a standard user.
class AutoStart : public GobuFiles {
protected:
    const char* kTestKey = "Software\\GobuTest";
    void SetUp() override {
        GobuFiles::SetUp();
        DeleteKeyTree(HKEY_CURRENT_USER, kTestKey);
    }
    void TearDown() override {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        for (HKEY root : roots_) RegCloseKey(root);
        DeleteKeyTree(HKEY_CURRENT_USER, kTestKey);
    }
    // Replaces root by a key of its own whose Run key holds the values given and is
    // read-only when asked.
    void StandIn(HKEY root, const char* name, bool readOnly, const std::vector<std::string>& values = {}) {
        HKEY stand, run;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kTestKey) + "\\" + name).c_str(), 0,
                                  nullptr, 0, KEY_ALL_ACCESS, nullptr, &stand, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegCreateKeyExA(stand, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &run, nullptr),
                  ERROR_SUCCESS);
        for (const std::string& v : values)
            RegSetValueExA(run, v.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                           DWORD(v.size() + 1));
        if (readOnly) {
            // Everyone may read it, change its permissions and delete it, but not write.
            PSECURITY_DESCRIPTOR sd = nullptr;
            ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;KRWDSD;;;WD)",
                                                                             SDDL_REVISION_1, &sd, nullptr));
            ASSERT_EQ(RegSetKeySecurity(run, DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
            LocalFree(sd);
        }
        RegCloseKey(run);
        roots_.push_back(stand);
        ASSERT_EQ(RegOverridePredefKey(root, stand), ERROR_SUCCESS);
    }
    static bool Holds(HKEY root, const std::string& name) {
        HKEY key;
        if (RegOpenKeyExA(root, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
        bool found = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
        RegCloseKey(key);
        return found;
    }
    std::vector<HKEY> roots_;
};

}  // namespace

TEST_F(AutoStart, AReadOnlyMachineKeyIsReplacedByTheUsersOwnWithTruthfulMessages) {
    const std::string on = "This gobu will automatically appear on the Windows desktop at startup.";
    const std::string off = "This gobu will not appear on the Windows desktop at startup.";
    const std::string failed = "The start-up with Windows could not be changed. Access denied.";
    struct Case {
        const char* what;
        bool machineHolds, userWritable, userHolds, enable;
        std::string message;
        bool machineAfter, userAfter;
    } cases[] = {
        {"on: the user's key", false, true, false, true, on, false, true},
        {"off: from the user's key", false, true, true, false, off, false, false},
        {"on: no key writable", false, false, false, true, failed, false, false},
        {"off: the machine's value cannot go", true, true, true, false, failed, true, false},
        {"off: nothing to remove", false, false, false, false, off, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto windows = StartGobu(dir + "auto.exe");
        Tmain& gobu = windows->main;
        const std::string name = dir + "auto.exe";
        StandIn(HKEY_LOCAL_MACHINE, "machine", true,
                c.machineHolds ? std::vector<std::string>{name} : std::vector<std::string>{});
        StandIn(HKEY_CURRENT_USER, "user", !c.userWritable,
                c.userHolds ? std::vector<std::string>{name} : std::vector<std::string>{});
        EXPECT_EQ(gobu.IsAutoStart(), c.machineHolds || c.userHolds);
        RecordedCalls calls;
        gobu.ChangeAutoStart(c.enable);
        EXPECT_EQ(calls.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(Holds(HKEY_LOCAL_MACHINE, name), c.machineAfter);
        EXPECT_EQ(Holds(HKEY_CURRENT_USER, name), c.userAfter);
        EXPECT_EQ(gobu.IsAutoStart(), c.machineAfter || c.userAfter);
        TearDown();
        roots_.clear();
    }
}

TEST_F(AutoStart, AWritableMachineKeyTakesTheValueAndTheUsersCopyGoes) {
    auto windows = StartGobu(dir + "auto.exe");
    const std::string name = dir + "auto.exe";
    StandIn(HKEY_LOCAL_MACHINE, "machine", false);
    StandIn(HKEY_CURRENT_USER, "user", false, {name});
    RecordedCalls calls;
    windows->main.SetAutoStart(true);
    EXPECT_TRUE(Holds(HKEY_LOCAL_MACHINE, name));
    EXPECT_FALSE(Holds(HKEY_CURRENT_USER, name)) << "Windows would start the gobu twice";
    EXPECT_TRUE(calls.messages.empty()) << "nothing is told when not asked";
}
