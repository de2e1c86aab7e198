#include "app/rtform.h"

#include "app/launching.h"
#include "app/mainform.h"
#include "app/startup.h"
#include "links/fileform.h"

Trtfiles* rtfiles = nullptr;

namespace {

// A sizeable tool window: small caption bar, resizable frame.
const TFormStyle kListStyle = {"", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
                               WS_EX_TOOLWINDOW, 100, 100};

}  // namespace

bool Trtfiles::Create() {
    rtfiles = this;
    return CreateForm("Trtfiles", kListStyle, Application.Handle, false);
}

void Trtfiles::CreateComponents() {
    KeyPreview = true;
    const TControlRow layout[] = {
        {&xbox, "", 0, 0, 100, 100, 0},
    };
    CreateControls(this, layout);
    xbox.OnMouseUp = [this](TMouseButton b, int x, int y) { xboxMouseUp(b, x, y); };
}

void Trtfiles::FormCreate() {
    SetCaption(GobuTitle(mainform->ExePath));
    SetBounds(kNotPlaced, kNotPlaced, Application.Scaled(172), Application.Scaled(121));
}

void Trtfiles::FormResize() {
    RECT client;
    GetClientRect(Handle, &client);
    xbox.SetBounds(0, 0, client.right, client.bottom);
    xbox.FitColumn();
}

// Every quick key works while the list has the focus.
void Trtfiles::FormKeyPress(char& key) {
    mainform->FormKeyPress(key);
    key = 0;
}

void Trtfiles::FormClose() { mainform->DialogClosed(); }

void Trtfiles::FillRunTimeList() {
    // A handler that runs while the queue is processed sees an empty list.
    xbox.Clear();
    Application.ProcessMessages();
    xbox.Clear();
    for (const std::string& entry : filelist->list.Rows()) xbox.Add(RunTimeListText(entry), entry);
}

void Trtfiles::ShowRunTimeList() {
    FillRunTimeList();
    if (Left() == kNotPlaced && Top() == kNotPlaced) {
        Size screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        Point at = PlaceAtCentreOf({mainform->Left(), mainform->Top()},
                                   {mainform->Width(), mainform->Height()}, {Width(), Height()}, screen);
        SetPosition(at.x, at.y);
    }
    Show();
}

void Trtfiles::xboxMouseUp(TMouseButton button, int x, int y) {
    int row = xbox.ItemAt(x, y);
    if (row < 0) return;
    if (button == mbLeft)
        mainform->OpenListedEntry(xbox.SubItem(row));
    else
        ShowMessage(xbox.SubItem(row));
}
