// The archive writer's records, field by field, read back by the tests' own reader, and
// its behaviour on everything that can go wrong.
#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include "share/zip/crc32.h"
#include "share/zip/zipfs.h"
#include "share/zip/zipwriter.h"
#include "tests/zip/ziptest.h"

namespace {

// A writer whose format limits a test can lower, to reach the refusals without
// gigabytes of data.
class LimitedWriter : public TZipWriter {
public:
    LimitedWriter(uint32_t maxEntries, uint64_t maxSize) {
        MaxEntries = maxEntries;
        MaxArchiveSize = maxSize;
    }
};

ReadArchive WriteAndRead(TZipWriter& w, uint32_t expectedCount) {
    EXPECT_EQ(w.WriteArchive(), expectedCount);
    EXPECT_TRUE(w.FilesList.empty());
    return ParseArchive(ReadFile(w.ZipName));
}

void SetLocalMtime(const std::string& path, int year, int month, int day, int hour, int minute, int second) {
    struct tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    struct utimbuf times;
    times.actime = times.modtime = mktime(&t);
    ASSERT_EQ(utime(path.c_str(), &times), 0);
}

// The fields every entry of this writer has, whatever its content.
void ExpectCommonFields(const ReadEntry& e) {
    // Made on NTFS where the name is flagged as UTF-8, so that Info-ZIP does not take it for OEM.
    EXPECT_EQ(e.madeBy, e.flags & 0x0800 ? 0x0B14 : 20);
    EXPECT_EQ(e.needed, 20);
    EXPECT_EQ(e.localNeeded, 20);
    EXPECT_EQ(e.extraLength, 0);
    EXPECT_EQ(e.localExtraLength, 0);
    EXPECT_EQ(e.commentLength, 0);
    EXPECT_EQ(e.diskStart, 0);
    EXPECT_EQ(e.name, e.localName);
    EXPECT_EQ(e.nameLength, e.name.size());
    EXPECT_EQ(e.localNameLength, e.nameLength);
    // The local header was rewritten with the final values.
    EXPECT_EQ(e.localFlags, e.flags);
    EXPECT_EQ(e.localMethod, e.method);
    EXPECT_EQ(e.localTime, e.time);
    EXPECT_EQ(e.localDate, e.date);
    EXPECT_EQ(e.localCrc, e.crc);
    EXPECT_EQ(e.localCompressedSize, e.compressedSize);
    EXPECT_EQ(e.localSize, e.size);
}

void ExpectContent(const ReadEntry& e, const Bytes& content) {
    Inflated back = ExtractEntry(e);
    ASSERT_TRUE(back.ok) << e.name;
    EXPECT_TRUE(back.data == content) << e.name;
    EXPECT_EQ(e.size, content.size());
    EXPECT_EQ(e.crc, Crc32(content.data(), content.size()));
}

std::string HexOf(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (unsigned char c : bytes) {
        s += digits[c >> 4];
        s += digits[c & 15];
        s += ' ';
    }
    return s;
}

}  // namespace

