#include "ui/forms.h"

#include <shellapi.h>
#include <windowsx.h>

#include <cstring>

#include "ui/controls.h"
#include "ui/outward.h"

TApplication Application;

namespace {

const char kApplicationClass[] = "TApplication";
const char kImageClass[] = "TImage";

// Windows disabled by a modal form, enabled again when it closes.
BOOL CALLBACK DisableOtherWindow(HWND hwnd, LPARAM param) {
    auto* disabled = reinterpret_cast<std::vector<HWND>*>(param);
    if (hwnd != disabled->front() && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        disabled->push_back(hwnd);
    }
    return TRUE;
}

// The program's icon at the size Windows shows it for a window: big in Alt+Tab, small
// in the caption and on the taskbar.
HICON ProgramIcon(bool small) {
    return HICON(LoadImageA(Application.Instance, "MAINICON", IMAGE_ICON,
                            GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON),
                            GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON), LR_SHARED));
}

// A window class of the program: its windows carry the program's icon.
void RegisterFormClass(const char* name, WNDPROC proc, HBRUSH background) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = Application.Instance;
    wc.hIcon = ProgramIcon(false);
    wc.hIconSm = ProgramIcon(true);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

}  // namespace

TMouseButton MouseButtonOf(UINT message) {
    switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

// ---- TApplication ----

namespace {

// What a second process of a claimed name sends the process that holds it.
UINT ComeToFrontMessage() {
    static const UINT message = RegisterWindowMessageA("TApplication.ComeToFront");
    return message;
}

}  // namespace

bool TApplication::ClaimName(const std::string& name) {
    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG), name.c_str());
    if (!mapping) return true;
    const bool first = GetLastError() != ERROR_ALREADY_EXISTS;
    auto* window = static_cast<volatile LONG*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
    if (first || !window) {
        // Held for the life of the process; the system lets go of it at the end.
        claimedWindow_ = window;
        return true;
    }
    // The holder shows its window as soon as it has made it. Window handles are 32-bit
    // values in every Windows process.
    HWND holder = nullptr;
    for (int i = 0; i < 100 && !(holder = HWND(UINT_PTR(ULONG(*window)))); i++) Sleep(50);
    if (holder) {
        DWORD process = 0;
        GetWindowThreadProcessId(holder, &process);
        AllowSetForegroundWindow(process);
        PostMessageA(holder, ComeToFrontMessage(), 0, 0);
    }
    UnmapViewOfFile(const_cast<LONG*>(window));
    CloseHandle(mapping);
    return false;
}

void TApplication::Initialize(HINSTANCE instance) {
    Instance = instance;
    const int dpi = GetDeviceCaps(TWindowDC(nullptr), LOGPIXELSY);
    if (dpi > 0) Dpi = dpi;
    RegisterFormClass(kApplicationClass, WndProc, nullptr);
    // A zero-sized, visible popup at the screen's centre: it owns the forms and so is
    // the only window of the program with a taskbar button.
    int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    Handle = CreateWindowExA(0, kApplicationClass, "",
                             WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, cx, cy, 0,
                             0, nullptr, nullptr, instance, nullptr);
    if (claimedWindow_) InterlockedExchange(claimedWindow_, LONG(ULONG(UINT_PTR(Handle))));
    ShowWindow(Handle, SW_SHOWNOACTIVATE);
}

