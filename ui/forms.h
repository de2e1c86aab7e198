// A thin window layer over Win32: the application object, forms with their events,
// timers, popup menus built from tables, and picture components. Only what the
// program's windows use.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/dpi.h"
#include "ui/scoped.h"

class TForm;
class TControl;

// Bytes for a path of MAX_PATH UTF-16 units: up to three each in UTF-8, the process
// code page where Windows honours the manifest.
constexpr int kPathBytes = MAX_PATH * 3;

// Text in a code page (the process's by default) as UTF-16, unterminated: for the GDI
// calls, whose -A forms read the font's code page rather than the process's, and for
// files kept in a code page of their own. (A vector: std::wstring would link the C++
// library's whole wide string into every share.)
std::vector<wchar_t> WideText(const std::string& text, UINT codePage = CP_ACP);
// UTF-16 text in a code page; characters it lacks become its default character.
std::string NarrowText(const std::vector<wchar_t>& text, UINT codePage = CP_ACP);

enum TMouseButton { mbLeft, mbRight, mbMiddle };
TMouseButton MouseButtonOf(UINT message);

// Cursor numbers as the program uses them: 0 the default arrow, 1 the custom hand,
// crHourGlass the wait cursor.
enum : int { crDefault = 0, crHandPoint = 1, crHourGlass = -11 };

// The hidden owner window that carries the taskbar button and the application title,
// and the message loop.
class TApplication {
public:
    HINSTANCE Instance = nullptr;
    HWND Handle = nullptr;
    TForm* MainForm = nullptr;
    // The screen's DPI, read once at start: the program declares itself DPI-aware, so
    // every window scales its own layout by it.
    int Dpi = kDesignDpi;

    // Makes this the one process of the program running under name, before Initialize
    // makes it findable: false when another process holds the name, which is asked to
    // come to the front (restored when minimised). Where the name cannot be held at
    // all, every process counts as the one.
    bool ClaimName(const std::string& name);
    void Initialize(HINSTANCE instance);
    // A pixel figure of a 96-DPI layout at the screen's DPI.
    int Scaled(int pixels) const { return ScaleForDpi(pixels, Dpi); }
    void Run();
    void Terminate();
    void ProcessMessages();
    void Minimize();
    void Restore();
    bool Minimized() const;

    std::string Title() const;
    void SetTitle(const std::string& title);

    // The application-wide cursor: while it is not crDefault it replaces every
    // window's own cursor.
    int ScreenCursor() const { return screenCursor_; }
    void SetScreenCursor(int cursor);
    void SetCustomCursor(int number, HCURSOR cursor);
    HCURSOR CursorFor(int cursor) const;

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    int screenCursor_ = crDefault;
    HCURSOR handCursor_ = nullptr;
    volatile LONG* claimedWindow_ = nullptr;  // where the holder of a name shows its window
};

extern TApplication Application;

// A one-window timer; its events arrive through the owner's message loop.
class TTimer {
public:
    std::function<void()> OnTimer;

    void Attach(TForm* owner, UINT id, UINT interval);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    UINT Interval() const { return interval_; }
    void SetInterval(UINT interval);
    UINT Id() const { return id_; }

private:
    void Arm();
    TForm* owner_ = nullptr;
    UINT id_ = 0;
    UINT interval_ = 1000;
    bool enabled_ = false;
};

// One menu item; its check and enabled states live in the native menu itself.
class TMenuItem {
public:
    HMENU Parent = nullptr;
    HMENU Submenu = nullptr;  // set for an item that opens a submenu
    UINT Id = 0;
    std::string Caption;

    bool Checked() const;
    void SetChecked(bool checked);
    bool Enabled() const;
    void SetEnabled(bool enabled);
};

// One row of a form's menu table. Items of level 0 sit in the popup menu; items of
// level 1 in the submenu of the nearest level-0 item above them. A caption of "-" is a
// separator. A row without a handler is an item whose command does nothing.
template <class F>
struct TMenuRow {
    int level;
    TMenuItem F::*item;
    const char* caption;
    void (F::*handler)();
};

// Builds the popup menu of a table; item i gets the command id firstId + i.
template <class F, size_t N>
HMENU BuildPopupMenu(F* form, const TMenuRow<F> (&rows)[N], UINT firstId) {
    HMENU popup = CreatePopupMenu();
    HMENU current = popup;
    for (size_t i = 0; i < N; i++) {
        const TMenuRow<F>& row = rows[i];
        HMENU parent = row.level == 0 ? popup : current;
        TMenuItem& item = form->*row.item;
        item.Parent = parent;
        item.Id = firstId + UINT(i);
        item.Caption = row.caption;
        if (std::string(row.caption) == "-") {
            AppendMenuA(parent, MF_SEPARATOR, item.Id, nullptr);
        } else if (i + 1 < N && rows[i + 1].level > row.level) {
            item.Submenu = CreatePopupMenu();
            AppendMenuA(parent, MF_POPUP | MF_STRING, UINT_PTR(item.Submenu), row.caption);
            current = item.Submenu;
        } else {
            AppendMenuA(parent, MF_STRING, item.Id, row.caption);
        }
    }
    return popup;
}

// Runs the handler of the table row whose command id is given; false when none is.
template <class F, size_t N>
bool DispatchMenuCommand(F* form, const TMenuRow<F> (&rows)[N], UINT firstId, UINT id) {
    if (id < firstId || id >= firstId + N) return false;
    if (rows[id - firstId].handler) (form->*rows[id - firstId].handler)();
    return true;
}

