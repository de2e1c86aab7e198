// The extractor stub: the small Windows program at the head of every package. It reads
// the configuration block and the archive behind itself, shows one dialog, extracts
// the files into the chosen folder and starts the program the block names. It links
// neither the C nor the C++ library and imports only from system DLLs. Files and folders
// are made through the -W calls, so that a name in any script is made as it is.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "share/zip/sfxformat.h"
#include "share/zip/zipformat.h"
#include "stub/package.h"
#include "stub/runline.h"
#include "stub/stubres.h"

namespace {

const char kBadSize[] = "Incorrect file size, please try to download this file again.";
const char kBadArchive[] = "Error reading archive.";
const char kUnknownMethod[] = "Unknown compression type";
const char kNotExtracted[] = "The selected file(s) couldn't get extracted.";
const char kChooseFolder[] = "Please choose the destination directory";

HINSTANCE instance;
HANDLE self = INVALID_HANDLE_VALUE;
PackageFile file;
Package package;
InflateState work;  // 50 KB: kept out of the stack
const char* title = SFX_DEFAULT_TITLE;
// A path in the process code page: up to three bytes a UTF-16 unit in UTF-8.
const uint32_t kPathBytes = MAX_PATH * 3;
uint8_t flags;
HWND fileList;

// Called before anything else: no DLL that Windows loads for this process, now or
// later, may come from the folder the package was downloaded to.
void ProtectDllSearch() {
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    typedef BOOL(WINAPI * SetDllDirectoryFn)(LPCSTR);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    SetDefaultDllDirectoriesFn setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    SetDllDirectoryFn setDirectory = reinterpret_cast<SetDllDirectoryFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDllDirectoryA")));
    // The application's own folder is searched first even after SetDllDirectoryA("");
    // only the default directories, where present, leave it out.
    if (setDefault != nullptr) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (setDirectory != nullptr) setDirectory("");
}

bool ReadSelf(void*, uint32_t offset, void* buf, uint32_t len) {
    DWORD got = 0;
    LONG high = 0;  // so that offsets past 2 GiB count as unsigned
    return SetFilePointer(self, LONG(offset), &high, FILE_BEGIN) == offset &&
           ReadFile(self, buf, len, &got, nullptr) && got == len;
}

void* Allocate(uint32_t len) { return HeapAlloc(GetProcessHeap(), 0, len); }
void Release(void* p) { HeapFree(GetProcessHeap(), 0, p); }

void Message(HWND owner, const char* text, const char* caption = nullptr) {
    MessageBoxA(owner, text, caption != nullptr ? caption : title,
                MB_OK | (caption ? MB_ICONINFORMATION : MB_ICONERROR));
}

const char* PackageMessage(PackageStatus status) {
    if (status == kPackageBadSize) return kBadSize;
    if (status == kPackageUnknownMethod) return kUnknownMethod;
    return kBadArchive;
}

uint32_t WideLength(const WCHAR* s) {
    uint32_t n = 0;
    while (s[n] != 0) n++;
    return n;
}

// Appends n units of from (all of it when n is -1) to the terminated text in out, a
// buffer of MAX_PATH units; false, with out unchanged, when the result would not fit.
bool AppendWide(WCHAR* out, const WCHAR* from, uint32_t n = uint32_t(-1)) {
    uint32_t at = WideLength(out), length = 0;
    while (length < n && from[length] != 0) length++;
    if (at + length >= MAX_PATH) return false;
    for (uint32_t i = 0; i < length; i++) out[at + i] = from[i];
    out[at + length] = 0;
    return true;
}

// Names the archive does not flag as UTF-8 are in the OEM code page of the user's
// locale, which GetOEMCP no longer gives where the manifest makes it UTF-8.
UINT LocaleOemCodePage() {
    char digits[8] = "";
    UINT codePage = 0;
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTCODEPAGE, digits, sizeof digits);
    for (const char* d = digits; *d >= '0' && *d <= '9'; d++) codePage = codePage * 10 + UINT(*d - '0');
    return codePage != 0 ? codePage : CP_OEMCP;
}

