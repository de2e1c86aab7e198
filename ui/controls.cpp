#include "ui/controls.h"

#include <commctrl.h>
#include <richedit.h>
#include <windowsx.h>

namespace {

// Command ids of controls; below them lie IDOK and IDCANCEL, which the dialog keys send.
UINT nextControlId = 1000;

// In pixels of a 96-DPI layout.
const int kDropDownHeight = 200, kLabelHeight = 13;

// "MS Sans Serif" at 8 points, plain and bold, shared by every dialog: 11 pixels high
// at 96 DPI, in proportion at any other.
HFONT DialogFont(bool bold) {
    static HFONT fonts[2];
    HFONT& font = fonts[bold];
    if (!font) {
        const int height = -MulDiv(8, Application.Dpi, 72);
        font = CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                           "MS Sans Serif");
    }
    return font;
}

int TextWidth(HWND window, const char* text) {
    TWindowDC dc(window);
    TSelection font(dc, HGDIOBJ(SendMessageA(window, WM_GETFONT, 0, 0)));
    SIZE size = {0, 0};
    const std::vector<wchar_t> wide = WideText(text);
    GetTextExtentPoint32W(dc, wide.data(), int(wide.size()), &size);
    return size.cx;
}

}  // namespace

void CreateControls(TForm* form, const TControlRow* rows, size_t count) {
    static bool commonControls = false;
    if (!commonControls) {
        INITCOMMONCONTROLSEX icc = {sizeof icc,
                                    ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        commonControls = true;
    }
    for (size_t i = 0; i < count; i++) {
        const TControlRow& row = rows[i];
        TControl* c = row.control;
        c->Options = row.options;
        c->Id = row.options & coCancel ? IDCANCEL : row.options & coDefault ? IDOK : nextControlId++;
        const int height = Application.Scaled(row.height ? row.height : kLabelHeight);
        c->Handle = CreateWindowExA(c->WindowExStyle(), c->WindowClass(), row.caption,
                                    WS_CHILD | WS_VISIBLE | c->WindowStyle(), Application.Scaled(row.left),
                                    Application.Scaled(row.top), Application.Scaled(row.width), height,
                                    form->Handle, HMENU(UINT_PTR(c->Id)), Application.Instance, nullptr);
        if (!c->Handle) continue;
        SendMessageA(c->Handle, WM_SETFONT, WPARAM(DialogFont(row.options & coBold)), FALSE);
        if (row.width == 0)
            SetWindowPos(c->Handle, nullptr, 0, 0, TextWidth(c->Handle, row.caption), height,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        form->controls_.push_back(c);
        c->Created(row.caption);
    }
}

// ---- TControl ----

bool TControl::Enabled() const { return IsWindowEnabled(Handle) != 0; }

void TControl::SetEnabled(bool enabled) { EnableWindow(Handle, enabled); }

void TControl::SetVisible(bool visible) { ShowWindow(Handle, visible ? SW_SHOWNA : SW_HIDE); }

std::string TControl::Text() const {
    std::string text(size_t(GetWindowTextLengthA(Handle)) + 1, '\0');
    text.resize(size_t(GetWindowTextA(Handle, &text[0], int(text.size()))));
    return text;
}

void TControl::SetText(const std::string& text) { SetWindowTextA(Handle, text.c_str()); }

RECT TControl::Bounds() const {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(Handle, &r);
    MapWindowPoints(nullptr, GetParent(Handle), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    SetWindowPos(Handle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int TLabel::TextWidth() const { return ::TextWidth(Handle, Text().c_str()); }

// ---- Buttons ----

void TButton::Click() {
    if (OnClick) OnClick();
}

void TButton::Command(WORD code) {
    if (code == BN_CLICKED) Click();
}

bool TCheckBox::Checked() const { return SendMessageA(Handle, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) {
    SendMessageA(Handle, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::Command(WORD code) {
    if (code == BN_CLICKED && OnClick) OnClick();
}

// ---- TSpinEdit ----

void TSpinEdit::Created(const char*) {
    updown_ = CreateWindowExA(
        0, UPDOWN_CLASSA, "",
        WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_SETBUDDYINT, 0, 0, 0,
        0, GetParent(Handle), nullptr, Application.Instance, nullptr);
    SendMessageA(updown_, UDM_SETBUDDY, WPARAM(Handle), 0);
    SetRange(MinValue, MaxValue);
}

void TSpinEdit::SetRange(int low, int high) {
    MinValue = low;
    MaxValue = high;
    if (updown_) SendMessageA(updown_, UDM_SETRANGE32, WPARAM(low), LPARAM(high));
}

void TSpinEdit::SetValue(int value) {
    SetText(std::to_string(value));
    if (updown_) SendMessageA(updown_, UDM_SETPOS32, 0, LPARAM(value));
}

void TSpinEdit::Command(WORD code) {
    if (code == EN_KILLFOCUS && OnExit) OnExit();
}

// ---- TComboBox ----

DWORD TComboBox::WindowStyle() const {
    return WS_TABSTOP | WS_VSCROLL | (Options & coEditable ? CBS_DROPDOWN : CBS_DROPDOWNLIST);
}

void TComboBox::Created(const char* caption) {
    // The caption holds the items, not the text; the window's height includes the
    // dropped-down list.
    if (Options & coEditable) SetText("");
    RECT r = Bounds();
    SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top + Application.Scaled(kDropDownHeight));
    std::string items = caption;
    for (size_t start = 0; start <= items.size();) {
        size_t bar = items.find('|', start);
        if (bar == std::string::npos) bar = items.size();
        SendMessageA(Handle, CB_ADDSTRING, 0, LPARAM(items.substr(start, bar - start).c_str()));
        start = bar + 1;
    }
}

int TComboBox::ItemIndex() const {
    if (!(Options & coEditable)) return int(SendMessageA(Handle, CB_GETCURSEL, 0, 0));
    const std::string text = Text();
    for (int i = 0; i < Count(); i++) {
        std::string item(size_t(SendMessageA(Handle, CB_GETLBTEXTLEN, WPARAM(i), 0)) + 1, '\0');
        item.resize(size_t(SendMessageA(Handle, CB_GETLBTEXT, WPARAM(i), LPARAM(&item[0]))));
        if (item == text) return i;
    }
    return -1;
}

void TComboBox::SetItemIndex(int index) {
    SendMessageA(Handle, CB_SETCURSEL, WPARAM(index), 0);
    if (index < 0 && (Options & coEditable)) SetText("");
}

int TComboBox::Count() const { return int(SendMessageA(Handle, CB_GETCOUNT, 0, 0)); }

// ---- TListView ----

const char* TListView::WindowClass() const { return WC_LISTVIEWA; }

DWORD TListView::WindowStyle() const {
    return WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS |
           (Options & coMultiSelect ? 0 : LVS_SINGLESEL);
}

void TListView::Created(const char*) {
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 10;
    SendMessageA(Handle, LVM_INSERTCOLUMNA, 0, LPARAM(&column));
    SendMessageA(Handle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    FitColumn();
}

void TListView::FitColumn() {
    SendMessageA(Handle, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(LVSCW_AUTOSIZE, 0));
    RECT client;
    GetClientRect(Handle, &client);
    if (SendMessageA(Handle, LVM_GETCOLUMNWIDTH, 0, 0) < client.right)
        SendMessageA(Handle, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(client.right, 0));
}

int TListView::Count() const { return int(SendMessageA(Handle, LVM_GETITEMCOUNT, 0, 0)); }

bool TListView::Append(const std::string& caption, const std::string& subItem) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = Count();
    item.pszText = const_cast<char*>(caption.c_str());
    int at = int(SendMessageA(Handle, LVM_INSERTITEMA, 0, LPARAM(&item)));
    if (at < 0) return false;
    subItems_.insert(subItems_.begin() + at, subItem);
    return true;
}

void TListView::Add(const std::string& caption, const std::string& subItem) {
    if (Append(caption, subItem)) Changed();
}

void TListView::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    SendMessageA(Handle, LVM_DELETEITEM, WPARAM(index), 0);
    subItems_.erase(subItems_.begin() + index);
    Changed();
}

void TListView::Clear() {
    SendMessageA(Handle, LVM_DELETEALLITEMS, 0, 0);
    subItems_.clear();
    Changed();
}

std::vector<std::string> TListView::Rows() const {
    std::vector<std::string> rows;
    for (int i = 0; i < Count(); i++) rows.push_back(Caption(i));
    return rows;
}

void TListView::SetRows(const std::vector<std::string>& rows) {
    // One change for the whole list: sizing the column measures every row.
    SendMessageA(Handle, LVM_DELETEALLITEMS, 0, 0);
    subItems_.clear();
    for (const std::string& row : rows) Append(row, std::string());
    Changed();
}

std::string TListView::Caption(int index) const {
    std::string text(1024, '\0');
    for (;;) {
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = &text[0];
        item.cchTextMax = int(text.size());
        size_t n = size_t(SendMessageA(Handle, LVM_GETITEMTEXTA, WPARAM(index), LPARAM(&item)));
        if (n + 1 < text.size()) return text.substr(0, n);
        text.resize(text.size() * 2);
    }
}

std::string TListView::SubItem(int index) const {
    return index >= 0 && size_t(index) < subItems_.size() ? subItems_[size_t(index)] : std::string();
}

bool TListView::Selected(int index) const {
    return SendMessageA(Handle, LVM_GETITEMSTATE, WPARAM(index), LVIS_SELECTED) != 0;
}

void TListView::SetSelected(int index, bool selected) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageA(Handle, LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item));
}

int TListView::ItemAt(int x, int y) const {
    LVHITTESTINFO hit = {};
    hit.pt = POINT{x, y};
    int index = int(SendMessageA(Handle, LVM_HITTEST, 0, LPARAM(&hit)));
    return index >= 0 && (hit.flags & LVHT_ONITEM) ? index : -1;
}

void TListView::Changed() {
    FitColumn();
    if (OnChange) OnChange();
}

LRESULT TListView::Notify(NMHDR* header) {
    // The view tracks a click itself and reports it when the button is released.
    if ((header->code == NM_CLICK || header->code == NM_RCLICK) && OnMouseUp) {
        DWORD at = GetMessagePos();
        POINT p = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
        ScreenToClient(Handle, &p);
        OnMouseUp(header->code == NM_CLICK ? mbLeft : mbRight, p.x, p.y);
    }
    return 0;
}

bool TListView::DropFiles(const std::vector<std::string>& paths) {
    if (!OnDropFiles) return false;
    OnDropFiles(paths);
    return true;
}

// ---- TRichEdit ----

const char* TRichEdit::WindowClass() const {
    static const bool loaded = LoadSystemLibrary("riched20.dll") != nullptr;
    return loaded ? RICHEDIT_CLASSA : "EDIT";
}
