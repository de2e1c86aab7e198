#include "share/mailtext.h"

#include "app/utility.h"

namespace {

// A path goes into a "mailto:" address as it is, but for the three characters that
// would end the body ("&", "#") or start an escape ("%").
std::string ForMailto(const std::string& text) {
    std::string r;
    for (char c : text) {
        if (c == '%')
            r += "%25";
        else if (c == '&')
            r += "%26";
        else if (c == '#')
            r += "%23";
        else
            r += c;
    }
    return r;
}

}  // namespace

std::string ShareMailBody(bool attached, const std::string& packagePath) {
    const std::string sep = attached ? "\r\n\r\n" : "%0D%0A%0D%0A";
    std::string body = "Instructions:" + sep +
                       "1. Select or fill in E-mail addresses of the people that you want to tell about this "
                       "gobu." +
                       sep + "2. Erase these instructions, and write a note about the gobu." + sep;
    if (attached) return body + "Note: Your new gobu is already attached to this E-mail message.";
    return body + "3. Attach " + ForMailto(packagePath) + " to this message." + sep +
           "(In most E-Mail programs, you can click a paperclip icon to attach files.)";
}

std::string MailtoAddress(const std::string& subject, const std::string& body) {
    return "mailto:?subject=" + subject + "&body=" + body;
}

bool MailClientIsOutlook(const std::string& clientName) {
    return LowerAZ(clientName).find("outlook") != std::string::npos;
}

bool MapiDeclaredInRegistry(unsigned long majorVersion, unsigned long minorVersion) {
    return majorVersion > 3 || (majorVersion == 3 && minorVersion > 51);
}

bool MapiValueMeansAvailable(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')) == "1"; }

std::string MapiErrorMessage(unsigned long code, const std::string& systemText) {
    static const struct {
        unsigned long code;
        const char* text;
    } kMapiErrors[] = {
        {1, "The user canceled one of the dialog boxes; no message was sent."},
        {2, "One or more unspecified errors occurred; no message was sent."},
        {3,
         "There was no default logon, and the user failed to log on successfully when the logon dialog box "
         "was displayed. No message was sent."},
        {5, "There was insufficient memory to proceed. No message was sent."},
        {9, "There were too many file attachments; no message was sent."},
        {10, "There were too many recipients; no message was sent."},
        {11, "The specified attachment was not found. No message was sent."},
        {12, "The specified attachment could not be open; no message was sent."},
        {14, "A recipient did not appear in the address list; no message was sent."},
        {15, "The type of a recipient was not MAPI_TO, MAPI_CC, or MAPI_BCC. No message was sent."},
        {18, "The text in the message was too large to sent; the message was not sent."},
        {21,
         "A recipient matched more than one of the recipient descriptor structures and MAPI_DIALOG was not "
         "set. No message was sent."},
    };
    for (const auto& row : kMapiErrors)
        if (row.code == code) return row.text;
    return "The mail program failed with error " + std::to_string(code) + ". " + systemText;
}

std::string MailFailedMessage(const std::string& reason, const std::string& packagePath) {
    return reason + "  Zip file (" + packagePath +
           ") has been created; you can attach it to an E-mail message yourself.";
}
