// Copies of a gobu's files under a new name, and the reasons Windows gives when
// something fails. Windows only.
#pragma once
#include <string>
#include <vector>

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
