#include "app/launching.h"

#include "app/utility.h"

std::string RunTimeListText(const std::string& entry) {
    return IsWebAddress(entry) ? entry : CapitalizeFirst(FileNamePart(entry));
}

unsigned long ShellResultError(long long result) {
    // The system error codes that ShellExecute's own numbers 26 to 32 stand for.
    enum : unsigned long {
        kNotEnoughMemory = 8,
        kSharingViolation = 32,
        kNoAssociation = 1155,
        kDdeFail = 1156,
        kDllNotFound = 1157,
    };
    switch (result) {
    case 0:  // the system is out of memory or resources
        return kNotEnoughMemory;
    case 26:
        return kSharingViolation;
    case 27:  // the association is incomplete
    case 31:
        return kNoAssociation;
    case 28:  // the DDE transaction timed out, failed, or others were being processed
    case 29:
    case 30:
        return kDdeFail;
    case 32:
        return kDllNotFound;
    default:  // 2, 3, 5, 8 and 11 are the system's own codes
        return (unsigned long)result;
    }
}

namespace {

std::string NameOfEntry(const std::string& entry) {
    return IsWebAddress(entry) ? entry : FileNamePart(entry);
}

}  // namespace

bool HaveSameNames(const std::vector<std::string>& entries) {
    for (size_t i = 0; i < entries.size(); i++)
        for (size_t j = i + 1; j < entries.size(); j++)
            if (SameIgnoringCase(NameOfEntry(entries[i]), NameOfEntry(entries[j]))) return true;
    return false;
}