// The entry's name as a relative Windows path of MAX_PATH units at most, checked again
// in the form it is made in: the code page conversion must not make it unsafe.
bool WindowsName(const PackageEntry& e, WCHAR* out) {
    const UINT codePage = e.flags & kUtf8NameFlag ? CP_UTF8 : LocaleOemCodePage();
    int n = e.nameLength == 0 ? 0
                              : MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, e.name, int(e.nameLength),
                                                    out, MAX_PATH - 1);
    if (n <= 0) return false;
    out[n] = 0;
    for (int i = 0; i < n; i++)
        if (out[i] == L'/') out[i] = L'\\';
    char utf8[kPathBytes];
    int length = WideCharToMultiByte(CP_UTF8, 0, out, n, utf8, sizeof utf8, nullptr, nullptr);
    return length > 0 && IsSafeEntryName(utf8, uint32_t(length));
}

PackageStatus OpenSelf() {
    WCHAR path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return kPackageBadArchive;
    self = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (self == INVALID_HANDLE_VALUE) return kPackageBadArchive;
    DWORD high = 0;
    file.size = GetFileSize(self, &high);
    if (high != 0 || file.size == INVALID_FILE_SIZE) return kPackageBadSize;
    file.ReadAt = ReadSelf;
    file.Alloc = Allocate;
    file.Free = Release;
    PackageStatus status = OpenPackage(file, package);
    if (status != kPackageOk) return status;
    PackageEntry e;
    WCHAR name[MAX_PATH];
    for (uint32_t i = 0, pos = 0; i < package.entryCount; i++, pos = e.next)
        if (!EntryAt(package, pos, e) || !WindowsName(e, name)) return kPackageBadArchive;
    return kPackageOk;
}

// Creates every missing folder of path up to its last "\".
void CreateFolders(const WCHAR* path) {
    WCHAR part[MAX_PATH];
    uint32_t n = WideLength(path);
    for (uint32_t i = 1; i < n; i++) {
        if (path[i] != L'\\' || path[i - 1] == L':' || path[i - 1] == L'\\') continue;
        part[0] = 0;
        AppendWide(part, path, i);
        CreateDirectoryW(part, nullptr);
    }
}

bool IsFolder(const WCHAR* path) {
    DWORD a = GetFileAttributesW(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

INT_PTR CALLBACK ConfirmProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        SetDlgItemTextW(dlg, IDC_CONFIRM_NAME, reinterpret_cast<const WCHAR*>(lp));
        return TRUE;
    }
    if (msg == WM_COMMAND &&
        (LOWORD(wp) == IDYES || LOWORD(wp) == IDNO || LOWORD(wp) == IDC_NOASK || LOWORD(wp) == IDCANCEL)) {
        EndDialog(dlg, LOWORD(wp));
        return TRUE;
    }
    return FALSE;
}

bool WriteToFile(void* ctx, const uint8_t* data, uint32_t len) {
    DWORD put = 0;
    return WriteFile(*static_cast<HANDLE*>(ctx), data, len, &put, nullptr) && put == len;
}

enum Outcome { kDone, kSkipped, kDamaged, kUnwritable };

// Replaces target by the finished temporary file.
bool MoveInPlace(const WCHAR* temp, const WCHAR* target) {
    if (MoveFileExW(temp, target, MOVEFILE_REPLACE_EXISTING)) return true;
    // Where the replacing rename is not supported, the old file goes first; elsewhere
    // this fails again for the same reason.
    if (GetFileAttributesW(target) != INVALID_FILE_ATTRIBUTES && !DeleteFileW(target)) return false;
    return MoveFileW(temp, target) != 0;
}

