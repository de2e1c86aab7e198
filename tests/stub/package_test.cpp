// The stub's reading of packages: those our writer makes, an Info-ZIP archive behind
// our prefix, and crafted ones with unsafe names, damaged records and damaged data.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <sys/stat.h>

#include "share/zip/sfxconfig.h"
#include "share/zip/zipwriter.h"
#include "stub/package.h"
#include "stub/runline.h"
#include "tests/stub/stubtest.h"

namespace {

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

PackageStatus OpenBytes(const Bytes& b) {
    MemoryPackage p(b);
    return p.Open();
}

struct Made {
    Bytes package;
    std::vector<Bytes> files;
    TSFXConfig config;
};

// A package as sharing builds one, from a stub of StubSize random bytes and files of
// several kinds.
Made MakePackage(const ScratchDir& dir, bool withBlock) {
    std::mt19937 rng(11);
    Made m;
    WriteFile(dir / "sfxstub32.bin", RandomBytes(rng, StubSize));
    m.files = {RandomBytes(rng, 120000), TextData(rng, 50000), {}, MixedData(rng, 90000)};
    const char* names[] = {"holiday.exe", "holiday.gobu", "empty.txt", "beach.bmp"};
    TZipWriter w;
    w.PackLevel = 9;
    for (int i = 0; i < 4; i++) {
        WriteFile(dir / names[i], m.files[i]);
        w.FilesList.push_back(dir / names[i]);
    }
    m.config.Caption = "Holiday.exe";
    m.config.DefaultPath = "c:\\gobus";
    m.config.CmdLine = "><holiday.exe|><holiday.gobu";
    m.config.UserCanChangeOverwrite = true;
    m.config.BuildConfigBlock();
    EXPECT_EQ(w.WritePackage(dir / "sfxstub32.bin", dir / "holiday_zip.exe",
                             withBlock ? m.config.ConfigBlockSize : 0, m.config.ConfigBlock),
              4u);
    m.package = ReadFile(dir / "holiday_zip.exe");
    return m;
}

}  // namespace

TEST(StubPackage, APackageOfOurWriterOpensWithItsBlockAndEveryFileComesBack) {
    ScratchDir dir;
    Made m = MakePackage(dir, true);
    MemoryPackage p(m.package);
    ASSERT_EQ(p.Open(), kPackageOk);
    const Package& pkg = p.package();
    EXPECT_TRUE(pkg.hasConfig);
    EXPECT_EQ(pkg.config.flags, 0x08);
    EXPECT_STREQ(pkg.config.caption, "Holiday.exe");
    EXPECT_STREQ(pkg.config.defaultPath, "c:\\gobus");
    EXPECT_STREQ(pkg.config.cmdLine, "><holiday.exe|><holiday.gobu");
    EXPECT_EQ(pkg.archiveStart, StubSize + m.config.ConfigBlockSize);
    auto all = p.ExtractAll();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].name, "holiday.exe");
    EXPECT_EQ(all[3].name, "beach.bmp");
    for (size_t i = 0; i < 4; i++) {
        EXPECT_EQ(all[i].status, kExtractOk) << all[i].name;
        EXPECT_TRUE(all[i].data == m.files[i]) << all[i].name;
    }
    // The date of the entry is the file's, as the writer recorded it.
    struct stat st;
    ASSERT_EQ(stat((dir / "holiday.exe").c_str(), &st), 0);
    struct tm t;
    localtime_r(&st.st_mtime, &t);
    EXPECT_EQ(all[0].header.date >> 9, uint32_t(t.tm_year - 80));
    EXPECT_EQ(all[0].header.time >> 11, uint32_t(t.tm_hour));
}

TEST(StubPackage, WithoutABlockTheArchiveStartsRightAfterTheStub) {
    ScratchDir dir;
    Made m = MakePackage(dir, false);
    MemoryPackage p(m.package);
    ASSERT_EQ(p.Open(), kPackageOk);
    EXPECT_FALSE(p.package().hasConfig);
    EXPECT_EQ(p.package().archiveStart, StubSize);
    EXPECT_STREQ(p.package().config.cmdLine, "");
    EXPECT_EQ(p.ExtractAll().size(), 4u);
}

