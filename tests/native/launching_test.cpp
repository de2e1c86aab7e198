#include <gtest/gtest.h>

#include "app/launching.h"

TEST(RunTimeList, FilesShowTheirCapitalizedNameAndWebAddressesShowWhole) {
    EXPECT_EQ(RunTimeListText("C:\\docs\\readme.txt"), "Readme.txt");
    EXPECT_EQ(RunTimeListText("C:\\docs\\Plan.XLS"), "Plan.XLS");
    EXPECT_EQ(RunTimeListText("http://www.x.com/a"), "http://www.x.com/a");
    EXPECT_EQ(RunTimeListText("c:\\docs\\"), "");
    EXPECT_EQ(RunTimeListText("d:notes.txt"), "Notes.txt");
}

TEST(SameNames, FileNamePartsCompareWithoutLetterCase) {
    EXPECT_TRUE(HaveSameNames({"C:\\a\\report.doc", "D:\\b\\REPORT.DOC"}));
    EXPECT_FALSE(HaveSameNames({"C:\\a\\report.doc", "C:\\a\\report.docx"}));
    EXPECT_FALSE(HaveSameNames({}));
    EXPECT_FALSE(HaveSameNames({"C:\\only.doc"}));
    // The name part of a web address is everything after "http:".
    EXPECT_TRUE(HaveSameNames({"http://X.com/a", "HTTP://x.com/A"}));
    EXPECT_FALSE(HaveSameNames({"http://x.com/a", "http://y.com/a"}));
    // The same entry twice clashes with itself.
    EXPECT_TRUE(HaveSameNames({"c:\\a.txt", "c:\\b.txt", "c:\\a.txt"}));
}