TEST(ZipWriter, EmptyFileIsStoredWithCrcZeroAndMarkedText) {
    ScratchDir dir;
    WriteFile(dir / "empty.txt", "");
    SetLocalMtime(dir / "empty.txt", 2021, 6, 15, 13, 45, 31);
    TZipWriter w;
    w.ZipName = dir / "out.zip";
    w.PackLevel = 9;
    w.FilesList = {dir / "empty.txt"};
    ASSERT_EQ(w.WriteArchive(), 1u);
    Bytes file = ReadFile(w.ZipName);

    const uint16_t time = 13 << 11 | 45 << 5 | 15, date = (2021 - 1980) << 9 | 6 << 5 | 15;
    // clang-format off
    std::string local = {
        'P', 'K', 3, 4,                                      // signature
        20, 0,                                               // version needed: 2.0
        2, 0,                                                // flags: level 8-9
        0, 0,                                                // method: stored
        char(time & 0xFF), char(time >> 8),                  // time, odd seconds rounded down
        char(date & 0xFF), char(date >> 8),                  // date
        0, 0, 0, 0,                                          // CRC-32 of nothing
        0, 0, 0, 0,                                          // compressed size
        0, 0, 0, 0,                                          // uncompressed size
        9, 0,                                                // name length
        0, 0,                                                // extra field length
        'e', 'm', 'p', 't', 'y', '.', 't', 'x', 't'};        // name
    std::string central = {
        'P', 'K', 1, 2,                                      // signature
        20, 0,                                               // version made by: 2.0, MS-DOS
        20, 0,                                               // version needed
        2, 0, 0, 0,                                          // flags, method
        char(time & 0xFF), char(time >> 8), char(date & 0xFF), char(date >> 8),
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                  // CRC, sizes
        9, 0, 0, 0, 0, 0, 0, 0,                              // name, extra, comment lengths, disk
        1, 0,                                                // internal attributes: text
        0x20, 0, 0, 0,                                       // external attributes: archive
        0, 0, 0, 0,                                          // local header offset
        'e', 'm', 'p', 't', 'y', '.', 't', 'x', 't'};
    std::string end = {
        'P', 'K', 5, 6,                                      // signature
        0, 0, 0, 0,                                          // this disk, central directory disk
        1, 0, 1, 0,                                          // entries on this disk, in total
        char(central.size()), 0, 0, 0,                       // central directory size
        char(local.size()), 0, 0, 0,                         // central directory offset
        0, 0};                                               // comment length
    // clang-format on
    std::string expected = local + central + end;
    EXPECT_EQ(HexOf(std::string(file.begin(), file.end())), HexOf(expected));
}

TEST(ZipWriter, SmallIncompressibleFileIsStoredButKeepsTheLevelFlag) {
    ScratchDir dir;
    std::mt19937 rng(1);
    Bytes noise = RandomBytes(rng, 20000);
    WriteFile(dir / "picture.jpg", noise);
    TZipWriter w;
    w.ZipName = dir / "out.zip";
    w.PackLevel = 9;
    w.FilesList = {dir / "picture.jpg"};
    ReadArchive a = WriteAndRead(w, 1);
    const ReadEntry& e = a.entries[0];
    ExpectCommonFields(e);
    EXPECT_EQ(e.method, 0);
    EXPECT_EQ(e.flags, 0x0002);
    EXPECT_EQ(e.compressedSize, noise.size());
    EXPECT_EQ(e.internalAttr, 0);
    EXPECT_TRUE(e.data == noise);
    ExpectContent(e, noise);
}

TEST(ZipWriter, TextAndBinaryFilesAreDeflatedAndClassified) {
    ScratchDir dir;
    std::mt19937 rng(2);
    Bytes text = TextData(rng, 100000), binary = MixedData(rng, 100000);
    for (auto& b : binary) b = uint8_t(b | 0x80);  // keep it binary even where it copies words
    WriteFile(dir / "notes.txt", text);
    WriteFile(dir / "program.exe", binary);
    TZipWriter w;
    w.ZipName = dir / "out.zip";
    w.PackLevel = 9;
    w.FilesList = {dir / "notes.txt", dir / "program.exe"};
    ReadArchive a = WriteAndRead(w, 2);
    for (const ReadEntry& e : a.entries) {
        ExpectCommonFields(e);
        EXPECT_EQ(e.method, 8);
        EXPECT_EQ(e.flags, 0x0002);
        EXPECT_EQ(e.externalAttr, 0x20u);
        EXPECT_LT(e.compressedSize, e.size);
    }
    EXPECT_EQ(a.entries[0].name, "notes.txt");
    EXPECT_EQ(a.entries[0].internalAttr, 1);
    ExpectContent(a.entries[0], text);
    EXPECT_EQ(a.entries[1].name, "program.exe");
    EXPECT_EQ(a.entries[1].internalAttr, 0);
    ExpectContent(a.entries[1], binary);
}

