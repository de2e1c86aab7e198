#include "links/fileform.h"

Tfilelist* filelist = nullptr;

namespace {

// A fixed dialog frame with only a close box, above all other windows.
const TFormStyle kFileListStyle = {"Select File(s)", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                   WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, 408, 252};

}  // namespace

bool Tfilelist::Create() {
    filelist = this;
    DialogKeys = true;
    if (!CreateForm("Tfilelist", kFileListStyle, Application.Handle, false)) return false;
    CentreOnScreen();
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
}
