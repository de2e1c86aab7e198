#include "pictures/picform.h"

#include "app/mainform.h"
#include "app/settings.h"

Tpiclist* piclist = nullptr;

namespace {

// A fixed dialog frame with only a close box, above all other windows.
const TFormStyle kPicListStyle = {"Select Picture(s)", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                  WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, 413, 256};

const char kTransitionCaptions[] =
    "None|Slide Left|Slide Right|Slide Down|Slide Up|Fingers|Blocks|Expand|Close Curtains|Open Curtains|"
    "Blink|UnBlink|Random";

}  // namespace

bool Tpiclist::Create() {
    piclist = this;
    DialogKeys = true;
    if (!CreateForm("Tpiclist", kPicListStyle, Application.Handle, false)) return false;
    CentreOnScreen();
    return true;
}

void Tpiclist::CreateComponents() {
    durationbox.SetRange(kMinDuration, kMaxDuration);
    const TControlRow layout[] = {
        {&okbutton, "OK", 328, 220, 75, 25, coBold},
        {&cancelbutton, "Cancel", 228, 220, 75, 25, coBold | coCancel},
        {&addbutton, "Add", 328, 20, 75, 25, 0},
        {&removebutton, "Remove", 328, 60, 75, 25, 0},
        {&clearbutton, "Clear All", 328, 100, 75, 25, 0},
        {&durationbox, "10", 122, 160, 73, 22, 0},
        {&durationlabel, "Duration (Seconds)", 123, 184, 0, 13, 0},
        {&transitionBox, kTransitionCaptions, 8, 160, 94, 21, 0},
        {&transitionlabel, "Transition Effect", 8, 184, 0, 13, 0},
        {&anbox, "GIF Animation", 8, 210, 97, 17, 0},
        {&list, "", 8, 8, 313, 145, coMultiSelect},
    };
    CreateControls(this, layout);
    list.OnChange = [this] { listChange(); };
}

void Tpiclist::FormCreate() { transitionBox.SetItemIndex(0); }

// The slide show stands still while the dialog is open.
void Tpiclist::FormShow() {
    mainform->durationtimer.SetEnabled(false);
    BringToFront();
}

void Tpiclist::FormClose() { mainform->durationtimer.SetEnabled(true); }

void Tpiclist::listChange() { UpdateTransparentMenu(); }

void Tpiclist::UpdateTransparentMenu() { mainform->menutransparent.SetEnabled(list.Count() < 2); }