// Extracts one entry below folder (which ends in "\"). The data go to a temporary file
// beside the target, which replaces the target only once size and CRC are right: a
// damaged entry leaves no file behind and destroys no existing one.
Outcome ExtractOne(HWND dlg, const PackageEntry& e, const WCHAR* folder, int& mode) {
    WCHAR name[MAX_PATH], target[MAX_PATH] = L"";
    if (!WindowsName(e, name) || !AppendWide(target, folder) || !AppendWide(target, name)) return kUnwritable;
    CreateFolders(target);
    if (IsFolderEntry(e)) return IsFolder(target) ? kDone : kUnwritable;

    if (GetFileAttributesW(target) != INVALID_FILE_ATTRIBUTES) {
        if (IsFolder(target)) return kUnwritable;
        if (mode == IDC_NEVER) return kSkipped;
        if (mode == IDC_PROMPT) {
            INT_PTR answer = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_CONFIRM), dlg, ConfirmProc,
                                             reinterpret_cast<LPARAM>(target));
            if (answer == IDC_NOASK)
                mode = IDC_ALWAYS;  // this file and all that follow
            else if (answer != IDYES)
                return kSkipped;
        }
    }

    WCHAR folderOfTarget[MAX_PATH] = L"", temp[MAX_PATH];
    uint32_t cut = WideLength(target);
    while (cut > 0 && target[cut - 1] != L'\\') cut--;
    AppendWide(folderOfTarget, target, cut);
    if (GetTempFileNameW(folderOfTarget, L"sfx", 0, temp) == 0) return kUnwritable;
    HANDLE out =
        CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        DeleteFileW(temp);
        return kUnwritable;
    }
    InflateOutput sink = {&out, WriteToFile};
    ExtractStatus r = ExtractEntry(file, package, e, work, sink);
    FILETIME local, written;
    if (r == kExtractOk && DosDateTimeToFileTime(e.date, e.time, &local) &&
        LocalFileTimeToFileTime(&local, &written))
        SetFileTime(out, nullptr, nullptr, &written);
    CloseHandle(out);
    if (r == kExtractOk && MoveInPlace(temp, target)) return kDone;
    DeleteFileW(temp);
    return r == kExtractWriteFailed || r == kExtractOk ? kUnwritable : kDamaged;
}

void ShortForm(char* path, uint32_t size) {
    char buf[kPathBytes];
    DWORD n = GetShortPathNameA(path, buf, sizeof buf);
    if (n > 0 && n < sizeof buf && n < size) {
        path[0] = '\0';
        AppendText(path, size, buf);
    }
}

// Starts the command line of the block, its "><" standing for folder.
void RunCommand(const char* folder) {
    CmdLineParts parts = SplitCmdLine(package.config.cmdLine);
    char program[kPathBytes] = "", params[kPathBytes] = "";
    if (!AppendWithDestination(program, sizeof program, parts.program, parts.programLength, folder) ||
        !AppendWithDestination(params, sizeof params, parts.params, parts.paramsLength, folder))
        return;
    // The program keeps its long name: a gobu finds its settings file by the name it
    // was started under, and a short form such as MYHOLI~1.EXE would make it a new,
    // empty gobu. ShellExecuteA takes a program name with blanks as it is.
    ShortForm(params, sizeof params);
    ShellExecuteA(nullptr, "open", program, params[0] != '\0' ? params : nullptr, nullptr, SW_SHOW);
}

bool IsChosen(void*, uint32_t index) { return SendMessageA(fileList, LB_GETSEL, index, 0) > 0; }

// The bytes free to this user on the drive of folder (which ends in "\"), measured at
// the nearest folder of it that exists, which may be a drive of its own mounted there.
// False when Windows cannot tell.
bool FreeBytes(const WCHAR* folder, uint64_t& free) {
    WCHAR at[MAX_PATH] = L"";
    AppendWide(at, folder);
    uint32_t n = WideLength(at);
    while (n > 0 && !IsFolder(at)) {
        n--;  // up to the folder above, keeping its "\"
        while (n > 0 && at[n - 1] != L'\\') n--;
        at[n] = 0;
    }
    if (at[0] == 0) return false;
    // Every Windows that has the -W calls the files are made with has this one too.
    ULARGE_INTEGER available, total;
    if (!GetDiskFreeSpaceExW(at, &available, &total, nullptr)) return false;
    free = available.QuadPart;
    return true;
}

