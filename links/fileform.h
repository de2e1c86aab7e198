// The Link File(s) dialog: the ordered list of files and web pages a click on the
// gobu opens, and the Group Launch switch. Its controls hold those settings for the
// life of the program.
#pragma once
#include "ui/controls.h"

class Tfilelist : public TForm {
public:
    TListView list;
    TButton addbutton, removebutton, clearbutton, pagebutton;
    TCheckBox grouplaunchbox;
    TButton cancelbutton, okbutton;

    bool Create();

protected:
    void CreateComponents() override;
};

extern Tfilelist* filelist;
