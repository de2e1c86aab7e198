// Comparing names without regard to letter case: the portable rule, A to Z only. On
// Windows textcase_win.cpp folds every letter and falls back on this one.
#include "app/utility.h"

bool SameLettersAZ(const std::string& a, const std::string& b) { return LowerAZ(a) == LowerAZ(b); }

#ifndef _WIN32
bool SameIgnoringCase(const std::string& a, const std::string& b) { return SameLettersAZ(a, b); }
std::string FoldedCase(const std::string& s) { return LowerAZ(s); }
#endif
