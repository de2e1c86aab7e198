#include "pictures/picform.h"

#include "app/mainform.h"
#include "app/settings.h"
#include "app/utility.h"
#include "pictures/display.h"
#include "pictures/transition.h"

Tpiclist* piclist = nullptr;

namespace {

// A fixed dialog frame with only a close box, above all other windows.
const TFormStyle kPicListStyle = {"Select Picture(s)", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                  WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, 413, 256};

const char kPictureFilter[] =
    "All (*.bmp;*.jpg;*.jpeg;*.jpe;*.jfif;*.gif;*.png)|*.bmp;*.jpg;*.jpeg;*.jpe;*.jfif;*.gif;*.png|"
    "Bitmaps (*.bmp)|*.bmp|JPEG (*.jpg;*.jpeg;*.jpe;*.jfif)|*.jpg;*.jpeg;*.jpe;*.jfif|"
    "Compuserve GIF (*.gif)|*.gif|PNG (*.png)|*.png";

bool AnyGif(const std::vector<std::string>& paths) {
    for (const std::string& p : paths)
        if (SameIgnoringCase(ExtensionOf(p), ".gif")) return true;
    return false;
}

}  // namespace

bool Tpiclist::Create() {
    piclist = this;
    DialogKeys = true;
    if (!CreateForm("Tpiclist", kPicListStyle, Application.Handle, false)) return false;
    CentreOnScreen();
    AcceptFiles();
    return true;
}

void Tpiclist::CreateComponents() {
    durationbox.SetRange(kMinDuration, kMaxDuration);
    static const std::string transitions = TransitionCaptions();
    const TControlRow layout[] = {
        {&okbutton, "OK", 328, 220, 75, 25, coBold},
        {&cancelbutton, "Cancel", 228, 220, 75, 25, coBold | coCancel},
        {&addbutton, "Add", 328, 20, 75, 25, 0},
        {&removebutton, "Remove", 328, 60, 75, 25, 0},
        {&clearbutton, "Clear All", 328, 100, 75, 25, 0},
        {&durationbox, "10", 122, 160, 73, 22, 0},
        {&durationlabel, "Duration (Seconds)", 123, 184, 0, 13, 0},
        {&transitionBox, transitions.c_str(), 8, 160, 94, 21, 0},
        {&transitionlabel, "Transition Effect", 8, 184, 0, 13, 0},
        {&anbox, "GIF Animation", 8, 210, 97, 17, 0},
        {&list, "", 8, 8, 313, 145, coMultiSelect},
    };
    CreateControls(this, layout);
    okbutton.OnClick = [this] { okbuttonClick(); };
    cancelbutton.OnClick = [this] { cancelbuttonClick(); };
    addbutton.OnClick = [this] { addbuttonClick(); };
    removebutton.OnClick = [this] { removebuttonClick(); };
    clearbutton.OnClick = [this] { clearbuttonClick(); };
    list.OnChange = [this] { listChange(); };
    list.OnDropFiles = [this](const std::vector<std::string>& paths) { AddPictures(paths); };
    durationbox.OnExit = [this] { durationbox.SetValue(DurationOfText(durationbox.Text())); };

    picfiledlg.Title = "Select Picture";
    picfiledlg.Filter = kPictureFilter;
    picfiledlg.Options = OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    // Users choose pictures by looking at them.
    picfiledlg.PreviewPicture = PreviewPicture;
}

void Tpiclist::FormCreate() { transitionBox.SetItemIndex(kEffectNone); }

// The slide show stands still while the dialog is open.
void Tpiclist::FormShow() {
    mainform->durationtimer.SetEnabled(false);
    BringToFront();
}

// Every way of closing resumes the show, also one paused with the space key.
void Tpiclist::FormClose() { mainform->durationtimer.SetEnabled(true); }

void Tpiclist::listChange() { UpdateTransparentMenu(); }

void Tpiclist::UpdateTransparentMenu() { mainform->menutransparent.SetEnabled(list.Count() < 2); }

void Tpiclist::addbuttonClick() {
    picfiledlg.FileName.clear();
    if (picfiledlg.Execute(Handle)) AddPictures(picfiledlg.Files);
    UpdateTransparentMenu();
}

void Tpiclist::AddPictures(const std::vector<std::string>& paths) {
    std::vector<Refused> refused;
    const PictureSize box = HalfWorkArea(mainform->Handle);
    for (const std::string& path : paths) {
        const std::string problem = PictureFileProblem(path, box);
        if (problem.empty())
            list.Add(path);
        else
            refused.push_back({path, problem});
    }
    if (!refused.empty())
        ShowMessage(
            RefusedMessage(refused, "was not added", "These were not added, as Gobu cannot show them"));
}

void Tpiclist::removebuttonClick() {
    if (list.Count() == 0) return;
    for (int i = list.Count() - 1; i >= 0; i--)
        if (list.Selected(i)) list.Delete(i);
    UpdateTransparentMenu();
}

void Tpiclist::clearbuttonClick() {
    list.Clear();
    UpdateTransparentMenu();
}

void Tpiclist::okbuttonClick() {
    mainform->PicturesConfirmed(0);
    mainform->ListsConfirmed();
    Close();
}

// The settings file still holds what was saved when the dialog opened.
void Tpiclist::cancelbuttonClick() {
    mainform->LoadSettings(false);
    mainform->ShowPicture(0, true);
    Close();
}

// ---- The gobu window's side ----

void Tmain::PicturesConfirmed(int shown) {
    const int count = piclist->list.Count();
    CurrentPicture = shown;
    if (count > 1) menutransparent.SetChecked(false);
    if (!AnyGif(piclist->list.Rows())) piclist->anbox.SetChecked(false);
    ShowPicture(shown, true);
    if (count < 2) starttimer.SetEnabled(true);
    RunTransition(kEffectNone);
    durationtimer.SetInterval(UINT(DurationOfText(piclist->durationbox.Text())) * 1000);
}

void Tmain::SelectPictures1Click() {
    SaveSettings();
    TModalScope scope(*this, TDialogStacking::AboveGobu);
    piclist->ShowModal();
}
