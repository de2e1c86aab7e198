// Files dropped from Explorer onto the gobu and its dialogs' lists: real HDROPs (a
// DROPFILES block in global memory, the names after it) sent as WM_DROPFILES.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include "app/startfrm.h"
#include "modal_steps.h"
#include "pictures/transition.h"
#include "wine_support.h"

namespace {

void DropOnto(HWND window, POINT at, const std::vector<std::string>& paths) {
    std::string names;
    for (const std::string& p : paths) names += p + '\0';
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size() + 1);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    *header = DROPFILES{sizeof(DROPFILES), at, FALSE, FALSE};
    memcpy(header + 1, names.data(), names.size());
    GlobalUnlock(memory);
    SendMessageA(window, WM_DROPFILES, WPARAM(memory), 0);  // DragFinish frees it
}

TListView* OpenList(GobuWindows& w) {
    return w.piclist.Visible()    ? &w.piclist.list
           : w.filelist.Visible() ? &w.filelist.list
           : w.share.Visible()    ? &w.share.wantedbox
                                  : nullptr;
}

}  // namespace

TEST(Drop, PicturesJoinTheShowTheRestIsLinkedAndEachDialogsListTakesItsKind) {
    using Rows = std::vector<std::string>;
    RememberFirstStart();
    const std::string dir = LowerAZ(FreshFolder("drop")), pics = LowerAZ(PictureFolder());
    CreateDirectoryA((dir + "docs").c_str(), nullptr);
    for (const char* name : {"notes.txt", "old.txt", "fake.jpg"}) WriteFile(dir + name, "no picture");
    const std::string bmp = pics + "photo_ref.bmp", jpeg = pics + "photo.jpg", png = pics + "leaf.png",
                      old = dir + "old.txt", notes = dir + "notes.txt", docs = dir + "docs";
    // Two pictures, a PNG among them, a text, a folder, a text named .jpg, and a file and
    // a picture listed already, in other letter cases.
    const Rows drop = {jpeg, notes, png, docs, dir + "OLD.TXT", dir + "fake.jpg", pics + "PHOTO_REF.BMP"};
    const Rows shown = {bmp, jpeg, png}, linked = {old, notes, docs, drop[5]};
    Rows oldAndDrop = drop;
    oldAndDrop.insert(oldAndDrop.begin(), old);
    const auto selectPictures = &Tmain::SelectPictures1Click;
    struct Case {
        const char* onto;
        void (Tmain::*dialog)();  // open while the drop comes, or null
        bool ontoList, duringTransition;
        Rows pictures, links, wanted;  // the lists afterwards
    } cases[] = {
        {"the gobu", nullptr, false, false, shown, linked, {}},
        {"the gobu during a transition", nullptr, false, true, shown, linked, {}},
        {"the gobu behind Select Picture(s)", selectPictures, false, false, {bmp}, {old}, {}},
        {"Select Picture(s)", selectPictures, true, false, {bmp, jpeg, png, drop[6]}, {old}, {}},
        {"Link File(s)", &Tmain::Launch1Click, true, false, {bmp}, oldAndDrop, {}},
        {"Files to be Zipped", &Tmain::EMail1Click, true, false, {bmp}, {old}, drop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.onto);
        WriteFile(dir + "g.gobu", "picture " + bmp + "\r\nfile " + old + "\r\ntransparent\r\nanimation\r\n");
        auto w = StartGobu(dir + "g.exe");
        Tmain& gobu = w->main;
        RecordedCalls calls;
        std::string saved;
        auto dropNow = [&] {
            TListView* list = c.ontoList ? OpenList(*w) : nullptr;
            const RECT r = list ? list->Bounds() : RECT{0, 0, 2, 2};
            gobu.TransitionBusy = c.duringTransition;
            DropOnto(list ? GetParent(list->Handle) : gobu.Handle,
                     {(r.left + r.right) / 2, (r.top + r.bottom) / 2}, drop);
            if (c.duringTransition) {
                EXPECT_EQ(w->piclist.list.Count(), 1) << "nothing joins while the effect draws";
                gobu.TransitionBusy = false;
                gobu.RunTransition(kEffectNone);
            }
            saved = ReadFileText(dir + "g.gobu");
            EXPECT_EQ(w->piclist.list.Rows(), c.pictures);
            EXPECT_EQ(w->filelist.list.Rows(), c.links);
            EXPECT_EQ(w->share.wantedbox.Rows(), c.wanted);
            if (!c.wanted.empty()) {
                EXPECT_EQ(w->share.includelabel.Text(),
                          "Picture is already included.  Folders are not zipped.");
            }
            if (TListView* open = OpenList(*w)) PostMessageA(GetParent(open->Handle), WM_CLOSE, 0, 0);
        };
        ModalSteps steps({{[&] { return OpenList(*w) != nullptr; }, dropNow}});
        c.dialog ? (gobu.*c.dialog)() : dropNow();
        // Only Select Picture(s) refuses, in one message; only a drop onto the gobu saves.
        EXPECT_EQ(calls.messages.size(), c.ontoList && c.dialog == selectPictures ? 1u : 0u);
        EXPECT_EQ(saved.find(notes) != std::string::npos, !c.dialog) << "a dialog saves nothing before OK";
        if (c.dialog) continue;
        // As OK saves: Transparent and GIF Animation off for three pictures and no GIF.
        EXPECT_NE(saved.find("picture " + png + "\r\nfile " + old + "\r\nfile " + notes), std::string::npos);
        for (const char* off : {"transparent", "animation"}) EXPECT_EQ(saved.find(off), std::string::npos);
        // The slide show at the first dropped picture, the run-time list refilled, and a
        // linked folder opening in Explorer.
        EXPECT_EQ(gobu.CurrentPicture, 1);
        EXPECT_EQ(w->rtfiles.xbox.Rows().size(), 4u);
        gobu.OpenListedEntry(docs);
        ASSERT_EQ(calls.opened.size(), 1u);
        EXPECT_NE(calls.opened[0].find("\\explorer.exe \"" + docs + "\""), std::string::npos);
    }
}
