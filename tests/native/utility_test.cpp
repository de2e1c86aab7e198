#include <gtest/gtest.h>

#include <set>

#include "app/utility.h"

namespace {

// A file system holding exactly the given files (compared as Windows does, ignoring
// the case of A to Z).
FileExistsTest Files(std::set<std::string> files) {
    std::set<std::string> lower;
    for (const std::string& f : files) lower.insert(LowerAZ(f));
    return [lower](const std::string& path) { return lower.count(LowerAZ(path)) > 0; };
}

}  // namespace

TEST(ResolveListedPath, MissingFileIsTakenFromTheExecutablesFolder) {
    auto exists = Files({"c:\\gobus\\pic.jpg"});
    EXPECT_EQ(ResolveListedPath("D:\\old\\pic.jpg", "c:\\gobus\\", exists), "c:\\gobus\\pic.jpg");
    EXPECT_EQ(ResolveListedPath("D:\\old\\cat.jpg", "c:\\gobus\\", exists), "D:\\old\\cat.jpg");
}

TEST(ResolveListedPath, ExistingFilesWebAddressesAndEmptyPassUnchanged) {
    auto exists = Files({"d:\\old\\pic.jpg", "c:\\gobus\\pic.jpg", "c:\\gobus\\www.x.com"});
    EXPECT_EQ(ResolveListedPath("d:\\old\\pic.jpg", "c:\\gobus\\", exists), "d:\\old\\pic.jpg");
    // The name part of HTTP://www.x.com is "//www.x.com"; a web address is never looked up.
    EXPECT_EQ(ResolveListedPath("HTTP://www.x.com", "c:\\gobus\\", exists), "HTTP://www.x.com");
    EXPECT_EQ(ResolveListedPath("go to http://x", "c:\\gobus\\", exists), "go to http://x");
    EXPECT_EQ(ResolveListedPath("", "c:\\gobus\\", exists), "");
}

TEST(ResolveListedPath, AFolderBesideTheExecutableIsNoFile) {
    // The test given decides; the window's test rejects folders, so a name that is a
    // folder beside the executable is not found there.
    auto exists = [](const std::string&) { return false; };
    EXPECT_EQ(ResolveListedPath("d:\\old\\pics", "c:\\gobus\\", exists), "d:\\old\\pics");
}

TEST(StripTrailingDigits, RemovesOnlyTheDigitsAtTheEndOfTheBaseName) {
    EXPECT_EQ(StripTrailingDigits("C:\\g\\gobu12.exe"), "C:\\g\\gobu.exe");
    EXPECT_EQ(StripTrailingDigits("C:\\g1\\gobu.exe"), "C:\\g1\\gobu.exe");
    EXPECT_EQ(StripTrailingDigits("C:\\g\\2go2.v3.exe"), "C:\\g\\2go2.v.exe");
    EXPECT_EQ(StripTrailingDigits("C:\\g\\gobu7"), "C:\\g\\gobu");
    // A name of digits only has nothing left and is kept whole.
    EXPECT_EQ(StripTrailingDigits("C:\\g\\2000.exe"), "C:\\g\\2000.exe");
    EXPECT_EQ(StripTrailingDigits(""), "");
}

TEST(NextFreeName, NumbersOnFromTheDigitFreeForm) {
    auto exists = Files({"c:\\gobus\\gobu.exe", "c:\\gobus\\gobu1.exe"});
    EXPECT_EQ(NextFreeName("c:\\gobus\\gobu.exe", exists), "c:\\gobus\\gobu2.exe");
    EXPECT_EQ(NextFreeName("c:\\gobus\\gobu3.exe", exists), "c:\\gobus\\gobu2.exe");
    EXPECT_EQ(NextFreeName("C:\\GOBUS\\GOBU.EXE", exists), "C:\\GOBUS\\GOBU2.EXE");
}

TEST(NextFreeName, PathIsKeptWhenItsDigitFreeFormIsFree) {
    // gobu3.exe exists itself, but gobu.exe does not: the path is proposed unchanged.
    auto exists = Files({"c:\\gobus\\gobu3.exe"});
    EXPECT_EQ(NextFreeName("c:\\gobus\\gobu3.exe", exists), "c:\\gobus\\gobu3.exe");
    EXPECT_EQ(NextFreeName("", exists), "");
}

TEST(NextFreeName, SkipsEveryTakenNumber) {
    std::set<std::string> taken{"c:\\h.exe"};
    for (int n = 1; n <= 120; n++) taken.insert("c:\\h" + std::to_string(n) + ".exe");
    EXPECT_EQ(NextFreeName("c:\\h.exe", Files(taken)), "c:\\h121.exe");
}

TEST(IsWebAddress, AnyLetterCaseAnywhereInTheEntry) {
    EXPECT_TRUE(IsWebAddress("HtTp://x"));
    EXPECT_TRUE(IsWebAddress("see http://x"));
    EXPECT_FALSE(IsWebAddress("https://x"));
    EXPECT_FALSE(IsWebAddress("c:\\http\\x.doc"));
}

TEST(WebPageEntry, PrefixesEveryTextWithoutHttpInAnyCase) {
    struct Case {
        const char *typed, *entry;
    } cases[] = {
        {"", ""},  // nothing typed: no entry
        {"http://", "http://"},
        {"example.org/a b", "http://example.org/a b"},
        {"HTTP://Example.org", "HTTP://Example.org"},
        {"see http://x", "see http://x"},
        {"ftp://x", "http://ftp://x"},
        {"https://x", "http://https://x"},
        {"www.x.com", "http://www.x.com"},
    };
    for (const Case& c : cases) EXPECT_EQ(WebPageEntry(c.typed), c.entry) << c.typed;
}

TEST(ProposedGobuName, NextFreeNameLowerCasedWithTheFirstCharacterUpper) {
    struct Case {
        const char* own;
        std::set<std::string> files;
        const char* proposed;
    } cases[] = {
        {"c:\\gobus\\gobu.exe", {"c:\\gobus\\gobu.exe", "c:\\gobus\\gobu1.exe"}, "C:\\gobus\\gobu2.exe"},
        {"C:\\My Gobus\\Holiday.EXE", {"c:\\my gobus\\holiday.exe"}, "C:\\my gobus\\holiday1.exe"},
        // Without gobu.exe beside it, gobu3.exe proposes its own name.
        {"c:\\g\\gobu3.exe", {"c:\\g\\gobu3.exe"}, "C:\\g\\gobu3.exe"},
        // Only A to Z change case; a first character that is no letter stays.
        {"\\\\Server\\G\\\xC4rger.exe", {"\\\\server\\g\\\xC4rger.exe"}, "\\\\server\\g\\\xC4rger1.exe"},
    };
    for (const Case& c : cases) EXPECT_EQ(ProposedGobuName(c.own, Files(c.files)), c.proposed) << c.own;
}

TEST(IsOwnName, FoldsOnlyTheLettersAToZ) {
    struct Case {
        const char *chosen, *own;
        bool same;
    } cases[] = {
        {"C:\\GOBUS\\GOBU3.EXE", "c:\\gobus\\gobu3.exe", true},
        {"c:\\gobus\\gobu3.exe", "c:\\gobus\\gobu3.exe", true},
        {"c:\\gobus\\gobu.exe", "c:\\gobus\\gobu3.exe", false},
        {"c:\\gobus2\\gobu3.exe", "c:\\gobus\\gobu3.exe", false},
        {"c:\\\xC4.exe", "c:\\\xE4.exe", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsOwnName(c.chosen, c.own), c.same) << c.chosen;
}
