// Helpers for tests that create the program's windows in this process.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/gobuwindows.h"
#include "app/utility.h"
#include "mapi_record.h"
#include "pictures/display.h"
#include "ui/forms.h"
#include "ui/outward.h"

// Dispatches window messages until cond holds or the time runs out; the quit
// message of a closed main form is dropped so that later tests can go on.
inline bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs = 5000) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            if (TForm::PreviewKey(msg)) continue;
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
    // Wine reuses process ids, so a folder of an earlier run may still hold its files.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((dir + found.cFileName).c_str());
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return dir;
}

// The folder of pictures the test fixture makes, as Wine sees its Unix path.
inline std::string PictureFolder() {
    const char* unix = getenv("GOBU_TEST_PICTURES");
    std::string path = unix ? std::string("Z:") + unix + "\\" : std::string();
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

inline void WriteFile(const std::string& path, const std::string& content) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    ::WriteFile(f, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(f);
}

inline std::string ReadFileText(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

// Sees every call to the outside world instead of making it; message boxes are
// answered with OK, mail is answered with mailResult, or handed to Simple MAPI itself
// when sendMail is set.
struct RecordedCalls : outward::Recorder {
    std::vector<std::string> opened;    // files given to the shell's "open"
    std::vector<std::string> messages;  // texts of message boxes
    std::vector<std::string> mails;     // DescribeMapiMessage of each message for Simple MAPI
    ULONG mailResult = SUCCESS_SUCCESS;
    bool sendMail = false;
    // Files the shell does not take, with ShellExecuteA's answer for each.
    std::map<std::string, int> shellRefuses;
    RecordedCalls() { outward::SetRecorder(this); }
    ~RecordedCalls() override { outward::SetRecorder(nullptr); }
    int Shell(HWND, const std::string& verb, const std::string& file, const std::string& parameters,
              const std::string&, int) override {
        opened.push_back(verb + " " + file + (parameters.empty() ? "" : " " + parameters));
        auto refused = shellRefuses.find(file);
        return refused != shellRefuses.end() ? refused->second : 42;  // taken: above 32
    }
    UINT Exec(const std::string& commandLine, UINT) override {
        opened.push_back("exec " + commandLine);
        return 33;  // started, as WinExec answers above 31
    }
    int Message(HWND, const std::string& text, const std::string&, UINT) override {
        messages.push_back(text);
        return IDOK;
    }
    ULONG Mail(LPMAPISENDMAIL send, HWND parent, MapiMessage& message, FLAGS flags) override {
        mails.push_back(DescribeMapiMessage(lhSessionNull, ULONG_PTR(parent), message, flags, 0));
        return sendMail ? send(lhSessionNull, ULONG_PTR(parent), &message, flags, 0) : mailResult;
    }
};

// The pixels of a bitmap as 0x00RRGGBB values, top row first.
inline std::vector<uint32_t> PixelsOf(HBITMAP bitmap) {
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof bm, &bm);
    std::vector<uint32_t> px;
    EXPECT_TRUE(ReadPixels(bitmap, bm.bmWidth, bm.bmHeight, px));
    return px;
}

// A gobu of this process, started as the program starts one: its windows created and
// shown, which loads the settings and the picture, and run until the first activation
// has shown the first-use hint if there is one.
inline std::unique_ptr<GobuWindows> StartGobu(const std::string& exePath) {
    auto windows = std::make_unique<GobuWindows>();
    EXPECT_TRUE(windows->Create(exePath));
    windows->main.Show();
    EXPECT_FALSE(windows->main.StartPending);
    EXPECT_TRUE(PumpUntil([&] { return !windows->main.StartDialogPending; }));
    return windows;
}
