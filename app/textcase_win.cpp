// The Windows half of comparing names without regard to letter case.
#ifdef _WIN32

#include <windows.h>

#include <vector>

#include "app/utility.h"

namespace {

typedef int(WINAPI* CompareStringOrdinalFn)(LPCWCH, int, LPCWCH, int, BOOL);

// In the process code page; false for bytes that are no text in it.
bool Widen(const std::string& s, std::vector<wchar_t>& wide) {
    wide.clear();
    if (s.empty()) return true;
    const int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, s.data(), int(s.size()), nullptr, 0);
    if (n <= 0) return false;
    wide.resize(size_t(n));
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, s.data(), int(s.size()), &wide[0], n) == n;
}

}  // namespace

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    // CompareStringOrdinal (Windows Vista and later) folds every letter as the file
    // system does, whatever the user's language; older systems fold A to Z.
    static const CompareStringOrdinalFn compare =
        reinterpret_cast<CompareStringOrdinalFn>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "CompareStringOrdinal")));
    std::vector<wchar_t> wa, wb;
    if (compare == nullptr || !Widen(a, wa) || !Widen(b, wb)) return SameLettersAZ(a, b);
    return compare(wa.data(), int(wa.size()), wb.data(), int(wb.size()), TRUE) == CSTR_EQUAL;
}

std::string FoldedCase(const std::string& s) {
    std::vector<wchar_t> wide;
    if (!Widen(s, wide) || wide.empty()) return LowerAZ(s);
    CharUpperBuffW(wide.data(), DWORD(wide.size()));
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string folded(size_t(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), &folded[0], n, nullptr, nullptr);
    return folded;
}

#endif  // _WIN32
