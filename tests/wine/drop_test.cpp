// Files dropped from Explorer: onto the gobu window, onto the lists of its dialogs, and
// onto the gobu while one of them is open or while a transition draws. Each drop is a
// real HDROP, a DROPFILES block in global memory, sent as WM_DROPFILES.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include "app/startfrm.h"
#include "modal_steps.h"
#include "pictures/transition.h"
#include "wine_support.h"

namespace {

// As Explorer hands a drop over: the header, then each name ending in a zero, and one
// more zero. The receiver frees the block (DragFinish).
void DropOnto(HWND window, POINT at, const std::vector<std::string>& paths) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& p : paths) size += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = at;
    header->fNC = FALSE;
    header->fWide = FALSE;
    char* name = reinterpret_cast<char*>(header + 1);
    for (const std::string& p : paths) name = strcpy(name, p.c_str()) + p.size() + 1;
    GlobalUnlock(memory);
    SendMessageA(window, WM_DROPFILES, WPARAM(memory), 0);
}

struct Lists {
    std::vector<std::string> pictures, links, wanted;
};

Lists ListsOf(GobuWindows& w) {
    return {w.piclist.list.Rows(), w.filelist.list.Rows(), w.share.wantedbox.Rows()};
}

TForm* OpenDialog(GobuWindows& w) {
    for (TForm* dialog : std::initializer_list<TForm*>{&w.piclist, &w.filelist, &w.share})
        if (dialog->Visible()) return dialog;
    return nullptr;
}

}  // namespace

