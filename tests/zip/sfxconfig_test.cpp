// The configuration block byte for byte, the package's layout, the temporary file of
// WritePackage, and the extraction of the stub from an executable's tail.
#include <gtest/gtest.h>

#include <dirent.h>
#include <stdexcept>
#include <sys/stat.h>

#include "share/zip/sfxconfig.h"
#include "share/zip/zipwriter.h"
#include "tests/zip/ziptest.h"

namespace {

Bytes BlockOf(const TSFXConfig& c) { return Bytes(c.ConfigBlock.begin(), c.ConfigBlock.end()); }

// The values sharing sets for an executable named mygobu.exe.
TSFXConfig SharingConfig() {
    TSFXConfig c;
    c.UserCanChangeOverwrite = true;
    c.OverwriteMode = omAlways;
    c.Caption = "Mygobu.exe";
    c.DefaultPath = "c:\\gobus";
    c.CmdLine = "><mygobu.exe";
    return c;
}

size_t FilesIn(const std::string& dir) {
    size_t n = 0;
    DIR* d = opendir(dir.c_str());
    while (dirent* e = readdir(d))
        if (e->d_name[0] != '.') n++;
    closedir(d);
    return n;
}

}  // namespace

TEST(SfxConfig, TheWorkedExampleComesOutByteForByte) {
    TSFXConfig c = SharingConfig();
    c.BuildConfigBlock();
    std::string expected = std::string("SFX\x08\x0A\x08\x0C\x00\x00\x00", 10) + "Mygobu.exe" + "c:\\gobus" +
                           "><mygobu.exe" + std::string("\x2A\x00", 2);
    EXPECT_EQ(c.ConfigBlockSize, 42);
    EXPECT_EQ(c.ConfigBlock, expected);
}

TEST(SfxConfig, FlagsFollowEverySetting) {
    TSFXConfig c;
    c.OverwriteMode = omPrompt;
    c.BuildConfigBlock();
    EXPECT_EQ(uint8_t(c.ConfigBlock[3]), 0x04);  // prompt, nothing changeable
    struct Case {
        void (*set)(TSFXConfig&);
        uint8_t flags;
    };
    const Case cases[] = {
        {[](TSFXConfig& x) { x.UserCanDisableCmdLine = true; }, 0x05},
        {[](TSFXConfig& x) { x.UserCanChooseFiles = true; }, 0x06},
        {[](TSFXConfig& x) { x.UserCanChangeOverwrite = true; }, 0x00},
        {[](TSFXConfig& x) { x.OverwriteMode = omAlways; }, 0x0C},
        {[](TSFXConfig& x) { x.OverwriteMode = omNever; }, 0x14},
        {[](TSFXConfig& x) { x.AutoExtract = true; }, 0x44},
    };
    for (const Case& k : cases) {
        TSFXConfig x;
        x.OverwriteMode = omPrompt;
        k.set(x);
        x.BuildConfigBlock();
        EXPECT_EQ(uint8_t(x.ConfigBlock[3]), k.flags);
    }
    TSFXConfig defaults;
    defaults.BuildConfigBlock();
    EXPECT_EQ(uint8_t(defaults.ConfigBlock[3]), 0x0C);
    EXPECT_EQ(defaults.ConfigBlock.substr(10, defaults.ConfigBlock.size() - 12), SFX_DEFAULT_TITLE);
}

TEST(SfxConfig, LengthsUpToTheirFieldsFitAndLongerOnesAreRefusedKeepingTheOldBlock) {
    TSFXConfig c;
    c.Caption = std::string(255, 'c');
    c.DefaultPath = std::string(255, 'd');
    c.CmdLine = std::string(255, 'r');
    c.InfoText = std::string(300, 't');  // two bytes of length
    c.InfoTitle = std::string(255, 'i');
    c.BuildConfigBlock();
    Bytes b = BlockOf(c);
    ASSERT_EQ(b.size(), 12u + 4 * 255 + 300);
    EXPECT_EQ(b[4], 255);
    EXPECT_EQ(b[7] | b[8] << 8, 300);
    EXPECT_EQ(b[b.size() - 2] | b[b.size() - 1] << 8, int(b.size()));
    EXPECT_EQ(b[10 + 4 * 255 + 300 - 1], 'i');

    std::string before = c.ConfigBlock;
    for (std::string TSFXConfig::*field :
         {&TSFXConfig::Caption, &TSFXConfig::DefaultPath, &TSFXConfig::CmdLine, &TSFXConfig::InfoTitle}) {
        TSFXConfig x = c;
        x.*field = std::string(256, 'x');
        EXPECT_THROW(x.BuildConfigBlock(), std::length_error);
        EXPECT_EQ(x.ConfigBlock, before);
    }
    TSFXConfig big;
    big.Caption = "";
    big.InfoText = std::string(65535 - 12, 't');
    big.BuildConfigBlock();
    EXPECT_EQ(big.ConfigBlockSize, 65535);
    big.Caption = "x";  // one byte more than a block can measure
    EXPECT_THROW(big.BuildConfigBlock(), std::length_error);
}

