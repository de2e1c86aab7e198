#include <windows.h>

#include "app/gobufiles.h"

#include "app/utility.h"
#include "ui/forms.h"

namespace {

// A fresh name in the folder of path (the file is made empty), so that renames onto
// and from it stay on one volume.
bool TempNameBeside(const std::string& path, std::string& temp) {
    std::string folder = FolderPart(path);
    char name[kPathBytes];
    if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "gob", 0, name)) return false;
    temp = name;
    return true;
}

// A file that a running program or another writer holds cannot be replaced; asking
// for sole write access finds that out before anything has moved.
bool CanReplace(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

void Discard(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

}  // namespace

std::string SystemErrorText(unsigned long code) {
    char text[512] = "";
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                             text, sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ')) n--;
    return n > 0 ? std::string(text, n) : "Error " + std::to_string(code) + ".";
}

bool CopyFilesTogether(const std::vector<GobuFileCopy>& copies, std::string& reason) {
    struct Step {
        std::string temp, backup;
        bool placed = false;
    };
    std::vector<Step> steps(copies.size());
    bool ok = true;
    // First every new file in full beside its target.
    for (size_t i = 0; ok && i < copies.size(); i++)
        if (!copies[i].source.empty())
            ok = TempNameBeside(copies[i].target, steps[i].temp) &&
                 CopyFileA(copies[i].source.c_str(), steps[i].temp.c_str(), FALSE);
    // Then the old targets aside, kept until the new ones stand.
    for (size_t i = 0; ok && i < copies.size(); i++) {
        const std::string& target = copies[i].target;
        if (!FileExists(target)) continue;
        std::string backup;
        ok = CanReplace(target) && TempNameBeside(target, backup);
        if (ok && !(ok = MoveReplacing(target, backup))) {
            DWORD error = GetLastError();
            DeleteFileA(backup.c_str());
            SetLastError(error);
        }
        if (ok) steps[i].backup = backup;
    }
    for (size_t i = 0; ok && i < copies.size(); i++)
        if (!steps[i].temp.empty() && (ok = MoveFileA(steps[i].temp.c_str(), copies[i].target.c_str()))) {
            steps[i].placed = true;
            steps[i].temp.clear();
        }
    if (ok) {
        for (const Step& s : steps)
            if (!s.backup.empty()) Discard(s.backup);
        return true;
    }
    reason = SystemErrorText(GetLastError());
    for (size_t i = 0; i < copies.size(); i++) {
        if (steps[i].placed) DeleteFileA(copies[i].target.c_str());
        if (!steps[i].backup.empty()) MoveFileA(steps[i].backup.c_str(), copies[i].target.c_str());
        if (!steps[i].temp.empty()) DeleteFileA(steps[i].temp.c_str());
    }
    return false;
}
