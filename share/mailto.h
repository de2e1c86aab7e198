// The hand-off of a message to the user's mail program: through Simple MAPI, with the
// files as real attachments, or as a "mailto:" address opened by the shell.
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

// A send through Simple MAPI that did not go out, the user's own cancel included.
class EMapiError : public std::runtime_error {
public:
    EMapiError(unsigned long code, unsigned long lastError, const std::string& message)
        : std::runtime_error(message), Code(code), LastError(lastError) {}
    unsigned long Code;       // MAPISendMail's result; 1 is the user's cancel
    unsigned long LastError;  // the system's last error when the send returned
};

// Whether the machine's default mail client is Outlook, which takes the package
// through Simple MAPI. Reads the registry anew at every call; false on any error.
bool DefaultMailIsOutlook();

// The first call decides for the life of the process whether Simple MAPI is there, and
// loads its library; later calls return at once.
void LoadSimpleMapi();
// Whether a message can be handed to Simple MAPI: its library is loaded and has the
// entry point MAPISendMail.
bool SimpleMapiAvailable();

// Sends a message through Simple MAPI with the mail program's dialog, in which the user
// completes and sends it. Throws EMapiError when it does not go out.
void SendMailWithAttachment(const std::vector<std::string>& to, const std::vector<std::string>& cc,
                            const std::vector<std::string>& bcc, const std::string& body,
                            const std::string& subject, const std::vector<std::string>& attachments);

// Opens "mailto:?subject=" + subject + "&body=" + body through the shell, with the texts
// as they are; the shell's answer, above 32 when a mail program took the message.
int OpenMailto(const std::string& subject, const std::string& body);

// Hands the package of a share to the mail program: as the attachment of a prepared
// message where Outlook and Simple MAPI take it, otherwise as a "mailto:" message that
// tells the user to attach the file, whose folder Explorer then shows with the package
// selected. A send that fails, other than by the user's own cancel, is told in one
// message that says where the package is.
void ComposeShareMail(const std::string& packagePath);