// A picture component: holds a bitmap and, when placed on a form, shows it in a child
// window of its own whose mouse events go to a handler of the form. It owns both.
class TImage {
public:
    std::function<void(TMouseButton, int x, int y)> OnMouseDown;
    std::function<void(bool leftHeld, int x, int y)> OnMouseMove;
    std::function<void(TMouseButton, int x, int y)> OnMouseUp;
    bool Transparent = false;

    TImage() = default;
    virtual ~TImage();
    TImage(const TImage&) = delete;
    TImage& operator=(const TImage&) = delete;

    void Place(TForm* owner, int left, int top, bool visible);
    HWND Handle() const { return handle_; }
    int Left() const { return left_; }
    int Top() const { return top_; }

    // The picture, owned by the component; replaced pictures are destroyed.
    HBITMAP Picture() const { return picture_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetPicture(HBITMAP bitmap);
    void Assign(const TImage& other);

    bool Visible() const;
    void SetVisible(bool visible);

protected:
    // Runs before SetPicture replaces the picture.
    virtual void PictureChanging() {}
    // Runs for each timer of the component's own window.
    virtual void Timer(UINT_PTR /*id*/) {}

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    HWND handle_ = nullptr;
    int left_ = 0, top_ = 0;
    TGdiObject<HBITMAP> picture_;
    int width_ = 0, height_ = 0;
};

// The header of a 32-bit, top-row-first device-independent bitmap of this size.
BITMAPINFO TopDownInfo32(int width, int height);

// A 32-bit top-down DIB section of these pixels (0x00RRGGBB, top row first; null
// leaves it black). Its pixel memory is handed out through bits when asked for.
HBITMAP CreatePixelBitmap(int width, int height, const uint32_t* pixels, uint32_t** bits = nullptr);

// Copies a bitmap into a new device-dependent bitmap of the screen; null on failure.
HBITMAP CopyToDeviceBitmap(HBITMAP source);

enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

// How a form's window looks when it is created; the client size is given for 96 DPI.
struct TFormStyle {
    const char* caption;
    DWORD style;
    DWORD exStyle;
    int clientWidth, clientHeight;
};

// A window of the program. Each form is one class; it receives its events through
// the virtual handlers below.
class TForm {
public:
    HWND Handle = nullptr;
    int Cursor = crDefault;  // the form's own cursor over its client area

    TForm() = default;
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    // Creates the native window with the form's own class name, then runs FormCreate.
    bool CreateForm(const char* className, const TFormStyle& style, HWND owner, bool hollow);

    void Show();
    void Hide();
    int ShowModal();
    void Close();
    bool Visible() const;
    void BringToFront();

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetBounds(int left, int top, int width, int height);
    void SetPosition(int left, int top);
    void SetClientSize(int width, int height);
    void CentreOnScreen();
    void SetCaption(const std::string& caption);
    std::string Caption() const;

    int ModalResult = mrNone;
    // Tab, Enter and Esc move between and press controls, as in a dialog box.
    bool DialogKeys = false;
    // Characters typed in any control of the form reach FormKeyPress first; a handler
    // that sets the key to 0 keeps it from the control.
    bool KeyPreview = false;

    // Hands a message of the loop to the form's key preview; true when it is consumed.
    static bool PreviewKey(const MSG& msg);

    // Takes files and folders dragged from Explorer, or refuses them again: a drop onto
    // a control that takes them goes to that control, any other to FormDropFiles.
    void AcceptFiles(bool accept = true);

protected:
    // Makes the form's components (menus, pictures, timers, controls) once the native
    // window exists, before FormCreate runs.
    virtual void CreateComponents() {}
    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual void FormActivate() {}
    virtual void FormClose() {}
    // The close box, Alt+F4 or the system menu's Close: the form closes, unless it
    // gives them a meaning of its own.
    virtual void CloseBoxClick() { Close(); }
    virtual void FormPaint(HDC) {}
    virtual void FormResize() {}
    virtual void FormMouseDown(TMouseButton, int, int) {}
    virtual void FormMouseMove(bool /*leftHeld*/, int, int) {}
    virtual void FormMouseUp(TMouseButton, int, int) {}
    virtual void FormKeyPress(char&) {}
    virtual bool FormCommand(UINT /*id*/) { return false; }
    virtual void FormInitMenuPopup(HMENU) {}
    // Full paths of what was dropped, in the order given.
    virtual void FormDropFiles(const std::vector<std::string>& /*paths*/) {}
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);

    friend class TTimer;
    friend void CreateControls(TForm*, const struct TControlRow*, size_t);
    std::vector<TTimer*> timers_;
    std::vector<TControl*> controls_;

private:
    static LRESULT CALLBACK StaticWndProc(HWND, UINT, WPARAM, LPARAM);
    void DropFiles(HDROP drop);
    bool modal_ = false;
    bool closing_ = false;
};

// Makes a window topmost (above all normal windows, and brought to the front) or a
// normal window again. Failures are ignored.
void SetStayOnTop(HWND window, bool onTop);

// A plain message box with one OK button, captioned with the application's title.
void ShowMessage(const std::string& text);

// The DLL of that file name from the system folder only, its own imports looked for
// there first: never one that a sender put beside a received gobu or in the current
// folder. Null when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);