TEST(ZipWriter, FlagsAndMethodFollowTheLevel) {
    ScratchDir dir;
    std::mt19937 rng(3);
    Bytes text = TextData(rng, 30000);
    WriteFile(dir / "a.txt", text);
    const uint16_t expectedFlags[10] = {0, 4, 4, 0, 0, 0, 0, 0, 2, 2};
    for (int level = 0; level <= 9; level++) {
        TZipWriter w;
        w.ZipName = dir / ("level" + std::to_string(level) + ".zip");
        w.PackLevel = level;
        w.FilesList = {dir / "a.txt"};
        ReadArchive a = WriteAndRead(w, 1);
        const ReadEntry& e = a.entries[0];
        ExpectCommonFields(e);
        EXPECT_EQ(e.flags, expectedFlags[level]) << "level " << level;
        EXPECT_EQ(e.method, level == 0 ? 0 : 8) << "level " << level;
        // Copying without compression does not classify the data.
        EXPECT_EQ(e.internalAttr, level == 0 ? 0 : 1) << "level " << level;
        ExpectContent(e, text);
    }

    // The no-compression list takes the same branch as level 0.
    TZipWriter w;
    w.ZipName = dir / "nocompress.zip";
    w.PackLevel = 9;
    w.NoCompressList = {"*.TXT"};
    w.FilesList = {dir / "a.txt"};
    ReadArchive a = WriteAndRead(w, 1);
    EXPECT_EQ(a.entries[0].method, 0);
    EXPECT_EQ(a.entries[0].flags, 0);
    ExpectContent(a.entries[0], text);
}

TEST(ZipWriter, FirstFileOfANameWinsWhateverItsFolderOrLetterCase) {
    ScratchDir dir;
    for (const char* sub : {"one", "two", "three"}) ASSERT_EQ(mkdir((dir / sub).c_str(), 0755), 0);
    WriteFile(dir / "one/Photo.jpg", "first");
    WriteFile(dir / "two/photo.JPG", "second");
    WriteFile(dir / "three/Photo.jpg", "third");
    WriteFile(dir / "other.txt", "other");
    TZipWriter w;
    w.ZipName = dir / "out.zip";
    w.PackLevel = 9;
    w.FilesList = {dir / "one/Photo.jpg", dir / "two/photo.JPG", dir / "other.txt", dir / "three/Photo.jpg"};
    ReadArchive a = WriteAndRead(w, 2);
    ASSERT_EQ(a.entries.size(), 2u);
    EXPECT_EQ(a.entries[0].name, "Photo.jpg");
    ExpectContent(a.entries[0], Bytes{'f', 'i', 'r', 's', 't'});
    EXPECT_EQ(a.entries[1].name, "other.txt");
    // The skipped files wrote nothing: the second entry follows the first directly.
    EXPECT_EQ(a.entries[1].localOffset, 30 + 9 + a.entries[0].compressedSize);
}

TEST(ZipWriter, MissingFilesAndFoldersAreLeftOutWithoutAMessage) {
    ScratchDir dir;
    WriteFile(dir / "a.txt", "aaa");
    WriteFile(dir / "b.txt", "bbb");
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0755), 0);
    TZipWriter w;
    w.ZipName = dir / "out.zip";
    w.PackLevel = 9;
    w.FilesList = {dir / "gone.txt", dir / "a.txt", dir / "folder", dir / "folder/", dir / "b.txt"};
    ReadArchive a = WriteAndRead(w, 2);
    ASSERT_EQ(a.entries.size(), 2u);
    EXPECT_EQ(a.entries[0].name, "a.txt");
    EXPECT_EQ(a.entries[1].name, "b.txt");
    EXPECT_EQ(a.totalEntries, 2);
    EXPECT_EQ(a.entriesThisDisk, 2);

    // A list with nothing left still makes a valid, empty archive.
    TZipWriter none;
    none.ZipName = dir / "none.zip";
    none.FilesList = {dir / "gone.txt"};
    ReadArchive empty = WriteAndRead(none, 0);
    EXPECT_TRUE(empty.entries.empty());
    EXPECT_EQ(empty.fileSize, 22u);

    // The exclude list drops matching names.
    TZipWriter excluding;
    excluding.ZipName = dir / "excluding.zip";
    excluding.ExcludeList = {"A.*"};
    excluding.FilesList = {dir / "a.txt", dir / "b.txt"};
    ReadArchive kept = WriteAndRead(excluding, 1);
    EXPECT_EQ(kept.entries[0].name, "b.txt");
}

