// The mail hand-off of a share on this process's real registry and system folder. A
// stand-in for the system's "MAPI32.DLL" records what Simple MAPI is given. Whether
// Simple MAPI is there is decided once per process, so every case that depends on that
// decision runs in a fresh process of its own (a death test that ends normally).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>

#include "app/gobufiles.h"
#include "app/startfrm.h"
#include "share/mailtext.h"
#include "share/mailto.h"
#include "wine_support.h"

namespace {

const char kClientsKey[] = "Software\\Clients\\Mail";
const char kSubsystemKey[] = "SOFTWARE\\Microsoft\\Windows Messaging Subsystem";
const char kOverridesKey[] = "Software\\Wine\\DllOverrides";

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

// A registry value remembered when made and put back as it was when gone.
class SavedValue {
public:
    SavedValue(HKEY root, const char* key, const char* name) : root_(root), key_(key), name_(name ? name : "") {
        HKEY k;
        if (RegOpenKeyExA(root_, key_.c_str(), 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return;
        DWORD size = 0;
        if (RegQueryValueExA(k, name_.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
            bytes_.resize(size);
            existed_ = RegQueryValueExA(k, name_.c_str(), nullptr, &type_, reinterpret_cast<BYTE*>(&bytes_[0]),
                                        &size) == ERROR_SUCCESS;
        }
        RegCloseKey(k);
    }
    ~SavedValue() {
        if (existed_)
            Set(type_, bytes_);
        else
            Remove();
    }
    void Set(DWORD type, const std::string& bytes) const {
        HKEY k;
        ASSERT_EQ(RegCreateKeyExA(root_, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(k, name_.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()), DWORD(bytes.size()));
        RegCloseKey(k);
    }
    // A text value as the registry editor writes it, with its terminating zero.
    void SetText(const std::string& text) const { Set(REG_SZ, std::string(text.c_str(), text.size() + 1)); }
    void Remove() const {
        HKEY k;
        if (RegOpenKeyExA(root_, key_.c_str(), 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return;
        RegDeleteValueA(k, name_.c_str());
        RegCloseKey(k);
    }

private:
    HKEY root_;
    std::string key_, name_;
    bool existed_ = false;
    DWORD type_ = REG_SZ;
    std::string bytes_;
};

enum class Library { standin, noentry, none };

// One arrangement of the mail configuration: the default client's name (none: no
// value), the subsystem's "MAPI" value (none: no value) and what lies in the system
// folder as "MAPI32.DLL".
struct MailSetup {
    std::optional<std::string> client;
    std::optional<std::string> mapiValue;
    Library library;
};

// Everything a test changes of the mail configuration, put back when it goes: the two
// values, the system's library, the copies planted beside this program and in the
// test's folder, and Wine's choice between its own library and the file on disk.
class MailConfiguration {
public:
    explicit MailConfiguration(const std::string& dir)
        : dir_(dir),
          client_(HKEY_LOCAL_MACHINE, kClientsKey, nullptr),
          mapi_(HKEY_LOCAL_MACHINE, kSubsystemKey, "MAPI"),
          override_(HKEY_CURRENT_USER, kOverridesKey, "mapi32") {
        // Each process keeps its own backup: a fresh process's never replaces this one.
        backup_ = dir_ + "mapi32_" + std::to_string(GetCurrentProcessId()) + ".bak";
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(SystemMapiPath().c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            safe_ = true;  // nothing there to keep
            return;
        }
        FindClose(search);
        // Put back under its own name, letter case and all.
        original_ = FolderPart(SystemMapiPath()) + found.cFileName;
        safe_ = CopyFileA(original_.c_str(), backup_.c_str(), FALSE);
    }
    ~MailConfiguration() {
        if (original_.empty()) {
            DeleteFileA(SystemMapiPath().c_str());
        } else if (safe_) {
            EXPECT_TRUE(CopyFileA(backup_.c_str(), original_.c_str(), FALSE));
            DeleteFileA(backup_.c_str());
        }
        DeleteFileA((ExeFolder() + "MAPI32.DLL").c_str());
        DeleteFileA((dir_ + "MAPI32.DLL").c_str());
    }

    // Arranged in the process that sends, which starts in the test's folder.
    void Arrange(const MailSetup& setup) const {
        ASSERT_TRUE(safe_) << "the system's library could not be kept aside; it is left as it is";
        if (setup.client)
            client_.SetText(*setup.client);
        else
            client_.Remove();
        if (setup.mapiValue)
            mapi_.SetText(*setup.mapiValue);
        else
            mapi_.Remove();
        // Wine takes its built-in library unless told to take the file.
        override_.SetText("native");
        const std::string standin = ExeFolder() + "mapi_standin.dll";
        if (setup.library == Library::none)
            DeleteFileA(SystemMapiPath().c_str());
        else
            EXPECT_TRUE(CopyFileA(
                (setup.library == Library::standin ? standin : ExeFolder() + "mapi_noentry.dll").c_str(),
                SystemMapiPath().c_str(), FALSE));
        // Copies that would answer as well, where a careless load would find them first.
        EXPECT_TRUE(CopyFileA(standin.c_str(), (ExeFolder() + "MAPI32.DLL").c_str(), FALSE));
        EXPECT_TRUE(CopyFileA(standin.c_str(), (dir_ + "MAPI32.DLL").c_str(), FALSE));
        SetCurrentDirectoryA(dir_.c_str());
    }

private:
    std::string dir_, original_, backup_;
    bool safe_ = false;
    SavedValue client_, mapi_, override_;
};

// Runs steps to the end of a fresh process; what they return is left in the file out.
void InFreshProcess(const std::string& out, const std::function<std::string()>& steps) {
    ::WriteFile(out, steps());
    std::exit(testing::Test::HasFailure() ? 1 : 0);
}

// The outward calls of a share as lines: "open <file>" and "message <text>".
std::string CallLines(const RecordedCalls& calls) {
    std::string lines;
    for (const std::string& file : calls.opened) lines += file + "\n";
    for (const std::string& text : calls.messages) lines += "message " + text + "\n";
    return lines;
}

class MailFreshProcessDeathTest : public testing::Test {
protected:
    // The fresh process works in the folder of the process that started it.
    void SetUp() override {
        RememberFirstStart();
        char inherited[MAX_PATH] = "";
        if (GetEnvironmentVariableA(kFolderVariable, inherited, sizeof inherited)) {
            dir = inherited;
        } else {
            std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
            std::replace(name.begin(), name.end(), '/', '_');  // parameterised tests are named a/b
            dir = FreshFolder(name);
            SetEnvironmentVariableA(kFolderVariable, dir.c_str());
        }
        package = dir + "gobu_zip.exe";
        record = dir + "mapi_record.txt";
        out = dir + "calls.txt";
    }
    void TearDown() override { SetEnvironmentVariableA(kFolderVariable, nullptr); }
    static constexpr char kFolderVariable[] = "GOBU_MAIL_TEST_FOLDER";
    std::string dir, package, record, out;
};

class MailHandOff : public testing::Test {
protected:
    void SetUp() override {
        RememberFirstStart();
        dir = FreshFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        windows = StartGobu(dir + "gobu.exe");
        package = dir + "gobu_zip.exe";
    }
    std::string dir, package;
    std::unique_ptr<GobuWindows> windows;
};

}  // namespace

// One share by e-mail: the mail configuration, what the stand-in answers, and what
// becomes of the package.
struct ShareCase {
    const char* name;
    MailSetup setup;
    ULONG result;
    enum Seen { attachedSilently, attachedAndTold, mailto } seen;
};

void PrintTo(const ShareCase& c, std::ostream* os) { *os << c.name; }

class ShareMailDeathTest : public MailFreshProcessDeathTest, public testing::WithParamInterface<ShareCase> {};

TEST_P(ShareMailDeathTest, AttachesThePackageOnlyWhereSimpleMapiTakesIt) {
    const ShareCase& c = GetParam();
    MailConfiguration configuration(dir);
    DeleteFileA(record.c_str());
    DeleteFileA(out.c_str());
    EXPECT_EXIT(InFreshProcess(out,
                               [&] {
                                   configuration.Arrange(c.setup);
                                   SetEnvironmentVariableA("GOBU_MAPI_RECORD", record.c_str());
                                   SetEnvironmentVariableA("GOBU_MAPI_RESULT", std::to_string(c.result).c_str());
                                   auto windows = StartGobu(dir + "gobu.exe");
                                   RecordedCalls calls;
                                   calls.sendMail = true;
                                   ComposeShareMail(package);
                                   return std::to_string(ULONG_PTR(Application.Handle)) + "\n" + CallLines(calls);
                               }),
                testing::ExitedWithCode(0), "");
    const std::string seen = ReadFileText(out);
    const size_t lineEnd = seen.find('\n');
    ASSERT_NE(lineEnd, std::string::npos) << seen;
    const std::string owner = seen.substr(0, lineEnd);
    EXPECT_NE(owner, "0") << "the application's owner window";
    const std::string calls = seen.substr(lineEnd + 1);
    if (c.seen == ShareCase::mailto) {
        EXPECT_EQ(calls, "open " + MailtoAddress(ShareMailSubject, ShareMailBody(false, package)) + "\n");
        EXPECT_FALSE(FileExists(record)) << ReadFileText(record);
        return;
    }
    EXPECT_EQ(calls, c.seen == ShareCase::attachedSilently
                         ? ""
                         : "message One or more unspecified errors occurred; no message was sent.  Zip file (" +
                               package + ") has been created; you can attach it to an E-mail message yourself.\n");
    const std::string given = ReadFileText(record);
    const size_t moduleEnd = given.find('\n');
    ASSERT_NE(moduleEnd, std::string::npos) << given;
    // The system's library, never a copy beside the program or in the current folder.
    EXPECT_EQ(LowerAZ(given.substr(0, moduleEnd)), "module " + LowerAZ(SystemMapiPath()));
    EXPECT_EQ(given.substr(moduleEnd + 1),
              "session 0 reserved 0\n"
              "parent " + owner + "\n"
              "flags 11\n"
              "originator zero\n"
              "subject A Gobu For You\n"
              "recipients 0\n"
              "files 1\n"
              "file 4294967295 " + package + " (null)\n"
              "body\n" + ShareMailBody(true, package));
}

INSTANTIATE_TEST_SUITE_P(
    Roads, ShareMailDeathTest,
    testing::Values(
        ShareCase{"Outlook", {"Microsoft Outlook", "1", Library::standin}, 0, ShareCase::attachedSilently},
        ShareCase{"OutlookExpress", {"Outlook Express", "1", Library::standin}, 0, ShareCase::attachedSilently},
        ShareCase{"UserCancels", {"Microsoft Outlook", "1", Library::standin}, 1, ShareCase::attachedSilently},
        ShareCase{"SendFails", {"Microsoft Outlook", "1", Library::standin}, 2, ShareCase::attachedAndTold},
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

TEST_F(MailFreshProcessDeathTest, EveryFailedSendRaisesItsMessageAndTheLastError) {
    MailConfiguration configuration(dir);
    EXPECT_EXIT(InFreshProcess(out,
                               [&] {
                                   configuration.Arrange({"Microsoft Outlook", "1", Library::standin});
                                   SetEnvironmentVariableA("GOBU_MAPI_RECORD", record.c_str());
                                   SetEnvironmentVariableA("GOBU_MAPI_LAST_ERROR", "5");
                                   std::string lines;
                                   for (ULONG code = 0; code <= 26; code++) {
                                       SetEnvironmentVariableA("GOBU_MAPI_RESULT", std::to_string(code).c_str());
                                       try {
                                           SendMailWithAttachment({}, {}, {}, "body", "subject", {package});
                                           lines += std::to_string(code) + " sent\n";
                                       } catch (const EMapiError& e) {
                                           lines += std::to_string(e.Code) + " " + std::to_string(e.LastError) +
                                                    " " + e.what() + "\n";
                                       }
                                   }
                                   return lines;
                               }),
                testing::ExitedWithCode(0), "");
    std::string expected = "0 sent\n";
    const std::string denied = SystemErrorText(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(denied.empty());
    for (ULONG code = 1; code <= 26; code++) {
        const std::vector<ULONG> table = {1, 2, 3, 5, 9, 10, 11, 12, 14, 15, 18, 21};
        const bool named = std::find(table.begin(), table.end(), code) != table.end();
        // The texts of the named codes are pinned by the portable tests.
        expected += std::to_string(code) + " 5 " +
                    (named ? MapiErrorMessage(code, "")
                           : "The mail program failed with error " + std::to_string(code) + ". " + denied) +
                    "\n";
    }
    EXPECT_EQ(ReadFileText(out), expected);
}

TEST_F(MailHandOff, SimpleMapiIsDeclaredOnlyByTheText1) {
    SavedValue mapi(HKEY_LOCAL_MACHINE, kSubsystemKey, "MAPI");
    struct Case {
        const char* what;
        std::optional<std::string> bytes;  // none: no value
        DWORD type;
        bool registered;
    } cases[] = {
        {"1", std::string("1\0", 2), REG_SZ, true},
        {"1 without its terminator", std::string("1"), REG_SZ, true},
        {"1 and a blank", std::string("1 \0", 3), REG_SZ, false},
        {"01", std::string("01\0", 3), REG_SZ, false},
        {"empty", std::string("\0", 1), REG_SZ, false},
        {"the number 1", std::string("\x01\0\0\0", 4), REG_DWORD, false},
        {"longer than its buffer", std::string("1\0\0\0\0\0\0\0\0\0", 10), REG_SZ, false},
        {"no value", std::nullopt, REG_SZ, false},
    };
    for (const Case& c : cases) {
        if (c.bytes)
            mapi.Set(c.type, *c.bytes);
        else
            mapi.Remove();
        EXPECT_EQ(SimpleMapiRegistered(), c.registered) << c.what;
    }
}

TEST_F(MailHandOff, DefaultClientIsOutlookByItsNameAlone) {
    SavedValue client(HKEY_LOCAL_MACHINE, kClientsKey, nullptr);
    struct Case {
        std::optional<std::string> name;
        bool outlook;
    } cases[] = {
        {"Microsoft Outlook", true}, {"Outlook Express", true}, {"MICROSOFT OUTLOOK", true},
        {"Thunderbird", false},      {"", false},               {std::nullopt, false},
    };
    for (const Case& c : cases) {
        if (c.name)
            client.SetText(*c.name);
        else
            client.Remove();
        EXPECT_EQ(DefaultMailIsOutlook(), c.outlook) << c.name.value_or("no value");
    }
}

TEST_F(MailHandOff, MessageListsToThenCcThenBccWithSmtpAddressesAndEachAttachmentUnplaced) {
    SavedValue mapi(HKEY_LOCAL_MACHINE, kSubsystemKey, "MAPI");
    mapi.SetText("1");
    // This process looks for Simple MAPI once and finds Wine's own; the recorder
    // answers in its place.
    ASSERT_TRUE(SimpleMapiAvailable());
    RecordedCalls calls;
    SendMailWithAttachment({"ann@x.example", "bob@x.example"}, {"cy@x.example"}, {"di@x.example"}, "the body",
                           "the subject", {dir + "one.exe", dir + "two.txt"});
    ASSERT_EQ(calls.mails.size(), 1u);
    const RecordedMail& mail = calls.mails[0];
    EXPECT_EQ(mail.parent, Application.Handle);
    EXPECT_EQ(mail.flags, FLAGS(MAPI_LOGON_UI | MAPI_NEW_SESSION | MAPI_DIALOG));
    EXPECT_EQ(mail.subject, "the subject");
    EXPECT_EQ(mail.body, "the body");
    EXPECT_TRUE(mail.originatorZeroed);
    const std::vector<RecordedMail::Recipient> recipients = {
        {MAPI_TO, "ann@x.example", "SMTP:ann@x.example"},
        {MAPI_TO, "bob@x.example", "SMTP:bob@x.example"},
        {MAPI_CC, "cy@x.example", "SMTP:cy@x.example"},
        {MAPI_BCC, "di@x.example", "SMTP:di@x.example"},
    };
    EXPECT_EQ(mail.recipients, recipients);
    const std::vector<RecordedMail::Attachment> attachments = {
        {0xFFFFFFFF, dir + "one.exe", true},
        {0xFFFFFFFF, dir + "two.txt", true},
    };
    EXPECT_EQ(mail.attachments, attachments);
    EXPECT_TRUE(calls.messages.empty());

    // Without attachments there is no attachment array at all.
    calls.mailResult = 11;
    try {
        SendMailWithAttachment({}, {}, {}, "", "", {});
        ADD_FAILURE() << "a failed send raises";
    } catch (const EMapiError& e) {
        EXPECT_EQ(e.Code, 11u);
        EXPECT_STREQ(e.what(), "The specified attachment was not found. No message was sent.");
    }
    ASSERT_EQ(calls.mails.size(), 2u);
    EXPECT_TRUE(calls.mails[1].recipients.empty());
    EXPECT_TRUE(calls.mails[1].attachments.empty());
}
