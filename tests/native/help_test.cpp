#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "help/helptext.h"
#include "help/weblinks.h"

namespace {

// The text split at CR LF; a lone CR or LF stays inside its line.
std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    lines.push_back(text.substr(start));
    return lines;
}

int IndexOf(const std::vector<std::string>& lines, const std::string& line, int from = 0) {
    for (int i = from; i < int(lines.size()); i++)
        if (lines[size_t(i)] == line) return i;
    return -1;
}

}  // namespace

TEST(HelpMenuTexts, QuickKeysAboutAndAddressesAreExactlyTheseBytes) {
    const std::string product = ProductPageUrl, feedback = FeedbackMailAddress;
    struct Case {
        const char* name;
        std::string text, expected;
    } cases[] = {
        {"Quick Keys", QuickKeysText(),
         "The following keys do:\r\n\r\n[Spacebar] - Pause/Resume slideshow\r\n[A] - Save Gobu As\r\n"
         "[F] - Display Associated File(s) Dialog\r\n[H] - Display Help\r\n[M] - Hide (Minimize) Gobu\r\n"
         "[N] - Create New Gobu\r\n[O] - Open Existing Gobu\r\n[P] - Open Select Picture(s) Dialog\r\n"
         "[Q] - Close Gobu (Quit)\r\n[S] - Send Gobu Via E-Mail\r\n[T] - Tell A Friend"},
        {"About", AboutText("1.25"),
         "Gobu \xA9 the Gobu developers\r\nhttp://www.gobu.example/\r\nVersion 1.25"},
        {"What's New", UpdatesPageUrl(), "http://www.gobu.example/updates.htm"},
        // Spaces and the apostrophe go in as they are; no recipient before the subject.
        {"Feedback", FeedbackAddress(),
         "mailto:" + feedback + "?subject=Feedback about Gobu&body=I thought you'd like to know:"},
        {"Tell a Friend", TellaFriendAddress(),
         "mailto:?subject=Gobu&body=Here's a web site about Gobu " + product},
    };
    for (const Case& c : cases) EXPECT_EQ(c.text, c.expected) << c.name;
}

TEST(HelpText, IsWindows1252OpeningWithTheTitleAndSixFeatureLines) {
    const std::string text = HelpText();
    int dots = 0, ellipses = 0;
    for (unsigned char c : text) {
        dots += c == 0xB7;
        ellipses += c == 0x85;
        // UTF-8 would bring lead bytes such as 0xC2 and 0xE2.
        EXPECT_TRUE(c < 0x80 || c == 0xB7 || c == 0x85 || c == 0xA9) << "byte " << int(c);
    }
    EXPECT_EQ(dots, 6);
    EXPECT_EQ(ellipses, 1);
    const std::vector<std::string> lines = LinesOf(text);
    for (const std::string& line : lines) EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    ASSERT_GT(lines.size(), 9u);
    EXPECT_EQ(lines[0], "Gobu");
    EXPECT_EQ(lines[1].back(), '.') << "one sentence of introduction";
    for (size_t i = 3; i < 9; i++) EXPECT_EQ(lines[i].compare(0, 2, "\xB7 "), 0) << lines[i];
    EXPECT_EQ(lines[2] + lines[9], "");
}

TEST(HelpText, SectionsFollowInOrderAfterTwoBlankLinesEachWithItsTopics) {
    const std::vector<std::string> lines = LinesOf(HelpText());
    const std::vector<std::vector<std::string>> sections = {
        {"Quick Start and Summary"},
        {"File Menu", "New Gobu", "Open Gobu", "Save Gobu As", "Close Gobu"},
        {"Select Picture(s) Menu", "Slide Shows", "Animated GIFs"},
        {"Link File(s) Menu", "Lists", "Group Launch Lists"},
        {"Configure Menu", "Hide Gobu", "Transparency", "Stay On Top", "Auto StartUp"},
        {"Share Menu", "E-Mail", "Hard Disk", "Floppy Disk", "Tell A Friend"},
        {"Help Menu", "Help", "Quick Keys", "About", "What's New", "Feedback"},
    };
    std::vector<int> at;
    for (const auto& s : sections) at.push_back(IndexOf(lines, s[0]));
    at.push_back(int(lines.size()));
    for (size_t i = 0; i < sections.size(); i++) {
        SCOPED_TRACE(sections[i][0]);
        const int heading = at[i];
        ASSERT_GT(heading, i == 0 ? 2 : at[i - 1]) << "missing or out of order";
        EXPECT_EQ(lines[size_t(heading - 2)] + lines[size_t(heading - 1)] + lines[size_t(heading + 1)], "");
        EXPECT_NE(lines[size_t(heading - 3)], "");
        // A topic is a line of its own within its section, its description below it.
        int topic = heading;
        for (size_t t = 1; t < sections[i].size(); t++) {
            topic = IndexOf(lines, sections[i][t], topic + 1);
            ASSERT_GT(topic, heading) << sections[i][t];
            ASSERT_LT(topic + 1, at[i + 1]) << sections[i][t];
            EXPECT_GT(lines[size_t(topic + 1)].size(), 10u) << sections[i][t];
        }
    }
    // Six numbered steps, then the tour's announcement ending in the ellipsis.
    std::vector<std::string> quickStart;
    for (int i = at[0] + 1; i < at[1]; i++)
        if (!lines[size_t(i)].empty()) quickStart.push_back(lines[size_t(i)]);
    ASSERT_EQ(quickStart.size(), 7u);
    for (size_t i = 0; i < 6; i++) EXPECT_EQ(quickStart[i].find(std::to_string(i + 1) + ". "), 0u);
    EXPECT_EQ(quickStart[6].back(), '\x85');
}

TEST(HelpText, EndsWithTheMakersAndTheirRightsThenFourBlankLinesAndASpace) {
    const std::vector<std::string> lines = LinesOf(HelpText());
    const size_t n = lines.size();
    ASSERT_GT(n, 9u);
    EXPECT_EQ(lines[n - 5] + lines[n - 4] + lines[n - 3] + lines[n - 2] + "|" + lines[n - 1], "| ");
    EXPECT_EQ(lines[n - 6], "Copyright \xA9 the Gobu developers. All rights reserved.");
    EXPECT_EQ(lines[n - 7], "Gobu is made by the Gobu developers.");
    EXPECT_NE(lines[n - 8], "") << "the closing wish";
    // Nowhere before the end are there more than two blank lines in a row.
    for (size_t i = 0, blanks = 0; i + 5 < n; i++) {
        blanks = lines[i].empty() ? blanks + 1 : 0;
        EXPECT_LE(blanks, 2u) << "after line " << i;
    }
}
