// The gobu window: a borderless picture on the desktop that is dragged with the left
// button, opens its popup menu on a right click and answers single-key commands.
#pragma once
#include <string>
#include <vector>

#include "app/settings.h"
#include "pictures/display.h"
#include "pictures/slideshow.h"
#include "share/sharing.h"
#include "ui/filedialog.h"
#include "ui/forms.h"

// False, after a message, when two of the files share a file name: a package could
// not carry both.
bool CheckDistinctNames(const std::vector<std::string>& files);

class Tmain : public TForm {
public:
    // The executable that names this gobu; its settings, package and titles derive
    // from it. Set before Create (tests name a gobu of their own).
    std::string ExePath;

    // Published components.
    TImage gobuholder;     // holds the built-in picture; never shown
    TAnimatedImage image;  // the current picture; shown only for an animated GIF
    HMENU pop = nullptr;
    TFileDialog newgobudlg;   // New Gobu and Save Gobu As, each under its own title
    TFileDialog opengobudlg;  // Open Gobu
    TTimer durationtimer;
    TTimer starttimer;

    TMenuItem File1, NewGobu1, OpenGobu1, SaveGobuAs1, Exit1;
    TMenuItem SelectPictures1, Launch1;
    TMenuItem Edit1, HideGobu1, menutransparent, menustayontop, Autostart1;
    TMenuItem Share1, EMail1, HardDisk1, FloppyDisk1, N1, TellaFriend1;
    TMenuItem Help1, Help2, QuickKeys1, About1, N2, WhatsNew1, Feedback1;

    // State shared with the other windows.
    int SpeedCount = 0;
    double SecondsPerCount = 0;  // the length of one pass of the pacing loop
    TransitionPacer Pacer = WindowsPacer();
    bool StartPending = true;         // the settings and the first picture are still to come
    bool StartDialogPending = false;  // the first-use hint waits for the first activation
    POINT PressPoint = {0, 0};
    POINT PressWindowPos = {0, 0};
    int CurrentPicture = 0;
    bool TransitionBusy = false;
    int LastRandomEffect = 0;
    TGdiObject<HBITMAP> WorkBitmap;
    // The outline of WorkBitmap that the region follows while Shaped.
    std::vector<ShapeRun> WorkShape;
    // The window is cut to WorkShape: Transparent is on, or the built-in picture shows,
    // which is never shown on its key-colour rectangle.
    bool Shaped = false;
    // A picture with alpha shown with Transparent on: the window is layered and shows
    // LayeredScreen, into which the picture and the transitions are composed.
    bool Layered = false;
    TGdiObject<HBITMAP> LayeredScreen;

    ~Tmain() override;
    bool Create();

    std::string SettingsPath() const;

    // Picture display and shape.
    void ShowPicture(int index, bool reshape);
    void ApplyShape();
    // Shows LayeredScreen, selected into screen, through the layered window.
    void PresentLayered(HDC screen);
    // What every window that covered the gobu calls as it closes: the current picture
    // is shown again and shaped.
    void DialogClosed();
    // What OK of Select Picture(s) and a drop of pictures do with the picture list as it
    // now stands: Transparent and GIF Animation follow it, and picture shown is drawn
    // with the slide show going on from it (picform.cpp).
    void PicturesConfirmed(int shown);
    // What OK of either list's dialog and every drop end with: the settings saved and the
    // run-time list refilled.
    void ListsConfirmed();

    // The slide show: the next picture on every tick of durationtimer, drawn with
    // the chosen transition effect.
    void durationtimerTimer();
    void RunTransition(int effect);
    // Waits n pacing units of (SpeedCount div 3) passes of the pacing loop each.
    void SpinDelay(int n);

    // Stacking.
    void ApplyStayOnTop();

    // The settings file: written whole from the controls that hold each setting, and
    // read back into them. A file that cannot be written is told in one message that
    // names it and gives the system's reason; false then.
    bool SaveSettings();
    void LoadSettings(bool withPositions);

    // Launching what is linked.
    void LaunchOnClick();
    // Opens an entry through the shell; one that does not open is told, with why.
    void OpenListedEntry(const std::string& entry);
    void LaunchAll();
    bool CheckLinkedNames();
    // A listed path as it is used: missing files are looked for beside the executable.
    std::string ResolvedPath(const std::string& entry) const;

