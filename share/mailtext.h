// The texts of the share message and of Simple MAPI's failures, and the rules that
// tell from the system's answers whether Simple MAPI is there. The Windows half that
// asks the system and hands the message over is mailto.cpp.
#pragma once
#include <string>

constexpr char ShareMailSubject[] = "A Gobu For You";

// The body of the share message. A message that carries the package as its attachment
// breaks its lines with CR LF; one for a "mailto:" address writes them "%0D%0A" and
// tells the user which file to attach.
std::string ShareMailBody(bool attached, const std::string& packagePath);

// "mailto:?subject=" + subject + "&body=" + body. Nothing is escaped: the texts come
// already fit for the address.
std::string MailtoAddress(const std::string& subject, const std::string& body);

// Whether the default mail client, named as the registry names it, is Outlook in any
// of its forms: the name holds "outlook" in any letter case.
bool MailClientIsOutlook(const std::string& clientName);

// Windows NT 3.51 and everything after it declare Simple MAPI in the registry; the
// systems before in the [Mail] section of win.ini.
bool MapiDeclaredInRegistry(unsigned long majorVersion, unsigned long minorVersion);
// The mail subsystem's "MAPI" value, as the bytes read, declares Simple MAPI only when
// its text is exactly "1": " 1", "1 " and "01" do not.
bool MapiValueMeansAvailable(const std::string& bytes);

// What a failed MAPISendMail result means to the user. A result Simple MAPI does not
// name is told with the system's text for its last error.
std::string MapiErrorMessage(unsigned long code, const std::string& systemText);
// The package is made whatever the mail program does with it: the user is told where
// it is, after why the mail program did not take it.
std::string MailFailedMessage(const std::string& reason, const std::string& packagePath);
// Why a "mailto:" message did not go out, before the system's words for it.
constexpr char NoMailProgramReason[] = "No mail program took the message.";
