#include <gtest/gtest.h>

#include <cstring>

#include "app/settings.h"
#include "share/zip/utf8.h"

namespace {

std::string Unchanged(const std::string& path) { return path; }

GobuSettings Read(const std::string& bytes, GobuSettings start = GobuSettings(), bool withPositions = true) {
    ReadSettings(bytes, withPositions, Unchanged, start);
    return start;
}

}  // namespace

TEST(SettingsFormat, ThirteenLineExampleInItsOrder) {
    GobuSettings s;
    s.windowLeft = 120;
    s.windowTop = 80;
    s.pictures = {"c:\\pics\\cat.jpg"};
    s.linkedFiles = {"c:\\docs\\diary.doc", "c:\\docs\\plan.xls"};
    EXPECT_EQ(FormatSettings(s),
              "gobu left 120\r\ngobu top 80\r\nlist left -20\r\nlist top -20\r\nlist width 172\r\n"
              "list height 121\r\npicture c:\\pics\\cat.jpg\r\nfile c:\\docs\\diary.doc\r\n"
              "file c:\\docs\\plan.xls\r\ntransition 0\r\nduration 10\r\ndestination 0\r\ntransparent\r\n");
}

TEST(SettingsFormat, FlagsInTheirOrderAndIncludesAfterFiles) {
    GobuSettings s;
    s.transparent = false;
    s.stayOnTop = s.groupLaunch = s.animation = true;
    s.includeFiles = {"c:\\a.txt"};
    s.linkedFiles = {"c:\\b.txt"};
    s.transition = -1;
    std::string text = FormatSettings(s);
    EXPECT_NE(text.find("file c:\\b.txt\r\ninclude c:\\a.txt\r\ntransition -1\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.find("destination 0\r\n") + 15), "group launch\r\nanimation\r\nontop\r\n");
}

TEST(SettingsRead, KeywordsInAnyCaseAndValuesAsWritten) {
    GobuSettings s = Read("Picture C:\\Pics\\Cat.JPG\r\nFILE D:\\X.DOC\r\nTRANSPARENT\r\nDURATION 7\r\n");
    EXPECT_EQ(s.pictures, std::vector<std::string>{"C:\\Pics\\Cat.JPG"});
    EXPECT_EQ(s.linkedFiles, std::vector<std::string>{"D:\\X.DOC"});
    EXPECT_TRUE(s.transparent);
    EXPECT_EQ(s.duration, 7);
}

TEST(SettingsRead, DurationIsClampedAndABadNumberChangesNothing) {
    GobuSettings start;
    start.duration = 30;
    EXPECT_EQ(Read("duration 1\r", start).duration, 2);
    EXPECT_EQ(Read("duration 100000\r", start).duration, 99999);
    EXPECT_EQ(Read("duration 99999999999999999999999\r", start).duration, 99999);
    EXPECT_EQ(Read("duration -5\r", start).duration, 2);
    EXPECT_EQ(Read("duration ten\r", start).duration, 30);
    EXPECT_EQ(Read("duration 12 \r", start).duration, 30);
    EXPECT_EQ(Read("duration \r", start).duration, 30);
    EXPECT_EQ(Read("duration   +7\r", start).duration, 7);
}

TEST(SettingsRead, OutOfRangeSelectionsReadAsNone) {
    GobuSettings s = Read("transition 13\r\ndestination 3\r\n");
    EXPECT_EQ(s.transition, -1);
    EXPECT_EQ(s.destination, -1);
    EXPECT_NE(FormatSettings(s).find("transition -1\r\n"), std::string::npos);
    s = Read("transition 12\r\ndestination 2\r\ntransition x\r\n");
    EXPECT_EQ(s.transition, 12);
    EXPECT_EQ(s.destination, 2);
    // A number past 32 bits does not read at all.
    EXPECT_EQ(Read("gobu left 4294967336\r\n").windowLeft, 40);
}

TEST(SettingsRead, FlagLinesMustMatchWhole) {
    GobuSettings s = Read("transparent \r\nontop\r\ngroup launch\r\nanimation x\r\n");
    EXPECT_FALSE(s.transparent);
    EXPECT_TRUE(s.stayOnTop);
    EXPECT_TRUE(s.groupLaunch);
    EXPECT_FALSE(s.animation);
}

TEST(SettingsRead, OntopAloneResetsListsAndFlagsAndKeepsTheRest) {
    GobuSettings start;
    start.pictures = {"a"};
    start.linkedFiles = {"b"};
    start.includeFiles = {"c"};
    start.groupLaunch = start.animation = start.transparent = true;
    start.transition = 5;
    start.duration = 77;
    start.destination = 2;
    start.windowLeft = 300;
    start.listWidth = 200;
    GobuSettings s = Read("ontop", start);
    EXPECT_TRUE(s.pictures.empty() && s.linkedFiles.empty() && s.includeFiles.empty());
    EXPECT_FALSE(s.groupLaunch || s.animation || s.transparent);
    EXPECT_TRUE(s.stayOnTop);
    EXPECT_EQ(s.transition, 5);
    EXPECT_EQ(s.duration, 77);
    EXPECT_EQ(s.destination, 2);
    EXPECT_EQ(s.windowLeft, 300);
    EXPECT_EQ(s.listWidth, 200);
}

TEST(SettingsRead, EmptyFileReadsNoLine) {
    GobuSettings start;
    start.pictures = {"a"};
    GobuSettings s = start;
    EXPECT_EQ(ReadSettings("", true, Unchanged, s), 0);
    EXPECT_TRUE(s.pictures.empty());
    EXPECT_FALSE(s.transparent);
}

TEST(SettingsRead, LineEndsCtrlZAndLoneLineFeeds) {
    GobuSettings s;
    EXPECT_EQ(
        ReadSettings("picture a\r\n\r\npicture b\nfile c\rpicture d\x1apicture e\r\n", true, Unchanged, s),
        4);
    // A lone LF stays inside its line; nothing after Ctrl-Z is read.
    EXPECT_EQ(s.pictures, (std::vector<std::string>{"a", "b\nfile c", "d"}));
    EXPECT_TRUE(s.linkedFiles.empty());
    // CR CR LF: the first CR ends a line, the second an empty one, and its LF is skipped.
    EXPECT_EQ(ReadSettings("picture a\r\r\npicture b", true, Unchanged, s), 3);
    EXPECT_EQ(s.pictures, (std::vector<std::string>{"a", "b"}));
}

TEST(SettingsRead, PicturePathContainingFileStaysAPicture) {
    GobuSettings s = Read("picture c:\\my file 2.jpg\r\n");
    EXPECT_EQ(s.pictures, std::vector<std::string>{"c:\\my file 2.jpg"});
    EXPECT_TRUE(s.linkedFiles.empty());
}

TEST(SettingsRead, ListsAppendInFileOrderAndScalarsOverwrite) {
    GobuSettings s = Read("include b\r\nduration 5\r\ninclude a\r\ninclude b\r\nduration 6\r\n");
    EXPECT_EQ(s.includeFiles, (std::vector<std::string>{"b", "a", "b"}));
    EXPECT_EQ(s.duration, 6);
}

TEST(SettingsRead, GeometryOnlyWithPositions) {
    const std::string text = "gobu left 500\r\nlist height 300\r\npicture p\r\n";
    GobuSettings s = Read(text, GobuSettings(), false);
    EXPECT_EQ(s.windowLeft, 40);
    EXPECT_EQ(s.listHeight, 121);
    EXPECT_EQ(s.pictures, std::vector<std::string>{"p"});
    s = Read(text);
    EXPECT_EQ(s.windowLeft, 500);
    EXPECT_EQ(s.listHeight, 300);
}

TEST(SettingsRead, ListedPathsPassThroughTheResolver) {
    GobuSettings s;
    ReadSettings(
        "picture d:\\old\\cat.jpg\r\nfile http://x\r\ninclude d:\\y\r\n", true,
        [](const std::string& p) { return "[" + p + "]"; }, s);
    EXPECT_EQ(s.pictures, std::vector<std::string>{"[d:\\old\\cat.jpg]"});
    EXPECT_EQ(s.linkedFiles, std::vector<std::string>{"[http://x]"});
    EXPECT_EQ(s.includeFiles, std::vector<std::string>{"[d:\\y]"});
}

TEST(SettingsRoundTrip, WriteThenReadGivesEveryFieldBackAsWritten) {
    GobuSettings s;
    s.pictures = {"C:\\Pics\\A.bmp", "c:\\b.gif",
                  "Z:\\Photos\\Caf\xC3\xA9 \xC3\x89t\xC3\xA9\\\xE7\x8C\xAB.JPG"};
    s.linkedFiles = {"http://Site.com/X", "c:\\Doc.txt", "HTTPS://Site.com/Y", "Go to http://Site.com/Z"};
    s.includeFiles = {"c:\\inc.txt", "D:\\\xF0\x9F\x90\xB1 Notes.TXT"};
    s.transition = 7;
    s.duration = 12345;
    s.destination = -1;
    s.groupLaunch = s.animation = s.stayOnTop = true;
    s.transparent = false;
    s.windowLeft = -300;
    s.windowTop = 2000;
    s.listLeft = 5;
    s.listTop = 6;
    s.listWidth = 300;
    s.listHeight = 400;
    GobuSettings back = Read(FormatSettings(s));
    EXPECT_EQ(back.pictures, s.pictures);
    EXPECT_EQ(back.linkedFiles, s.linkedFiles);
    EXPECT_EQ(back.includeFiles, s.includeFiles);
    EXPECT_EQ(FormatSettings(back), FormatSettings(s));
}

TEST(DurationBox, TypedTextIsBroughtIntoTheDurationRange) {
    const std::pair<const char*, int> cases[] = {
        {"10", 10}, {"2", 2},   {"99999", 99999},  {"1", 2},
        {"0", 2},   {"-5", 2},  {"100000", 99999}, {"99999999999999999999", 99999},
        {"", 2},    {"ten", 2}, {"12s", 2},        {" 7", 7},
    };
    for (const auto& c : cases) EXPECT_EQ(DurationOfText(c.first), c.second) << c.first;
}

// A settings file of well-formed UTF-8 is taken as it is; any other is an older gobu's.
TEST(SettingsFile, OnlyWellFormedUtf8IsTakenAsUtf8) {
    const char* utf8[] = {"c:\\plain.jpg", "caf\xC3\xA9", "\xE7\x8C\xAB.jpg", "\xF0\x9F\x90\xB1 notes.txt"};
    // Windows-1252, an overlong "/", a surrogate, past U+10FFFF, cut short.
    const char* other[] = {"caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE7\x8C"};
    for (const char* s : utf8) EXPECT_TRUE(IsUtf8(s, strlen(s))) << s;
    for (const char* s : other) EXPECT_FALSE(IsUtf8(s, strlen(s))) << s;
}