TEST(StubPackage, AnInfoZipArchiveBehindOurPrefixReadsOnceItsOffsetsAreFixed) {
    ScratchDir dir;
    std::mt19937 rng(12);
    Bytes a = TextData(rng, 80000), b = RandomBytes(rng, 5000);
    WriteFile(dir / "a.txt", a);
    ASSERT_EQ(RunCommand("mkdir " + ShellQuote(dir / "pics")).status, 0);
    WriteFile(dir / "pics/b.jpg", b);
    ASSERT_EQ(RunCommand("cd " + ShellQuote(dir.path()) + " && zip -q -9 -r info.zip a.txt pics").status, 0);
    TSFXConfig config;
    config.BuildConfigBlock();
    Bytes prefix(StubSize, 0x90);
    prefix.insert(prefix.end(), config.ConfigBlock.begin(), config.ConfigBlock.end());
    Bytes zip = ReadFile(dir / "info.zip");
    prefix.insert(prefix.end(), zip.begin(), zip.end());
    WriteFile(dir / "pkg.exe", prefix);

    // Unadjusted, its offsets point into the stub: refused, nothing read from there.
    EXPECT_EQ(OpenBytes(prefix), kPackageBadArchive);

    ASSERT_EQ(RunCommand("zip -q -A " + ShellQuote(dir / "pkg.exe")).status, 0);
    MemoryPackage p(ReadFile(dir / "pkg.exe"));
    ASSERT_EQ(p.Open(), kPackageOk);
    auto all = p.ExtractAll();
    ASSERT_EQ(all.size(), 3u);  // a.txt, pics/ and pics/b.jpg
    for (const auto& e : all) {
        EXPECT_EQ(e.status, kExtractOk) << e.name;
        if (e.name == "a.txt") {
            EXPECT_TRUE(e.data == a);
        }
        if (e.name == "pics/b.jpg") {
            EXPECT_TRUE(e.data == b);
        }
        EXPECT_EQ(IsFolderEntry(e.header), e.name == "pics/") << e.name;
    }
}

