#include <gtest/gtest.h>

#include <string>

#include "share/mailtext.h"

TEST(ShareMail, BodiesAreExactlyTheseBytesOnBothRoads) {
    const std::string path = "C:\\My Gobus\\gobu_zip.exe";
    struct Case {
        const char* road;
        std::string text, expected;
    } cases[] = {
        {"attached through Simple MAPI", ShareMailBody(true, path),
         "Instructions:\r\n\r\n"
         "1. Select or fill in E-mail addresses of the people that you want to tell about this gobu.\r\n\r\n"
         "2. Erase these instructions, and write a note about the gobu.\r\n\r\n"
         "Note: Your new gobu is already attached to this E-mail message."},
        // The steps are numbered on from 2 to 3; the blank in the path stays a blank.
        {"mailto", MailtoAddress(ShareMailSubject, ShareMailBody(false, path)),
         "mailto:?subject=A Gobu For You&body=Instructions:%0D%0A%0D%0A"
         "1. Select or fill in E-mail addresses of the people that you want to tell about this gobu.%0D%0A%0D%0A"
         "2. Erase these instructions, and write a note about the gobu.%0D%0A%0D%0A"
         "3. Attach C:\\My Gobus\\gobu_zip.exe to this message.%0D%0A%0D%0A"
         "(In most E-Mail programs, you can click a paperclip icon to attach files.)"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.text, c.expected) << c.road;
}

TEST(ShareMail, PathInAMailtoBodyKeepsWhatWouldEndTheBodyOrStartAnEscape) {
    struct Case {
        std::string path, written;
    } cases[] = {
        {"C:\\Tom & Jerry\\gobu_zip.exe", "C:\\Tom %26 Jerry\\gobu_zip.exe"},
        {"C:\\No. #1\\gobu_zip.exe", "C:\\No. %231\\gobu_zip.exe"},
        {"C:\\100%20off\\gobu_zip.exe", "C:\\100%2520off\\gobu_zip.exe"},
        {"C:\\a+b=c;d\xE9\\gobu_zip.exe", "C:\\a+b=c;d\xE9\\gobu_zip.exe"},
    };
    for (const Case& c : cases) {
        const std::string body = ShareMailBody(false, c.path);
        EXPECT_NE(body.find("3. Attach " + c.written + " to this message.%0D%0A"), std::string::npos) << body;
        // A message with the file attached names no path at all.
        EXPECT_EQ(ShareMailBody(true, c.path).find("gobu_zip"), std::string::npos);
    }
}

TEST(MapiErrors, EveryCodeOfTheTableHasItsMessage) {
    const std::string system = "Access denied.";
    struct Case {
        unsigned long code;
        const char* message;
    } cases[] = {
        {1, "The user canceled one of the dialog boxes; no message was sent."},
        {2, "One or more unspecified errors occurred; no message was sent."},
        {3, "There was no default logon, and the user failed to log on successfully when the logon dialog box was "
            "displayed. No message was sent."},
        {5, "There was insufficient memory to proceed. No message was sent."},
        {9, "There were too many file attachments; no message was sent."},
        {10, "There were too many recipients; no message was sent."},
        {11, "The specified attachment was not found. No message was sent."},
        {12, "The specified attachment could not be open; no message was sent."},
        {14, "A recipient did not appear in the address list; no message was sent."},
        {15, "The type of a recipient was not MAPI_TO, MAPI_CC, or MAPI_BCC. No message was sent."},
        {18, "The text in the message was too large to sent; the message was not sent."},
        {21, "A recipient matched more than one of the recipient descriptor structures and MAPI_DIALOG was not set. "
             "No message was sent."},
    };
    for (const Case& c : cases) EXPECT_EQ(MapiErrorMessage(c.code, system), c.message) << c.code;
}

TEST(MapiErrors, CodesOutsideTheTableAreToldWithTheSystemsText) {
    for (unsigned long code : {4ul, 6ul, 7ul, 8ul, 13ul, 16ul, 17ul, 19ul, 20ul, 22ul, 26ul, 0xFFFFFFFFul})
        EXPECT_EQ(MapiErrorMessage(code, "Access denied."),
                  "The mail program failed with error " + std::to_string(code) + ". Access denied.");
}

TEST(MapiErrors, AFailedSendSaysWhereThePackageIs) {
    EXPECT_EQ(MailFailedMessage("One or more unspecified errors occurred; no message was sent.",
                                "C:\\g\\gobu_zip.exe"),
              "One or more unspecified errors occurred; no message was sent.  Zip file (C:\\g\\gobu_zip.exe) has "
              "been created; you can attach it to an E-mail message yourself.");
}

TEST(MailRoad, OnlyOutlookInAnyOfItsNamesTakesTheAttachment) {
    struct Case {
        const char* name;
        bool outlook;
    } cases[] = {
        {"Microsoft Outlook", true}, {"Outlook Express", true}, {"OUTLOOK", true},
        {"Thunderbird", false},      {"", false},               {"Out look", false},
        {"Native Mail Client", false},
    };
    for (const Case& c : cases) EXPECT_EQ(MailClientIsOutlook(c.name), c.outlook) << c.name;
}

TEST(MailRoad, SimpleMapiIsDeclaredByExactlyTheText1) {
    struct Case {
        std::string bytes;  // as the registry gives them, terminator included
        bool available;
    } cases[] = {
        {std::string("1\0", 2), true},
        {"1", true},  // stored without its terminator
        {std::string("1 \0", 3), false},
        {std::string(" 1\0", 3), false},
        {std::string("01\0", 3), false},
        {std::string("11\0", 3), false},
        {std::string("0\0", 2), false},
        {std::string("\0", 1), false},
        {"", false},
        {std::string("\x01\0\0\0", 4), false},  // the number 1, not the text
    };
    for (const Case& c : cases) EXPECT_EQ(MapiValueMeansAvailable(c.bytes), c.available) << c.bytes;
}

TEST(MailRoad, WindowsNT351AndLaterDeclareSimpleMapiInTheRegistry) {
    struct Case {
        unsigned long major, minor;
        bool registry;
    } cases[] = {
        {3, 10, false}, {3, 51, false}, {3, 52, true}, {4, 0, true}, {2, 99, false}, {10, 0, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MapiDeclaredInRegistry(c.major, c.minor), c.registry) << c.major << "." << c.minor;
}
