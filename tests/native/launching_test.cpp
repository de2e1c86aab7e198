#include <gtest/gtest.h>

#include "app/launching.h"

TEST(RunTimeList, FilesShowTheirCapitalizedNameAndWebAddressesShowWhole) {
    EXPECT_EQ(RunTimeListText("C:\\docs\\readme.txt"), "Readme.txt");
    EXPECT_EQ(RunTimeListText("C:\\docs\\Plan.XLS"), "Plan.XLS");
    EXPECT_EQ(RunTimeListText("http://www.x.com/a"), "http://www.x.com/a");
    EXPECT_EQ(RunTimeListText("https://www.x.com/a"), "https://www.x.com/a");
    EXPECT_EQ(RunTimeListText("c:\\docs\\"), "");
    EXPECT_EQ(RunTimeListText("d:notes.txt"), "Notes.txt");
}

TEST(SameNames, FileNamePartsCompareWithoutLetterCase) {
    EXPECT_TRUE(HaveSameNames({"C:\\a\\report.doc", "D:\\b\\REPORT.DOC"}));
    EXPECT_FALSE(HaveSameNames({"C:\\a\\report.doc", "C:\\a\\report.docx"}));
    EXPECT_FALSE(HaveSameNames({}));
    EXPECT_FALSE(HaveSameNames({"C:\\only.doc"}));
    // Web addresses of any scheme compare whole, a port's colon being no separator.
    EXPECT_TRUE(HaveSameNames({"http://X.com/a", "HTTP://x.com/A"}));
    EXPECT_FALSE(HaveSameNames({"http://x.com/a", "http://y.com/a"}));
    EXPECT_FALSE(HaveSameNames({"https://x.com:8080/a", "https://y.com:8080/a"}));
    EXPECT_FALSE(HaveSameNames({"http://x.com/a", "https://x.com/a"}));
    EXPECT_TRUE(HaveSameNames({"mailto:A@x.com", "MAILTO:a@x.com"}));
    // The same entry twice clashes with itself.
    EXPECT_TRUE(HaveSameNames({"c:\\a.txt", "c:\\b.txt", "c:\\a.txt"}));
}
