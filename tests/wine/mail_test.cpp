// The mail hand-off of a share on this process's real registry and system folder. A
// stand-in for the system's "MAPI32.DLL" records what Simple MAPI is given. Whether
// Simple MAPI is there is decided once per process, so every share runs in a fresh
// process of its own (a death test that ends normally).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "app/gobufiles.h"
#include "app/startfrm.h"
#include "share/mailtext.h"
#include "share/mailto.h"
#include "wine_support.h"

namespace {

std::string ExeFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    return FolderPart(path);
}

std::string SystemMapiPath() {
    char folder[MAX_PATH];
    GetSystemDirectoryA(folder, sizeof folder);
    return std::string(folder) + "\\MAPI32.DLL";
}

// A text value of the registry, remembered when made and put back when gone.
class SavedText {
public:
    SavedText(HKEY root, const char* key, const char* name) : root_(root), key_(key), name_(name) {
        HKEY k;
        if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return;
        char text[512] = "";
        DWORD size = sizeof text - 1;
        if (RegQueryValueExA(k, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) ==
            ERROR_SUCCESS)
            saved_ = text;
        RegCloseKey(k);
    }
    ~SavedText() { Set(saved_); }
    // None removes the value.
    void Set(const std::optional<std::string>& text) const {
        HKEY k;
        ASSERT_EQ(RegCreateKeyExA(root_, key_, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        if (text)
            RegSetValueExA(k, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(text->c_str()),
                           DWORD(text->size() + 1));
        else
            RegDeleteValueA(k, name_);
        RegCloseKey(k);
    }

private:
    HKEY root_;
    const char *key_, *name_;
    std::optional<std::string> saved_;
};

enum class Library { standin, noentry, none };

// The mail configuration of one share: the default client's name and the subsystem's
// "MAPI" value (none: no value), and what lies in the system folder as "MAPI32.DLL".
struct MailSetup {
    std::optional<std::string> client, mapiValue;
    Library library;
};

// Everything a share's test changes, put back when it goes: the two values, the
// system's library, the copies planted beside this program and in the test's folder,
// and Wine's choice between its own library and the file on disk.
class MailConfiguration {
public:
    explicit MailConfiguration(const std::string& dir) : dir_(dir) {
        // Each process keeps its own backup: a fresh process's never replaces this one.
        backup_ = dir_ + "mapi32_" + std::to_string(GetCurrentProcessId()) + ".bak";
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(SystemMapiPath().c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return;
        FindClose(search);
        original_ = FolderPart(SystemMapiPath()) + found.cFileName;  // its own letter case
        safe_ = CopyFileA(original_.c_str(), backup_.c_str(), FALSE);
    }
    ~MailConfiguration() {
        if (safe_) {
            EXPECT_TRUE(CopyFileA(backup_.c_str(), original_.c_str(), FALSE));
        }
        DeleteFileA(backup_.c_str());
        DeleteFileA((ExeFolder() + "MAPI32.DLL").c_str());
        DeleteFileA((dir_ + "MAPI32.DLL").c_str());
    }

    // Arranged in the process that shares, which then works in the test's folder.
    void Arrange(const MailSetup& setup) const {
        ASSERT_TRUE(safe_) << "the system's library could not be kept aside; it is left as it is";
        client_.Set(setup.client);
        mapi_.Set(setup.mapiValue);
        override_.Set("native");  // the file on disk, not Wine's own library
        const std::string standin = ExeFolder() + "mapi_standin.dll";
        if (setup.library == Library::none)
            DeleteFileA(SystemMapiPath().c_str());
        else
            CopyFileA(setup.library == Library::standin ? standin.c_str()
                                                        : (ExeFolder() + "mapi_noentry.dll").c_str(),
                      SystemMapiPath().c_str(), FALSE);
        // Copies that a careless load would find first.
        CopyFileA(standin.c_str(), (ExeFolder() + "MAPI32.DLL").c_str(), FALSE);
        CopyFileA(standin.c_str(), (dir_ + "MAPI32.DLL").c_str(), FALSE);
        SetCurrentDirectoryA(dir_.c_str());
    }

private:
    std::string dir_, original_, backup_;
    bool safe_ = false;
    SavedText client_{HKEY_LOCAL_MACHINE, "Software\\Clients\\Mail", nullptr};
    SavedText mapi_{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows Messaging Subsystem", "MAPI"};
    SavedText override_{HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "mapi32"};
};

// One share by e-mail: the configuration, what the stand-in answers, what becomes of it.
struct ShareCase {
    const char* name;
    MailSetup setup;
    ULONG result;
    // sent: attached without a word; told: attached, and the failure told; mailto: not attached
    enum Seen { sent, told, mailto } seen;
};

void PrintTo(const ShareCase& c, std::ostream* os) { *os << c.name; }

class ShareMailDeathTest : public testing::TestWithParam<ShareCase> {
protected:
    // The fresh process works in the folder of the process that started it.
    void SetUp() override {
        RememberFirstStart();
        char inherited[MAX_PATH] = "";
        if (GetEnvironmentVariableA(kFolderVariable, inherited, sizeof inherited)) {
            dir = inherited;
        } else {
            dir = FreshFolder(std::string("ShareMail_") + GetParam().name);
            SetEnvironmentVariableA(kFolderVariable, dir.c_str());
        }
    }
    void TearDown() override { SetEnvironmentVariableA(kFolderVariable, nullptr); }
    static constexpr char kFolderVariable[] = "GOBU_MAIL_TEST_FOLDER";
    std::string dir;
};

}  // namespace

TEST_P(ShareMailDeathTest, AttachesThePackageOnlyWhereSimpleMapiTakesIt) {
    const ShareCase& c = GetParam();
    const std::string package = dir + "gobu_zip.exe", record = dir + "mapi_record.txt",
                      out = dir + "calls.txt";
    MailConfiguration configuration(dir);
    DeleteFileA(record.c_str());
    // The process ends with its owner window and the calls it made written to out.
    auto share = [&] {
        configuration.Arrange(c.setup);
        SetEnvironmentVariableA("GOBU_MAPI_RECORD", record.c_str());
        SetEnvironmentVariableA("GOBU_MAPI_RESULT", std::to_string(c.result).c_str());
        auto windows = StartGobu(dir + "gobu.exe");
        RecordedCalls calls;
        calls.sendMail = true;
        ComposeShareMail(package);
        std::string lines = "parent " + std::to_string(ULONG_PTR(Application.Handle)) + "\n";
        for (const std::string& file : calls.opened) lines += file + "\n";
        for (const std::string& text : calls.messages) lines += "message " + text + "\n";
        ::WriteFile(out, lines);
        std::exit(testing::Test::HasFailure() ? 1 : 0);
    };
    EXPECT_EXIT(share(), testing::ExitedWithCode(0), "");
    const std::string seen = ReadFileText(out);
    const std::string parent = seen.substr(0, seen.find('\n') + 1);
    EXPECT_NE(parent, "parent 0\n");
    if (c.seen == ShareCase::mailto) {
        // The package's folder follows, the package selected, to be attached by hand.
        char windowsFolder[MAX_PATH];
        GetWindowsDirectoryA(windowsFolder, sizeof windowsFolder);
        EXPECT_EQ(seen, parent + "open " + MailtoAddress(ShareMailSubject, ShareMailBody(false, package)) +
                            "\nopen " + windowsFolder + "\\explorer.exe /select,\"" + package + "\"\n");
        EXPECT_FALSE(FileExists(record)) << ReadFileText(record);
        return;
    }
    const std::string failure =
        "message One or more unspecified errors occurred; no message was sent.  Zip file (" + package +
        ") has been created; you can attach it to an E-mail message yourself.\n";
    EXPECT_EQ(seen, parent + (c.seen == ShareCase::sent ? "" : failure));
    const std::string given = ReadFileText(record);
    const size_t moduleEnd = given.find('\n');
    // The system's library, never a copy beside the program or in the current folder.
    EXPECT_EQ(LowerAZ(given.substr(0, moduleEnd)), "module " + LowerAZ(SystemMapiPath()));
    const std::string attachment = "file 4294967295 " + package + " (null)\n";
    EXPECT_EQ(given.substr(moduleEnd + 1),
              "session 0 reserved 0\n" + parent + "flags 11\noriginator zero\nsubject A Gobu For You\n" +
                  attachment + "others zero\nbody\n" + ShareMailBody(true, package));
}

INSTANTIATE_TEST_SUITE_P(
    Roads, ShareMailDeathTest,
    testing::Values(
        ShareCase{"Outlook", {"Microsoft Outlook", "1", Library::standin}, 0, ShareCase::sent},
        ShareCase{"OutlookExpress", {"Outlook Express", "1", Library::standin}, 0, ShareCase::sent},
        ShareCase{"UserCancels", {"Microsoft Outlook", "1", Library::standin}, 1, ShareCase::sent},
        ShareCase{"SendFails", {"Microsoft Outlook", "1", Library::standin}, 2, ShareCase::told},
        // Any other mail program, even with Simple MAPI installed.
        ShareCase{"Thunderbird", {"Thunderbird", "1", Library::standin}, 0, ShareCase::mailto},
        ShareCase{"NoClientNamed", {"", "1", Library::standin}, 0, ShareCase::mailto},
        ShareCase{"NoClientValue", {std::nullopt, "1", Library::standin}, 0, ShareCase::mailto},
        // Outlook named, but no Simple MAPI to reach it.
        ShareCase{"MapiValue01", {"Microsoft Outlook", "01", Library::standin}, 0, ShareCase::mailto},
        ShareCase{"MapiValueWithBlank", {"Microsoft Outlook", "1 ", Library::standin}, 0, ShareCase::mailto},
        ShareCase{"NoMapiValue", {"Microsoft Outlook", std::nullopt, Library::standin}, 0, ShareCase::mailto},
        ShareCase{"NoLibrary", {"Microsoft Outlook", "1", Library::none}, 0, ShareCase::mailto},
        ShareCase{"NoEntryPoint", {"Microsoft Outlook", "1", Library::noentry}, 0, ShareCase::mailto}),
    [](const testing::TestParamInfo<ShareCase>& info) { return std::string(info.param.name); });

// In this process Simple MAPI is Wine's own; the recorder answers in its place.
TEST(MailHandOff, SendListsToCcBccWithSmtpAddressesAndRaisesEveryFailureWithItsMessage) {
    SavedText mapi(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows Messaging Subsystem", "MAPI");
    mapi.Set("1");
    ASSERT_TRUE(SimpleMapiAvailable());
    struct Failing : RecordedCalls {
        ULONG Mail(LPMAPISENDMAIL send, HWND parent, MapiMessage& message, FLAGS flags) override {
            const ULONG result = RecordedCalls::Mail(send, parent, message, flags);
            SetLastError(ERROR_ACCESS_DENIED);
            return result;
        }
    } calls;
    SendMailWithAttachment({"ann@x.example", "bob@x.example"}, {"cy@x.example"}, {"di@x.example"}, "the body",
                           "the subject", {"C:\\a\\one.exe", "C:\\a\\two.txt"});
    ASSERT_EQ(calls.mails.size(), 1u);
    EXPECT_EQ(calls.mails[0], "session 0 reserved 0\nparent " +
                                  std::to_string(ULONG_PTR(Application.Handle)) +
                                  "\nflags 11\noriginator zero\nsubject the subject\n"
                                  "recipient 1 ann@x.example SMTP:ann@x.example\n"
                                  "recipient 1 bob@x.example SMTP:bob@x.example\n"
                                  "recipient 2 cy@x.example SMTP:cy@x.example\n"
                                  "recipient 3 di@x.example SMTP:di@x.example\n"
                                  "file 4294967295 C:\\a\\one.exe (null)\n"
                                  "file 4294967295 C:\\a\\two.txt (null)\nothers zero\nbody\nthe body");
    const std::string denied = SystemErrorText(ERROR_ACCESS_DENIED);
    const std::vector<ULONG> table = {1, 2, 3, 5, 9, 10, 11, 12, 14, 15, 18, 21};
    for (ULONG code = 1; code <= 26; code++) {
        calls.mailResult = code;
        try {
            SendMailWithAttachment({}, {}, {}, "", "", {});
            ADD_FAILURE() << code << " raises";
        } catch (const EMapiError& e) {
            EXPECT_EQ(e.Code, code);
            EXPECT_EQ(e.LastError, DWORD(ERROR_ACCESS_DENIED));
            // The texts of the table are the portable tests' to pin.
            const bool named = std::find(table.begin(), table.end(), code) != table.end();
            EXPECT_EQ(e.what(),
                      named ? MapiErrorMessage(code, "")
                            : "The mail program failed with error " + std::to_string(code) + ". " + denied);
        }
    }
    EXPECT_EQ(calls.mails.back(), "session 0 reserved 0\nparent " +
                                      std::to_string(ULONG_PTR(Application.Handle)) +
                                      "\nflags 11\noriginator zero\nsubject \nothers zero\nbody\n");
}
