// Standard controls of the program's dialogs. Each form lays its controls out from one
// table of (control, caption, left, top, width, height, options) and gets their events
// through the callbacks below.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/forms.h"

enum TControlOption : unsigned {
    coBold = 1,         // bold caption
    coCancel = 2,       // the form's cancel button: Esc presses it
    coMultiSelect = 4,  // list view: several rows selectable
    coEditable = 8,     // combo box: the text can be typed
    coRedText = 16,     // label drawn in red
    coDefault = 32,     // the form's default button: Enter presses it
};

class TControl {
public:
    HWND Handle = nullptr;
    UINT Id = 0;

    virtual ~TControl() = default;
    bool Enabled() const;
    void SetEnabled(bool enabled);
    void SetVisible(bool visible);
    std::string Text() const;
    void SetText(const std::string& text);
    RECT Bounds() const;  // in the form's client coordinates
    void SetBounds(int left, int top, int width, int height);
    unsigned Options = 0;

protected:
    friend class TForm;
    friend void CreateControls(TForm*, const struct TControlRow*, size_t);
    virtual const char* WindowClass() const = 0;
    virtual DWORD WindowStyle() const = 0;
    virtual DWORD WindowExStyle() const { return 0; }
    // Runs once the native control exists, with the caption of its table row.
    virtual void Created(const char* /*caption*/) {}
    virtual void Command(WORD /*code*/) {}
    virtual LRESULT Notify(NMHDR*) { return 0; }
    // Files dropped onto the control; false when it takes none.
    virtual bool DropFiles(const std::vector<std::string>& /*paths*/) { return false; }
};

// A control's place, in pixels of a 96-DPI layout.
struct TControlRow {
    TControl* control;
    const char* caption;
    int left, top, width, height;
    unsigned options;
};

// Creates the controls of a form in table order, which is also their tab order, each
// place scaled to the screen's DPI.
void CreateControls(TForm* form, const TControlRow* rows, size_t count);
template <size_t N>
void CreateControls(TForm* form, const TControlRow (&rows)[N]) {
    CreateControls(form, rows, N);
}

class TButton : public TControl {
public:
    std::function<void()> OnClick;
    void Click();

protected:
    const char* WindowClass() const override { return "BUTTON"; }
    DWORD WindowStyle() const override { return WS_TABSTOP | (Options & coDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON); }
    void Command(WORD code) override;
};

class TCheckBox : public TControl {
public:
    std::function<void()> OnClick;
    bool Checked() const;
    void SetChecked(bool checked);

protected:
    const char* WindowClass() const override { return "BUTTON"; }
    DWORD WindowStyle() const override { return WS_TABSTOP | BS_AUTOCHECKBOX; }
    void Command(WORD code) override;
};

// A caption; a width of 0 fits the text.
class TLabel : public TControl {
public:
    // The width of the text in the label's font, to fit a label to a new text.
    int TextWidth() const;

protected:
    const char* WindowClass() const override { return "STATIC"; }
    DWORD WindowStyle() const override { return SS_LEFT | SS_NOPREFIX; }
};

class TEdit : public TControl {
protected:
    const char* WindowClass() const override { return "EDIT"; }
    DWORD WindowStyle() const override { return WS_TABSTOP | ES_AUTOHSCROLL; }
    DWORD WindowExStyle() const override { return WS_EX_CLIENTEDGE; }
};

// A number field with up and down arrows.
class TSpinEdit : public TControl {
public:
    int MinValue = 0, MaxValue = 100;
    // Runs when the field loses the focus, where a typed value is checked.
    std::function<void()> OnExit;
    // The value shown; the text typed need not be a number, so Text() stays the source.
    void SetValue(int value);
    void SetRange(int low, int high);

protected:
    const char* WindowClass() const override { return "EDIT"; }
    DWORD WindowStyle() const override { return WS_TABSTOP | ES_AUTOHSCROLL; }
    DWORD WindowExStyle() const override { return WS_EX_CLIENTEDGE; }
    void Created(const char* caption) override;
    void Command(WORD code) override;

private:
    HWND updown_ = nullptr;
};

// A drop-down; its items come from the caption, separated by "|".
class TComboBox : public TControl {
public:
    // The selected item; with an editable text, the item equal to the text, or -1.
    int ItemIndex() const;
    void SetItemIndex(int index);
    int Count() const;

protected:
    const char* WindowClass() const override { return "COMBOBOX"; }
    DWORD WindowStyle() const override;
    void Created(const char* caption) override;
};

// A report-style list view with one column as wide as the view (or as its widest row),
// no header and no editing. Each row has a caption and, kept beside it, a sub-item.
class TListView : public TControl {
public:
    std::function<void()> OnChange;
    std::function<void(TMouseButton, int x, int y)> OnMouseUp;
    // Set, the view takes files dropped onto it (TForm::AcceptFiles).
    std::function<void(const std::vector<std::string>& paths)> OnDropFiles;

    int Count() const;
    void Add(const std::string& caption, const std::string& subItem = std::string());
    void Delete(int index);
    void Clear();
    // Every row caption in order; setting them replaces all rows.
    std::vector<std::string> Rows() const;
    void SetRows(const std::vector<std::string>& rows);
    std::string Caption(int index) const;
    std::string SubItem(int index) const;
    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    // The row at a point of the view's client area, or -1.
    int ItemAt(int x, int y) const;
    // Sizes the column after the view or its rows have changed size.
    void FitColumn();

protected:
    const char* WindowClass() const override;
    DWORD WindowStyle() const override;
    DWORD WindowExStyle() const override { return WS_EX_CLIENTEDGE; }
    void Created(const char* caption) override;
    LRESULT Notify(NMHDR* header) override;
    bool DropFiles(const std::vector<std::string>& paths) override;

private:
    bool Append(const std::string& caption, const std::string& subItem);
    void Changed();
    std::vector<std::string> subItems_;
};

// A read-only text of paragraphs that wrap at the box's width.
class TRichEdit : public TControl {
protected:
    const char* WindowClass() const override;
    DWORD WindowStyle() const override { return WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY; }
    DWORD WindowExStyle() const override { return WS_EX_CLIENTEDGE; }
};
