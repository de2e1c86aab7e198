#include "app/mainform.h"

#include <cstdlib>

#include "app/dropping.h"
#include "app/gobufiles.h"
#include "app/launching.h"
#include "app/rtform.h"
#include "app/startfrm.h"
#include "app/startup.h"
#include "links/fileform.h"
#include "pictures/picform.h"
#include "pictures/slideshow.h"
#include "share/eform.h"
#include "share/zip/utf8.h"
#include "ui/outward.h"

Tmain* mainform = nullptr;

namespace {

const UINT kFirstMenuId = 100;
enum { kStartTimerId = 1, kDurationTimerId = 2 };

// The popup menu. Submenus and separators have no handler.
const TMenuRow<Tmain> kMenu[] = {
    {0, &Tmain::File1, "File", nullptr},
    {1, &Tmain::NewGobu1, "&New Gobu", &Tmain::NewGobu1Click},
    {1, &Tmain::OpenGobu1, "&Open Gobu", &Tmain::OpenGobu1Click},
    {1, &Tmain::SaveGobuAs1, "&Save Gobu As", &Tmain::SaveGobuAs1Click},
    {1, &Tmain::Exit1, "&Close Gobu", &Tmain::Exit1Click},
    {0, &Tmain::SelectPictures1, "Select Picture(s)", &Tmain::SelectPictures1Click},
    {0, &Tmain::Launch1, "Link File(s)", &Tmain::Launch1Click},
    {0, &Tmain::Edit1, "Configure", nullptr},
    {1, &Tmain::HideGobu1, "&Hide Gobu", &Tmain::HideGobu1Click},
    {1, &Tmain::menutransparent, "&Transparent", &Tmain::menutransparentClick},
    {1, &Tmain::menustayontop, "&Stay on Top", &Tmain::menustayontopClick},
    {1, &Tmain::Autostart1, "&Auto StartUp", &Tmain::Autostart1Click},
    {0, &Tmain::Share1, "Share", nullptr},
    {1, &Tmain::EMail1, "&E-Mail", &Tmain::EMail1Click},
    {1, &Tmain::HardDisk1, "&Hard Disk", &Tmain::HardDisk1Click},
    {1, &Tmain::FloppyDisk1, "&Floppy Disk", &Tmain::FloppyDisk1Click},
    {1, &Tmain::N1, "-", nullptr},
    {1, &Tmain::TellaFriend1, "&Tell a Friend", &Tmain::TellaFriend1Click},
    {0, &Tmain::Help1, "&Help", nullptr},
    {1, &Tmain::Help2, "&Help", &Tmain::Help1Click},
    {1, &Tmain::QuickKeys1, "&Quick Keys", &Tmain::QuickKeys1Click},
    {1, &Tmain::About1, "&About", &Tmain::About1Click},
    {1, &Tmain::N2, "-", nullptr},
    {1, &Tmain::WhatsNew1, "&What's New", &Tmain::WhatsNew1Click},
    {1, &Tmain::Feedback1, "&Feedback", &Tmain::Feedback1Click},
};

// At 96 DPI: where a new gobu starts (left and top), where one standing there moves to
// make room for the next, and the hand cursor's size.
const int kNewGobuAt = 40, kMakeRoomAt = 20, kCursorSize = 32;

// A plain rectangle on the desktop: no border, no caption bar.
const TFormStyle kMainStyle = {"", WS_POPUP | WS_CLIPCHILDREN, 0, 248, 156};

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Where users keep their gobus; the Open and Save dialogs start there when it exists.
const char kGobuFolder[] = "c:\\gobus";

void SetUpGobuDialog(TFileDialog& dialog, const char* title, DWORD options) {
    dialog.Title = title;
    dialog.Filter = "Gobus (*.exe)|*.exe";
    dialog.DefaultExt = "exe";
    dialog.Options = OFN_HIDEREADONLY | options;
}

std::string GobuFolderIfAny() {
    DWORD attributes = GetFileAttributesA(kGobuFolder);
    bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return folder ? kGobuFolder : "";
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT r, LPARAM monitors) {
    reinterpret_cast<std::vector<Area>*>(monitors)->push_back({r->left, r->top, r->right, r->bottom});
    return TRUE;
}

// A position from the settings file, kept where the user can see and drag the window.
Point OnDesktop(Point pos, Size size) {
    std::vector<Area> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, LPARAM(&monitors));
    RECT wanted = {pos.x, pos.y, pos.x + size.cx, pos.y + size.cy};
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &info)) return pos;
    const RECT& work = info.rcWork;
    return VisiblePosition(pos, size, monitors, {work.left, work.top, work.right, work.bottom},
                           Application.Dpi);
}

