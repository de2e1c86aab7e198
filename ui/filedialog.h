// The common open and save dialogs. A dialog object keeps its folder and file name
// from one showing to the next, as users expect of a program's file dialogs.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/scoped.h"

class TFileDialog {
public:
    std::string Title;
    // Pairs of caption and patterns, all separated by "|":
    // "Bitmaps (*.bmp)|*.bmp|JPEG (*.jpg)|*.jpg".
    std::string Filter;
    std::string DefaultExt;  // without the dot; empty for none
    std::string InitialDir;
    // The proposed name before a showing; the first chosen path after it.
    std::string FileName;
    // OFN_ flags of the dialog (OFN_ALLOWMULTISELECT, OFN_FILEMUSTEXIST, ...).
    DWORD Options = 0;
    // Every chosen full path of the last confirmed showing, in the order the dialog
    // reports them.
    std::vector<std::string> Files;
    // When set, a pane beside the file list shows the picture this returns for the
    // file under the cursor (null for none), fitted into the pane. The dialog owns and
    // destroys the bitmaps it gets.
    std::function<HBITMAP(const std::string& path)> PreviewPicture;

    // Shows the dialog; true when the user confirmed a choice. A selection too large
    // even for the dialog's ample buffer is refused with a message.
    bool Execute(HWND owner);
    bool ExecuteSave(HWND owner);

private:
    bool Run(HWND owner, bool save);
    static UINT_PTR CALLBACK Hook(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
    void ShowPreviewOf(HWND child);
    void DrawPreview(const DRAWITEMSTRUCT& item) const;
    TGdiObject<HBITMAP> preview_;
};

// The chosen paths in an open dialog's result buffer: one full path, or a folder
// followed by file names, each ended by a zero byte and the whole by a second one.
std::vector<std::string> SplitFileSelection(const char* buffer, size_t size);
