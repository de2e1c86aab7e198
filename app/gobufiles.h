// Making further gobus: the name proposed for a new gobu, the test for the gobu's own
// name, and (on Windows, gobufiles_win.cpp) the copy of a gobu's files under a new name.
#pragma once
#include <string>
#include <vector>

#include "app/utility.h"

// The name New Gobu proposes: the next free name beside the own path, lower-cased,
// with its first character (the drive letter) upper-cased.
std::string ProposedGobuName(const std::string& ownPath, const FileExistsTest& exists);

// Whether a chosen path names the gobu itself, in any letter case of A to Z.
bool IsOwnName(const std::string& chosen, const std::string& ownPath);

// One file of a gobu to put in place: source copied to target. An empty source means
// the target is to be gone afterwards.
struct GobuFileCopy {
    std::string source, target;
};

// Puts all the copies in place, or none of them: each source is first copied to a
// temporary file beside its target, and the targets are replaced only once every copy
// is complete. On failure every target is left as it was and reason tells why.
bool CopyFilesTogether(const std::vector<GobuFileCopy>& copies, std::string& reason);

// The system's text for an error code, without its line end ("Access denied.").
std::string SystemErrorText(unsigned long code);
