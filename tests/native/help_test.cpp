#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "help/helptext.h"
#include "help/weblinks.h"

namespace {

// The text split at CR LF; a lone CR or LF stays inside its line, where the tests see it.
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

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

TEST(QuickKeys, TextIsTheHeadingABlankLineAndTheElevenKeysWithoutAFinalLineEnd) {
    EXPECT_EQ(QuickKeysText(),
              "The following keys do:\r\n\r\n"
              "[Spacebar] - Pause/Resume slideshow\r\n"
              "[A] - Save Gobu As\r\n"
              "[F] - Display Associated File(s) Dialog\r\n"
              "[H] - Display Help\r\n"
              "[M] - Hide (Minimize) Gobu\r\n"
              "[N] - Create New Gobu\r\n"
              "[O] - Open Existing Gobu\r\n"
              "[P] - Open Select Picture(s) Dialog\r\n"
              "[Q] - Close Gobu (Quit)\r\n"
              "[S] - Send Gobu Via E-Mail\r\n"
              "[T] - Tell A Friend");
}

TEST(WebLinks, AddressesAreThePlainTextsWithTheMakersConstants) {
    const std::string product = ProductPageUrl, feedback = FeedbackMailAddress;
    struct Case {
        const char* name;
        std::string address, expected;
    } cases[] = {
        {"What's New", UpdatesPageUrl(), product + "updates.htm"},
        {"Feedback", FeedbackAddress(),
         "mailto:" + feedback + "?subject=Feedback about Gobu&body=I thought you'd like to know:"},
        {"Tell a Friend", TellaFriendAddress(), "mailto:?subject=Gobu&body=Here's a web site about Gobu " + product},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.address, c.expected);
        // Mail programs take the texts as they are: nothing is percent-encoded.
        EXPECT_EQ(c.address.find('%'), std::string::npos);
    }
    EXPECT_TRUE(StartsWith(TellaFriendAddress(), "mailto:?subject=")) << "no recipient before the subject";
}

TEST(WebLinks, MakersConstantsAreAWebPageFolderAndOneMailAddress) {
    const std::string product = ProductPageUrl, feedback = FeedbackMailAddress;
    EXPECT_TRUE(StartsWith(product, "http://"));
    EXPECT_EQ(product.back(), '/') << "the updates page is appended to it";
    EXPECT_EQ(feedback.find_first_of(" ?&"), std::string::npos) << "the subject follows it directly";
    EXPECT_EQ(feedback.find('@'), feedback.rfind('@'));
    EXPECT_NE(feedback.find('@'), std::string::npos);
}

TEST(About, ThreeLinesProductWithMakersNoticeTheirAddressAndTheVersion) {
    EXPECT_EQ(AboutText("1.25"), "Gobu \xA9 the Gobu developers\r\nhttp://www.gobu.example/\r\nVersion 1.25");
}

TEST(HelpText, IsWindows1252WithSixMiddleDotsAndOneEllipsisAndNoUtf8) {
    const std::string text = HelpText();
    int dots = 0, ellipses = 0;
    for (unsigned char c : text) {
        dots += c == 0xB7;
        ellipses += c == 0x85;
        // UTF-8 would show as lead bytes 0xC2 or 0xE2 before these.
        EXPECT_TRUE(c < 0x80 || c == 0xB7 || c == 0x85 || c == 0xA9) << "byte " << int(c);
    }
    EXPECT_EQ(dots, 6);
    EXPECT_EQ(ellipses, 1);
    for (const std::string& line : LinesOf(text))
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "a line end other than CR LF in: " << line;
}

TEST(HelpText, OpensWithTheTitleAnIntroductionAndSixFeatureLines) {
    const std::vector<std::string> lines = LinesOf(HelpText());
    ASSERT_GT(lines.size(), 9u);
    EXPECT_EQ(lines[0], "Gobu");
    EXPECT_EQ(lines[1].back(), '.') << "one sentence of introduction";
    EXPECT_EQ(lines[2], "");
    for (size_t i = 3; i < 9; i++) {
        EXPECT_TRUE(StartsWith(lines[i], "\xB7 ")) << lines[i];
        EXPECT_GT(lines[i].size(), 4u);
    }
    EXPECT_EQ(lines[9], "");
}

