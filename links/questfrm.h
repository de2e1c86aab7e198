// The input box: one line of text asked for with a prompt, made for each question and
// destroyed after it.
#pragma once
#include "ui/controls.h"

class Tquest : public TForm {
public:
    TLabel mainlabel;
    TEdit box;
    TButton pastebutton, Cancelbutton, okbutton;

    bool Create(HWND owner);

protected:
    void CreateComponents() override;
};