void Extract(HWND dlg) {
    // The folder in the process code page for the command to run, and as the user
    // typed it for the files.
    char folder[kPathBytes];
    WCHAR wideFolder[MAX_PATH];
    GetDlgItemTextA(dlg, IDC_DEST, folder, sizeof folder);
    GetDlgItemTextW(dlg, IDC_DEST, wideFolder, MAX_PATH);
    if (folder[0] == '\0' || wideFolder[0] == 0) {
        Message(dlg, kChooseFolder);
        return;
    }
    uint32_t n = TextLength(folder);
    if (folder[n - 1] != '\\' &&
        (!AppendText(folder, sizeof folder, "\\") || !AppendWide(wideFolder, L"\\"))) {
        Message(dlg, kNotExtracted);
        return;
    }
    bool choose = (flags & kSfxUserCanChooseFiles) != 0;
    // Sizes are checked against the drive before anything is written: a package that
    // cannot fit must not fill the disk and fail half-way.
    uint64_t free;
    char noRoom[200];
    if (FreeBytes(wideFolder, free) &&
        !RoomFor(BytesToWrite(package, choose ? IsChosen : nullptr, nullptr), free, noRoom, sizeof noRoom)) {
        Message(dlg, noRoom);
        return;
    }
    CreateFolders(wideFolder);

    int mode = IsDlgButtonChecked(dlg, IDC_PROMPT)  ? IDC_PROMPT
               : IsDlgButtonChecked(dlg, IDC_NEVER) ? IDC_NEVER
                                                    : IDC_ALWAYS;
    uint32_t damaged = 0, unwritable = 0;
    PackageEntry e;
    if (!IsFolder(wideFolder)) {
        unwritable++;
    } else {
        for (uint32_t i = 0, pos = 0; i < package.entryCount && EntryAt(package, pos, e); i++, pos = e.next) {
            if (choose && SendMessageA(fileList, LB_GETSEL, i, 0) <= 0) continue;
            Outcome o = ExtractOne(dlg, e, wideFolder, mode);
            if (o == kDamaged) damaged++;
            if (o == kUnwritable) unwritable++;
        }
    }
    if (damaged > 0 || unwritable > 0) {
        Message(dlg, damaged > 0 ? kBadArchive : kNotExtracted);
        if (flags & kSfxAutoExtract) EndDialog(dlg, 1);
        return;
    }
    if (!(flags & kSfxAutoExtract)) Message(dlg, "All files have been extracted.", "Finished.");
    if (package.config.cmdLine[0] != '\0' && IsDlgButtonChecked(dlg, IDC_RUN)) RunCommand(folder);
    EndDialog(dlg, 0);
}

void Browse(HWND dlg) {
    char path[kPathBytes];
    BROWSEINFOA bi = {};
    bi.hwndOwner = dlg;
    bi.pszDisplayName = path;
    bi.lpszTitle = kChooseFolder;
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&bi);
    if (chosen == nullptr) return;
    if (SHGetPathFromIDListA(chosen, path)) SetDlgItemTextA(dlg, IDC_DEST, path);
    CoTaskMemFree(chosen);
}

