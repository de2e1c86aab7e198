// The archive writer's Windows half: attribute words, UTF-8 names, file times and files
// that another program holds open.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "central_directory.h"
#include "share/zip/zipwriter.h"
#include "wine_support.h"

namespace {

uint32_t DosTimeOf(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME written, local;
    GetFileTime(f, nullptr, nullptr, &written);
    CloseHandle(f);
    FileTimeToLocalFileTime(&written, &local);
    WORD date, time;
    FileTimeToDosDateTime(&local, &date, &time);
    return uint32_t(date) << 16 | time;
}

}  // namespace

TEST(ZipWriterOnWindows, RecordsAttributesUtf8NamesAndLocalFileTimes) {
    ASSERT_EQ(GetACP(), 65001u) << "the program's manifest makes UTF-8 the process code page";
    std::string dir = FreshFolder("zipattrs");
    std::string plain = dir + "plain.txt", readOnly = dir + "locked.txt", accented = dir + "caf\xC3\xA9.txt";
    WriteFile(plain, "some text to pack");
    WriteFile(readOnly, "read only");
    WriteFile(accented, "an accented name");
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);

    TZipWriter writer;
    writer.ZipName = dir + "out.zip";
    DeleteFileA(writer.ZipName.c_str());
    writer.FilesList = {plain, readOnly, accented};
    writer.PackLevel = 9;
    EXPECT_EQ(writer.WriteArchive(), 3u);

    std::vector<CentralEntry> entries = CentralDirectory(ReadFileText(dir + "out.zip"));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "plain.txt");
    EXPECT_EQ(entries[0].externalAttributes, GetFileAttributesA(plain.c_str()));
    EXPECT_EQ(entries[1].externalAttributes & 0x01u, 0x01u);
    EXPECT_EQ(entries[2].name, "caf\xC3\xA9.txt");
    EXPECT_EQ(entries[2].flags & 0x0800, 0x0800) << "the name is flagged as UTF-8";
    EXPECT_EQ(entries[0].dosDateTime, DosTimeOf(plain));
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ZipWriterOnWindows, AFileAnotherProgramHoldsExclusivelyIsLeftOut) {
    std::string dir = FreshFolder("ziplocked");
    WriteFile(dir + "free.txt", "free");
    WriteFile(dir + "held.txt", "held");
    HANDLE held = CreateFileA((dir + "held.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    TZipWriter writer;
    writer.ZipName = dir + "out.zip";
    DeleteFileA(writer.ZipName.c_str());
    writer.FilesList = {dir + "held.txt", dir + "free.txt"};
    EXPECT_EQ(writer.WriteArchive(), 1u);
    CloseHandle(held);
    std::vector<CentralEntry> entries = CentralDirectory(ReadFileText(dir + "out.zip"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "free.txt");
}
