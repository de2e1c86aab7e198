#include "app/launching.h"

#include <set>

#include "app/utility.h"

std::string RunTimeListText(const std::string& entry) {
    return IsWebAddress(entry) ? entry : CapitalizeFirst(FileNamePart(entry));
}

bool HaveSameNames(const std::vector<std::string>& entries) {
    std::set<std::string> names;
    for (const std::string& entry : entries)
        if (!names.insert(LowerAZ(IsWebAddress(entry) ? entry : FileNamePart(entry))).second) return true;
    return false;
}