TEST(HelpText, SectionsFollowInOrderEachAfterTwoBlankLinesWithTheirTopics) {
    const std::vector<std::string> lines = LinesOf(HelpText());
    struct Section {
        const char* heading;
        std::vector<const char*> topics;
    } sections[] = {
        {"Quick Start and Summary", {}},
        {"File Menu", {"New Gobu", "Open Gobu", "Save Gobu As", "Close Gobu"}},
        {"Select Picture(s) Menu", {"Slide Shows", "Animated GIFs"}},
        {"Link File(s) Menu", {"Lists", "Group Launch Lists"}},
        {"Configure Menu", {"Hide Gobu", "Transparency", "Stay On Top", "Auto StartUp"}},
        {"Share Menu", {"E-Mail", "Hard Disk", "Floppy Disk", "Tell A Friend"}},
        {"Help Menu", {"Help", "Quick Keys", "About", "What's New", "Feedback"}},
    };
    std::vector<int> at;
    for (const Section& s : sections) at.push_back(IndexOf(lines, s.heading));
    at.push_back(int(lines.size()));
    for (size_t i = 0; i < std::size(sections); i++) {
        const Section& s = sections[i];
        SCOPED_TRACE(s.heading);
        const int heading = at[i], end = at[i + 1];
        ASSERT_GT(heading, i == 0 ? 0 : at[i - 1]) << "missing or out of order";
        EXPECT_EQ(IndexOf(lines, s.heading, heading + 1), -1) << "given twice";
        EXPECT_EQ(lines[size_t(heading - 1)], "");
        EXPECT_EQ(lines[size_t(heading - 2)], "");
        EXPECT_NE(lines[size_t(heading - 3)], "");
        EXPECT_EQ(lines[size_t(heading + 1)], "");
        // Each topic is a line of its own in its section, its description on the line below.
        int topic = heading;
        for (const char* name : s.topics) {
            topic = IndexOf(lines, name, topic + 1);
            ASSERT_GT(topic, heading) << name;
            ASSERT_LT(topic + 1, end) << name;
            EXPECT_GT(lines[size_t(topic + 1)].size(), 10u) << name;
        }
    }
}

TEST(HelpText, QuickStartHasSixNumberedStepsThenTheTourLineEndingInAnEllipsis) {
    const std::vector<std::string> lines = LinesOf(HelpText());
    const int start = IndexOf(lines, "Quick Start and Summary"), fileMenu = IndexOf(lines, "File Menu");
    ASSERT_GT(start, 0);
    ASSERT_GT(fileMenu, start);
    std::vector<std::string> paragraphs;
    for (int i = start + 1; i < fileMenu; i++)
        if (!lines[size_t(i)].empty()) paragraphs.push_back(lines[size_t(i)]);
    ASSERT_EQ(paragraphs.size(), 7u);
    for (size_t i = 0; i < 6; i++) EXPECT_TRUE(StartsWith(paragraphs[i], std::to_string(i + 1) + ". ")) << i;
    EXPECT_EQ(paragraphs[6].back(), '\x85');
}

TEST(HelpText, ClosesWithGoodWishesTheMakersTheirRightsFourBlankLinesAndASpace) {
    const std::vector<std::string> lines = LinesOf(HelpText());
    const size_t n = lines.size();
    ASSERT_GT(n, 9u);
    EXPECT_EQ(lines[n - 1], " ");
    for (size_t i = n - 5; i < n - 1; i++) EXPECT_EQ(lines[i], "");
    EXPECT_NE(lines[n - 6].find("Copyright \xA9 the Gobu developers"), std::string::npos) << lines[n - 6];
    EXPECT_NE(lines[n - 7].find("the Gobu developers"), std::string::npos) << lines[n - 7];
    EXPECT_NE(lines[n - 8], "") << "the closing wish";
    EXPECT_EQ(lines[n - 9], "");
}

TEST(HelpText, ParagraphsAreSeparatedByAtMostTwoBlankLinesBeforeTheEnd) {
    const std::vector<std::string> lines = LinesOf(HelpText());
    int blanks = 0;
    for (size_t i = 0; i + 5 < lines.size(); i++) {
        blanks = lines[i].empty() ? blanks + 1 : 0;
        EXPECT_LE(blanks, 2) << "after line " << i;
    }
}
