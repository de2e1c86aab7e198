#include "share/eform.h"

#include "app/mainform.h"
#include "share/zip/sfxconfig.h"

Tshare* share = nullptr;

namespace {

const TFormStyle kShareStyle = {"Share", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, 413, 255};

}  // namespace

bool Tshare::Create() {
    share = this;
    DialogKeys = true;
    if (!CreateForm("Tshare", kShareStyle, Application.Handle, false)) return false;
    SetPosition(224, 150);
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
        {&destinationbox, "E-Mail|Hard Disk|Floppy Disk", 13, 213, 92, 21, coEditable},
        {&Label3, "Destination", 13, 235, 0, 13, 0},
        {&cancelbutton, "Cancel", 248, 224, 74, 25, coBold | coCancel},
        {&okbutton, "OK", 336, 224, 74, 25, coBold},
    };
    CreateControls(this, layout);
}

void Tshare::FormCreate() { destinationbox.SetItemIndex(0); }

void Tshare::ExtractStub() { ExtractStubFile(mainform->ExePath); }