    // Start-up with Windows: a value named by and holding the own path in the
    // machine's Run key, or in the user's own where the machine's cannot be written.
    bool IsAutoStart();
    // Adds or removes the value, silently; the registry's answer.
    LONG SetAutoStart(bool enable);
    // SetAutoStart, and the outcome told in a message.
    void ChangeAutoStart(bool enable);

    // Further gobus: what New Gobu and Save Gobu As do with the name the user chose.
    void MakeNewGobu(const std::string& chosen);
    void SaveGobuAs(const std::string& chosen);

    // Menu handlers.
    void SelectPictures1Click();
    void NewGobu1Click();
    void OpenGobu1Click();
    void SaveGobuAs1Click();
    void Launch1Click();
    void Exit1Click();
    void Edit1Click();
    void HideGobu1Click();
    void menutransparentClick();
    void menustayontopClick();
    void Autostart1Click();
    // The Help menu and Tell a Friend (help/helpform.cpp).
    void Help1Click();
    void QuickKeys1Click();
    void About1Click();
    void WhatsNew1Click();
    void Feedback1Click();
    void TellaFriend1Click();
    // The Share dialog with a destination preset.
    void ShareTo(ShareDestination destination);
    void EMail1Click();
    void HardDisk1Click();
    void FloppyDisk1Click();

    // Events, public so that the picture components and tests can deliver them.
    void FormMouseDown(TMouseButton button, int x, int y) override;
    void FormMouseMove(bool leftHeld, int x, int y) override;
    void FormMouseUp(TMouseButton button, int x, int y) override;
    void FormKeyPress(char& key) override;

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormActivate() override;
    void FormClose() override;
    void FormPaint(HDC dc) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void FormInitMenuPopup(HMENU menu) override;
    bool FormCommand(UINT id) override;
    // Not while a modal dialog of the gobu holds the lists; during a transition, once it
    // has drawn.
    void FormDropFiles(const std::vector<std::string>& paths) override;

private:
    friend class TModalScope;
    // Set while a modal dialog of this window shows: quick keys are ignored then.
    bool DialogBusy = false;
    // Lifts Stay on Top for a dialog that is no stay-on-top window itself; true when it
    // was set. ResumeStayOnTop sets it again.
    bool SuspendStayOnTop();
    void ResumeStayOnTop();

    void CreateComponents() override;
    void starttimerTimer();
    void gobuholderMouseDown(TMouseButton button, int x, int y);
    void gobuholderMouseMove(bool leftHeld, int x, int y);
    void gobuholderMouseUp(TMouseButton button, int x, int y);
    void ShowStartDialog();
    // Pictures join the slide show, shown from the first of them; every other file and
    // every folder is linked.
    void AddDroppedFiles(const std::vector<std::string>& paths);
    std::vector<std::string> DroppedDuringTransition;
    void OpenListedEntries(const std::vector<std::string>& entries);
    void ApplyShape(int width, int height);
    void EnterLayered(int width, int height);
    void LeaveLayered();
    // Composes the whole of WorkBitmap into LayeredScreen and shows it.
    void PaintLayered();
    GobuSettings CollectSettings() const;
    void ApplySettings(const GobuSettings& settings, bool withPositions, int linesRead);
};

// How a modal dialog stands to a gobu with Stay on Top: a dialog that is a stay-on-top
// window itself shows above it; for any other the gobu steps down while it shows.
enum class TDialogStacking { AboveGobu, GobuStepsDown };

// The one way into and out of a modal dialog of the gobu window: while it lives, quick
// keys and dropped files are refused and, where the stacking asks for it, Stay on Top
// is lifted; all is undone however the dialog ends, and the window that was active
// before it is active again, so that its keys work at once. Scopes nest.
class TModalScope {
public:
    TModalScope(Tmain& gobu, TDialogStacking stacking);
    ~TModalScope();
    TModalScope(const TModalScope&) = delete;
    TModalScope& operator=(const TModalScope&) = delete;

private:
    Tmain& gobu_;
    const HWND active_;
    const bool wasBusy_;
    const bool steppedDown_;
};

extern Tmain* mainform;
