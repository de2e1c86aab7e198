// The Windows half of the file-system shim.
#ifdef _WIN32

#include "share/zip/zipfs.h"

#include <vector>
#include <windows.h>

namespace {

// A path of MAX_PATH UTF-16 units takes up to three bytes each in UTF-8.
const DWORD kPathBytes = MAX_PATH * 3;

}  // namespace

uint32_t ZipFileAttributes(const std::string& path) {
    DWORD attr = GetFileAttributesA(path.c_str());
    return attr == INVALID_FILE_ATTRIBUTES ? kNoFile : uint32_t(attr);
}

bool ZipFileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ZipDeleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool ZipNameToUtf8(const std::string& name, std::string& utf8) {
    utf8.clear();
    if (name.empty()) return true;
    const int units =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.data(), int(name.size()), nullptr, 0);
    if (units <= 0) return false;
    std::vector<wchar_t> wide(static_cast<size_t>(units));
    MultiByteToWideChar(CP_ACP, 0, name.data(), int(name.size()), &wide[0], units);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return false;
    utf8.resize(size_t(bytes));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, &utf8[0], bytes, nullptr, nullptr);
    return true;
}

std::string ZipSystemTempFolder() {
    char buf[kPathBytes];
    DWORD n = GetTempPathA(sizeof buf, buf);
    if (n == 0 || n >= sizeof buf) return ".\\";
    std::string folder(buf, n);
    if (folder.back() != '\\') folder += '\\';
    return folder;
}

bool TZipFile::OpenRead(const std::string& path) {
    Close();
    // Sharing for reading only: a file that someone is writing cannot be opened, and
    // nobody can start writing it while it is packed.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = h;
    return true;
}

bool TZipFile::CreateNew(const std::string& path) {
    Close();
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = h;
    return true;
}

bool TZipFile::CreateTemp(const std::string& folder, std::string& name) {
    Close();
    // GetTempFileNameA picks the unique name and creates the file, empty.
    char buf[kPathBytes];
    if (GetTempFileNameA(folder.c_str(), "gbs", 0, buf) == 0) return false;
    HANDLE h = CreateFileA(buf, GENERIC_READ | GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                           FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DeleteFileA(buf);
        return false;
    }
    handle_ = h;
    name = buf;
    return true;
}

bool TZipFile::IsOpen() const { return handle_ != nullptr; }

void TZipFile::Close() {
    if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
}

uint64_t TZipFile::Size() const {
    DWORD high = 0;
    DWORD low = GetFileSize(static_cast<HANDLE>(handle_), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
    return uint64_t(high) << 32 | low;
}

uint32_t TZipFile::DosDateTime() const {
    FILETIME written, local;
    WORD date = 0, time = 0;
    if (!GetFileTime(static_cast<HANDLE>(handle_), nullptr, nullptr, &written) ||
        !FileTimeToLocalFileTime(&written, &local) || !FileTimeToDosDateTime(&local, &date, &time))
        return ZipDosDateTime(1980, 1, 1, 0, 0, 0);
    return uint32_t(date) << 16 | time;
}

ptrdiff_t TZipFile::Read(void* buf, size_t len) {
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(handle_), buf, DWORD(len), &got, nullptr)) return -1;
    return ptrdiff_t(got);
}

size_t TZipFile::Write(const void* data, size_t len) {
    DWORD put = 0;
    if (!WriteFile(static_cast<HANDLE>(handle_), data, DWORD(len), &put, nullptr)) return 0;
    return put;
}

bool TZipFile::Seek(uint64_t pos) {
    // SetFilePointer rather than SetFilePointerEx, which Windows 9x lacks.
    LONG high = LONG(pos >> 32);
    DWORD low = SetFilePointer(static_cast<HANDLE>(handle_), LONG(pos & 0xFFFFFFFFu), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

#endif  // _WIN32
