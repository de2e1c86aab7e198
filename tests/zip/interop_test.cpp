// What the writer makes must satisfy real readers, not only our own: Info-ZIP's unzip
// and zipinfo, 7-Zip, Python's zipfile, and zlib's inflater for every entry's bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>

#include "share/zip/zipwriter.h"
#include "tests/zip/ziptest.h"

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

bool Mentions(const std::string& output, const std::string& words) {
    return Lower(output).find(Lower(words)) != std::string::npos;
}

struct Packed {
    std::string path;
    Bytes content;
};

// Every reader accepts the archive without a warning, and zlib reproduces each file.
void ExpectAllReadersAccept(const std::string& zip, const std::vector<Packed>& files,
                            uint64_t prefixSize = 0) {
    std::string q = ShellQuote(zip);

    CommandResult unzip = RunCommand("unzip -t " + q);
    EXPECT_EQ(unzip.status, 0) << unzip.output;
    EXPECT_TRUE(Mentions(unzip.output, "no errors detected")) << unzip.output;
    EXPECT_FALSE(Mentions(unzip.output, "warning")) << unzip.output;
    EXPECT_FALSE(Mentions(unzip.output, "extra bytes")) << unzip.output;

    CommandResult zipinfo = RunCommand("zipinfo -v " + q);
    EXPECT_EQ(zipinfo.status, 0) << zipinfo.output;
    EXPECT_FALSE(Mentions(zipinfo.output, "warning")) << zipinfo.output;
    EXPECT_FALSE(Mentions(zipinfo.output, "error")) << zipinfo.output;
    EXPECT_TRUE(Mentions(zipinfo.output, "central directory contains " + std::to_string(files.size()) +
                                             (files.size() == 1 ? " entry" : " entries")))
        << zipinfo.output;

    CommandResult sevenZip = RunCommand("7z t " + q);
    EXPECT_EQ(sevenZip.status, 0) << sevenZip.output;
    EXPECT_TRUE(Mentions(sevenZip.output, "everything is ok")) << sevenZip.output;
    if (prefixSize == 0) {
        EXPECT_FALSE(Mentions(sevenZip.output, "warning")) << sevenZip.output;
    }

    CommandResult python = RunCommand(
        "python3 -c 'import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "bad = z.testzip()\n"
        "print(len(z.infolist()), bad)\n"
        "sys.exit(0 if bad is None else 1)' " +
        q);
    EXPECT_EQ(python.status, 0) << python.output;
    EXPECT_EQ(python.output, std::to_string(files.size()) + " None\n");

    ReadArchive a = ParseArchive(ReadFile(zip));
    ASSERT_EQ(a.entries.size(), files.size());
    for (size_t i = 0; i < files.size(); i++) {
        const ReadEntry& e = a.entries[i];
        Inflated back = ExtractEntry(e);
        ASSERT_TRUE(back.ok) << files[i].path;
        ASSERT_TRUE(back.data == files[i].content) << files[i].path;
        if (i == 0) {
            EXPECT_EQ(e.localOffset, prefixSize);
        }
    }
}

std::vector<Packed> MakeFiles(const ScratchDir& dir, std::mt19937& rng, const std::vector<size_t>& sizes,
                              int set) {
    std::vector<Packed> files;
    for (size_t i = 0; i < sizes.size(); i++) {
        Packed f;
        f.path = dir / ("set" + std::to_string(set) + "_file" + std::to_string(i) + ".bin");
        switch (rng() % 3) {
        case 0:
            f.content = MixedData(rng, sizes[i]);
            break;
        case 1:
            f.content = TextData(rng, sizes[i]);
            break;
        default:
            f.content = RandomBytes(rng, sizes[i]);
            break;
        }
        WriteFile(f.path, f.content);
        files.push_back(f);
    }
    return files;
}

std::vector<std::string> PathsOf(const std::vector<Packed>& files) {
    std::vector<std::string> paths;
    for (const Packed& f : files) paths.push_back(f.path);
    return paths;
}

std::string Gobuzip() { return ShellQuote(GOBUZIP_PATH); }

}  // namespace