// A drop of two pictures (a PNG among them), a text, a folder, a file and a picture
// already listed (in other letter cases) and a text named .jpg.
TEST(Drop, PicturesJoinTheShowEverythingElseIsLinkedAndEachDialogsListTakesItsKind) {
    RememberFirstStart();
    const std::string dir = LowerAZ(FreshFolder("drop")), pics = LowerAZ(PictureFolder());
    CreateDirectoryA((dir + "docs").c_str(), nullptr);
    WriteFile(dir + "notes.txt", "notes");
    WriteFile(dir + "old.txt", "listed before");
    WriteFile(dir + "fake.jpg", "no picture");
    const std::string bmp = pics + "photo_ref.bmp", jpeg = pics + "photo.jpg", png = pics + "leaf.png";
    const std::string docs = dir + "docs", notes = dir + "notes.txt", old = dir + "old.txt",
                      fake = dir + "fake.jpg";
    const std::vector<std::string> dropped = {jpeg, notes, png, docs, dir + "OLD.TXT", fake, pics + "PHOTO_REF.BMP"};
    const Lists before = {{bmp}, {old}, {}};
    std::vector<std::string> oldAndDropped = {old};
    oldAndDropped.insert(oldAndDropped.end(), dropped.begin(), dropped.end());

    enum Onto { Gobu, PictureList, LinkList, ZipList };
    struct Case {
        const char* what;
        void (Tmain::*dialog)();  // open while the drop comes, or null
        Onto onto;
        bool duringTransition;
        Lists after;
        bool saved;                // the settings file changed with the drop
        const char* messageNames;  // a part of the one message shown, or null for none
    } cases[] = {
        {"the gobu", nullptr, Gobu, false, {{bmp, jpeg, png}, {old, notes, docs, fake}, {}}, true, nullptr},
        {"the gobu during a transition", nullptr, Gobu, true, {{bmp, jpeg, png}, {old, notes, docs, fake}, {}},
         true, nullptr},
        {"the gobu while Select Picture(s) is open", &Tmain::SelectPictures1Click, Gobu, false, before, false,
         nullptr},
        {"the gobu while Share is open", &Tmain::EMail1Click, Gobu, false, before, false, nullptr},
        {"Select Picture(s)", &Tmain::SelectPictures1Click, PictureList, false,
         {{bmp, jpeg, png, pics + "PHOTO_REF.BMP"}, {old}, {}}, false, "fake.jpg"},
        {"Link File(s)", &Tmain::Launch1Click, LinkList, false, {{bmp}, oldAndDropped, {}}, false, nullptr},
        {"Files to be Zipped", &Tmain::EMail1Click, ZipList, false, {{bmp}, {old}, dropped}, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(dir + "g.gobu", "picture " + bmp + "\r\nfile " + old + "\r\ntransparent\r\nanimation\r\n");
        auto w = StartGobu(dir + "g.exe");
        RecordedCalls calls;
        Tmain& gobu = w->main;
        Lists seen;
        std::string fileBefore, fileAfter, note;
        auto drop = [&] {
            TListView* list = c.onto == PictureList ? &w->piclist.list
                              : c.onto == LinkList  ? &w->filelist.list
                              : c.onto == ZipList   ? &w->share.wantedbox
                                                    : nullptr;
            const RECT r = list ? list->Bounds() : RECT{0, 0, 2, 2};
            fileBefore = ReadFileText(dir + "g.gobu");
            DropOnto(list ? GetParent(list->Handle) : gobu.Handle, {(r.left + r.right) / 2, (r.top + r.bottom) / 2},
                     dropped);
            fileAfter = ReadFileText(dir + "g.gobu");
            seen = ListsOf(*w);
            note = w->share.includelabel.Text();
        };
        if (c.dialog) {
            ModalSteps steps({{[&] { return OpenDialog(*w) != nullptr; }, [&] {
                                   drop();
                                   PostMessageA(OpenDialog(*w)->Handle, WM_CLOSE, 0, 0);
                               }}});
            (gobu.*c.dialog)();
            EXPECT_TRUE(steps.Done());
        } else if (c.duringTransition) {
            gobu.TransitionBusy = true;
            drop();
            EXPECT_EQ(ListsOf(*w).pictures, before.pictures) << "nothing joins while the effect draws";
            gobu.TransitionBusy = false;
            gobu.RunTransition(kEffectNone);
            fileAfter = ReadFileText(dir + "g.gobu");
            seen = ListsOf(*w);
        } else {
            drop();
        }
        EXPECT_EQ(seen.pictures, c.after.pictures);
        EXPECT_EQ(seen.links, c.after.links);
        EXPECT_EQ(seen.wanted, c.after.wanted);
        EXPECT_EQ(fileAfter != fileBefore, c.saved);
        ASSERT_EQ(calls.messages.size(), c.messageNames ? 1u : 0u);
        if (c.messageNames) {
            for (const std::string& refused : {notes, docs, dir + "OLD.TXT", fake})
                EXPECT_NE(calls.messages[0].find(refused), std::string::npos) << refused;
            EXPECT_EQ(calls.messages[0].find(jpeg), std::string::npos);
        }
        if (c.onto == ZipList) {
            EXPECT_EQ(note, "Picture is already included.  Folders are not zipped.");
        }
        if (!c.saved) continue;
        // Saved as OK saves: the new lists, Transparent and GIF Animation off for three
        // pictures without a GIF, and the first dropped picture shown.
        const std::string file = fileAfter;
        EXPECT_NE(file.find("picture " + png + "\r\n"), std::string::npos);
        EXPECT_NE(file.find("file " + docs + "\r\n"), std::string::npos);
        EXPECT_EQ(file.find("transparent"), std::string::npos);
        EXPECT_EQ(file.find("animation"), std::string::npos);
        EXPECT_EQ(gobu.CurrentPicture, 1);
        RECT client;
        GetClientRect(gobu.Handle, &client);
        EXPECT_EQ(client.right, 37);
        EXPECT_EQ(client.bottom, 23);
        EXPECT_EQ(w->rtfiles.xbox.Rows().size(), 4u) << "the run-time list is refilled";
    }
}

// A linked folder opens in Explorer; Share offers files only and says why.
TEST(Drop, ALinkedFolderOpensInExplorerAndStaysOutOfThePackage) {
    RememberFirstStart();
    const std::string dir = LowerAZ(FreshFolder("folderlink"));
    CreateDirectoryA((dir + "docs").c_str(), nullptr);
    WriteFile(dir + "g.gobu", "file " + dir + "docs\r\n");
    auto w = StartGobu(dir + "g.exe");
    RecordedCalls calls;
    w->main.LaunchOnClick();
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    ASSERT_EQ(calls.opened.size(), 1u);
    EXPECT_EQ(LowerAZ(calls.opened[0]), LowerAZ("open " + std::string(windows) + "\\explorer.exe \"" + dir + "docs\""));
    ModalSteps steps({{[&] { return w->share.Visible(); }, [&] {
                           EXPECT_EQ(w->share.availablebox.Count(), 0);
                           EXPECT_EQ(w->share.includelabel.Text(), "Folders are not zipped.");
                           w->share.cancelbutton.Click();
                       }}});
    w->main.HardDisk1Click();
    EXPECT_TRUE(steps.Done());
}