TEST(ZipWriter, NamesBeyondAsciiAreStoredInUtf8UnderBit11AndAsciiNamesAsTheyAre) {
    ScratchDir dir;
    const char* names[] = {"Plain Name.TXT", "caf\xC3\xA9 \xC3\xA9t\xC3\xA9.txt",
                           "\xF0\x9F\x90\xB1 notes.txt"};
    TZipWriter w;
    w.ZipName = dir / "out.zip";
    w.PackLevel = 9;  // bit 1 on every deflated entry
    for (const char* name : names) {
        WriteFile(dir / name, "menu of the day, menu of the day");
        w.FilesList.push_back(dir / name);
    }
    ReadArchive a = WriteAndRead(w, 3);
    for (size_t i = 0; i < 3; i++) {
        ExpectCommonFields(a.entries[i]);
        EXPECT_EQ(a.entries[i].name, names[i]);
        EXPECT_EQ(a.entries[i].flags, i == 0 ? 0x0002 : 0x0802) << names[i];
    }
    // Bytes that are no text in the process code page fail, and leave no archive.
    w.ZipName = dir / "bad.zip";
    w.FilesList = {dir / "caf\xE9.txt"};
    WriteFile(w.FilesList[0], "x");
    EXPECT_THROW(w.WriteArchive(), EZipError);
    EXPECT_NE(access((dir / "bad.zip").c_str(), F_OK), 0);
}

TEST(ZipWriter, RecordsTheDosTimeAndTheReadOnlyAttribute) {
    ScratchDir dir;
    WriteFile(dir / "old.txt", "old");
    WriteFile(dir / "locked.txt", "locked");
    WriteFile(dir / "ancient.txt", "ancient");
    SetLocalMtime(dir / "old.txt", 1999, 12, 31, 23, 59, 58);
    SetLocalMtime(dir / "ancient.txt", 1975, 3, 1, 12, 0, 0);
    ASSERT_EQ(chmod((dir / "locked.txt").c_str(), 0444), 0);
    TZipWriter w;
    w.ZipName = dir / "out.zip";
    w.FilesList = {dir / "old.txt", dir / "locked.txt", dir / "ancient.txt"};
    ReadArchive a = WriteAndRead(w, 3);
    EXPECT_EQ(a.entries[0].date, (1999 - 1980) << 9 | 12 << 5 | 31);
    EXPECT_EQ(a.entries[0].time, 23 << 11 | 59 << 5 | 29);
    EXPECT_EQ(a.entries[0].externalAttr, 0x20u);
    EXPECT_EQ(a.entries[1].externalAttr, 0x21u);
    // Before 1980 MS-DOS has no date; the earliest one stands in.
    EXPECT_EQ(a.entries[2].date, 0 << 9 | 1 << 5 | 1);
    EXPECT_EQ(a.entries[2].time, 0);
}

TEST(ZipWriter, OffsetsCountThePrefixAndTheDirectoryKeepsTheWrittenOrder) {
    ScratchDir dir;
    std::mt19937 rng(4);
    std::vector<std::string> names = {"z.bin", "a.txt", "m.dat", "b.txt"};
    std::vector<Bytes> contents;
    for (const std::string& n : names) {
        contents.push_back(MixedData(rng, 1000 + rng() % 50000));
        WriteFile(dir / n, contents.back());
    }
    std::string prefixBytes(36352 + 123, 'S');
    WriteFile(dir / "prefix.bin", prefixBytes);
    TZipFile prefix;
    ASSERT_TRUE(prefix.OpenRead(dir / "prefix.bin"));
    TZipWriter w;
    w.ZipName = dir / "package_zip.exe";
    w.PackLevel = 9;
    w.PackagePrefix = &prefix;
    w.FilesList = {dir / names[0], dir / names[1], dir / "missing", dir / names[2], dir / names[3]};
    ReadArchive a = WriteAndRead(w, 4);

    Bytes file = ReadFile(w.ZipName);
    EXPECT_TRUE(std::equal(prefixBytes.begin(), prefixBytes.end(), file.begin()));
    uint64_t expectedOffset = prefixBytes.size();
    for (size_t i = 0; i < names.size(); i++) {
        const ReadEntry& e = a.entries[i];
        EXPECT_EQ(e.name, names[i]);
        EXPECT_EQ(e.localOffset, expectedOffset);
        ExpectCommonFields(e);
        ExpectContent(e, contents[i]);
        expectedOffset += 30 + e.nameLength + e.compressedSize;
    }
    EXPECT_EQ(a.centralOffset, expectedOffset);
    EXPECT_EQ(a.endOffset, a.centralOffset + a.centralSize);
}

