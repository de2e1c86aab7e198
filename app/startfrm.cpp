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
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kUserKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return true;
    bool started = RegQueryValueExA(key, kStartedValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return !started;
}

void RememberFirstStart() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kUserKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    DWORD one = 1;
    RegSetValueExA(key, kStartedValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegCloseKey(key);
}
