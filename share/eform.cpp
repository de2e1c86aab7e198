#include "share/eform.h"

#include <algorithm>

#include "app/mainform.h"
#include "app/startup.h"
#include "app/utility.h"
#include "links/fileform.h"
#include "pictures/picform.h"
#include "share/mailto.h"
#include "share/sharing.h"
#include "share/zip/sfxconfig.h"
#include "ui/outward.h"

Tshare* share = nullptr;

namespace {

const TFormStyle kShareStyle = {"Share", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, 413, 255};

// The hourglass for as long as it lives, however the work ends.
struct BusyCursor {
    BusyCursor() { Application.SetScreenCursor(crHourGlass); }
    ~BusyCursor() { Application.SetScreenCursor(crDefault); }
};

// A listed entry that names a folder where the gobu would look for it.
bool IsFolderEntry(const std::string& entry) {
    return !IsWebAddress(entry) && FolderExists(mainform->ResolvedPath(entry));
}

uint64_t SizeOfFile(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

}  // namespace

bool Tshare::Create() {
    share = this;
    DialogKeys = true;
    SetUpSelectFiles(filedlg);
    // The windows repaint while a large package is written.
    zipwriter.DoProcessMessages = [] { Application.ProcessMessages(); };
    if (!CreateForm("Tshare", kShareStyle, Application.Handle, false)) return false;
    SetPosition(Application.Scaled(224), Application.Scaled(150));
    AcceptFiles();
    return true;
}

void Tshare::CreateComponents() {
    const TControlRow layout[] = {
        {&Label1, "Files in Current List", 4, 2, 0, 13, 0},
        {&availablebox, "", 3, 16, 162, 185, coMultiSelect},
        {&Label2, "Files to be Zipped", 248, 2, 0, 13, 0},
        {&wantedbox, "", 247, 16, 162, 185, coMultiSelect},
        {&addbutton, "Add ->", 171, 25, 70, 25, 0},
        {&addallbutton, "Add All ->>", 171, 57, 70, 25, 0},
        {&otherbutton, "Add Others", 171, 89, 70, 25, 0},
        {&removebutton, "<- Remove", 171, 134, 70, 25, 0},
        {&clearbutton, "<<- Clear", 171, 166, 70, 25, 0},
        // Its text, fitted and right-aligned, comes when the dialog is shown.
        {&includelabel, "", 409, 207, 0, 13, coRedText},
        {&destinationbox, kDestinationCaptions, 13, 213, 92, 21, coEditable},
        {&Label3, "Destination", 13, 235, 0, 13, 0},
        {&cancelbutton, "Cancel", 248, 224, 74, 25, coBold | coCancel},
        {&okbutton, "OK", 336, 224, 74, 25, coBold},
    };
    CreateControls(this, layout);
    addbutton.OnClick = [this] { addbuttonClick(); };
    addallbutton.OnClick = [this] { addallbuttonClick(); };
    otherbutton.OnClick = [this] { otherbuttonClick(); };
    removebutton.OnClick = [this] { removebuttonClick(); };
    clearbutton.OnClick = [this] { clearbuttonClick(); };
    cancelbutton.OnClick = [this] { cancelbuttonClick(); };
    okbutton.OnClick = [this] { okbuttonClick(); };
    wantedbox.OnDropFiles = [this](const std::vector<std::string>& paths) {
        for (const std::string& path : paths) AddUnique(wantedbox, path);
    };
    wantedbox.OnChange = [this] { ShowNote(); };
}

void Tshare::FormCreate() { destinationbox.SetItemIndex(kShareByMail); }

// Web addresses and folders are not offered: only files travel.
void Tshare::FormShow() {
    availablebox.Clear();
    for (const std::string& entry : filelist->list.Rows())
        if (!IsWebAddress(entry) && !IsFolderEntry(entry)) availablebox.Add(entry);
    ShowNote();
}

void Tshare::ShowNote() {
    const std::vector<std::string> linked = filelist->list.Rows(), wanted = wantedbox.Rows();
    const bool folders = std::any_of(linked.begin(), linked.end(), IsFolderEntry) ||
                         std::any_of(wanted.begin(), wanted.end(), IsFolderEntry);
    includelabel.SetText(IncludeNoteText(size_t(piclist->list.Count()), folders));
    // Right-aligned 4 pixels (at 96 DPI) from the client area's edge.
    const int width = includelabel.TextWidth();
    RECT client, label = includelabel.Bounds();
    GetClientRect(Handle, &client);
    includelabel.SetBounds(client.right - width - Application.Scaled(4), label.top, width,
                           label.bottom - label.top);
}

void Tshare::FormClose() { mainform->DialogClosed(); }

void Tshare::AddUnique(TListView& list, const std::string& path) {
    if (!HoldsPath(list.Rows(), path)) list.Add(path);
}

bool Tshare::CheckIncludeNames() { return CheckDistinctNames(wantedbox.Rows()); }

// Last to first, so several chosen rows arrive in reverse order.
void Tshare::addbuttonClick() {
    for (int i = availablebox.Count() - 1; i >= 0; i--)
        if (availablebox.Selected(i)) AddUnique(wantedbox, availablebox.Caption(i));
}

void Tshare::addallbuttonClick() {
    for (const std::string& row : availablebox.Rows()) AddUnique(wantedbox, row);
}

void Tshare::otherbuttonClick() {
    if (!ChooseMoreFiles(filedlg, Handle)) return;
    for (const std::string& path : filedlg.Files) AddUnique(wantedbox, path);
}

void Tshare::removebuttonClick() {
    for (int i = wantedbox.Count() - 1; i >= 0; i--)
        if (wantedbox.Selected(i)) wantedbox.Delete(i);
}

void Tshare::clearbuttonClick() { wantedbox.Clear(); }

void Tshare::cancelbuttonClick() {
    ModalResult = mrCancel;
    Close();
}

void Tshare::okbuttonClick() {
    if (!CheckIncludeNames()) return;
    const int destination = destinationbox.ItemIndex();
    ModalResult = mrOk;
    Close();
    // Out of the way while the package is written and delivered.
    Hide();
    std::string reason;
    const std::string path = BuildPackage(reason);
    if (path.empty()) {
        ShowMessage(PackingFailedMessage(reason));
        return;
    }
    switch (destination) {
    case kShareByMail:
        ComposeShareMail(path);
        break;
    case kShareToHardDisk:
        ShowMessage(PackedMessage(path));
        break;
    case kShareToFloppy:
        CopyToFloppy(path);
        break;
    }
}

void Tshare::ExtractStub() { ExtractStubFile(mainform->ExePath); }

std::string Tshare::BuildPackage(std::string& reason) {
    BusyCursor busy;
    const std::string exe = mainform->ExePath;
    try {
        zipwriter.ZipName = BasePathOf(exe) + ".zip";
        ExtractStub();
        zipwriter.FilesList = PackageFiles(
            exe, piclist->list.Rows(), wantedbox.Rows(),
            [](const std::string& p) { return mainform->ResolvedPath(p); }, FolderExists);
        // One folder on the recipient's side: every file under its name alone.
        zipwriter.StorePaths = false;
        zipwriter.PackLevel = 9;

        TSFXConfig config;
        config.UserCanDisableCmdLine = false;
        config.UserCanChooseFiles = false;
        config.UserCanChangeOverwrite = true;
        config.OverwriteMode = omAlways;
        config.AutoExtract = false;
        config.Caption = PackageCaption(exe);
        config.DefaultPath = "c:\\gobus";
        config.CmdLine = "><" + FileNamePart(exe);
        config.InfoText.clear();
        config.InfoTitle.clear();
        config.BuildConfigBlock();

        const std::string package = PackagePathOf(exe);
        DeleteFileA(package.c_str());
        zipwriter.WritePackage(StubPathOf(exe), package, config.ConfigBlockSize, config.ConfigBlock);
        return package;
    } catch (const EZipError& e) {
        reason = e.what();
    } catch (const std::exception&) {
        reason.clear();
    }
    zipwriter.FilesList.clear();
    return "";
}

void Tshare::CopyToFloppy(const std::string& path) {
    // Without a drive A: no floppy the user could put in would help.
    if (!(GetLogicalDrives() & 1)) {
        ShowMessage(NoFloppyDriveMessage(path));
        return;
    }
    if (!FitsOnFloppy(SizeOfFile(path))) {
        ShowMessage(TooLargeForFloppyMessage(path));
        return;
    }
    const std::string target = FloppyTarget(path);
    while (!CopyFileA(path.c_str(), target.c_str(), FALSE))
        if (outward::Message(Application.Handle, kInsertFloppyQuestion, "Copy to Floppy", MB_OKCANCEL) ==
            IDCANCEL) {
            ShowMessage(NotCopiedToFloppyMessage(path));
            return;
        }
    ShowMessage(CopiedToFloppyMessage(path));
}
