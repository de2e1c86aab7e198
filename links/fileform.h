// The Link File(s) dialog: the ordered list of files and web pages a click on the
// gobu opens, and the Group Launch switch. Its controls hold those settings for the
// life of the program.
#pragma once
#include "ui/controls.h"
#include "ui/filedialog.h"

class Tfilelist : public TForm {
public:
    TListView list;
    TButton addbutton, removebutton, clearbutton, pagebutton;
    TCheckBox grouplaunchbox;
    TButton cancelbutton, okbutton;
    TFileDialog filedlg;

    bool Create();

    void addbuttonClick();
    void removebuttonClick();
    void clearbuttonClick();
    void pagebuttonClick();
    // OK keeps the edits in the settings file; Cancel, Esc and the close box read back
    // the file written when the dialog opened.
    void okbuttonClick();
    void cancelbuttonClick();

protected:
    void CreateComponents() override;
    // A close box on a dialog with OK and Cancel means Cancel.
    void CloseBoxClick() override { cancelbuttonClick(); }
};

extern Tfilelist* filelist;

// The "Select File(s)" dialog of the Link File(s) and Share dialogs: any files, several
// at once, with a picture preview.
void SetUpSelectFiles(TFileDialog& dialog);
// Runs it with an empty name field, in the folder of the files chosen last; true when
// files were chosen.
bool ChooseMoreFiles(TFileDialog& dialog, HWND owner);
