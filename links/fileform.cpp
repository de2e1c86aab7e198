#include "links/fileform.h"

#include "app/mainform.h"
#include "app/rtform.h"
#include "links/questfrm.h"
#include "pictures/display.h"

Tfilelist* filelist = nullptr;

namespace {

// A fixed dialog frame with only a close box, above all other windows.
const TFormStyle kFileListStyle = {"Select File(s)", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                   WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, 408, 252};

}  // namespace

void SetUpSelectFiles(TFileDialog& dialog) {
    dialog.Title = "Select File(s)";
    dialog.Filter = "Any File (*.*)|*.*";
    dialog.Options = OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    dialog.PreviewPicture = PreviewPicture;
}

bool ChooseMoreFiles(TFileDialog& dialog, HWND owner) {
    dialog.InitialDir = FolderPart(dialog.FileName);
    dialog.FileName.clear();
    return dialog.Execute(owner);
}

bool Tfilelist::Create() {
    filelist = this;
    DialogKeys = true;
    SetUpSelectFiles(filedlg);
    if (!CreateForm("Tfilelist", kFileListStyle, Application.Handle, false)) return false;
    CentreOnScreen();
    AcceptFiles();
    return true;
}

void Tfilelist::CreateComponents() {
    const TControlRow layout[] = {
        {&list, "", 8, 8, 305, 193, coMultiSelect},
        {&addbutton, "Add", 322, 10, 75, 25, 0},
        {&removebutton, "Remove", 322, 50, 75, 25, 0},
        {&clearbutton, "Clear All", 322, 90, 75, 25, 0},
        {&pagebutton, "Web Page", 322, 130, 75, 25, 0},
        {&grouplaunchbox, "Group Launch", 8, 224, 97, 17, 0},
        {&cancelbutton, "Cancel", 225, 216, 75, 25, coBold | coCancel},
        {&okbutton, "OK", 322, 216, 75, 25, coBold},
    };
    CreateControls(this, layout);
    addbutton.OnClick = [this] { addbuttonClick(); };
    removebutton.OnClick = [this] { removebuttonClick(); };
    clearbutton.OnClick = [this] { clearbuttonClick(); };
    pagebutton.OnClick = [this] { pagebuttonClick(); };
    cancelbutton.OnClick = [this] { cancelbuttonClick(); };
    okbutton.OnClick = [this] { okbuttonClick(); };
    // Files and folders, as they come: Add tests for no entries already present either.
    list.OnDropFiles = [this](const std::vector<std::string>& paths) {
        for (const std::string& path : paths) list.Add(path);
    };
}

void Tfilelist::addbuttonClick() {
    if (!ChooseMoreFiles(filedlg, Handle)) return;
    for (const std::string& path : filedlg.Files) list.Add(path);
}

void Tfilelist::removebuttonClick() {
    for (int i = list.Count() - 1; i >= 0; i--)
        if (list.Selected(i)) list.Delete(i);
}

void Tfilelist::clearbuttonClick() { list.Clear(); }

void Tfilelist::pagebuttonClick() {
    std::string entry = WebPageEntry(AskForText("Enter a web page", "Web Page", "http://"));
    if (!entry.empty()) list.Add(entry);
}

void Tfilelist::okbuttonClick() {
    mainform->ListsConfirmed();
    mainform->DialogClosed();
    ModalResult = mrOk;
    Close();
}

void Tfilelist::cancelbuttonClick() {
    mainform->LoadSettings(false);
    rtfiles->FillRunTimeList();
    mainform->DialogClosed();
    ModalResult = mrCancel;
    Close();
}
