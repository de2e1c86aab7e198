#include "app/gobufiles.h"

std::string ProposedGobuName(const std::string& ownPath, const FileExistsTest& exists) {
    return CapitalizeFirst(LowerAZ(NextFreeName(ownPath, exists)));
}

bool IsOwnName(const std::string& chosen, const std::string& ownPath) {
    return LowerAZ(chosen) == LowerAZ(ownPath);
}