// The file list, made here because its style depends on the block: without
// UserCanChooseFiles it shows the entries but offers no selection.
void MakeFileList(HWND dlg) {
    RECT r;
    HWND area = GetDlgItem(dlg, IDC_FILES_AREA);
    GetWindowRect(area, &r);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    bool choose = (flags & kSfxUserCanChooseFiles) != 0;
    // A Unicode list box, so that it holds every name as it is.
    fileList = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT |
                                   (choose ? LBS_EXTENDEDSEL : LBS_NOSEL),
                               r.left, r.top, r.right - r.left, r.bottom - r.top, dlg, HMENU(IDC_FILES),
                               instance, nullptr);
    SendMessageA(fileList, WM_SETFONT, SendMessageA(dlg, WM_GETFONT, 0, 0), FALSE);
    SetWindowPos(fileList, area, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // keep the tab order
    PackageEntry e;
    WCHAR name[MAX_PATH];
    for (uint32_t i = 0, pos = 0; i < package.entryCount && EntryAt(package, pos, e); i++, pos = e.next) {
        WindowsName(e, name);
        SendMessageW(fileList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    if (choose) SendMessageA(fileList, LB_SETSEL, TRUE, -1);
}

// The run box names the program as it will run, from the folder the dialog shows now.
void ShowRunBoxText(HWND dlg) {
    char folder[kPathBytes], label[1024 * 3];
    GetDlgItemTextA(dlg, IDC_DEST, folder, sizeof folder);
    if (RunBoxText(label, sizeof label, package.config.cmdLine, folder)) SetDlgItemTextA(dlg, IDC_RUN, label);
}

void InitDialog(HWND dlg) {
    SetWindowTextA(dlg, title);
    HICON small = HICON(LoadImageA(instance, MAKEINTRESOURCEA(IDI_MAIN), IMAGE_ICON,
                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageA(dlg, WM_SETICON, ICON_SMALL, LPARAM(small));
    SendMessageA(dlg, WM_SETICON, ICON_BIG, LPARAM(LoadIconA(instance, MAKEINTRESOURCEA(IDI_MAIN))));
    char path[kPathBytes] = "";
    const char* preset = package.config.defaultPath;
    if (preset[0] == '\0')
        GetCurrentDirectoryA(sizeof path, path);
    else if (preset[0] == '>' && preset[1] == '<' && preset[2] == '\0')
        GetTempPathA(sizeof path, path);
    else
        AppendText(path, sizeof path, preset);
    SetDlgItemTextA(dlg, IDC_DEST, path);
    SendDlgItemMessageA(dlg, IDC_DEST, EM_LIMITTEXT, MAX_PATH - 2, 0);
    MakeFileList(dlg);

    int mode = flags & kSfxOverwriteAlways ? IDC_ALWAYS : flags & kSfxOverwriteNever ? IDC_NEVER : IDC_PROMPT;
    CheckRadioButton(dlg, IDC_PROMPT, IDC_NEVER, mode);
    for (int id = IDC_PROMPT; id <= IDC_NEVER; id++)
        EnableWindow(GetDlgItem(dlg, id), !(flags & kSfxOverwriteLocked));

    const char* cmdLine = package.config.cmdLine;
    ShowRunBoxText(dlg);
    CheckDlgButton(dlg, IDC_RUN, cmdLine[0] != '\0' ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dlg, IDC_RUN), cmdLine[0] != '\0' && (flags & kSfxUserCanDisableCmdLine));

    if (flags & kSfxAutoExtract) PostMessageA(dlg, WM_COMMAND, IDOK, 0);
}

INT_PTR CALLBACK MainProc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        InitDialog(dlg);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    if (LOWORD(wp) == IDC_DEST && HIWORD(wp) == EN_CHANGE) ShowRunBoxText(dlg);
    if (LOWORD(wp) == IDOK) Extract(dlg);
    if (LOWORD(wp) == IDC_BROWSE) Browse(dlg);
    if (LOWORD(wp) == IDCANCEL) EndDialog(dlg, 1);
    return TRUE;
}

UINT Run() {
    instance = GetModuleHandleA(nullptr);
    PackageStatus status = OpenSelf();
    // The block is read first, so even a damaged archive is reported under its caption.
    if (package.config.caption[0] != '\0') title = package.config.caption;
    if (status != kPackageOk) {
        Message(nullptr, PackageMessage(status));
        return 1;
    }
    // Without a block the stub's defaults are those of a fresh configuration: every
    // existing file overwritten, and no command to run.
    flags = package.hasConfig ? package.config.flags : kSfxOverwriteLocked | kSfxOverwriteAlways;
    // A Unicode dialog: its controls show every name and folder as they are.
    return UINT(DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainProc, 0));
}

}  // namespace

extern "C" void StubMain() {
    ProtectDllSearch();
    ExitProcess(Run());
}
