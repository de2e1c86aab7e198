// The program entry: creates the windows once, in order, and runs the message loop
// until the gobu window closes.
#include <windows.h>

#include "app/gobuwindows.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Application.Initialize(instance);
    GobuWindows windows;
    if (!windows.Create()) return 1;
    Application.Run();
    return 0;
}
