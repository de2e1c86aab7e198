// A stand-in for a linked program: it records that it ran by writing its command line
// to a file named after itself with ".ran" appended, then ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH + 8];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    lstrcpyA(path + n, ".ran");
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const char* commandLine = GetCommandLineA();
    DWORD written;
    WriteFile(file, commandLine, DWORD(lstrlenA(commandLine)), &written, nullptr);
    CloseHandle(file);
    return 0;
}