TEST(StubPackage, TheEndRecordIsTheOneWhoseCommentReachesTheEndOfTheFile) {
    Crafted c = Craft({{"a.txt", Text("hello"), 0}});
    // A comment that itself holds a false end record, whose own comment length does
    // not reach the end of the file.
    Bytes fake = {'P', 'K', 5, 6, 0, 0, 0, 0, 9, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Bytes comment = Text("note ");
    comment.insert(comment.end(), fake.begin(), fake.end());
    comment.push_back('!');
    Put16(c.bytes, c.end + 20, uint32_t(comment.size()));
    c.bytes.insert(c.bytes.end(), comment.begin(), comment.end());
    MemoryPackage p(c.bytes);
    ASSERT_EQ(p.Open(), kPackageOk);
    EXPECT_EQ(p.package().entryCount, 1u);

    // A comment length that overshoots by one: no end record is found.
    Put16(c.bytes, c.end + 20, uint32_t(comment.size() + 1));
    EXPECT_EQ(OpenBytes(c.bytes), kPackageBadSize);
}

TEST(StubPackage, NamesThatWouldLeaveTheDestinationRefuseTheWholePackage) {
    const char* unsafe[] = {"..\\evil.txt",
                            "../evil.txt",
                            "a/../../evil.txt",
                            "..",
                            ".",
                            "a/./b",
                            "\\evil.txt",
                            "/evil.txt",
                            "c:evil.txt",
                            "C:\\evil.txt",
                            "a:b",
                            "file.txt:stream",
                            "CON",
                            "con.txt",
                            "sub/NUL",
                            "LPT1.log",
                            "com9",
                            "COM\xC2\xB9.txt",  // superscript one, in UTF-8
                            "Aux .txt",
                            "conin$",
                            "trailing.",
                            "trailing ",
                            "a//b",
                            "",
                            "x*y",
                            "x?y",
                            "x\"y",
                            "x<y",
                            "x|y",
                            "tab\there",
                            "evil/../../x/"};
    for (const char* name : unsafe) {
        Crafted c = Craft({{"fine.txt", Text("ok"), 0}, {name, Text("evil"), 0}});
        EXPECT_EQ(OpenBytes(c.bytes), kPackageBadArchive) << name;
        EXPECT_FALSE(IsSafeEntryName(name, uint32_t(strlen(name)))) << name;
    }
    const char* safe[] = {"holiday.exe", "pics/beach.jpg", "pics\\beach.jpg", "a.b.c", ".hidden",
                          "..a",         "CONSOLE.txt",    "COM10",           "lpt",   "folder/"};
    for (const char* name : safe) EXPECT_TRUE(IsSafeEntryName(name, uint32_t(strlen(name)))) << name;
    EXPECT_TRUE(IsSafeEntryName("\xE7\x8C\xAB/COM\xC2\xBC.txt", 13));  // 猫/COM¼.txt
}

TEST(StubPackage, ForgedRecordsAreRefusedWithTheirOwnMessage) {
    std::mt19937 rng(13);
    Bytes text = TextData(rng, 20000);
    struct Case {
        const char* what;
        std::function<void(Crafted&)> damage;
        PackageStatus expected;
    };
    const Case cases[] = {
        {"end record: a second disk", [](Crafted& c) { Put16(c.bytes, c.end + 4, 1); }, kPackageBadArchive},
        {"end record: entry counts differ", [](Crafted& c) { Put16(c.bytes, c.end + 8, 1); },
         kPackageBadArchive},
        {"end record: one entry more",
         [](Crafted& c) { Put16(c.bytes, c.end + 8, 3), Put16(c.bytes, c.end + 10, 3); }, kPackageBadArchive},
        {"end record: one entry fewer",
         [](Crafted& c) { Put16(c.bytes, c.end + 8, 1), Put16(c.bytes, c.end + 10, 1); }, kPackageBadArchive},
        {"end record: directory past the end", [](Crafted& c) { Put32(c.bytes, c.end + 16, 0x7FFFFFF0); },
         kPackageBadArchive},
        {"end record: directory size past the end",
         [](Crafted& c) { Put32(c.bytes, c.end + 12, 0xFFFFFFFF); }, kPackageBadArchive},
        {"end record: directory inside the stub", [](Crafted& c) { Put32(c.bytes, c.end + 16, 100); },
         kPackageBadArchive},
        {"central header: wrong signature", [](Crafted& c) { c.bytes[c.central[1]] = 'X'; },
         kPackageBadArchive},
        {"central header: name runs past the directory",
         [](Crafted& c) { Put16(c.bytes, c.central[1] + 28, 0xFFFF); }, kPackageBadArchive},
        {"central header: unknown method", [](Crafted& c) { Put16(c.bytes, c.central[0] + 10, 12); },
         kPackageUnknownMethod},
        {"central header: encrypted", [](Crafted& c) { Put16(c.bytes, c.central[0] + 8, 1); },
         kPackageBadArchive},
        {"central header: local header past the end",
         [](Crafted& c) { Put32(c.bytes, c.central[1] + 42, 0xFFFFFF00); }, kPackageBadArchive},
        {"central header: local header inside the stub",
         [](Crafted& c) { Put32(c.bytes, c.central[0] + 42, 0); }, kPackageBadArchive},
        {"central header: data would run into the directory",
         [](Crafted& c) { Put32(c.bytes, c.central[1] + 20, 0x10000000); }, kPackageBadArchive},
        {"central header: stored sizes that differ", [](Crafted& c) { Put32(c.bytes, c.central[0] + 24, 3); },
         kPackageBadArchive},
        {"local header: wrong signature", [](Crafted& c) { c.bytes[c.local[1]] = 'X'; }, kPackageBadArchive},
        {"local header: another name", [](Crafted& c) { c.bytes[c.local[1] + 30] ^= 1; }, kPackageBadArchive},
        {"local header: another name length", [](Crafted& c) { Put16(c.bytes, c.local[1] + 26, 3); },
         kPackageBadArchive},
        {"local header: another CRC", [](Crafted& c) { c.bytes[c.local[0] + 14] ^= 1; }, kPackageBadArchive},
        {"local header: another method", [](Crafted& c) { Put16(c.bytes, c.local[1] + 8, 0); },
         kPackageBadArchive},
        {"local header: extra field into the directory",
         [](Crafted& c) { Put16(c.bytes, c.local[1] + 28, 0xFFFF); }, kPackageBadArchive},
        {"configuration block: size word disagrees", [](Crafted& c) { Put16(c.bytes, c.local[0] - 2, 99); },
         kPackageBadArchive},
    };
    TSFXConfig config;
    config.BuildConfigBlock();
    for (const Case& k : cases) {
        Crafted c = Craft({{"a.txt", Text("stored text"), 0}, {"b.txt", text, 8}}, config.ConfigBlock);
        ASSERT_EQ(OpenBytes(c.bytes), kPackageOk);
        k.damage(c);
        EXPECT_EQ(OpenBytes(c.bytes), k.expected) << k.what;
    }
}

// Sets both headers' sizes of stored entry i to size.
void SetStoredSize(Crafted& c, size_t i, uint32_t size) {
    for (size_t at : {c.central[i] + 20, c.central[i] + 24, c.local[i] + 18, c.local[i] + 22})
        Put32(c.bytes, at, size);
}

// Where stored entry i's data start (no extra fields in a crafted archive).
uint32_t DataStart(const Crafted& c, size_t i) {
    return uint32_t(c.local[i] + 30 + (c.bytes[c.local[i] + 26] | c.bytes[c.local[i] + 27] << 8));
}

TEST(StubPackage, OverlappingEntriesAreRefused) {
    struct Case {
        const char* what;
        std::function<void(Crafted&)> overlap;
    };
    const Case cases[] = {
        {"the first entry's data cover the second entry",
         [](Crafted& c) { SetStoredSize(c, 0, uint32_t(c.central[0]) - DataStart(c, 0)); }},
        {"the first entry's data cover the second entry's local header only",
         [](Crafted& c) { SetStoredSize(c, 0, uint32_t(c.local[1] + 4) - DataStart(c, 0)); }},
        {"two central entries name one local header",
         [](Crafted& c) { Put32(c.bytes, c.central[1] + 42, uint32_t(c.local[0])); }},
        {"the last entry's data cover the central directory",
         [](Crafted& c) { SetStoredSize(c, 1, uint32_t(c.end) - DataStart(c, 1)); }},
        {"an entry's data lie past the central directory",
         [](Crafted& c) {
             // The second entry moves behind the end record, as its comment.
             Bytes moved(c.bytes.begin() + long(c.local[1]), c.bytes.begin() + long(c.central[0]));
             c.bytes.erase(c.bytes.begin() + long(c.local[1]), c.bytes.begin() + long(c.central[0]));
             size_t shift = moved.size();
             c.bytes.insert(c.bytes.end(), moved.begin(), moved.end());
             Put32(c.bytes, c.central[1] - shift + 42, uint32_t(c.bytes.size() - shift));
             Put32(c.bytes, c.end - shift + 16, uint32_t(c.central[0] - shift));
             Put16(c.bytes, c.end - shift + 20, uint32_t(shift));
         }},
    };
    TSFXConfig config;
    config.BuildConfigBlock();
    // Two entries of one name and the same data, so that either central header fits
    // either local header.
    for (const Case& k : cases) {
        Crafted c = Craft({{"a.txt", Text("the same text"), 0}, {"a.txt", Text("the same text"), 0}},
                          config.ConfigBlock);
        ASSERT_EQ(OpenBytes(c.bytes), kPackageOk);
        k.overlap(c);
        EXPECT_EQ(OpenBytes(c.bytes), kPackageBadArchive) << k.what;
    }
}

// Entries in central order unlike the order of their data still open.
TEST(StubPackage, EntriesListedOutOfTheirOrderOnDiskStillOpen) {
    std::mt19937 rng(15);
    Bytes text = TextData(rng, 3000);
    Crafted c = Craft({{"a.txt", text, 0}, {"b.txt", text, 8}, {"c.txt", Text("three"), 0}});
    // The directory lists the last entry first and the first last (headers of one size).
    size_t header = c.central[1] - c.central[0];
    std::swap_ranges(c.bytes.begin() + long(c.central[0]), c.bytes.begin() + long(c.central[0] + header),
                     c.bytes.begin() + long(c.central[2]));
    MemoryPackage p(c.bytes);
    ASSERT_EQ(p.Open(), kPackageOk);
    auto all = p.ExtractAll();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].name, "c.txt");
    for (const auto& e : all) EXPECT_EQ(e.status, kExtractOk) << e.name;
}

