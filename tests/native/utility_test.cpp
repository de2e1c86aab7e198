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

// What is a web address, and what the Web Page box links for a typed text: "http://"
// goes in front only of a text that is no web address.
TEST(IsWebAddress, SchemesAndMailtoAreWebAddressesAndTheWebPageRuleFollows) {
    struct Case {
        const char* text;
        bool web;
        const char* entry;
    } cases[] = {
        {"http://example.org/", true, "http://example.org/"},
        {"HTTPS://Example.org/A", true, "HTTPS://Example.org/A"},
        {"ftp://files.example.org/x.zip", true, "ftp://files.example.org/x.zip"},
        {"svn+ssh://host/repo", true, "svn+ssh://host/repo"},
        {"MailTo:someone@example.org", true, "MailTo:someone@example.org"},
        {"file://", true, "file://"},
        {"http://", true, "http://"},
        {"example.org", false, "http://example.org"},
        {"www.x.org", false, "http://www.x.org"},
        {"c:\\x\\http-notes.txt", false, "http://c:\\x\\http-notes.txt"},
        {"c://x", false, "http://c://x"},  // one letter is a drive
        {"c:\\notes\\ftp://x.txt", false, "http://c:\\notes\\ftp://x.txt"},
        {"1http://x", true, "1http://x"},  // no scheme, but "http://" as settings have always had it
        {"see http://x", true, "see http://x"},
        {"mailto", false, "http://mailto"},
        {"x-1.2://y", true, "x-1.2://y"},
        {"-x://y", false, "http://-x://y"},
        {"", false, ""},  // nothing typed: no entry
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsWebAddress(c.text), c.web) << c.text;
        EXPECT_EQ(WebPageEntry(c.text), c.entry) << c.text;
    }
}

TEST(ProposedGobuName, NextFreeNameInItsLetterCaseWithTheFirstCharacterUpper) {
    struct Case {
        const char* own;
        std::set<std::string> files;
        const char* proposed;
    } cases[] = {
        {"c:\\gobus\\gobu.exe", {"c:\\gobus\\gobu.exe", "c:\\gobus\\gobu1.exe"}, "C:\\gobus\\gobu2.exe"},
        {"c:\\My Gobus\\Holiday.EXE", {"c:\\my gobus\\holiday.exe"}, "C:\\My Gobus\\Holiday1.EXE"},
        // Without gobu.exe beside it, gobu3.exe proposes its own name.
        {"c:\\g\\gobu3.exe", {"c:\\g\\gobu3.exe"}, "C:\\g\\gobu3.exe"},
        // A first character that is no letter stays.
        {"\\\\Server\\G\\\xC4rger.exe", {"\\\\server\\g\\\xC4rger.exe"}, "\\\\Server\\G\\\xC4rger1.exe"},
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

TEST(RefusedMessage, OneEntryInASentenceSeveralOneALine) {
    EXPECT_EQ(
        RefusedMessage({{"c:\\a.xyz", "No program."}}, "could not be opened", "These could not be opened"),
        "c:\\a.xyz could not be opened. No program.");
    EXPECT_EQ(
        RefusedMessage({{"c:\\a.xyz", "No program."}, {"c:\\b", "Gone."}}, "was not added", "These were not"),
        "These were not:\r\n\r\nc:\\a.xyz - No program.\r\nc:\\b - Gone.");
}
