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
         "1. Select or fill in E-mail addresses of the people that you want to tell about this "
         "gobu.%0D%0A%0D%0A"
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

TEST(MapiErrors, EveryCodeOfTheTableHasItsMessageAndEveryOtherTheSystemsText) {
    const std::string tableCodes[] = {
        "1 The user canceled one of the dialog boxes; no message was sent.",
        "2 One or more unspecified errors occurred; no message was sent.",
        "3 There was no default logon, and the user failed to log on successfully when the logon dialog box "
        "was "
        "displayed. No message was sent.",
        "5 There was insufficient memory to proceed. No message was sent.",
        "9 There were too many file attachments; no message was sent.",
        "10 There were too many recipients; no message was sent.",
        "11 The specified attachment was not found. No message was sent.",
        "12 The specified attachment could not be open; no message was sent.",
        "14 A recipient did not appear in the address list; no message was sent.",
        "15 The type of a recipient was not MAPI_TO, MAPI_CC, or MAPI_BCC. No message was sent.",
        "18 The text in the message was too large to sent; the message was not sent.",
        "21 A recipient matched more than one of the recipient descriptor structures and MAPI_DIALOG was not "
        "set. "
        "No message was sent.",
    };
    std::string seen, expected;
    for (const std::string& line : tableCodes) expected += line + "\n";
    for (unsigned long code : {4ul, 6ul, 7ul, 8ul, 13ul, 16ul, 17ul, 19ul, 20ul, 22ul, 0xFFFFFFFFul})
        expected += std::to_string(code) + " The mail program failed with error " + std::to_string(code) +
                    ". Access denied.\n";
    for (unsigned long code : {1ul, 2ul, 3ul, 5ul, 9ul,  10ul, 11ul, 12ul, 14ul, 15ul, 18ul,        21ul,
                               4ul, 6ul, 7ul, 8ul, 13ul, 16ul, 17ul, 19ul, 20ul, 22ul, 0xFFFFFFFFul})
        seen += std::to_string(code) + " " + MapiErrorMessage(code, "Access denied.") + "\n";
    EXPECT_EQ(seen, expected);
}

TEST(MailRoad, OutlookInAnyLetterCaseTakesTheAttachment) {
    for (const char* name : {"Microsoft Outlook", "Outlook Express", "OUTLOOK"})
        EXPECT_TRUE(MailClientIsOutlook(name));
    for (const char* name : {"Thunderbird", "", "Out look"}) EXPECT_FALSE(MailClientIsOutlook(name));
}

TEST(MailRoad, SimpleMapiIsDeclaredByExactlyTheText1) {
    // The bytes as the registry gives them, terminator included, or not when stored without.
    for (const std::string& bytes : {std::string("1\0", 2), std::string("1")})
        EXPECT_TRUE(MapiValueMeansAvailable(bytes)) << bytes;
    for (const std::string& bytes : {std::string("1 \0", 3), std::string(" 1\0", 3), std::string("01\0", 3),
                                     std::string("11\0", 3), std::string("\0", 1), std::string(),
                                     std::string("\x01\0\0\0", 4)})  // the last the number 1, not the text
        EXPECT_FALSE(MapiValueMeansAvailable(bytes)) << bytes;
}

TEST(MailRoad, WindowsNT351AndLaterDeclareSimpleMapiInTheRegistry) {
    EXPECT_FALSE(MapiDeclaredInRegistry(3, 51) || MapiDeclaredInRegistry(3, 10) ||
                 MapiDeclaredInRegistry(2, 99));
    EXPECT_TRUE(MapiDeclaredInRegistry(3, 52) && MapiDeclaredInRegistry(4, 0) &&
                MapiDeclaredInRegistry(10, 0));
}
