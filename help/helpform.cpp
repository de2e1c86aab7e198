#include "help/helpform.h"

#include "app/mainform.h"

Thelp* help = nullptr;

namespace {

// A normal sizeable frame, above all other windows.
const TFormStyle kHelpStyle = {"Gobu - Help", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_TOPMOST, 400, 400};

const int kButtonWidth = 75, kButtonHeight = 25, kMargin = 8;

}  // namespace

bool Thelp::Create() {
    help = this;
    DialogKeys = true;
    if (!CreateForm("Thelp", kHelpStyle, Application.Handle, false)) return false;
    CentreOnScreen();
    return true;
}

void Thelp::CreateComponents() {
    const TControlRow layout[] = {
        {&box, "", kMargin, kMargin, 100, 100, 0},
        {&OKbutton, "OK", 0, 0, kButtonWidth, kButtonHeight, coBold | coCancel},
    };
    CreateControls(this, layout);
    OKbutton.OnClick = [this] { OKbuttonClick(); };
}

void Thelp::FormCreate() { SetBounds(Left(), Top(), 417, 424); }

void Thelp::FormResize() {
    RECT client;
    GetClientRect(Handle, &client);
    const int buttonTop = client.bottom - kButtonHeight - kMargin;
    OKbutton.SetBounds((client.right - kButtonWidth) / 2, buttonTop, kButtonWidth, kButtonHeight);
    box.SetBounds(kMargin, kMargin, client.right - 2 * kMargin, buttonTop - 2 * kMargin);
}

void Thelp::OKbuttonClick() { Close(); }

void Thelp::FormClose() { mainform->ShowPicture(mainform->CurrentPicture, true); }
