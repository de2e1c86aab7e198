// The help window: the help text above an OK button, laid out afresh on every resize.
#pragma once
#include "ui/controls.h"

class Thelp : public TForm {
public:
    TRichEdit box;
    TButton OKbutton;

    bool Create();

protected:
    void CreateComponents() override;
    void FormCreate() override;
    void FormResize() override;
    void FormClose() override;

private:
    void OKbuttonClick();
};

extern Thelp* help;