TEST(ZipWriter, CallsTheMessageHookAfterWritesAndRunsAgainFromScratch) {
    ScratchDir dir;
    std::mt19937 rng(5);
    WriteFile(dir / "big.bin", RandomBytes(rng, 100000));
    WriteFile(dir / "small.txt", "small");
    int calls = 0;
    TZipWriter w;
    w.DoProcessMessages = [&] { calls++; };
    w.ZipName = dir / "first.zip";
    w.FilesList = {dir / "big.bin", dir / "small.txt"};
    ReadArchive first = WriteAndRead(w, 2);
    // At least once for every 8 KB buffer that went to the file.
    EXPECT_GE(calls, 100000 / 8192);

    // A second run knows nothing of the first: small.txt is not a duplicate now.
    w.ZipName = dir / "second.zip";
    w.FilesList = {dir / "small.txt"};
    ReadArchive second = WriteAndRead(w, 1);
    EXPECT_EQ(second.entries[0].name, "small.txt");
    EXPECT_EQ(second.entries[0].localOffset, 0u);

    // An empty archive name does nothing at all.
    w.ZipName = "   ";
    w.FilesList = {dir / "small.txt"};
    EXPECT_EQ(w.WriteArchive(), 0u);
    EXPECT_EQ(w.FilesList.size(), 1u);
}

// Every failure throws, leaves no archive behind, and empties the list.
TEST(ZipWriterFailure, BadSettingsAndListsAreRefusedBeforeAnythingIsWritten) {
    ScratchDir dir;
    WriteFile(dir / "a.txt", "a");
    struct Case {
        const char* what;
        std::function<void(TZipWriter&)> spoil;
    };
    std::vector<Case> cases = {
        {"level above 9", [](TZipWriter& w) { w.PackLevel = 10; }},
        {"negative level", [](TZipWriter& w) { w.PackLevel = -1; }},
        {"stored paths", [](TZipWriter& w) { w.StorePaths = true; }},
        {"name pattern", [&](TZipWriter& w) { w.FilesList.push_back(dir / "*.txt"); }},
        {"folder that does not exist", [&](TZipWriter& w) { w.ZipName = dir / "no/such/out.zip"; }},
    };
    for (const Case& c : cases) {
        TZipWriter w;
        w.ZipName = dir / "out.zip";
        w.FilesList = {dir / "a.txt"};
        c.spoil(w);
        EXPECT_THROW(w.WriteArchive(), EZipError) << c.what;
        EXPECT_FALSE(Exists(dir / "out.zip")) << c.what;
        EXPECT_TRUE(w.FilesList.empty()) << c.what;
    }
}

