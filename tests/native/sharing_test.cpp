#include <gtest/gtest.h>

#include "share/sharing.h"

TEST(Sharing, ListsHoldAPathInAnyLetterCaseOfAToZ) {
    const std::vector<std::string> rows = {"C:\\a\\notes.txt", "c:\\\xc9t\xe9.txt"};
    struct Case {
        const char* path;
        bool held;
    } cases[] = {
        {"C:\\a\\notes.txt", true},
        {"c:\\A\\NOTES.TXT", true},
        {"D:\\a\\notes.txt", false},
        {"C:\\a\\notes.txt ", false},
        {"C:\\\xc9T\xc9.TXT", false},  // accented letters are not folded
        {"c:\\\xc9t\xe9.TXT", true},
    };
    for (const Case& c : cases) EXPECT_EQ(HoldsPath(rows, c.path), c.held) << c.path;
    EXPECT_FALSE(HoldsPath({}, "c:\\x"));
}

TEST(Sharing, ThePackageCarriesTheGobuItsSettingsPicturesAndIncludedFilesInOrder) {
    auto resolve = [](const std::string& p) { return "<" + p + ">"; };
    std::vector<std::string> files =
        PackageFiles("c:\\gobus\\holiday.exe", {"c:\\p\\1.jpg", "c:\\p\\2.gif"},
                     {"c:\\docs\\plan.txt", "HTTP://example.com/x.txt", "https://example.com/y.txt",
                      "mailto:me@example.com", "www.example.com", "c:\\docs\\photos"},
                     resolve, [](const std::string& p) { return p == "<c:\\docs\\photos>"; });
    EXPECT_EQ(files, (std::vector<std::string>{"c:\\gobus\\holiday.exe", "c:\\gobus\\sfxstub32.bin",
                                               "<c:\\gobus\\holiday.gobu>", "<c:\\p\\1.jpg>", "<c:\\p\\2.gif>",
                                               "<c:\\docs\\plan.txt>", "<www.example.com>"}));
    EXPECT_EQ(PackageCaption("c:\\gobus\\holiday.exe"), "Holiday.exe");
    EXPECT_EQ(PackageCaption("c:\\gobus\\2cats.exe"), "2cats.exe");
}

TEST(Sharing, TheNoteAndTheFloppyRules) {
    EXPECT_EQ(IncludeNoteText(0, false), "");
    EXPECT_EQ(IncludeNoteText(1, false), "Picture is already included.");
    EXPECT_EQ(IncludeNoteText(2, false), "Pictures already included.");
    EXPECT_EQ(IncludeNoteText(0, true), "Folders are not zipped.");
    EXPECT_EQ(IncludeNoteText(2, true), "Pictures already included.  Folders are not zipped.");
    EXPECT_TRUE(FitsOnFloppy(0));
    EXPECT_TRUE(FitsOnFloppy(1440000));
    EXPECT_FALSE(FitsOnFloppy(1440001));
    EXPECT_FALSE(FitsOnFloppy(1474560));
    EXPECT_EQ(FloppyTarget("c:\\gobus\\holiday_zip.exe"), "a:\\holiday_zip.exe");
    EXPECT_EQ(CopiedToFloppyMessage("c:\\gobus\\holiday_zip.exe"),
              "A:\\holiday_zip.exe has been copied to the floppy disk.");
}
