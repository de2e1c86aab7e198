// The few file-system services the archive writer needs, with one implementation for
// Windows (zipfs_win.cpp) and one for the native POSIX build (zipfs.cpp), so that the
// writer itself is the same code on both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The attribute word of a file as the MS-DOS/Windows attribute bits, or kNoFile when
// there is no such file.
constexpr uint32_t kNoFile = 0xFFFFFFFFu;
uint32_t ZipFileAttributes(const std::string& path);

bool ZipFileExists(const std::string& path);
bool ZipDeleteFile(const std::string& path);

// A name in the process code page as UTF-8, for an archive's flagged names: the same
// bytes where that code page is UTF-8 (Windows 10 1903 and later through the manifest,
// and other systems), converted from the ANSI code page on older Windows. False for
// bytes that are no text in the process code page.
bool ZipNameToUtf8(const std::string& name, std::string& utf8);

// The system's folder for temporary files, with a trailing separator.
std::string ZipSystemTempFolder();

// An open file. Closes itself when destroyed.
class TZipFile {
public:
    TZipFile() = default;
    ~TZipFile() { Close(); }
    TZipFile(const TZipFile&) = delete;
    TZipFile& operator=(const TZipFile&) = delete;

    // Opens an existing ordinary file for reading while denying others write access
    // (where the system can), so it cannot change while it is packed.
    bool OpenRead(const std::string& path);
    // Creates a new file for writing; fails when the name already exists.
    bool CreateNew(const std::string& path);
    // Creates a new file for writing under a name no other file in folder has, and
    // returns that name in name.
    bool CreateTemp(const std::string& folder, std::string& name);
    bool IsOpen() const;
    void Close();

    uint64_t Size() const;
    // Last-write time in local time, MS-DOS form: time in the low 16 bits, date in the
    // high 16 bits. Times outside the MS-DOS range become its nearest end.
    uint32_t DosDateTime() const;
    // Bytes read into buf (0 at the end of the file), or -1 on a read error.
    ptrdiff_t Read(void* buf, size_t len);
    // Bytes stored; fewer than len means the rest could not be written.
    size_t Write(const void* data, size_t len);
    bool Seek(uint64_t pos);

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// MS-DOS date and time from calendar fields (year in full, month 1-12), clamped to the
// range MS-DOS can express, 1980-01-01 00:00:00 to 2107-12-31 23:59:58.
uint32_t ZipDosDateTime(int year, int month, int day, int hour, int minute, int second);