TEST(StubPackage, TheFreeSpaceCheckCountsTheChosenEntriesAndNamesBothSizes) {
    ScratchDir dir;
    Made m = MakePackage(dir, true);  // 120,000 + 50,000 + 0 + 90,000 bytes
    MemoryPackage p(m.package);
    ASSERT_EQ(p.Open(), kPackageOk);
    auto firstAndLast = [](void*, uint32_t i) { return i == 0 || i == 3; };
    EXPECT_EQ(BytesToWrite(p.package(), nullptr, nullptr), 260000u);
    EXPECT_EQ(BytesToWrite(p.package(), firstAndLast, nullptr), 210000u);

    struct Case {
        uint64_t needed, free;
        const char* message;  // nullptr: they fit
    };
    const Case cases[] = {
        {260000, 260000, nullptr},
        {260000, 259999,
         "There is not enough free space on the destination drive: the files need 260,000 bytes, and the "
         "drive has 259,999 bytes free."},
        {0, 0, nullptr},
        {5000000000, 999,
         "There is not enough free space on the destination drive: the files need 5,000,000,000 bytes, and "
         "the drive has 999 bytes free."},
    };
    for (const Case& k : cases) {
        char out[200] = "unchanged";
        EXPECT_EQ(RoomFor(k.needed, k.free, out, sizeof out), k.message == nullptr)
            << k.needed << " " << k.free;
        EXPECT_STREQ(out, k.message != nullptr ? k.message : "unchanged");
    }
}

