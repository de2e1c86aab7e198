// The Share dialog: which further files travel with the gobu and where the package
// goes. Its controls hold those settings for the life of the program.
#pragma once
#include "share/zip/zipwriter.h"
#include "ui/controls.h"
#include "ui/filedialog.h"

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
    TFileDialog filedlg;
    TZipWriter zipwriter;

    bool Create();
    // Writes the stub that heads every package beside the executable, from the
    // executable's tail, unless a stub file lies there already. Reports nothing.
    void ExtractStub();
    // Packs the gobu and what travels with it into its package beside the executable;
    // the package's path, or an empty text and the writer's reason when packing failed
    // (nothing is left then).
    std::string BuildPackage(std::string& reason);
    // False, after a message, when two files to be zipped share a file name.
    bool CheckIncludeNames();
    // Appends path unless the list holds it in any letter case.
    static void AddUnique(TListView& list, const std::string& path);

    void addbuttonClick();
    void addallbuttonClick();
    void otherbuttonClick();
    void removebuttonClick();
    void clearbuttonClick();
    void okbuttonClick();
    void cancelbuttonClick();

protected:
    void CreateComponents() override;
    void FormCreate() override;
    void FormShow() override;
    void FormClose() override;

private:
    // The red note, fitted to its text and right-aligned: what travels without being
    // listed, and what stays behind.
    void ShowNote();
    // Asks for a floppy until the package is on it or the user cancels; where there is
    // no drive A:, says so instead. The package stays on the hard disk in every case.
    void CopyToFloppy(const std::string& path);
};

extern Tshare* share;