bool HasRunValue(HKEY root, const std::string& name) {
    TRegKey key;
    return key.Open(root, kRunKey, KEY_QUERY_VALUE) == ERROR_SUCCESS &&
           RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// Writes or removes the Run value named by path under root; the registry's answer.
LONG SetRunValue(HKEY root, const std::string& path, bool present) {
    TRegKey key;
    LONG result = key.Create(root, kRunKey, KEY_SET_VALUE);
    if (result != ERROR_SUCCESS) return result;
    if (present)
        return RegSetValueExA(key, path.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                              DWORD(path.size() + 1));
    result = RegDeleteValueA(key, path.c_str());
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

// The ANSI code page of the user's locale, in which older gobus wrote their settings
// files: CP_ACP is UTF-8 wherever Windows honours the manifest.
UINT LocaleAnsiCodePage() {
    char digits[8] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, digits, sizeof digits);
    const UINT codePage = UINT(std::atoi(digits));
    return codePage != 0 ? codePage : GetACP();
}

// The settings file is UTF-8; text in the process code page is converted where that
// is another (older Windows).
std::string SettingsFileBytes(const std::string& text) {
    return GetACP() == CP_UTF8 ? text : NarrowText(WideText(text), CP_UTF8);
}

// A file that is not UTF-8 is an older gobu's, in its locale's ANSI code page.
std::string SettingsFileText(const std::string& bytes) {
    const UINT written = IsUtf8(bytes.data(), bytes.size()) ? CP_UTF8 : LocaleAnsiCodePage();
    return written == GetACP() ? bytes : NarrowText(WideText(bytes, written));
}

std::string GetWindowsFamily() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return WindowsFamilyOf(version.dwPlatformId);
}

}  // namespace

Tmain::~Tmain() {
    if (pop) DestroyMenu(pop);
    if (mainform == this) mainform = nullptr;
}

bool Tmain::Create() {
    if (ExePath.empty()) ExePath = OwnExecutablePath();
    mainform = this;
    Application.MainForm = this;
    return CreateForm("Tmain", kMainStyle, Application.Handle, true);
}

std::string Tmain::SettingsPath() const { return SettingsPathOf(ExePath); }

void Tmain::CreateComponents() {
    pop = BuildPopupMenu(this, kMenu, kFirstMenuId);
    SetUpGobuDialog(newgobudlg, "New Gobu", OFN_PATHMUSTEXIST);
    SetUpGobuDialog(opengobudlg, "Open Gobu", OFN_FILEMUSTEXIST);
    gobuholder.Transparent = true;
    Picture builtIn;
    if (LoadResourcePicture("GOBU", builtIn))
        gobuholder.SetPicture(CreatePixelBitmap(builtIn.width, builtIn.height, builtIn.pixels.data()));
    image.Place(this, 0, 0, false);
    image.OnMouseDown = [this](TMouseButton b, int x, int y) { gobuholderMouseDown(b, x, y); };
    image.OnMouseMove = [this](bool held, int x, int y) { gobuholderMouseMove(held, x, y); };
    image.OnMouseUp = [this](TMouseButton b, int x, int y) { gobuholderMouseUp(b, x, y); };
    starttimer.Attach(this, kStartTimerId, 1000);
    starttimer.OnTimer = [this] { starttimerTimer(); };
    durationtimer.Attach(this, kDurationTimerId, 1000);
    durationtimer.OnTimer = [this] { durationtimerTimer(); };
    starttimer.SetEnabled(true);
    durationtimer.SetEnabled(true);
    AcceptFiles();
}

void Tmain::FormCreate() {
    menutransparent.SetChecked(true);
    SpeedCount = CountReadsPerTick();
    SpeedCount = ScaleSpeedCount(SpeedCount, GetWindowsFamily());
    SecondsPerCount = MeasureCountDownSeconds();
    Cursor = crHandPoint;
    DeleteFileA(PackagePathOf(ExePath).c_str());
    LastRandomEffect = 0;
    TransitionBusy = false;
    StartPending = true;
    CurrentPicture = 0;
    SetPosition(Application.Scaled(kNewGobuAt), Application.Scaled(kNewGobuAt));
    // The resource holds the hand at the sizes of the usual DPIs.
    const int cursor = Application.Scaled(kCursorSize);
    Application.SetCustomCursor(
        crHandPoint, HCURSOR(LoadImageA(Application.Instance, "HANDPOINT", IMAGE_CURSOR, cursor, cursor, 0)));
}

