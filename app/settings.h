// The ".gobu" settings file: one line per entry, a keyword ending in a blank followed
// by its value, or a flag keyword alone. The model is a snapshot of the controls that
// hold each field; the window collects it before a save and applies it after a load.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/utility.h"
#include "pictures/transition.h"
#include "share/sharing.h"

struct GobuSettings {
    std::vector<std::string> pictures, linkedFiles, includeFiles;
    int transition = kEffectNone;    // a TransitionEffect, -1 when none is selected
    int duration = 10;               // seconds, 2..99999
    int destination = kShareByMail;  // a ShareDestination, -1 when none is selected
    bool groupLaunch = false, transparent = true, animation = false, stayOnTop = false;
    int windowLeft = 40, windowTop = 40;
    int listLeft = -20, listTop = -20, listWidth = 172, listHeight = 121;
};

const int kMinDuration = 2, kMaxDuration = 99999;

// The whole file: every line in its fixed order, each ending in CR LF.
std::string FormatSettings(const GobuSettings& settings);

// Reads the bytes of a settings file into settings, which holds the current values:
// the three lists and four flags start empty and clear, every other field keeps its
// value unless a line sets it. Keywords match in any letter case, values come back as
// written, and listed paths pass through resolve. The six geometry lines count only
// withPositions. Returns the number of lines read.
int ReadSettings(const std::string& bytes, bool withPositions,
                 const std::function<std::string(const std::string&)>& resolve, GobuSettings& settings);

// The slide duration a typed text stands for: a decimal integer after optional blanks
// and a sign, brought into kMinDuration to kMaxDuration; anything else kMinDuration.
int DurationOfText(const std::string& text);
