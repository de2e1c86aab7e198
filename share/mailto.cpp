#include <windows.h>
#include <mapi.h>

#include "share/mailto.h"

#include "app/gobufiles.h"
#include "app/launching.h"
#include "app/mainform.h"
#include "share/mailtext.h"
#include "ui/forms.h"
#include "ui/outward.h"

namespace {

static_assert(sizeof(OSVERSIONINFOA) == 148, "GetVersionExA is given the structure size of every version");

// Simple MAPI as the first send of the process found it; the library is released when
// the program ends.
struct SimpleMapiState {
    bool tested = false;
    HMODULE library = nullptr;
    LPMAPISENDMAIL send = nullptr;
    ~SimpleMapiState() {
        if (library) FreeLibrary(library);
    }
} mapi;

// The bytes of a registry value under HKEY_LOCAL_MACHINE, read with a buffer of limit
// bytes; false when the key or the value cannot be read or the value does not fit.
bool ReadMachineValue(const char* keyPath, const char* name, DWORD limit, std::string& bytes) {
    TRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, keyPath, KEY_QUERY_VALUE) != ERROR_SUCCESS) return false;
    std::string buffer(limit, '\0');
    DWORD size = limit;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&buffer[0]), &size) !=
        ERROR_SUCCESS)
        return false;
    bytes.assign(buffer, 0, size);
    return true;
}

// Whether the system declares Simple MAPI installed.
bool SimpleMapiRegistered() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return false;
    if (!MapiDeclaredInRegistry(version.dwMajorVersion, version.dwMinorVersion))
        return GetProfileIntA("Mail", "MAPI", 0) != 0;
    std::string bytes;
    return ReadMachineValue("SOFTWARE\\Microsoft\\Windows Messaging Subsystem", "MAPI", 9, bytes) &&
           MapiValueMeansAvailable(bytes);
}

// The recipients of one message: the address strings it points to live as long as it.
struct RecipientList {
    std::vector<std::string> names, addresses;
    std::vector<ULONG> classes;
    std::vector<MapiRecipDesc> descs;

    void Add(const std::vector<std::string>& list, ULONG recipClass) {
        for (const std::string& address : list) {
            names.push_back(address);
            addresses.push_back("SMTP:" + address);
            classes.push_back(recipClass);
        }
    }
    // Once every address is in, so that no string moves under the pointers.
    void Describe() {
        descs.assign(names.size(), MapiRecipDesc{});
        for (size_t i = 0; i < descs.size(); i++) {
            descs[i].ulRecipClass = classes[i];
            descs[i].lpszName = &names[i][0];
            descs[i].lpszAddress = &addresses[i][0];
        }
    }
};

}  // namespace

bool DefaultMailIsOutlook() {
    // The value names a subkey of the key, and key names are at most 255 characters.
    std::string bytes;
    if (!ReadMachineValue("Software\\Clients\\Mail", nullptr, 256, bytes)) return false;
    return MailClientIsOutlook(bytes.substr(0, bytes.find('\0')));
}

void LoadSimpleMapi() {
    if (mapi.tested) return;
    mapi.tested = true;
    if (SimpleMapiRegistered()) mapi.library = LoadSystemLibrary("MAPI32.DLL");
}

bool SimpleMapiAvailable() {
    LoadSimpleMapi();
    if (!mapi.send && mapi.library)
        mapi.send = reinterpret_cast<LPMAPISENDMAIL>(
            reinterpret_cast<void*>(GetProcAddress(mapi.library, "MAPISendMail")));
    return mapi.send != nullptr;
}

void SendMailWithAttachment(const std::vector<std::string>& to, const std::vector<std::string>& cc,
                            const std::vector<std::string>& bcc, const std::string& body,
                            const std::string& subject, const std::vector<std::string>& attachments) {
    RecipientList recipients;
    recipients.Add(to, MAPI_TO);
    recipients.Add(cc, MAPI_CC);
    recipients.Add(bcc, MAPI_BCC);
    recipients.Describe();
    std::vector<MapiFileDesc> files(attachments.size(), MapiFileDesc{});
    for (size_t i = 0; i < files.size(); i++) {
        files[i].nPosition = 0xFFFFFFFF;  // not placed inside the text
        files[i].lpszPathName = const_cast<char*>(attachments[i].c_str());
    }
    // Some mail programs read the originator without looking whether there is one.
    MapiRecipDesc originator = {};
    MapiMessage message = {};
    message.lpszSubject = const_cast<char*>(subject.c_str());
    message.lpszNoteText = const_cast<char*>(body.c_str());
    message.lpOriginator = &originator;
    message.nRecipCount = ULONG(recipients.descs.size());
    message.lpRecips = recipients.descs.empty() ? nullptr : recipients.descs.data();
    message.nFileCount = ULONG(files.size());
    message.lpFiles = files.empty() ? nullptr : files.data();

    // Without Simple MAPI the send ends as if the user had cancelled it.
    ULONG result = MAPI_USER_ABORT;
    if (SimpleMapiAvailable())
        result = outward::Mail(mapi.send, Application.Handle, message,
                               MAPI_LOGON_UI | MAPI_NEW_SESSION | MAPI_DIALOG);
    const DWORD lastError = GetLastError();
    if (result == SUCCESS_SUCCESS) return;
    throw EMapiError(result, lastError, MapiErrorMessage(result, SystemErrorText(lastError)));
}

int OpenMailto(const std::string& subject, const std::string& body) {
    return outward::Shell(mainform->Handle, "open", MailtoAddress(subject, body), "", "", SW_SHOWNORMAL);
}

void ComposeShareMail(const std::string& packagePath) {
    // Outlook named as the default client is no promise that Simple MAPI is installed:
    // without it, the package goes the "mailto:" way like for every other mail program.
    const bool attached = DefaultMailIsOutlook() && SimpleMapiAvailable();
    const std::string body = ShareMailBody(attached, packagePath);
    if (!attached) {
        const int result = OpenMailto(ShareMailSubject, body);
        if (result <= 32)
            ShowMessage(MailFailedMessage(
                std::string(NoMailProgramReason) + " " + SystemErrorText(ShellResultError(result)),
                packagePath));
        // A "mailto:" address carries no attachment: the package is shown selected in its
        // folder, to be attached.
        outward::Explore(mainform->Handle, "/select,\"" + packagePath + "\"");
        return;
    }
    try {
        SendMailWithAttachment({}, {}, {}, body, ShareMailSubject, {packagePath});
    } catch (const EMapiError& e) {
        if (e.Code != MAPI_USER_ABORT) ShowMessage(MailFailedMessage(e.what(), packagePath));
    }
}