// The settings and the picture come before the window is first seen, so that it
// appears at its picture's size and shape.
void Tmain::FormShow() {
    std::string title = GobuTitle(ExePath);
    Application.SetTitle(title);
    SetCaption(Application.Title());
    if (!StartPending) return;
    StartPending = false;
    StartDialogPending = !FileExists(SettingsPath()) && IsFirstStartForUser();
    LoadSettings(true);
    ShowPicture(0, true);
    PressWindowPos = POINT{Left(), Top()};
    SetClientSize(image.Width(), image.Height());
}

// The first-use hint points at the gobu, so it waits until the gobu is on the desktop.
void Tmain::FormActivate() {
    if (!StartDialogPending) return;
    StartDialogPending = false;
    ShowStartDialog();
}

void Tmain::starttimerTimer() {
    starttimer.SetEnabled(false);
    ApplyStayOnTop();
    ApplyShape();
}

void Tmain::FormClose() { SaveSettings(); }

// ---- Settings ----

GobuSettings Tmain::CollectSettings() const {
    GobuSettings s;
    s.pictures = piclist->list.Rows();
    s.linkedFiles = filelist->list.Rows();
    s.includeFiles = share->wantedbox.Rows();
    s.transition = piclist->transitionBox.ItemIndex();
    s.duration = DurationOfText(piclist->durationbox.Text());
    s.destination = share->destinationbox.ItemIndex();
    s.groupLaunch = filelist->grouplaunchbox.Checked();
    s.transparent = menutransparent.Checked();
    s.animation = piclist->anbox.Checked();
    s.stayOnTop = menustayontop.Checked();
    s.windowLeft = Left();
    s.windowTop = Top();
    s.listLeft = rtfiles->Left();
    s.listTop = rtfiles->Top();
    s.listWidth = rtfiles->Width();
    s.listHeight = rtfiles->Height();
    return s;
}

void Tmain::ApplySettings(const GobuSettings& s, bool withPositions, int linesRead) {
    piclist->list.SetRows(s.pictures);
    filelist->list.SetRows(s.linkedFiles);
    share->wantedbox.SetRows(s.includeFiles);
    piclist->transitionBox.SetItemIndex(s.transition);
    piclist->durationbox.SetValue(s.duration);
    share->destinationbox.SetItemIndex(s.destination);
    filelist->grouplaunchbox.SetChecked(s.groupLaunch);
    menutransparent.SetChecked(s.transparent);
    image.Transparent = s.transparent;
    piclist->anbox.SetChecked(s.animation);
    menustayontop.SetChecked(s.stayOnTop);
    if (withPositions) {
        Point at = OnDesktop({s.windowLeft, s.windowTop}, {Width(), Height()});
        SetPosition(at.x, at.y);
        at = OnDesktop({s.listLeft, s.listTop}, {s.listWidth, s.listHeight});
        rtfiles->SetBounds(at.x, at.y, s.listWidth, s.listHeight);
    }
    // The interval follows the last duration read; a file of no lines leaves it.
    if (linesRead > 0) durationtimer.SetInterval(UINT(s.duration) * 1000);
}

bool Tmain::SaveSettings() {
    const std::string path = SettingsPath();
    if (WriteFileSafely(path, SettingsFileBytes(FormatSettings(CollectSettings())))) return true;
    ShowMessage("Gobu: " + path + " could not be saved. " + SystemErrorText(GetLastError()));
    return false;
}

void Tmain::LoadSettings(bool withPositions) {
    std::string bytes;
    if (!ReadWholeFile(SettingsPath(), bytes)) {
        if (!SameIgnoringCase(FileNamePart(ExePath), "gobu.exe")) SetAutoStart(false);
        ShowPicture(-1, false);
        return;
    }
    GobuSettings s = CollectSettings();
    int lines = ReadSettings(
        SettingsFileText(bytes), withPositions, [this](const std::string& p) { return ResolvedPath(p); }, s);
    ApplySettings(s, withPositions, lines);
}

