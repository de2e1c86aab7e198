// The portable half of the file-system shim: the MS-DOS time packing, and for systems
// other than Windows the POSIX implementation with its code page tables.
#include "share/zip/zipfs.h"

#include <algorithm>

uint32_t ZipDosDateTime(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1980) return (0u << 9 | 1u << 5 | 1u) << 16;  // 1980-01-01 00:00:00
    if (year > 2107) return (127u << 9 | 12u << 5 | 31u) << 16 | (23u << 11 | 59u << 5 | 29u);
    uint32_t date = uint32_t(year - 1980) << 9 | uint32_t(month) << 5 | uint32_t(day);
    uint32_t time = uint32_t(hour) << 11 | uint32_t(minute) << 5 | uint32_t(std::min(second, 59) / 2);
    return date << 16 | time;
}

#ifndef _WIN32

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "share/zip/utf8.h"

uint32_t ZipFileAttributes(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return kNoFile;
    if (S_ISDIR(st.st_mode)) return 0x10;
    // An ordinary file carries "archive"; one its owner may not write is read-only.
    uint32_t attr = 0x20;
    if ((st.st_mode & S_IWUSR) == 0) attr |= 0x01;
    return attr;
}

bool ZipFileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool ZipDeleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool ZipNameToUtf8(const std::string& name, std::string& utf8) {
    utf8 = name;
    return IsUtf8(name.data(), name.size());
}

std::string ZipSystemTempFolder() {
    const char* dir = std::getenv("TMPDIR");
    std::string folder = dir != nullptr && *dir != '\0' ? dir : "/tmp";
    if (folder.back() != '/') folder += '/';
    return folder;
}

bool TZipFile::OpenRead(const std::string& path) {
    Close();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    // Folders and devices are not files to pack.
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool TZipFile::CreateNew(const std::string& path) {
    Close();
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return fd_ >= 0;
}

bool TZipFile::CreateTemp(const std::string& folder, std::string& name) {
    Close();
    std::string templ = folder + "gobustub-XXXXXX";
    fd_ = mkstemp(&templ[0]);
    if (fd_ < 0) return false;
    name = templ;
    return true;
}

bool TZipFile::IsOpen() const { return fd_ >= 0; }

void TZipFile::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

uint64_t TZipFile::Size() const {
    struct stat st;
    return fstat(fd_, &st) == 0 ? uint64_t(st.st_size) : 0;
}

uint32_t TZipFile::DosDateTime() const {
    struct stat st;
    if (fstat(fd_, &st) != 0) return ZipDosDateTime(1980, 1, 1, 0, 0, 0);
    time_t t = st.st_mtime;
    struct tm local;
    if (localtime_r(&t, &local) == nullptr) return ZipDosDateTime(1980, 1, 1, 0, 0, 0);
    return ZipDosDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                          local.tm_sec);
}

ptrdiff_t TZipFile::Read(void* buf, size_t len) {
    for (;;) {
        ssize_t n = read(fd_, buf, len);
        if (n >= 0) return ptrdiff_t(n);
        if (errno != EINTR) return -1;
    }
}

size_t TZipFile::Write(const void* data, size_t len) {
    // write() may store part of a buffer and succeed; only an error or no progress at
    // all means the disk is full.
    const char* p = static_cast<const char*>(data);
    size_t done = 0;
    while (done < len) {
        ssize_t n = write(fd_, p + done, len - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += size_t(n);
    }
    return done;
}

bool TZipFile::Seek(uint64_t pos) { return lseek(fd_, off_t(pos), SEEK_SET) == off_t(pos); }

#endif  // !_WIN32