TEST(StubPackage, EveryTruncationIsRefusedWithoutACrash) {
    std::mt19937 rng(14);
    TSFXConfig config;
    config.Caption = "Truncated.exe";
    config.BuildConfigBlock();
    Crafted c = Craft({{"a.bin", MixedData(rng, 3000), 8}, {"b.txt", Text("short"), 0}}, config.ConfigBlock);
    // Cut inside the stub, the block, the archive or its end record, it reads as a
    // download that broke off.
    for (size_t n = 0; n < c.bytes.size(); n++) {
        Bytes cut(c.bytes.begin(), c.bytes.begin() + long(n));
        ASSERT_EQ(OpenBytes(cut), kPackageBadSize) << n;
    }
}

TEST(StubPackage, DamagedDataAreReportedPerEntry) {
    std::mt19937 rng(15);
    Bytes data = MixedData(rng, 40000);
    struct Case {
        const char* what;
        std::function<void(Crafted&)> damage;
        ExtractStatus expected;
    };
    // The CRC and sizes sit at the same offsets in both headers (+14 local, +16 central).
    auto both32 = [](Crafted& c, size_t local, size_t central, uint32_t v) {
        Put32(c.bytes, c.local[1] + local, v);
        Put32(c.bytes, c.central[1] + central, v);
    };
    const Case cases[] = {
        {"CRC that does not match",
         [&](Crafted& c) { both32(c, 14, 16, Get32(c.bytes, c.local[1] + 14) ^ 1); }, kExtractBadCrc},
        {"recorded size one byte short", [&](Crafted& c) { both32(c, 22, 24, uint32_t(data.size() - 1)); },
         kExtractBadData},
        {"recorded size one byte long", [&](Crafted& c) { both32(c, 22, 24, uint32_t(data.size() + 1)); },
         kExtractBadData},
        {"deflated data cut short",
         [&](Crafted& c) { both32(c, 18, 20, Get32(c.bytes, c.local[1] + 18) / 2); }, kExtractBadData},
    };
    for (const Case& k : cases) {
        Crafted c = Craft({{"a.txt", Text("fine"), 0}, {"b.bin", data, 8}});
        k.damage(c);
        MemoryPackage p(c.bytes);
        ASSERT_EQ(p.Open(), kPackageOk) << k.what;
        auto all = p.ExtractAll();
        EXPECT_EQ(all[0].status, kExtractOk) << k.what;
        EXPECT_EQ(all[1].status, k.expected) << k.what;
    }
}

// The run box shows what will run: every "><" as the folder in Extract to, with the
// "\\" the run adds, and the parameters after a blank.
TEST(StubRunBox, NamesTheProgramFromTheFolderShownNow) {
    const char* cases[][3] = {
        {"><Holiday.exe", "c:\\gobus", "After extraction, run : c:\\gobus\\Holiday.exe"},
        {"><Holiday.exe", "d:\\my gobus\\", "After extraction, run : d:\\my gobus\\Holiday.exe"},
        {"><a.exe|-f ><b", "e:", "After extraction, run : e:\\a.exe -f e:\\b"},
        {"setup.exe", "c:\\gobus", "After extraction, run : setup.exe"},
    };
    char out[200];
    for (const auto& c : cases) {
        EXPECT_TRUE(RunBoxText(out, sizeof out, c[0], c[1])) << c[0];
        EXPECT_STREQ(out, c[2]);
    }
    EXPECT_FALSE(RunBoxText(out, 40, "><Holiday.exe", "c:\\a folder that is long"));
}