std::string Tmain::ResolvedPath(const std::string& entry) const {
    return ResolveListedPath(entry, FolderPart(ExePath), FileExists);
}

void Tmain::ShowStartDialog() {
    Tstartdlg dialog;
    if (!dialog.Create(Handle)) return;
    Size screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    Point at =
        PlaceAtCentreOf({Left(), Top()}, {Width(), Height()}, {dialog.Width(), dialog.Height()}, screen);
    dialog.SetPosition(at.x, at.y);
    {
        TModalScope scope(*this, TDialogStacking::AboveGobu);
        dialog.ShowModal();
    }
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
            Point at = PopupMenuPoint({Left(), Top()}, {Width(), Height()}, {x, y}, screen,
                                      piclist->anbox.Checked(), Application.Dpi);
            SetForegroundWindow(Handle);
            TrackPopupMenu(pop, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle,
                           nullptr);
            PostMessageA(Handle, WM_NULL, 0, 0);
        } else if (button == mbLeft) {
            LaunchOnClick();
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
    if (DialogBusy || share->Visible() || filelist->Visible() || piclist->Visible()) return;
    char k = key >= 'a' && key <= 'z' ? char(key - 'a' + 'A') : key;
    switch (k) {
    case ' ':
        // Resuming shows the next picture at once.
        durationtimer.SetEnabled(!durationtimer.Enabled());
        if (durationtimer.Enabled()) durationtimerTimer();
        break;
    case 'A':
        SaveGobuAs1Click();
        break;
    case 'F':
        Launch1Click();
        break;
    case 'H':
        Help1Click();
        break;
    case 'M':
        HideGobu1Click();
        break;
    case 'N':
        NewGobu1Click();
        break;
    case 'O':
        OpenGobu1Click();
        break;
    case 'P':
        SelectPictures1Click();
        break;
    case 'Q':
        Exit1Click();
        break;
    case 'S': {
        // The destination chosen last, and Stay on Top left as it is.
        TModalScope scope(*this, TDialogStacking::AboveGobu);
        if (CheckLinkedNames()) share->ShowModal();
        break;
    }
    case 'T':
        TellaFriend1Click();
        break;
    }
}

// ---- Commands ----

void Tmain::Exit1Click() { Close(); }

void Tmain::FormInitMenuPopup(HMENU menu) {
    if (menu == Edit1.Submenu) Edit1Click();
}

// The check mark shows the registry as it is now, not as it was last set.
void Tmain::Edit1Click() { Autostart1.SetChecked(IsAutoStart()); }

void Tmain::HideGobu1Click() { Application.Minimize(); }

void Tmain::menutransparentClick() {
    menutransparent.SetChecked(!menutransparent.Checked());
    ShowPicture(0, true);
    starttimer.SetEnabled(true);
    SaveSettings();
}

void Tmain::menustayontopClick() {
    menustayontop.SetChecked(!menustayontop.Checked());
    starttimer.SetEnabled(true);
    SaveSettings();
    ApplyStayOnTop();
}

void Tmain::Autostart1Click() { ChangeAutoStart(!Autostart1.Checked()); }

// ---- Files dropped from Explorer ----

void Tmain::FormDropFiles(const std::vector<std::string>& paths) {
    if (DialogBusy) return;
    if (TransitionBusy)
        DroppedDuringTransition.insert(DroppedDuringTransition.end(), paths.begin(), paths.end());
    else
        AddDroppedFiles(paths);
}

void Tmain::AddDroppedFiles(const std::vector<std::string>& paths) {
    const DroppedItems items =
        SortDroppedItems(paths, piclist->list.Rows(), filelist->list.Rows(), IsPictureFile);
    if (items.pictures.empty() && items.links.empty()) return;
    const int first = piclist->list.Count();
    for (const std::string& picture : items.pictures) piclist->list.Add(picture);
    for (const std::string& link : items.links) filelist->list.Add(link);
    if (!items.pictures.empty()) PicturesConfirmed(first);
    ListsConfirmed();
}

void Tmain::ListsConfirmed() {
    SaveSettings();
    rtfiles->FillRunTimeList();
}

// The settings file holds the state from before the edit: Cancel returns to it.
void Tmain::Launch1Click() {
    SaveSettings();
    TModalScope scope(*this, TDialogStacking::AboveGobu);
    filelist->ShowModal();
}

// ---- Further gobus ----

