// The start dialog: a first-use hint shown once per user, on the very first start of
// any gobu. A click on its picture or any key closes it.
#pragma once
#include "ui/forms.h"

class Tstartdlg : public TForm {
public:
    TImage image;

    bool Create(HWND owner);

protected:
    void CreateComponents() override;
    void FormShow() override;
    void FormKeyPress(char& key) override;

private:
    void imageClick();
};

// Whether this user has never started a gobu before; remembered in the user's part of
// the registry.
bool IsFirstStartForUser();
void RememberFirstStart();
