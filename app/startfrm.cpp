#include "app/startfrm.h"

#include "pictures/display.h"
#include "pictures/scaling.h"

namespace {

const int kHintWidth = 142, kHintHeight = 80;

// A small tool window: thin caption bar with a close button.
const TFormStyle kStartStyle = {"Gobu", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW, kHintWidth,
                                kHintHeight};

// The hint as drawn for the usual display scalings, PNG resources.
const struct {
    int dpi;
    const char* name;
} kHintCopies[] = {{96, "STARTDLG"}, {120, "STARTDLG120"}, {144, "STARTDLG144"}, {192, "STARTDLG192"}};

const char kUserKey[] = "Software\\Gobu";
const char kStartedValue[] = "FirstStartDone";

// The hint at the screen's DPI: the copy drawn for it, or else the next larger one (the
// largest above them all) scaled to it; null when it cannot be made.
HBITMAP HintPicture() {
    size_t i = 0;
    while (i + 1 < sizeof kHintCopies / sizeof kHintCopies[0] && kHintCopies[i].dpi < Application.Dpi) i++;
    Picture hint;
    if (!LoadResourcePicture(kHintCopies[i].name, hint)) return nullptr;
    const PictureSize size{Application.Scaled(kHintWidth), Application.Scaled(kHintHeight)};
    if (PictureSize{hint.width, hint.height} != size) hint = ScalePicture(hint, size, ScaleRule::Plain);
    return CreatePixelBitmap(hint.width, hint.height, hint.pixels.data());
}

}  // namespace

bool Tstartdlg::Create(HWND owner) { return CreateForm("Tstartdlg", kStartStyle, owner, false); }

void Tstartdlg::CreateComponents() {
    image.SetPicture(HintPicture());
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
