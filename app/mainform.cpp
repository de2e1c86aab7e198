#include "app/mainform.h"

#include "app/startfrm.h"
#include "app/startup.h"

Tmain* mainform = nullptr;

namespace {

const UINT kFirstMenuId = 100;
enum { kStartTimerId = 1, kDurationTimerId = 2 };

// The popup menu. Commands of windows that do not exist yet have no handler.
const TMenuRow<Tmain> kMenu[] = {
    {0, &Tmain::File1, "File", nullptr},
    {1, &Tmain::NewGobu1, "&New Gobu", nullptr},
    {1, &Tmain::OpenGobu1, "&Open Gobu", nullptr},
    {1, &Tmain::SaveGobuAs1, "&Save Gobu As", nullptr},
    {1, &Tmain::Exit1, "&Close Gobu", &Tmain::Exit1Click},
    {0, &Tmain::SelectPictures1, "Select Picture(s)", nullptr},
    {0, &Tmain::Launch1, "Link File(s)", nullptr},
    {0, &Tmain::Edit1, "Configure", nullptr},
    {1, &Tmain::HideGobu1, "&Hide Gobu", &Tmain::HideGobu1Click},
    {1, &Tmain::menutransparent, "&Transparent", &Tmain::menutransparentClick},
    {1, &Tmain::menustayontop, "&Stay on Top", &Tmain::menustayontopClick},
    {1, &Tmain::Autostart1, "&Auto StartUp", nullptr},
    {0, &Tmain::Share1, "Share", nullptr},
    {1, &Tmain::EMail1, "&E-Mail", nullptr},
    {1, &Tmain::HardDisk1, "&Hard Disk", nullptr},
    {1, &Tmain::FloppyDisk1, "&Floppy Disk", nullptr},
    {1, &Tmain::N1, "-", nullptr},
    {1, &Tmain::TellaFriend1, "&Tell a Friend", nullptr},
    {0, &Tmain::Help1, "&Help", nullptr},
    {1, &Tmain::Help2, "&Help", nullptr},
    {1, &Tmain::QuickKeys1, "&Quick Keys", nullptr},
    {1, &Tmain::About1, "&About", nullptr},
    {1, &Tmain::N2, "-", nullptr},
    {1, &Tmain::WhatsNew1, "&What's New", nullptr},
    {1, &Tmain::Feedback1, "&Feedback", nullptr},
};

// A plain rectangle on the desktop: no border, no caption bar.
const TFormStyle kMainStyle = {"", WS_POPUP | WS_CLIPCHILDREN, 0, 248, 156};

std::string OwnExecutablePath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::string GetWindowsFamily() {
    char dir[256] = "";
    GetWindowsDirectoryA(dir, sizeof dir);
    return WindowsFamilyOf(dir);
}

// The number of clock reads made during one tick of the system clock, measured from
// the start of a tick.
int CountReadsPerTick() {
    const DWORD t0 = GetTickCount();
    DWORD t1 = t0;
    while (t1 == t0) t1 = GetTickCount();
    int reads = 0;
    DWORD t;
    do {
        t = GetTickCount();
        reads++;
    } while (t == t1);
    return reads;
}

}  // namespace

Tmain::~Tmain() {
    if (WorkBitmap) DeleteObject(WorkBitmap);
    if (pop) DestroyMenu(pop);
    if (mainform == this) mainform = nullptr;
}

bool Tmain::Create() {
    if (ExePath.empty()) ExePath = OwnExecutablePath();
    mainform = this;
    Application.MainForm = this;
    return CreateForm("Tmain", kMainStyle, Application.Handle, true);
}

std::string Tmain::SettingsPath() const { return BasePathOf(ExePath) + ".gobu"; }

