#include "ui/outward.h"

#include <shellapi.h>

#include "ui/forms.h"

namespace outward {

namespace {
Recorder* recorder = nullptr;
}

void SetRecorder(Recorder* r) { recorder = r; }

int Shell(HWND owner, const std::string& verb, const std::string& file, const std::string& parameters,
          const std::string& directory, int show) {
    if (recorder) return recorder->Shell(owner, verb, file, parameters, directory, show);
    return int(INT_PTR(
        ::ShellExecuteA(owner, verb.c_str(), file.c_str(), parameters.c_str(), directory.c_str(), show)));
}

int Explore(HWND owner, const std::string& parameters) {
    char folder[kPathBytes];
    const UINT length = GetWindowsDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder) return ERROR_PATH_NOT_FOUND;
    return Shell(owner, "open", std::string(folder, length) + "\\explorer.exe", parameters, "", SW_SHOWNORMAL);
}

UINT Exec(const std::string& commandLine, UINT show) {
    if (recorder) return recorder->Exec(commandLine, show);
    return ::WinExec(commandLine.c_str(), show);
}

int Message(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    if (recorder) return recorder->Message(owner, text, caption, type);
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

ULONG Mail(LPMAPISENDMAIL send, HWND parent, MapiMessage& message, FLAGS flags) {
    if (recorder) return recorder->Mail(send, parent, message, flags);
    return send(lhSessionNull, ULONG_PTR(parent), &message, flags, 0);
}

}  // namespace outward
