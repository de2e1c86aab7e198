#include <gtest/gtest.h>

#include <set>

#include "app/gobufiles.h"

namespace {

// A file system holding exactly the given files, compared as Windows does.
FileExistsTest Files(std::set<std::string> files) {
    std::set<std::string> lower;
    for (const std::string& f : files) lower.insert(LowerAZ(f));
    return [lower](const std::string& path) { return lower.count(LowerAZ(path)) > 0; };
}

}  // namespace

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
