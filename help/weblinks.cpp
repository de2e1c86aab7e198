#include "help/weblinks.h"

std::string UpdatesPageUrl() { return std::string(ProductPageUrl) + "updates.htm"; }

std::string FeedbackAddress() {
    return std::string("mailto:") + FeedbackMailAddress +
           "?subject=Feedback about Gobu&body=I thought you'd like to know:";
}

// No recipient: the user names the friend in the mail program.
std::string TellaFriendAddress() {
    return std::string("mailto:?subject=Gobu&body=Here's a web site about Gobu ") + ProductPageUrl;
}

std::string QuickKeysText() {
    return "The following keys do:\r\n"
           "\r\n"
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
           "[T] - Tell A Friend";
}

// 0xA9 is the copyright sign of the Windows-1252 code page.
std::string AboutText(const std::string& version) {
    return std::string("Gobu \xA9 ") + MakersName + "\r\n" + ProductPageUrl + "\r\nVersion " + version;
}
