#include <windows.h>

#include "app/utility.h"
#include "ui/forms.h"

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadWholeFile(const std::string& path, std::string& bytes, size_t limit) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char buffer[16384];
    DWORD got = 0;
    bool ok;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) {
        if (got > limit - bytes.size()) {
            ok = false;
            break;
        }
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return ok;
}

namespace {

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && FlushFileBuffers(file);
    const DWORD error = GetLastError();
    const bool closed = CloseHandle(file);
    if (!ok) SetLastError(error);
    return closed && ok;
}

}  // namespace

bool WriteFileSafely(const std::string& path, const std::string& bytes) {
    // A read-only file is left as it is, as Windows' own replacing rename leaves it;
    // Wine's would replace it.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // The new content goes to a file of its own in the same folder, so that the final
    // rename stays on one volume.
    std::string folder = FolderPart(path);
    char temp[kPathBytes];
    if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "gob", 0, temp)) return false;
    if (WriteWholeFile(temp, bytes) && MoveReplacing(temp, path)) return true;
    const DWORD error = GetLastError();
    DeleteFileA(temp);
    SetLastError(error);
    return false;
}

std::string OwnExecutablePath() {
    char path[kPathBytes] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::string CanonicalPath(const std::string& path) {
    char longPath[kPathBytes];
    DWORD n = GetLongPathNameA(path.c_str(), longPath, sizeof longPath);
    return n > 0 && n < sizeof longPath ? std::string(longPath, n) : path;
}

bool MoveReplacing(const std::string& from, const std::string& to) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    // Windows 9x has no MoveFileExA; there the old file must go first.
    return GetLastError() == ERROR_CALL_NOT_IMPLEMENTED && (DeleteFileA(to.c_str()) || !FileExists(to)) &&
           MoveFileA(from.c_str(), to.c_str());
}
