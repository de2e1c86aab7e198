#include "links/questfrm.h"

#include "app/mainform.h"

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
        {&okbutton, "OK", 360, 64, 75, 25, coBold | coDefault},
    };
    CreateControls(this, layout);
    okbutton.OnClick = [this] { okbuttonClick(); };
    Cancelbutton.OnClick = [this] { CancelbuttonClick(); };
    pastebutton.OnClick = [this] { pastebuttonClick(); };
}

// The first key typed replaces the default text.
void Tquest::FormShow() { SendMessageA(box.Handle, EM_SETSEL, 0, -1); }

// Typing goes into the box whenever the input box is active; the default handling of
// the activation gives the focus to the window itself.
LRESULT Tquest::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = TForm::WndProc(message, wParam, lParam);
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) SetFocus(box.Handle);
    return result;
}

void Tquest::okbuttonClick() { Close(); }

void Tquest::CancelbuttonClick() {
    box.SetText("");
    Close();
}

// The clipboard's text at the caret, in place of any selected text.
void Tquest::pastebuttonClick() { SendMessageA(box.Handle, WM_PASTE, 0, 0); }

void Tquest::FormClose() { mainform->DialogClosed(); }

std::string AskForText(const std::string& prompt, const std::string& caption,
                       const std::string& defaultText) {
    Tquest quest;
    if (!quest.Create(mainform->Handle)) return std::string();
    quest.SetCaption(caption);
    quest.mainlabel.SetText(prompt);
    quest.box.SetText(defaultText);
    {
        TModalScope scope(*mainform, TDialogStacking::AboveGobu);
        quest.ShowModal();
    }
    return quest.box.Text();
}
