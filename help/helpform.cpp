#include "help/helpform.h"

#include "app/mainform.h"
#include "help/helptext.h"
#include "help/versioninfo.h"
#include "help/weblinks.h"
#include "ui/outward.h"

Thelp* help = nullptr;

namespace {

// A normal sizeable frame, above all other windows.
const TFormStyle kHelpStyle = {"Gobu - Help", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_TOPMOST, 400, 400};

// At 96 DPI.
const int kButtonWidth = 75, kButtonHeight = 25, kMargin = 8;

// The product version as the executable's version resource states it: the resource is
// the one place the version is kept. Empty when the resource cannot be read.
std::string ProductVersion() {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* block = loaded ? LockResource(loaded) : nullptr;
    if (!block) return "";
    return VersionInfoString(static_cast<const uint8_t*>(block), SizeofResource(nullptr, found),
                             "ProductVersion");
}

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
    box.SetText(HelpText());
    OKbutton.OnClick = [this] { OKbuttonClick(); };
}

void Thelp::FormCreate() { SetBounds(Left(), Top(), Application.Scaled(417), Application.Scaled(424)); }

void Thelp::FormResize() {
    RECT client;
    GetClientRect(Handle, &client);
    const int width = Application.Scaled(kButtonWidth), height = Application.Scaled(kButtonHeight),
              margin = Application.Scaled(kMargin);
    const int buttonTop = client.bottom - height - margin;
    OKbutton.SetBounds((client.right - width) / 2, buttonTop, width, height);
    box.SetBounds(margin, margin, client.right - 2 * margin, buttonTop - 2 * margin);
}

void Thelp::OKbuttonClick() { Close(); }

void Thelp::FormClose() { mainform->DialogClosed(); }

// ---- The gobu window's Help menu and Tell a Friend ----

void Tmain::Help1Click() {
    TModalScope scope(*this, TDialogStacking::AboveGobu);
    help->ShowModal();
}

// The boxes are not stay-on-top windows: the gobu steps down while one shows.
void Tmain::QuickKeys1Click() {
    TModalScope scope(*this, TDialogStacking::GobuStepsDown);
    ShowMessage(QuickKeysText());
}

void Tmain::About1Click() {
    TModalScope scope(*this, TDialogStacking::GobuStepsDown);
    ShowMessage(AboutText(ProductVersion()));
}

// What the shell makes of an address is its own affair: without a browser or mail
// program nothing happens, and nothing is reported.
void Tmain::WhatsNew1Click() { outward::Shell(Handle, "open", UpdatesPageUrl(), "", "", SW_SHOWNORMAL); }

void Tmain::Feedback1Click() { outward::Shell(Handle, "open", FeedbackAddress(), "", "", SW_SHOWNORMAL); }

void Tmain::TellaFriend1Click() {
    outward::Shell(Handle, "open", TellaFriendAddress(), "", "", SW_SHOWNORMAL);
}
