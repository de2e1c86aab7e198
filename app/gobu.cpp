// The program entry: creates the windows once, in order, and runs the message loop
// until the gobu window closes.
#include <windows.h>

#include <cstdlib>

#include "app/gobufiles.h"
#include "app/gobuwindows.h"
#include "app/startup.h"
#include "app/utility.h"

// The C++ library's own handler for an uncaught exception prints its demangled type
// to a console that a GUI program does not have, and carries a C++ name demangler and
// printf (some 70 KB, in every share) for it. Ending the process is all it could do.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Two processes of one gobu would each write its settings file over the other's:
    // started again, a gobu shows the one that runs and ends, touching nothing.
    if (!Application.ClaimName(ProcessNameOf(CanonicalPath(OwnExecutablePath())))) return 0;
    Application.Initialize(instance);
    GobuWindows windows;
    if (!windows.Create()) {
        ShowMessage("Gobu could not create its windows. " + SystemErrorText(GetLastError()));
        return 1;
    }
    Application.Run();
    return 0;
}
