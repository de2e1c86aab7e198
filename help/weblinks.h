// The makers' addresses and the texts of the Help menu's message boxes and mail links.
// The makers' constants below are the project's placeholders under the reserved
// "example" domain; a release sets them here and nowhere else.
#pragma once
#include <string>

// The product's page on the makers' web site, ending in "/"; also the makers' web
// address in the About box.
constexpr char ProductPageUrl[] = "http://www.gobu.example/";
constexpr char FeedbackMailAddress[] = "feedback@gobu.example";
// Who made the program, as the notices name them.
constexpr char MakersName[] = "the Gobu developers";

// The page of news, updates and new versions: the product's page + "updates.htm".
std::string UpdatesPageUrl();
// Prepared messages for the mail program. The texts go in as they are, spaces and
// apostrophes unescaped, as mail programs take them.
std::string FeedbackAddress();
std::string TellaFriendAddress();

// The summary of the quick keys, its lines separated by CR LF, the last without one.
std::string QuickKeysText();
// The About box: the product with the makers' notice, their web address, and
// "Version " + version.
std::string AboutText(const std::string& version);
