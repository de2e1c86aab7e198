// The Select Picture(s) dialog: the gobu's pictures, the transition effect, the slide
// duration and GIF animation. Its controls hold those settings for the life of the
// program.
#pragma once
#include "ui/controls.h"
#include "ui/filedialog.h"

class Tpiclist : public TForm {
public:
    TButton okbutton, cancelbutton, addbutton, removebutton, clearbutton;
    TSpinEdit durationbox;
    TLabel durationlabel;
    TComboBox transitionBox;
    TLabel transitionlabel;
    TCheckBox anbox;
    TListView list;
    TFileDialog picfiledlg;

    bool Create();
    // Enables the gobu's "Transparent" item exactly while fewer than two pictures are listed.
    void UpdateTransparentMenu();

    void addbuttonClick();
    // Appends, in order, the pictures the gobu can show; the others are told in one
    // message, each with why.
    void AddPictures(const std::vector<std::string>& paths);
    void removebuttonClick();
    void clearbuttonClick();
    void okbuttonClick();
    void cancelbuttonClick();

protected:
    void CreateComponents() override;
    // A close box on a dialog with OK and Cancel means Cancel.
    void CloseBoxClick() override { cancelbuttonClick(); }
    void FormCreate() override;
    void FormShow() override;
    void FormClose() override;

private:
    void listChange();
};

extern Tpiclist* piclist;