void Tmain::CreateComponents() {
    pop = BuildPopupMenu(this, kMenu, kFirstMenuId);
    gobuholder.Transparent = true;
    gobuholder.SetPicture(
        HBITMAP(LoadImageA(Application.Instance, "GOBU", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    image.Place(this, 0, 0, false);
    image.OnMouseDown = [this](TMouseButton b, int x, int y) { gobuholderMouseDown(b, x, y); };
    image.OnMouseMove = [this](bool held, int x, int y) { gobuholderMouseMove(held, x, y); };
    image.OnMouseUp = [this](TMouseButton b, int x, int y) { gobuholderMouseUp(b, x, y); };
    starttimer.Attach(this, kStartTimerId, 1000);
    starttimer.OnTimer = [this] { starttimerTimer(); };
    durationtimer.Attach(this, kDurationTimerId, 1000);
    starttimer.SetEnabled(true);
    durationtimer.SetEnabled(true);
}

void Tmain::FormCreate() {
    StayOnTopSuspended = false;
    menutransparent.SetChecked(true);
    DialogBusy = false;
    SpeedCount = CountReadsPerTick();
    SpeedCount = ScaleSpeedCount(SpeedCount, GetWindowsFamily());
    Cursor = crHandPoint;
    DeleteFileA(PackagePathOf(ExePath).c_str());
    LastRandomEffect = 0;
    TransitionBusy = false;
    StartPending = true;
    CurrentPicture = 0;
    SetPosition(40, 40);
    Application.SetCustomCursor(crHandPoint, LoadCursorA(Application.Instance, "HANDPOINT"));
}

void Tmain::FormShow() {
    std::string title = GobuTitle(ExePath);
    Application.SetTitle(title);
    SetCaption(Application.Title());
}

void Tmain::FormActivate() {
    if (!StartPending) return;
    StartPending = false;
    LoadSettings(true);
    ShowPicture(0, false);
    PressWindowPos = POINT{Left(), Top()};
    SetClientSize(image.Width(), image.Height());
}

void Tmain::starttimerTimer() {
    starttimer.SetEnabled(false);
    ApplyStayOnTop();
    ApplyShape();
}

void Tmain::LoadSettings(bool /*withPositions*/) {
    HANDLE file = CreateFileA(SettingsPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ShowPicture(-1, false);
        if (IsFirstStartForUser()) ShowStartDialog();
        return;
    }
    CloseHandle(file);
}

void Tmain::ShowStartDialog() {
    Tstartdlg dialog;
    if (!dialog.Create(Handle)) return;
    Size screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    Point at =
        PlaceAtCentreOf({Left(), Top()}, {Width(), Height()}, {dialog.Width(), dialog.Height()}, screen);
    dialog.SetPosition(at.x, at.y);
    dialog.ShowModal();
    RememberFirstStart();
}

// ---- Mouse: press, drag, release ----

void Tmain::FormMouseDown(TMouseButton, int x, int y) {
    PressPoint = POINT{x, y};
    PressWindowPos = POINT{Left(), Top()};
    // The hand stays while the button is held, wherever the mouse goes.
    Application.SetScreenCursor(crHandPoint);
    SetCapture(Handle);
}

void Tmain::FormMouseMove(bool leftHeld, int x, int y) {
    if (Application.ScreenCursor() != crHandPoint || !leftHeld) return;
    SetPosition(Left() + x - PressPoint.x, Top() + y - PressPoint.y);
}

void Tmain::FormMouseUp(TMouseButton button, int x, int y) {
    if (GetCapture() == Handle) ReleaseCapture();
    if (Left() == PressWindowPos.x && Top() == PressWindowPos.y) {
        if (button == mbRight) {
            Size screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
            Point at = PopupMenuPoint({Left(), Top()}, {Width(), Height()}, {x, y}, screen, false);
            SetForegroundWindow(Handle);
            TrackPopupMenu(pop, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle,
                           nullptr);
            PostMessageA(Handle, WM_NULL, 0, 0);
        }
    } else {
        Sleep(200);
    }
    Application.SetScreenCursor(crDefault);
}

void Tmain::gobuholderMouseDown(TMouseButton button, int x, int y) {
    FormMouseDown(button, x + image.Left(), y + image.Top());
}

void Tmain::gobuholderMouseMove(bool leftHeld, int x, int y) {
    FormMouseMove(leftHeld, x + image.Left(), y + image.Top());
}

void Tmain::gobuholderMouseUp(TMouseButton button, int x, int y) {
    FormMouseUp(button, x + image.Left(), y + image.Top());
}

bool Tmain::FormCommand(UINT id) { return DispatchMenuCommand(this, kMenu, kFirstMenuId, id); }

// ---- Quick keys ----

void Tmain::FormKeyPress(char& key) {
    if (DialogBusy) return;
    char k = key >= 'a' && key <= 'z' ? char(key - 'a' + 'A') : key;
    switch (k) {
    case ' ':
        durationtimer.SetEnabled(!durationtimer.Enabled());
        break;
    case 'M':
        HideGobu1Click();
        break;
    case 'Q':
        Exit1Click();
        break;
    }
}

// ---- Commands ----

void Tmain::Exit1Click() { Close(); }

void Tmain::HideGobu1Click() { Application.Minimize(); }

void Tmain::menutransparentClick() {
    menutransparent.SetChecked(!menutransparent.Checked());
    ShowPicture(0, true);
    starttimer.SetEnabled(true);
}

void Tmain::menustayontopClick() {
    menustayontop.SetChecked(!menustayontop.Checked());
    starttimer.SetEnabled(true);
    ApplyStayOnTop();
}

// ---- Stacking ----

void Tmain::ApplyStayOnTop() { SetStayOnTop(Handle, menustayontop.Checked()); }

void Tmain::SuspendStayOnTop() {
    if (menustayontop.Checked()) {
        StayOnTopSuspended = true;
        menustayontop.SetChecked(false);
        ApplyStayOnTop();
    } else {
        StayOnTopSuspended = false;
    }
}

void Tmain::ResumeStayOnTop() {
    if (!StayOnTopSuspended) return;
    StayOnTopSuspended = false;
    menustayontop.SetChecked(true);
    ApplyStayOnTop();
}