TEST(ZipInterop, EveryKindOfEntryPassesAllFourReadersAndZlib) {
    ScratchDir dir;
    std::mt19937 rng(1);
    std::vector<Packed> files = {
        {dir / "empty.gobu", {}},
        {dir / "small.jpg", RandomBytes(rng, 3000)},
        {dir / "readme.txt", TextData(rng, 120000)},
        {dir / "mixed.dat", MixedData(rng, 300000)},
        {dir / "noise.bin", RandomBytes(rng, 140000)},
        {dir / "zeros.bin", Bytes(200000, 0)},
        {dir / "caf\xC3\xA9.txt", TextData(rng, 500)},
        {dir / "\xE7\x8C\xAB.jpg", RandomBytes(rng, 700)},
        {dir / "\xF0\x9F\x90\xB1 notes.txt", TextData(rng, 300)},
    };
    // A real executable too.
    Bytes program = ReadFile("/bin/ls");
    files.push_back({dir / "ls", program});
    for (const Packed& f : files) WriteFile(f.path, f.content);

    TZipWriter w;
    w.ZipName = dir / "all.zip";
    w.PackLevel = 9;
    w.FilesList = PathsOf(files);
    ASSERT_EQ(w.WriteArchive(), files.size());
    ExpectAllReadersAccept(w.ZipName, files);

    // Extracted by unzip, the files come back with their bytes.
    ASSERT_EQ(RunCommand("mkdir " + ShellQuote(dir / "out") + " && cd " + ShellQuote(dir / "out") +
                         " && LC_ALL=C.UTF-8 unzip -q " + ShellQuote(w.ZipName))
                  .status,
              0);
    EXPECT_TRUE(ReadFile(dir / "out/readme.txt") == files[2].content);
    EXPECT_TRUE(ReadFile(dir / "out/ls") == program);
    // Names beyond ASCII come back as they were, from unzip and from Python.
    EXPECT_TRUE(ReadFile(dir / "out/\xF0\x9F\x90\xB1 notes.txt") == files[8].content);
    const std::string python =
        "PYTHONIOENCODING=utf-8 python3 -c 'import sys, zipfile\n"
        "print(zipfile.ZipFile(sys.argv[1]).namelist()[7])' ";
    EXPECT_EQ(RunCommand(python + ShellQuote(w.ZipName)).output, "\xE7\x8C\xAB.jpg\n");
}

TEST(ZipInterop, APrefixedArchiveReadsWithoutExtraByteOrOffsetWarnings) {
    ScratchDir dir;
    std::mt19937 rng(2);
    Bytes stub = RandomBytes(rng, 36352 + 77);
    WriteFile(dir / "stub.bin", stub);
    std::vector<Packed> files = MakeFiles(dir, rng, {50000, 0, 70000, 1000}, 0);

    std::string cmd =
        Gobuzip() + " --prefix " + ShellQuote(dir / "stub.bin") + " " + ShellQuote(dir / "pkg_zip.exe");
    for (const Packed& f : files) cmd += " " + ShellQuote(f.path);
    CommandResult made = RunCommand(cmd);
    ASSERT_EQ(made.status, 0) << made.output;
    EXPECT_EQ(made.output, "4\n");
    Bytes package = ReadFile(dir / "pkg_zip.exe");
    ASSERT_GE(package.size(), stub.size());
    EXPECT_TRUE(std::equal(stub.begin(), stub.end(), package.begin()));
    ExpectAllReadersAccept(dir / "pkg_zip.exe", files, stub.size());
}

TEST(ZipInterop, GobuzipReportsItsCountAndFailures) {
    ScratchDir dir;
    std::mt19937 rng(3);
    std::vector<Packed> files = MakeFiles(dir, rng, {20000, 30000}, 0);
    std::string a = ShellQuote(files[0].path), b = ShellQuote(files[1].path);

    // The level option reaches the writer: -0 copies without the level flag, the
    // default is level 9.
    for (const char* level : {"-0", ""}) {
        std::string zip = dir / (std::string("l") + (*level ? "0" : "9") + ".zip");
        CommandResult r = RunCommand(Gobuzip() + " " + level + " " + ShellQuote(zip) + " " + a + " " +
                                     ShellQuote(dir / "missing") + " " + b);
        ASSERT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(r.output, "2\n");
        for (const ReadEntry& e : ParseArchive(ReadFile(zip)).entries) EXPECT_EQ(e.flags, *level ? 0 : 2);
    }

    // The output exists already: an error, and the file stays as it was.
    CommandResult again = RunCommand(Gobuzip() + " " + ShellQuote(dir / "l9.zip") + " " + a);
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(Mentions(again.output, "already exists")) << again.output;
    ExpectAllReadersAccept(dir / "l9.zip", files);

    EXPECT_EQ(RunCommand(Gobuzip() + " " + ShellQuote(dir / "x.zip")).status, 2);
    EXPECT_EQ(RunCommand(Gobuzip() + " -x " + ShellQuote(dir / "x.zip") + " " + a).status, 2);
    EXPECT_EQ(RunCommand(Gobuzip() + " --prefix " + ShellQuote(dir / "nostub") + " " +
                         ShellQuote(dir / "x.zip") + " " + a)
                  .status,
              1);
    EXPECT_FALSE(Exists(dir / "x.zip"));
}

