// Helpers for tests that create the program's windows in this process.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// Dispatches window messages until cond holds or the time runs out; the quit
// message of a closed main form is dropped so that later tests can go on.
inline bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs = 5000) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (cond()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(5);
    }
}

inline void Pump(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

// A fresh folder for one test's gobu, with a trailing "\".
inline std::string FreshFolder(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string dir =
        std::string(temp) + "gobutest_" + name + "_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

inline bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

inline void WriteFile(const std::string& path, const std::string& content) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    ::WriteFile(f, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(f);
}
