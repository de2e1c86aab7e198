// The input box: one line of text asked for with a prompt, made for each question and
// destroyed after it.
#pragma once
#include <string>

#include "ui/controls.h"

class Tquest : public TForm {
public:
    TLabel mainlabel;
    TEdit box;
    TButton pastebutton, Cancelbutton, okbutton;

    bool Create(HWND owner);

    void okbuttonClick();
    void CancelbuttonClick();
    void pastebuttonClick();

protected:
    void CreateComponents() override;
    void FormShow() override;
    void FormClose() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Asks the user for one line of text in an input box owned by the gobu window. The
// text the box holds when it closes: empty after Cancel or Esc, as typed after OK or
// the close box or Enter.
std::string AskForText(const std::string& prompt, const std::string& caption, const std::string& defaultText);