TEST(SfxPackage, StubBlockAndArchiveLieEndToEndAndTheTemporaryFileIsGone) {
    ScratchDir dir, temp;
    std::mt19937 rng(21);
    Bytes stub = RandomBytes(rng, StubSize);
    WriteFile(dir / "SfxStub32.bin", stub);
    WriteFile(dir / "mygobu.exe", RandomBytes(rng, 5000));
    WriteFile(dir / "mygobu.gobu", TextData(rng, 800));
    TSFXConfig c = SharingConfig();
    c.BuildConfigBlock();
    TZipWriter w;
    w.TempPath = temp.path() + "/";
    w.PackLevel = 9;
    w.FilesList = {dir / "mygobu.exe", dir / "mygobu.gobu"};
    EXPECT_EQ(w.WritePackage(dir / "SfxStub32.bin", dir / "mygobu_zip.exe", c.ConfigBlockSize, c.ConfigBlock),
              2u);
    EXPECT_EQ(w.PackagePrefix, nullptr);
    EXPECT_EQ(FilesIn(temp.path()), 0u);

    Bytes package = ReadFile(dir / "mygobu_zip.exe");
    EXPECT_TRUE(std::equal(stub.begin(), stub.end(), package.begin()));
    Bytes block = BlockOf(c);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), package.begin() + StubSize));
    ReadArchive a = ParseArchive(package);
    ASSERT_EQ(a.entries.size(), 2u);
    EXPECT_EQ(a.entries[0].localOffset, StubSize + 42);
    EXPECT_EQ(a.entries[0].name, "mygobu.exe");

    // Without a block the prefix is the stub alone.
    w.FilesList = {dir / "mygobu.gobu"};
    EXPECT_EQ(w.WritePackage(dir / "SfxStub32.bin", dir / "plain_zip.exe", 0, c.ConfigBlock), 1u);
    EXPECT_EQ(ParseArchive(ReadFile(dir / "plain_zip.exe")).entries[0].localOffset, StubSize);
    EXPECT_EQ(FilesIn(temp.path()), 0u);
}

TEST(SfxPackage, FailuresLeaveNeitherPackageNorTemporaryFile) {
    ScratchDir dir, temp;
    WriteFile(dir / "SfxStub32.bin", Bytes(StubSize, 1));
    WriteFile(dir / "a.txt", std::string("a"));
    TSFXConfig c;
    c.BuildConfigBlock();
    TZipWriter w;
    w.TempPath = temp.path() + "/";

    // No stub: fails before the package is created.
    w.FilesList = {dir / "a.txt"};
    EXPECT_THROW(w.WritePackage(dir / "missing.bin", dir / "p_zip.exe", c.ConfigBlockSize, c.ConfigBlock),
                 EZipError);
    EXPECT_FALSE(Exists(dir / "p_zip.exe"));

    // The package exists already: the archive run fails, and the temporary file goes.
    WriteFile(dir / "old_zip.exe", std::string("old"));
    w.FilesList = {dir / "a.txt"};
    EXPECT_THROW(w.WritePackage(dir / "SfxStub32.bin", dir / "old_zip.exe", c.ConfigBlockSize, c.ConfigBlock),
                 EZipError);
    EXPECT_EQ(FilesIn(temp.path()), 0u);
    EXPECT_EQ(w.PackagePrefix, nullptr);

    // A block shorter than its given size is refused rather than read past its end.
    EXPECT_THROW(
        w.WritePackage(dir / "SfxStub32.bin", dir / "q_zip.exe", c.ConfigBlockSize + 1, c.ConfigBlock),
        EZipError);
    EXPECT_FALSE(Exists(dir / "q_zip.exe"));

    // No temporary folder: refused, nothing made.
    w.TempPath = dir / "no/such/folder/";
    w.FilesList = {dir / "a.txt"};
    EXPECT_THROW(w.WritePackage(dir / "SfxStub32.bin", dir / "r_zip.exe", c.ConfigBlockSize, c.ConfigBlock),
                 EZipError);
    EXPECT_FALSE(Exists(dir / "r_zip.exe"));

    EXPECT_EQ(w.WritePackage("", dir / "s_zip.exe", c.ConfigBlockSize, c.ConfigBlock), 0u);
    EXPECT_EQ(w.WritePackage(dir / "SfxStub32.bin", "", c.ConfigBlockSize, c.ConfigBlock), 0u);
    EXPECT_FALSE(Exists(dir / "s_zip.exe"));
}

TEST(SfxStub, TheStubFileIsTheExecutablesTailAndAnExistingOneStaysAsItIs) {
    ScratchDir dir;
    std::mt19937 rng(22);
    Bytes exe = RandomBytes(rng, 90000);
    WriteFile(dir / "holiday.exe", exe);
    EXPECT_EQ(StubPathOf(dir / "holiday.exe"), dir / "sfxstub32.bin");
    EXPECT_EQ(StubPathOf("c:\\gobus\\holiday.exe"), "c:\\gobus\\sfxstub32.bin");
    ExtractStubFile(dir / "holiday.exe");
    EXPECT_TRUE(ReadFile(dir / "sfxstub32.bin") == Bytes(exe.end() - StubSize, exe.end()));

    WriteFile(dir / "sfxstub32.bin", std::string("a stale stub"));
    ExtractStubFile(dir / "holiday.exe");
    EXPECT_EQ(ReadFile(dir / "sfxstub32.bin").size(), 12u);

    // An executable too short to carry a stub, or none at all: no file.
    ScratchDir other;
    WriteFile(other / "short.exe", RandomBytes(rng, StubSize - 1));
    ExtractStubFile(other / "short.exe");
    ExtractStubFile(other / "missing.exe");
    EXPECT_EQ(FilesIn(other.path()), 1u);
}
