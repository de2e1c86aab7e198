// Rules of launching linked entries that need no Windows.
#pragma once
#include <string>
#include <vector>

// The row text of an entry in the run-time list: a web address whole, a file by its
// name with the first letter upper-cased (C:\docs\readme.txt shows as Readme.txt).
std::string RunTimeListText(const std::string& entry);

// The system error that a result of ShellExecute of 32 or below stands for, so that the
// system can say in its own words why an entry did not open; the result itself for one
// that stands for no other.
unsigned long ShellResultError(long long result);

// Whether two entries share a file-name part, in any letter case. A package
// stores every file under that part alone, so such entries cannot travel together. A
// web address counts whole: http://a.org:81/x and http://b.org:81/x are two.
bool HaveSameNames(const std::vector<std::string>& entries);
