#include "app/startfrm.h"

#include "pictures/display.h"

namespace {

// A small tool window: thin caption bar with a close button.
const TFormStyle kStartStyle = {"Gobu", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW, 142, 80};

const char kUserKey[] = "Software\\Gobu";
const char kStartedValue[] = "FirstStartDone";

}  // namespace

bool Tstartdlg::Create(HWND owner) { return CreateForm("Tstartdlg", kStartStyle, owner, false); }

void Tstartdlg::CreateComponents() {
    image.SetPicture(LoadResourcePicture("STARTDLG"));
    image.Place(this, 0, 0, true);
    image.OnMouseUp = [this](TMouseButton button, int, int) {
        if (button == mbLeft) imageClick();
    };
}

void Tstartdlg::FormShow() { SetClientSize(image.Width(), image.Height()); }

void Tstartdlg::imageClick() { Close(); }

void Tstartdlg::FormKeyPress(char&) { Close(); }

bool IsFirstStartForUser() {
    TRegKey key;
    return key.Open(HKEY_CURRENT_USER, kUserKey, KEY_READ) != ERROR_SUCCESS ||
           RegQueryValueExA(key, kStartedValue, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS;
}

void RememberFirstStart() {
    TRegKey key;
    if (key.Create(HKEY_CURRENT_USER, kUserKey, KEY_WRITE) != ERROR_SUCCESS) return;
    DWORD one = 1;
    RegSetValueExA(key, kStartedValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
}
