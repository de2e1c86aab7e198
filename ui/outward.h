// Every effect of the program on the world outside its own windows and files passes
// through here: the shell, starting programs, message boxes and the mail program.
// Tests install a recorder that sees each call and answers it instead.
#pragma once
#include <windows.h>
#include <mapi.h>

#include <string>

namespace outward {

class Recorder {
public:
    virtual ~Recorder() = default;
    // Return what the shell or the system would have answered.
    virtual int Shell(HWND owner, const std::string& verb, const std::string& file,
                      const std::string& parameters, const std::string& directory, int show) = 0;
    virtual UINT Exec(const std::string& commandLine, UINT show) = 0;
    // Returns the button the user would have pressed.
    virtual int Message(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
    // Returns the result the mail program would have given. send is the resolved
    // MAPISendMail of the loaded Simple MAPI library.
    virtual ULONG Mail(LPMAPISENDMAIL send, HWND parent, MapiMessage& message, FLAGS flags) = 0;
};

// Null restores the real effects.
void SetRecorder(Recorder* recorder);

// ShellExecuteA's answer as a number: above 32 when the shell took the file, otherwise
// the reason it did not (SE_ERR_NOASSOC, ERROR_FILE_NOT_FOUND, ...).
int Shell(HWND owner, const std::string& verb, const std::string& file, const std::string& parameters,
          const std::string& directory, int show);
// Explorer with these parameters (a folder to show, or /select, and a file), the one
// from the system's own folder: never a program of that name that a sender put beside
// a received gobu. Shell's answer; ERROR_PATH_NOT_FOUND without a system folder.
int Explore(HWND owner, const std::string& parameters);
// WinExec's answer: above 31 when the program started, otherwise the reason it did not.
UINT Exec(const std::string& commandLine, UINT show);
int Message(HWND owner, const std::string& text, const std::string& caption, UINT type);
// Hands a message to the mail program through Simple MAPI, in a session of its own,
// with the mail program's dialogs owned by parent; returns MAPISendMail's result.
ULONG Mail(LPMAPISENDMAIL send, HWND parent, MapiMessage& message, FLAGS flags);

}  // namespace outward
