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

// ShellExecute's failures, told in the system's words: its own numbers stand for
// system errors, and the system's codes stand for themselves.
TEST(FailedOpens, ShellResultsStandForTheSystemErrorsThatSayWhy) {
    const struct {
        long long result;
        unsigned long error;
    } cases[] = {
        {0, 8},     {2, 2},     {3, 3},     {5, 5},     {8, 8},     {11, 11},   {26, 32},
        {27, 1155}, {28, 1156}, {29, 1156}, {30, 1156}, {31, 1155}, {32, 1157},
    };
    for (const auto& c : cases) EXPECT_EQ(ShellResultError(c.result), c.error) << c.result;
}
