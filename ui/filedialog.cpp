#include "ui/filedialog.h"

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstring>

#include "ui/forms.h"

namespace {

// Room for well over a thousand chosen paths of ordinary length.
const size_t kSelectionBufferSize = 256 * 1024;
const int kPreviewId = 1200;

// The dialog template that sets a preview pane to the right of the standard
// controls: the standard controls take the place of the stc32 placeholder, and what
// lies right of it moves right as the placeholder grows to hold them.
struct PreviewTemplate {
    alignas(4) WORD words[64] = {};
    size_t used = 0;

    void Put(WORD w) { words[used++] = w; }
    void PutDword(DWORD d) {
        Put(LOWORD(d));
        Put(HIWORD(d));
    }
    void Align() {
        if (used % 2) Put(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id) {
        Align();
        PutDword(style);
        PutDword(0);
        Put(WORD(x)), Put(WORD(y)), Put(WORD(cx)), Put(WORD(cy));
        Put(id);
        Put(0xFFFF), Put(0x0082);  // the static class
        Put(0);                    // no caption
        Put(0);                    // no creation data
    }
    PreviewTemplate() {
        PutDword(DS_3DLOOK | DS_CONTROL | WS_CHILD | WS_CLIPSIBLINGS);
        PutDword(0);
        Put(2);  // two controls
        Put(0), Put(0), Put(126), Put(130);
        Put(0), Put(0), Put(0);  // no menu, the default class, no title
        Item(WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 4, 130, stc32);
        Item(WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 10, 20, 112, 100, kPreviewId);
    }
};

std::string FilterBytes(const std::string& filter) {
    std::string bytes = filter;
    std::replace(bytes.begin(), bytes.end(), '|', '\0');
    bytes.append(2, '\0');
    return bytes;
}

// The first name of a file-name field that may hold several quoted names.
std::string FirstNameOf(const std::string& spec) {
    size_t open = spec.find('"');
    if (open == std::string::npos) return spec;
    size_t close = spec.find('"', open + 1);
    return spec.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
}

// The preview makes the dialog wider than the system plans for: it is moved left and
// up as far as needed to lie whole on the screen's work area.
void KeepOnScreen(HWND dialog) {
    RECT r, area;
    if (!GetWindowRect(dialog, &r) || !SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) return;
    const int left = std::max(area.left, std::min(r.left, area.right - (r.right - r.left)));
    const int top = std::max(area.top, std::min(r.top, area.bottom - (r.bottom - r.top)));
    if (left != r.left || top != r.top) SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace

std::vector<std::string> SplitFileSelection(const char* buffer, size_t size) {
    std::vector<std::string> parts;
    size_t at = 0;
    while (at < size && buffer[at]) {
        size_t end = at;
        while (end < size && buffer[end]) end++;
        parts.emplace_back(buffer + at, end - at);
        at = end + 1;
    }
    if (parts.size() < 2) return parts;
    std::string folder = parts[0];
    if (folder.back() != '\\') folder += '\\';
    std::vector<std::string> paths;
    for (size_t i = 1; i < parts.size(); i++) paths.push_back(folder + parts[i]);
    return paths;
}

bool TFileDialog::Execute(HWND owner) { return Run(owner, false); }

bool TFileDialog::ExecuteSave(HWND owner) { return Run(owner, true); }

bool TFileDialog::Run(HWND owner, bool save) {
    std::vector<char> buffer(kSelectionBufferSize, '\0');
    FileName.copy(buffer.data(), std::min(FileName.size(), buffer.size() - 2));
    std::string filter = FilterBytes(Filter);
    PreviewTemplate layout;

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = DWORD(buffer.size());
    ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
    ofn.Flags = Options | OFN_EXPLORER;
    if (PreviewPicture) {
        ofn.Flags |= OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE | OFN_ENABLESIZING;
        ofn.hInstance = HINSTANCE(layout.words);
        ofn.lpfnHook = Hook;
        ofn.lCustData = LPARAM(this);
    }

    BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    preview_.Reset();
    if (!chosen) {
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
            ShowMessage("Too many files were chosen at once. Please choose fewer and add the rest in a second step.");
        return false;
    }
    if (Options & OFN_ALLOWMULTISELECT)
        Files = SplitFileSelection(buffer.data(), buffer.size());
    else
        Files = {std::string(buffer.data())};
    if (Files.empty()) return false;
    FileName = Files[0];
    return true;
}

UINT_PTR CALLBACK TFileDialog::Hook(HWND child, UINT message, WPARAM, LPARAM lParam) {
    auto* self = reinterpret_cast<TFileDialog*>(GetWindowLongPtrA(child, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(child, DWLP_USER, reinterpret_cast<const OPENFILENAMEA*>(lParam)->lCustData);
        return 0;
    case WM_NOTIFY:
        switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
        case CDN_INITDONE:
            KeepOnScreen(GetParent(child));
            break;
        case CDN_SELCHANGE:
            if (self) self->ShowPreviewOf(child);
            break;
        }
        return 0;
    case WM_DRAWITEM:
        if (!self) return 0;
        self->DrawPreview(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return 1;
    }
    return 0;
}

void TFileDialog::ShowPreviewOf(HWND child) {
    HWND dialog = GetParent(child);
    char folder[kPathBytes] = "", spec[kPathBytes * 4] = "";
    SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof folder, LPARAM(folder));
    SendMessageA(dialog, CDM_GETSPEC, sizeof spec, LPARAM(spec));
    std::string name = FirstNameOf(spec);
    HBITMAP picture = nullptr;
    if (!name.empty() && folder[0]) {
        std::string path = folder;
        if (path.back() != '\\') path += '\\';
        picture = PreviewPicture(path + name);
    }
    preview_.Reset(picture);
    InvalidateRect(GetDlgItem(child, kPreviewId), nullptr, TRUE);
}

// The picture centred in the pane, scaled down to fit it whole; small pictures keep
// their size.
void TFileDialog::DrawPreview(const DRAWITEMSTRUCT& item) const {
    RECT pane = item.rcItem;
    FillRect(item.hDC, &pane, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(item.hDC, &pane, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    BITMAP bm;
    if (!preview_ || !GetObjectA(preview_, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return;
    const int boxW = pane.right - pane.left - 4, boxH = pane.bottom - pane.top - 4;
    if (boxW <= 0 || boxH <= 0) return;
    int w = bm.bmWidth, h = bm.bmHeight;
    if (w > boxW || h > boxH) {
        using Wide = long long;
        if (Wide(w) * boxH > Wide(h) * boxW)
            h = std::max(1, int(Wide(h) * boxW / w)), w = boxW;
        else
            w = std::max(1, int(Wide(w) * boxH / h)), h = boxH;
    }
    const int x = pane.left + (pane.right - pane.left - w) / 2, y = pane.top + (pane.bottom - pane.top - h) / 2;
    TMemoryDC source(item.hDC, preview_);
    SetStretchBltMode(item.hDC, HALFTONE);
    SetBrushOrgEx(item.hDC, 0, 0, nullptr);
    StretchBlt(item.hDC, x, y, w, h, source, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
}
