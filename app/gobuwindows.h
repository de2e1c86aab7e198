// The program's long-lived windows, created once in their fixed order: the gobu
// window first, then the dialogs whose controls hold its settings.
#pragma once
#include <string>

#include "app/mainform.h"
#include "app/rtform.h"
#include "help/helpform.h"
#include "links/fileform.h"
#include "pictures/picform.h"
#include "share/eform.h"

struct GobuWindows {
    Tmain main;
    Tfilelist filelist;
    Tpiclist piclist;
    Trtfiles rtfiles;
    Tshare share;
    Thelp help;

    // exePath names the gobu; empty means the running executable.
    bool Create(const std::string& exePath = std::string()) {
        main.ExePath = exePath;
        return main.Create() && filelist.Create() && piclist.Create() && rtfiles.Create() && share.Create() &&
               help.Create();
    }
};