TEST(ZipWriterFailure, AnExistingFileIsNeitherUpdatedNorLost) {
    ScratchDir dir;
    WriteFile(dir / "a.txt", "a");
    WriteFile(dir / "out.zip", "precious");
    TZipWriter w;
    w.ZipName = dir / "out.zip";
    w.FilesList = {dir / "a.txt"};
    EXPECT_THROW(w.WriteArchive(), EZipError);
    EXPECT_TRUE(ReadFile(dir / "out.zip") == (Bytes{'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));
    EXPECT_TRUE(w.FilesList.empty());
}

TEST(ZipWriterFailure, AFullDiskDeletesThePartialArchiveAndThrowsNotEnoughRoom) {
    ScratchDir dir;
    std::mt19937 rng(6);
    WriteFile(dir / "a.bin", RandomBytes(rng, 600000));
    WriteFile(dir / "b.bin", RandomBytes(rng, 600000));
    std::string zip = dir / "out.zip";
    // The limit applies to the child alone; with SIGXFSZ ignored a write past it stores
    // what fits and then fails, as on a full disk.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {700000, 700000};
        setrlimit(RLIMIT_FSIZE, &limit);
        TZipWriter w;
        w.ZipName = zip;
        w.FilesList = {dir / "a.bin", dir / "b.bin"};
        int code = 3;
        try {
            w.WriteArchive();
        } catch (const ENotEnoughRoom&) {
            code = Exists(zip) ? 4 : w.FilesList.empty() ? 0 : 5;
        } catch (...) {
            code = 2;
        }
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "3: no error, 4: archive left behind, 5: list kept, 2: other error";
    EXPECT_FALSE(Exists(zip));
}

TEST(ZipWriterFailure, MoreEntriesOrBytesThanTheFormatRecordsAreRefused) {
    ScratchDir dir;
    std::mt19937 rng(7);
    for (int i = 0; i < 5; i++) WriteFile(dir / ("f" + std::to_string(i)), RandomBytes(rng, 30000));
    std::vector<std::string> five;
    for (int i = 0; i < 5; i++) five.push_back(dir / ("f" + std::to_string(i)));

    LimitedWriter exactly(5, 1u << 20);
    exactly.ZipName = dir / "five.zip";
    exactly.FilesList = five;
    EXPECT_EQ(exactly.WriteArchive(), 5u);

    LimitedWriter fewer(4, 1u << 20);
    fewer.ZipName = dir / "four.zip";
    fewer.FilesList = five;
    EXPECT_THROW(fewer.WriteArchive(), EZipError);
    EXPECT_FALSE(Exists(dir / "four.zip"));
    EXPECT_TRUE(fewer.FilesList.empty());

    LimitedWriter small(65535, 100000);
    small.ZipName = dir / "small.zip";
    small.FilesList = five;
    EXPECT_THROW(small.WriteArchive(), EZipError);
    EXPECT_FALSE(Exists(dir / "small.zip"));

    // A real input of 2 GiB, sparse so it costs no disk: refused before it is read.
    std::string huge = dir / "huge.bin";
    int fd = open(huge.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, off_t(1) << 31), 0);
    close(fd);
    TZipWriter w;
    w.ZipName = dir / "huge.zip";
    w.FilesList = {five[0], huge};
    EXPECT_THROW(w.WriteArchive(), EZipError);
    EXPECT_FALSE(Exists(dir / "huge.zip"));
}

TEST(ZipWriterFailure, The65536thEntryIsRefused) {
    ScratchDir dir;
    // Hard links: 65536 names for a few empty files (a file system may cap the links
    // of one file), cheap to make.
    for (int i = 0; i < 4; i++) WriteFile(dir / ("one" + std::to_string(i)), "");
    std::vector<std::string> names;
    for (int i = 0; i < 65536; i++) {
        names.push_back(dir / ("n" + std::to_string(100000 + i)));
        ASSERT_EQ(link((dir / ("one" + std::to_string(i % 4))).c_str(), names.back().c_str()), 0);
    }
    // That exactly the limit still passes is shown with a lowered one above.
    TZipWriter w;
    w.ZipName = dir / "toomany.zip";
    w.FilesList = names;
    try {
        w.WriteArchive();
        ADD_FAILURE() << "65536 entries were written";
    } catch (const EZipError& e) {
        EXPECT_NE(std::string(e.what()).find("65535"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(Exists(dir / "toomany.zip"));
}

TEST(TSortedZip, FindsNamesWithoutCaseAndKeepsWrittenOrder) {
    TZipHeaderInfo a, b, c;
    a.FileName = "Photo.JPG";
    a.RelativeOffset = 500;
    b.FileName = "apple.txt";
    b.RelativeOffset = 0;
    c.FileName = "Zebra";
    c.RelativeOffset = 100;
    TSortedZip byName(TZipSortMode::ByName), byNone(TZipSortMode::ByNone);
    for (TZipHeaderInfo* e : {&a, &b, &c}) {
        byName.Add(e);
        byNone.Add(e);
    }
    TZipHeaderInfo key;
    key.FileName = "photo.jpg";
    EXPECT_EQ(byName.Find(key), &a);
    key.FileName = "ZEBRA";
    EXPECT_EQ(byName.Find(key), &c);
    key.FileName = "photo.jp";
    EXPECT_EQ(byName.Find(key), nullptr);
    // Only A-Z fold: accented capitals are other letters.
    key.FileName = "\xC9";
    TZipHeaderInfo accented;
    accented.FileName = "\xE9";
    byName.Add(&accented);
    EXPECT_EQ(byName.Find(key), nullptr);

    ASSERT_EQ(byNone.Count(), 3u);
    EXPECT_EQ(byNone[0], &b);
    EXPECT_EQ(byNone[1], &c);
    EXPECT_EQ(byNone[2], &a);

    EXPECT_THROW({ TSortedZip byDate(TZipSortMode::ByDate); }, std::invalid_argument);
}
