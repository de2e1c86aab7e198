// A stand-in for the system's "MAPI32.DLL": MAPISendMail writes what it was given to
// the file named by GOBU_MAPI_RECORD and answers with the result in GOBU_MAPI_RESULT,
// leaving GOBU_MAPI_LAST_ERROR as the last error. Built without the entry point too,
// as a library that Simple MAPI cannot be used from.
#include <windows.h>
#include <mapi.h>

#include <cstdlib>
#include <string>

#ifdef STANDIN_SENDS
namespace {

std::string Env(const char* name) {
    char value[MAX_PATH] = "";
    GetEnvironmentVariableA(name, value, sizeof value);
    return value;
}

std::string Text(const char* s) { return s ? s : "(null)"; }

}  // namespace

extern "C" __declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage m,
                                                            FLAGS flags, ULONG reserved) {
    char module[MAX_PATH] = "";
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&MAPISendMail), &self);
    GetModuleFileNameA(self, module, sizeof module);
    const MapiRecipDesc* o = m->lpOriginator;
    std::string r = "module " + std::string(module) + "\n";
    r += "session " + std::to_string(session) + " reserved " + std::to_string(reserved) + "\n";
    r += "parent " + std::to_string(uiParam) + "\n";
    r += "flags " + std::to_string(flags) + "\n";
    r += std::string("originator ") +
         (!o ? "null" : o->ulRecipClass || o->lpszName || o->lpszAddress || o->ulEIDSize ? "filled" : "zero") + "\n";
    r += "subject " + Text(m->lpszSubject) + "\n";
    r += "recipients " + std::to_string(m->nRecipCount) + "\n";
    for (ULONG i = 0; i < m->nRecipCount; i++)
        r += "recipient " + std::to_string(m->lpRecips[i].ulRecipClass) + " " + Text(m->lpRecips[i].lpszName) + " " +
             Text(m->lpRecips[i].lpszAddress) + "\n";
    r += "files " + std::to_string(m->nFileCount) + "\n";
    for (ULONG i = 0; i < m->nFileCount; i++)
        r += "file " + std::to_string(m->lpFiles[i].nPosition) + " " + Text(m->lpFiles[i].lpszPathName) + " " +
             Text(m->lpFiles[i].lpszFileName) + "\n";
    // The body last: it runs to the end of the file, line breaks and all.
    r += "body\n" + Text(m->lpszNoteText);
    HANDLE file = CreateFileA(Env("GOBU_MAPI_RECORD").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(file, r.data(), DWORD(r.size()), &written, nullptr);
    CloseHandle(file);
    const ULONG result = strtoul(Env("GOBU_MAPI_RESULT").c_str(), nullptr, 10);
    SetLastError(strtoul(Env("GOBU_MAPI_LAST_ERROR").c_str(), nullptr, 10));
    return result;
}
#else
// A library must export something to be one.
extern "C" __declspec(dllexport) ULONG WINAPI StandInWithoutSend() { return 0; }
#endif
