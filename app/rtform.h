// The run-time list: a small tool window beside the gobu that lists its linked
// entries by name when there are two or more, so that the user picks one.
#pragma once
#include "ui/controls.h"

class Trtfiles : public TForm {
public:
    TListView xbox;

    bool Create();
    void FillRunTimeList();
    void ShowRunTimeList();
    // Left and top both at this mark: the list was never placed.
    static const int kNotPlaced = -20;

protected:
    void CreateComponents() override;
    void FormCreate() override;
    void FormKeyPress(char& key) override;
    void FormClose() override;
    void FormResize() override;

private:
    void xboxMouseUp(TMouseButton button, int x, int y);
};

extern Trtfiles* rtfiles;
