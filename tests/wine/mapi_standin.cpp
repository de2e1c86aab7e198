// A stand-in for the system's "MAPI32.DLL": MAPISendMail writes the path of the library
// it runs in and the message it was given to the file named by GOBU_MAPI_RECORD, and
// answers with the result in GOBU_MAPI_RESULT. Built without the entry point too, as a
// library that Simple MAPI cannot be used from.
#include "mapi_record.h"

#ifdef STANDIN_SENDS
extern "C" __declspec(dllexport) ULONG WINAPI
    MAPISendMail(LHANDLE session, ULONG_PTR parent, lpMapiMessage m, FLAGS flags, ULONG reserved) {
    char module[MAX_PATH] = "", recordPath[MAX_PATH] = "", result[32] = "";
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&MAPISendMail), &self);
    GetModuleFileNameA(self, module, sizeof module);
    GetEnvironmentVariableA("GOBU_MAPI_RECORD", recordPath, sizeof recordPath);
    GetEnvironmentVariableA("GOBU_MAPI_RESULT", result, sizeof result);
    const std::string record =
        "module " + std::string(module) + "\n" + DescribeMapiMessage(session, parent, *m, flags, reserved);
    HANDLE file = CreateFileA(recordPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(file, record.data(), DWORD(record.size()), &written, nullptr);
    CloseHandle(file);
    return std::stoul(result);
}
#else
// A library must export something to be one.
extern "C" __declspec(dllexport) ULONG WINAPI StandInWithoutSend() { return 0; }
#endif