// Random file sets of random sizes, with the sizes that sit on block and window edges
// over-represented.
TEST(ZipInterop, RandomFileSetsRoundTrip) {
    ScratchDir dir;
    std::mt19937 rng(20240611);
    const size_t edges[] = {0,     1,     2,     3,     258,   259,   32767, 32768,
                            32769, 65273, 65274, 65275, 65535, 65536, 65537, 98304};
    for (int set = 0; set < 14; set++) {
        std::vector<size_t> sizes;
        size_t count = 1 + rng() % 6;
        for (size_t i = 0; i < count; i++) sizes.push_back(rng() % 2 ? edges[rng() % 16] : rng() % 150000);
        std::vector<Packed> files = MakeFiles(dir, rng, sizes, set);
        TZipWriter w;
        w.ZipName = dir / ("set" + std::to_string(set) + ".zip");
        w.PackLevel = set % 3 == 0 ? int(1 + rng() % 9) : 9;
        w.FilesList = PathsOf(files);
        ASSERT_EQ(w.WriteArchive(), files.size());
        ReadArchive a = ParseArchive(ReadFile(w.ZipName));
        ASSERT_EQ(a.entries.size(), files.size());
        for (size_t i = 0; i < files.size(); i++) {
            Inflated back = ExtractEntry(a.entries[i]);
            ASSERT_TRUE(back.ok) << "set " << set << " file " << i << " size " << sizes[i];
            ASSERT_TRUE(back.data == files[i].content)
                << "set " << set << " file " << i << " size " << sizes[i];
        }
        CommandResult unzip = RunCommand("unzip -tq " + ShellQuote(w.ZipName));
        EXPECT_EQ(unzip.status, 0) << unzip.output;
    }
}

// A package as sharing builds it (the real stub taken from the executable's tail, then
// the configuration block and the archive) opens in every reader without a warning.
TEST(ZipInterop, ASelfExtractingPackageReadsInEveryToolWithoutWarnings) {
    if (!Exists(GOBU_STUB_PATH)) GTEST_SKIP() << "no stub built at " << GOBU_STUB_PATH;
    ScratchDir dir;
    std::mt19937 rng(23);
    Bytes exe = RandomBytes(rng, 200000), stub = ReadFile(GOBU_STUB_PATH);
    exe.insert(exe.end(), stub.begin(), stub.end());
    std::vector<Packed> files = {{dir / "holiday.exe", exe},
                                 {dir / "sfxstub32.bin", {}},
                                 {dir / "holiday.gobu", TextData(rng, 700)},
                                 {dir / "beach.bmp", MixedData(rng, 150000)}};
    WriteFile(files[0].path, files[0].content);
    for (size_t i = 2; i < files.size(); i++) WriteFile(files[i].path, files[i].content);
    ASSERT_EQ(RunCommand(Gobuzip() + " --extract-stub " + ShellQuote(files[0].path)).status, 0);
    files[1].content = ReadFile(files[1].path);
    EXPECT_TRUE(files[1].content == stub);

    std::string cmd = Gobuzip() + " --sfx " + ShellQuote(files[1].path) +
                      " --caption Holiday.exe --dest 'c:\\gobus' --run '><holiday.exe' --changeable " +
                      ShellQuote(dir / "holiday_zip.exe");
    for (const Packed& f : files) cmd += " " + ShellQuote(f.path);
    CommandResult made = RunCommand(cmd);
    ASSERT_EQ(made.status, 0) << made.output;
    const uint64_t blockSize = 12 + 11 + 8 + 13;
    ExpectAllReadersAccept(dir / "holiday_zip.exe", files, 36352 + blockSize);
    CommandResult sevenZip = RunCommand("7z t " + ShellQuote(dir / "holiday_zip.exe"));
    EXPECT_FALSE(Mentions(sevenZip.output, "warning")) << sevenZip.output;
}