// Each file dialog of the File menu: the gobu steps down while it shows, and what was
// chosen is carried out once the gobu stands as before.
void Tmain::NewGobu1Click() {
    newgobudlg.Title = "New Gobu";
    newgobudlg.FileName = ProposedGobuName(ExePath, FileExists);
    bool chosen;
    {
        TModalScope scope(*this, TDialogStacking::GobuStepsDown);
        chosen = newgobudlg.ExecuteSave(Handle);
    }
    if (chosen) MakeNewGobu(newgobudlg.FileName);
}

void Tmain::MakeNewGobu(const std::string& name) {
    const std::string chosen = CapitalizeFirst(name);
    if (IsOwnName(chosen, ExePath)) {
        ShowMessage("Create a gobu with a new name.");
    } else if (FileExists(chosen)) {
        ShowMessage("Gobu: " + chosen + " already exists.");
    } else if (!CopyFileA(ExePath.c_str(), chosen.c_str(), TRUE)) {
        ShowMessage("Gobu: " + chosen + " could not be made. " + SystemErrorText(GetLastError()));
    } else {
        // A new gobu starts at 40,40 (at 96 DPI): one standing there makes room for it.
        const int at = Application.Scaled(kNewGobuAt), aside = Application.Scaled(kMakeRoomAt);
        if (Left() == at && Top() == at) SetPosition(aside, aside);
        outward::Shell(Handle, "open", chosen, "", "", SW_SHOWNORMAL);
        Sleep(1000);
    }
}

void Tmain::OpenGobu1Click() {
    opengobudlg.InitialDir = GobuFolderIfAny();
    bool chosen;
    {
        TModalScope scope(*this, TDialogStacking::GobuStepsDown);
        chosen = opengobudlg.Execute(Handle);
    }
    // Quoted, so that a path with blanks is never taken for a shorter program's.
    if (chosen) outward::Exec("\"" + opengobudlg.FileName + "\"", SW_SHOWNORMAL);
}

void Tmain::SaveGobuAs1Click() {
    newgobudlg.Title = "Save Gobu As";
    newgobudlg.InitialDir = GobuFolderIfAny();
    bool chosen;
    {
        TModalScope scope(*this, TDialogStacking::GobuStepsDown);
        chosen = newgobudlg.ExecuteSave(Handle);
    }
    if (chosen) SaveGobuAs(newgobudlg.FileName);
}

// The clone carries the settings file as it was last written: this gobu ends without
// saving. Nothing of a target is replaced until both copies stand complete beside it,
// and a failed copy leaves the target as it was and this gobu running.
void Tmain::SaveGobuAs(const std::string& chosen) {
    if (IsOwnName(chosen, ExePath)) {
        ShowMessage("Create a gobu with a new name.");
        return;
    }
    if (FileExists(chosen) && outward::Message(Handle, "File: " + chosen + " already exists.  Overwrite?",
                                               "File Exists, Overwrite?", MB_YESNO) != IDYES)
        return;
    const std::string ownSettings = SettingsPath();
    std::string reason;
    if (!CopyFilesTogether(
            {{ExePath, chosen}, {FileExists(ownSettings) ? ownSettings : "", SettingsPathOf(chosen)}},
            reason)) {
        ShowMessage("Gobu: " + chosen + " could not be saved. " + reason);
        return;
    }
    outward::Shell(Handle, "open", chosen, "", "", SW_SHOWNORMAL);
    Application.Terminate();
}

// ---- Launching ----

void Tmain::LaunchOnClick() {
    if (filelist->grouplaunchbox.Checked()) {
        LaunchAll();
        return;
    }
    std::vector<std::string> entries = filelist->list.Rows();
    if (entries.size() == 1)
        OpenListedEntry(entries[0]);
    else if (entries.size() >= 2)
        rtfiles->ShowRunTimeList();
}

void Tmain::OpenListedEntry(const std::string& entry) { OpenListedEntries({entry}); }

void Tmain::LaunchAll() { OpenListedEntries(filelist->list.Rows()); }

// Every entry is tried, one right after the other; then one message tells all that the
// shell could not open, each with the system's words for why. A folder opens in Explorer.
void Tmain::OpenListedEntries(const std::vector<std::string>& entries) {
    std::vector<Refused> failed;
    for (const std::string& entry : entries) {
        const std::string path = ResolvedPath(entry);
        const int result = FolderExists(path) ? outward::Explore(Handle, "\"" + path + "\"")
                                              : outward::Shell(Handle, "open", path, "", "", SW_SHOWNORMAL);
        if (result <= 32) failed.push_back({entry, SystemErrorText(ShellResultError(result))});
    }
    if (!failed.empty())
        ShowMessage(RefusedMessage(failed, "could not be opened", "These could not be opened"));
}

