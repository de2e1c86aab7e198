// The program entry: creates the windows once, in order, and runs the message loop
// until the gobu window closes.
#include <windows.h>

#include "app/mainform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Application.Initialize(instance);
    Tmain gobu;
    if (!gobu.Create()) return 1;
    Application.Run();
    return 0;
}
