#include "links/questfrm.h"

namespace {

// A fixed dialog frame with only a close box, above all other windows.
const TFormStyle kQuestStyle = {"", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, 471, 99};

}  // namespace

bool Tquest::Create(HWND owner) {
    DialogKeys = true;
    if (!CreateForm("Tquest", kQuestStyle, owner, false)) return false;
    CentreOnScreen();
    return true;
}

void Tquest::CreateComponents() {
    const TControlRow layout[] = {
        {&mainlabel, "", 16, 8, 441, 13, 0},
        {&box, "", 16, 32, 441, 21, 0},
        {&pastebutton, "Paste", 184, 64, 73, 25, coBold},
        {&Cancelbutton, "Cancel", 272, 64, 75, 25, coBold | coCancel},
        {&okbutton, "OK", 360, 64, 75, 25, coBold},
    };
    CreateControls(this, layout);
}