void Tmain::ShareTo(ShareDestination destination) {
    TModalScope scope(*this, TDialogStacking::GobuStepsDown);
    share->destinationbox.SetItemIndex(destination);
    if (CheckLinkedNames()) share->ShowModal();
}

void Tmain::EMail1Click() { ShareTo(kShareByMail); }
void Tmain::HardDisk1Click() { ShareTo(kShareToHardDisk); }
void Tmain::FloppyDisk1Click() { ShareTo(kShareToFloppy); }

bool CheckDistinctNames(const std::vector<std::string>& files) {
    if (!HaveSameNames(files)) return true;
    ShowMessage("Two or more files in the list have the same name.");
    return false;
}

bool Tmain::CheckLinkedNames() { return CheckDistinctNames(filelist->list.Rows()); }

// ---- Start-up with Windows ----

bool Tmain::IsAutoStart() {
    return HasRunValue(HKEY_LOCAL_MACHINE, ExePath) || HasRunValue(HKEY_CURRENT_USER, ExePath);
}

LONG Tmain::SetAutoStart(bool enable) {
    if (enable) {
        // The machine's key needs an administrator; a user's own key serves the user.
        // Never both, or Windows would start the gobu twice.
        const LONG result = SetRunValue(HKEY_LOCAL_MACHINE, ExePath, true);
        if (result != ERROR_SUCCESS) return SetRunValue(HKEY_CURRENT_USER, ExePath, true);
        SetRunValue(HKEY_CURRENT_USER, ExePath, false);
        return result;
    }
    const LONG machine = SetRunValue(HKEY_LOCAL_MACHINE, ExePath, false);
    const LONG user = SetRunValue(HKEY_CURRENT_USER, ExePath, false);
    // Done when no key holds the value any more, whichever could be written.
    return !IsAutoStart() ? ERROR_SUCCESS : machine != ERROR_SUCCESS ? machine : user;
}

// The message box is no stay-on-top window: the gobu steps down while it shows.
void Tmain::ChangeAutoStart(bool enable) {
    TModalScope scope(*this, TDialogStacking::GobuStepsDown);
    const LONG result = SetAutoStart(enable);
    if (result != ERROR_SUCCESS)
        ShowMessage("The start-up with Windows could not be changed. " + SystemErrorText(DWORD(result)));
    else if (enable)
        ShowMessage("This gobu will automatically appear on the Windows desktop at startup.");
    else
        ShowMessage("This gobu will not appear on the Windows desktop at startup.");
}

// ---- Stacking ----

// The run-time list first, so that the gobu ends in front.
void Tmain::ApplyStayOnTop() {
    SetStayOnTop(rtfiles->Handle, menustayontop.Checked());
    SetStayOnTop(Handle, menustayontop.Checked());
}

bool Tmain::SuspendStayOnTop() {
    if (!menustayontop.Checked()) return false;
    menustayontop.SetChecked(false);
    ApplyStayOnTop();
    return true;
}

void Tmain::ResumeStayOnTop() {
    menustayontop.SetChecked(true);
    ApplyStayOnTop();
}

// ---- Modal dialogs ----

TModalScope::TModalScope(Tmain& gobu, TDialogStacking stacking)
    : gobu_(gobu),
      active_(GetActiveWindow()),
      wasBusy_(gobu.DialogBusy),
      steppedDown_(stacking == TDialogStacking::GobuStepsDown && gobu.SuspendStayOnTop()) {
    gobu_.DialogBusy = true;
    // Dragged files are refused where they would reach the gobu behind its dialog.
    gobu_.AcceptFiles(false);
}

TModalScope::~TModalScope() {
    if (steppedDown_) gobu_.ResumeStayOnTop();
    gobu_.DialogBusy = wasBusy_;
    gobu_.AcceptFiles(!wasBusy_);
    // As the system's own dialog manager does once a dialog has gone.
    if (active_ && IsWindowVisible(active_)) SetForegroundWindow(active_);
}

void Tmain::DialogClosed() { ShowPicture(CurrentPicture, true); }
