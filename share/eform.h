// The Share dialog: which further files travel with the gobu and where the package
// goes. Its controls hold those settings for the life of the program.
#pragma once
#include "ui/controls.h"

class Tshare : public TForm {
public:
    TLabel Label1;
    TListView availablebox;
    TLabel Label2;
    TListView wantedbox;
    TButton addbutton, addallbutton, otherbutton, removebutton, clearbutton;
    TLabel includelabel;
    TComboBox destinationbox;
    TLabel Label3;
    TButton cancelbutton, okbutton;

    bool Create();
    // Writes the stub that heads every package beside the executable, from the
    // executable's tail, unless a stub file lies there already. Reports nothing.
    void ExtractStub();

protected:
    void CreateComponents() override;
    void FormCreate() override;
};

extern Tshare* share;