LRESULT CALLBACK TApplication::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ComeToFrontMessage()) {
        Application.Restore();
        return 0;
    }
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_RESTORE) {
            Application.Restore();
            return 0;
        }
        break;
    case WM_ACTIVATE:
        // Activation belongs to the main form, not to the invisible owner.
        if (LOWORD(wParam) != WA_INACTIVE && Application.MainForm && !IsIconic(hwnd) &&
            Application.MainForm->Visible())
            SetActiveWindow(Application.MainForm->Handle);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void TApplication::Run() {
    if (MainForm) MainForm->Show();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (TForm::PreviewKey(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            return;
        }
        if (TForm::PreviewKey(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void TApplication::Minimize() {
    // Hiding the owned forms first keeps them off the desktop on window managers
    // that do not hide the windows of a minimised owner.
    ShowOwnedPopups(Handle, FALSE);
    ShowWindow(Handle, SW_MINIMIZE);
}

void TApplication::Restore() {
    ShowWindow(Handle, SW_RESTORE);
    ShowOwnedPopups(Handle, TRUE);
    if (MainForm && MainForm->Visible()) MainForm->BringToFront();
}

bool TApplication::Minimized() const { return IsIconic(Handle) != 0; }

std::string TApplication::Title() const {
    char buffer[512] = "";
    GetWindowTextA(Handle, buffer, sizeof buffer);
    return buffer;
}

void TApplication::SetTitle(const std::string& title) { SetWindowTextA(Handle, title.c_str()); }

void TApplication::SetCustomCursor(int number, HCURSOR cursor) {
    if (number == crHandPoint) handCursor_ = cursor;
}

HCURSOR TApplication::CursorFor(int cursor) const {
    switch (cursor) {
    case crHandPoint:
        return handCursor_;
    case crHourGlass:
        return LoadCursorA(nullptr, IDC_WAIT);
    default:
        return LoadCursorA(nullptr, IDC_ARROW);
    }
}

void TApplication::SetScreenCursor(int cursor) {
    screenCursor_ = cursor;
    SetCursor(CursorFor(cursor));
}

// ---- TTimer ----

void TTimer::Attach(TForm* owner, UINT id, UINT interval) {
    owner_ = owner;
    id_ = id;
    interval_ = interval;
    owner->timers_.push_back(this);
}

void TTimer::Arm() {
    if (!owner_ || !owner_->Handle) return;
    if (enabled_ && interval_ > 0)
        SetTimer(owner_->Handle, id_, interval_, nullptr);
    else
        KillTimer(owner_->Handle, id_);
}

void TTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Arm();
}

void TTimer::SetInterval(UINT interval) {
    interval_ = interval;
    Arm();
}

// ---- TMenuItem ----

bool TMenuItem::Checked() const { return (GetMenuState(Parent, Id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

void TMenuItem::SetChecked(bool checked) {
    CheckMenuItem(Parent, Id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool TMenuItem::Enabled() const {
    return (GetMenuState(Parent, Id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

void TMenuItem::SetEnabled(bool enabled) {
    EnableMenuItem(Parent, Id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

// ---- TImage ----

// The window goes first: it paints the picture until it is gone.
TImage::~TImage() {
    if (!handle_) return;
    SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
}

void TImage::Place(TForm* owner, int left, int top, bool visible) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = WndProc;
        wc.hInstance = Application.Instance;
        wc.lpszClassName = kImageClass;
        RegisterClassA(&wc);
        registered = true;
    }
    left_ = left;
    top_ = top;
    handle_ = CreateWindowExA(0, kImageClass, "", WS_CHILD | (visible ? WS_VISIBLE : 0), left, top, width_,
                              height_, owner->Handle, nullptr, Application.Instance, nullptr);
    SetWindowLongPtrA(handle_, GWLP_USERDATA, LONG_PTR(this));
}

void TImage::SetPicture(HBITMAP bitmap) {
    PictureChanging();
    picture_.Reset(bitmap);
    BITMAP bm = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) bm.bmWidth = bm.bmHeight = 0;
    width_ = bm.bmWidth;
    height_ = bm.bmHeight;
    if (handle_) {
        // Sized to its content.
        SetWindowPos(handle_, nullptr, 0, 0, width_, height_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(handle_, nullptr, FALSE);
    }
}

void TImage::Assign(const TImage& other) {
    SetPicture(other.picture_ ? HBITMAP(CopyImage(other.picture_, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))
                              : nullptr);
}

bool TImage::Visible() const { return handle_ && IsWindowVisible(handle_); }

void TImage::SetVisible(bool visible) {
    if (handle_) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

LRESULT CALLBACK TImage::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TImage*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (self->picture_) {
            TMemoryDC picture(dc, self->picture_);
            BitBlt(dc, 0, 0, self->width_, self->height_, picture, 0, 0, SRCCOPY);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_TIMER:
        self->Timer(wParam);
        return 0;
    case WM_NCDESTROY:
        // Gone with its owner form's window.
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->handle_ = nullptr;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (self->OnMouseDown)
            self->OnMouseDown(MouseButtonOf(message), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (self->OnMouseUp)
            self->OnMouseUp(MouseButtonOf(message), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEMOVE:
        if (self->OnMouseMove)
            self->OnMouseMove((wParam & MK_LBUTTON) != 0, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

BITMAPINFO TopDownInfo32(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HBITMAP CreatePixelBitmap(int width, int height, const uint32_t* pixels, uint32_t** bits) {
    BITMAPINFO info = TopDownInfo32(width, height);
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (!bitmap) return nullptr;
    if (pixels) memcpy(memory, pixels, size_t(width) * size_t(height) * 4);
    if (bits) *bits = static_cast<uint32_t*>(memory);
    return bitmap;
}

HBITMAP CopyToDeviceBitmap(HBITMAP source) {
    BITMAP bm = {};
    if (!source || !GetObjectA(source, sizeof bm, &bm)) return nullptr;
    TWindowDC screen(nullptr);
    HBITMAP copy = CreateCompatibleBitmap(screen, bm.bmWidth, bm.bmHeight);
    if (copy) {
        TMemoryDC from(screen, source), to(screen, copy);
        BitBlt(to, 0, 0, bm.bmWidth, bm.bmHeight, from, 0, 0, SRCCOPY);
    }
    return copy;
}

// ---- TForm ----

TForm::~TForm() {
    if (Handle) {
        SetWindowLongPtrA(Handle, GWLP_USERDATA, 0);
        DestroyWindow(Handle);
    }
}

bool TForm::CreateForm(const char* className, const TFormStyle& style, HWND owner, bool hollow) {
    WNDCLASSA known;
    // No class cursor: WM_SETCURSOR chooses. A hollow form never erases its background;
    // its picture is painted over it.
    if (!GetClassInfoA(Application.Instance, className, &known))
        RegisterFormClass(className, StaticWndProc, hollow ? nullptr : HBRUSH(COLOR_BTNFACE + 1));
    RECT r = {0, 0, Application.Scaled(style.clientWidth), Application.Scaled(style.clientHeight)};
    AdjustWindowRectEx(&r, style.style, FALSE, style.exStyle);
    Handle =
        CreateWindowExA(style.exStyle, className, style.caption, style.style, CW_USEDEFAULT, CW_USEDEFAULT,
                        r.right - r.left, r.bottom - r.top, owner, nullptr, Application.Instance, this);
    if (!Handle) return false;
    CreateComponents();
    FormCreate();
    return true;
}

LRESULT CALLBACK TForm::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, LONG_PTR(cs->lpCreateParams));
        reinterpret_cast<TForm*>(cs->lpCreateParams)->Handle = hwnd;
    }
    auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!form) return DefWindowProcA(hwnd, message, wParam, lParam);
    return form->WndProc(message, wParam, lParam);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam && lParam == 0) FormShow();
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) FormActivate();
        break;
    case WM_CLOSE:
        CloseBoxClick();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle, &ps);
        FormPaint(dc);
        EndPaint(Handle, &ps);
        return 0;
    }
    case WM_TIMER:
        for (TTimer* t : timers_)
            if (t->Id() == wParam) {
                if (t->Enabled() && t->OnTimer) t->OnTimer();
                return 0;
            }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        FormMouseDown(MouseButtonOf(message), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        FormMouseUp(MouseButtonOf(message), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEMOVE:
        FormMouseMove((wParam & MK_LBUTTON) != 0, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_CHAR: {
        char key = char(wParam);
        FormKeyPress(key);
        return 0;
    }
    case WM_SETCURSOR:
        if (Application.ScreenCursor() != crDefault) {
            SetCursor(Application.CursorFor(Application.ScreenCursor()));
            return TRUE;
        }
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(Application.CursorFor(Cursor));
            return TRUE;
        }
        break;
    case WM_INITMENUPOPUP:
        FormInitMenuPopup(HMENU(wParam));
        return 0;
    case WM_DROPFILES:
        DropFiles(HDROP(wParam));
        return 0;
    case WM_COMMAND:
        for (TControl* c : controls_)
            if (lParam ? c->Handle == HWND(lParam) : c->Id == LOWORD(wParam)) {
                c->Command(lParam ? HIWORD(wParam) : WORD(BN_CLICKED));
                return 0;
            }
        if (FormCommand(LOWORD(wParam))) return 0;
        break;
    case WM_NOTIFY:
        for (TControl* c : controls_)
            if (c->Handle == reinterpret_cast<NMHDR*>(lParam)->hwndFrom)
                return c->Notify(reinterpret_cast<NMHDR*>(lParam));
        break;
    case WM_CTLCOLORSTATIC:
        for (TControl* c : controls_)
            if (c->Handle == HWND(lParam) && (c->Options & coRedText)) {
                SetTextColor(HDC(wParam), RGB(255, 0, 0));
                SetBkColor(HDC(wParam), GetSysColor(COLOR_BTNFACE));
                return LRESULT(GetSysColorBrush(COLOR_BTNFACE));
            }
        break;
    case WM_SIZE:
        FormResize();
        break;
    case WM_DESTROY:
        if (this == Application.MainForm) PostQuitMessage(0);
        break;
    case WM_NCDESTROY: {
        HWND window = Handle;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        Handle = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    }
    return DefWindowProcA(Handle, message, wParam, lParam);
}

bool TForm::PreviewKey(const MSG& msg) {
    if (msg.message != WM_CHAR) return false;
    // Only windows of the forms' own classes carry a form; message boxes and common
    // dialogs keep other data there.
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (root == msg.hwnd || reinterpret_cast<WNDPROC>(GetClassLongPtrA(root, GCLP_WNDPROC)) != StaticWndProc)
        return false;
    auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(root, GWLP_USERDATA));
    if (!form || !form->KeyPreview) return false;
    char key = char(msg.wParam);
    form->FormKeyPress(key);
    return key == 0;
}

void TForm::AcceptFiles(bool accept) { DragAcceptFiles(Handle, accept); }

// The names come in the process's code page, UTF-8 where the program has it in force.
void TForm::DropFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; i++) {
        std::string path(DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
        path.resize(DragQueryFileA(drop, i, &path[0], UINT(path.size())));
        if (!path.empty()) paths.push_back(path);
    }
    POINT at = {0, 0};
    DragQueryPoint(drop, &at);
    DragFinish(drop);
    for (TControl* c : controls_) {
        const RECT r = c->Bounds();
        if (PtInRect(&r, at) && c->DropFiles(paths)) return;
    }
    FormDropFiles(paths);
}

void TForm::Show() {
    ShowWindow(Handle, SW_SHOWNORMAL);
    BringToFront();
}

void TForm::Hide() { ShowWindow(Handle, SW_HIDE); }

bool TForm::Visible() const { return Handle && IsWindowVisible(Handle); }

void TForm::BringToFront() {
    SetWindowPos(Handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(Handle);
}

int TForm::ShowModal() {
    std::vector<HWND> disabled{Handle};
    EnumThreadWindows(GetCurrentThreadId(), DisableOtherWindow, LPARAM(&disabled));
    ModalResult = mrNone;
    modal_ = true;
    Show();
    MSG msg;
    while (ModalResult == mrNone) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(int(msg.wParam));
            if (ModalResult == mrNone) ModalResult = mrCancel;
            break;
        }
        if (PreviewKey(msg)) continue;
        if (DialogKeys && IsDialogMessageA(Handle, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    modal_ = false;
    for (size_t i = 1; i < disabled.size(); i++) EnableWindow(disabled[i], TRUE);
    Hide();
    return ModalResult;
}

void TForm::Close() {
    if (closing_) return;
    closing_ = true;
    FormClose();
    closing_ = false;
    if (modal_) {
        if (ModalResult == mrNone) ModalResult = mrCancel;
    } else if (this == Application.MainForm) {
        DestroyWindow(Handle);
    } else {
        Hide();
    }
}

int TForm::Left() const {
    RECT r;
    GetWindowRect(Handle, &r);
    return r.left;
}

int TForm::Top() const {
    RECT r;
    GetWindowRect(Handle, &r);
    return r.top;
}

int TForm::Width() const {
    RECT r;
    GetWindowRect(Handle, &r);
    return r.right - r.left;
}

int TForm::Height() const {
    RECT r;
    GetWindowRect(Handle, &r);
    return r.bottom - r.top;
}

void TForm::SetBounds(int left, int top, int width, int height) {
    SetWindowPos(Handle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetPosition(int left, int top) {
    SetWindowPos(Handle, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetClientSize(int width, int height) {
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, DWORD(GetWindowLongPtrA(Handle, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrA(Handle, GWL_EXSTYLE)));
    SetWindowPos(Handle, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::CentreOnScreen() {
    SetPosition((GetSystemMetrics(SM_CXSCREEN) - Width()) / 2,
                (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2);
}

void TForm::SetCaption(const std::string& caption) { SetWindowTextA(Handle, caption.c_str()); }

std::string TForm::Caption() const {
    char buffer[512] = "";
    GetWindowTextA(Handle, buffer, sizeof buffer);
    return buffer;
}

std::vector<wchar_t> WideText(const std::string& text, UINT codePage) {
    // Never more units than bytes.
    std::vector<wchar_t> wide(text.size());
    const int n = text.empty() ? 0
                               : MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), &wide[0],
                                                     int(wide.size()));
    wide.resize(size_t(n > 0 ? n : 0));
    return wide;
}

std::string NarrowText(const std::vector<wchar_t>& text, UINT codePage) {
    if (text.empty()) return std::string();
    const int n =
        WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), &narrow[0], n, nullptr, nullptr);
    return narrow;
}

HMODULE LoadSystemLibrary(const char* name) {
    char folder[kPathBytes];
    const UINT length = GetSystemDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder) return nullptr;
    const std::string path = std::string(folder, length) + "\\" + name;
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void SetStayOnTop(HWND window, bool onTop) {
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (onTop) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, flags);
        return;
    }
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    if (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) {
        // Wine keeps an owned window topmost; it lets go while the owner is detached.
        HWND owner = GetWindow(window, GW_OWNER);
        SetWindowLongPtrA(window, GWLP_HWNDPARENT, 0);
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
        SetWindowLongPtrA(window, GWLP_HWNDPARENT, LONG_PTR(owner));
    }
}

void ShowMessage(const std::string& text) {
    HWND owner = GetActiveWindow();
    outward::Message(owner ? owner : Application.Handle, text, Application.Title(), MB_OK);
}
