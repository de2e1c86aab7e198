// Path helpers. Paths are 8-bit strings in the process code page (UTF-8 where Windows
// honours the manifest's, the ANSI code page on older systems); "\" and ":"
// separate their parts. The helpers that need to know whether a file exists are given
// that test, so that they run without a file system.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Whether a file (not a folder) exists at a path.
using FileExistsTest = std::function<bool(const std::string& path)>;

// The file system half, on Windows only (utility_win.cpp).
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// False when the file cannot be opened or read, or is larger than limit bytes.
bool ReadWholeFile(const std::string& path, std::string& bytes, size_t limit = size_t(-1));
// Replaces a file's content only once the whole new content is on disk, so that a
// failure part way leaves the previous file as it was. False when nothing changed, with
// the system's reason left for GetLastError.
bool WriteFileSafely(const std::string& path, const std::string& bytes);
// Renames a file onto another name in the same volume, replacing a file there.
bool MoveReplacing(const std::string& from, const std::string& to);
// The running executable's full path, as the system reports it.
std::string OwnExecutablePath();
// A path with its short names made long, each letter as written.
std::string CanonicalPath(const std::string& path);

// Letters A to Z folded to a to z; every other byte unchanged. For keywords and
// schemes; names compare through SameIgnoringCase.
std::string LowerAZ(const std::string& s);
// Whether two names are equal without regard to letter case: every letter on Windows
// Vista and later, as the file system compares names; the letters A to Z elsewhere.
bool SameIgnoringCase(const std::string& a, const std::string& b);
// The name in one letter case, for a key that must be the same for every spelling
// SameIgnoringCase takes as equal: every letter upper-cased on Windows, A to Z
// lower-cased elsewhere.
std::string FoldedCase(const std::string& s);
// Equal but for the letters A to Z, every other byte exactly.
bool SameLettersAZ(const std::string& a, const std::string& b);
// The first character upper-cased when it is a letter a to z.
std::string CapitalizeFirst(const std::string& s);

// Everything after the last "\" or ":" (the whole path when there is none).
std::string FileNamePart(const std::string& path);
// Everything up to and including the last "\" or ":".
std::string FolderPart(const std::string& path);
// The last "." of the file-name part and what follows it; empty when there is none.
std::string ExtensionOf(const std::string& path);

std::string LastFolderName(const std::string& path);
std::string BaseNameOf(const std::string& path);

// Web addresses are never files: text that begins, in any letter case, with a URL
// scheme of two or more characters and "://" (http, https, ftp, any scheme of RFC 3986;
// one letter is a drive, so c://x is a path) or with "mailto:"; and text that holds
// "http://" anywhere, which settings files have always held as web addresses.
bool IsWebAddress(const std::string& entry);
// The linked entry for a web page the user typed: none for an empty text; "http://"
// in front of a text that is no web address, so the entry is one, never a file.
std::string WebPageEntry(const std::string& text);

// A listed file missing at its place is taken from the executable's folder when a
// file of its name lies there; web addresses and everything else pass unchanged.
std::string ResolveListedPath(const std::string& path, const std::string& exeFolder,
                              const FileExistsTest& exists);
// The path with the digits at the end of its base name removed: C:\g\gobu12.exe gives
// C:\g\gobu.exe. A base name of digits only is kept.
std::string StripTrailingDigits(const std::string& path);
// The name for a new gobu: the path itself when its digit-free form does not exist,
// otherwise that form numbered on from 1 to the first free name.
std::string NextFreeName(const std::string& path, const FileExistsTest& exists);
// The name New Gobu proposes: the next free name beside the own path, its letters as
// the own path has them but the first character (the drive letter) upper-cased.
std::string ProposedGobuName(const std::string& ownPath, const FileExistsTest& exists);
// Whether a chosen path names the gobu itself, in any letter case.
bool IsOwnName(const std::string& chosen, const std::string& ownPath);

// A file or address that could not be used, and why, in a sentence.
struct Refused {
    std::string entry, reason;
};
// One message for everything refused at once: a single entry as entry, what was not
// done, and the reason; several under the heading, one a line.
std::string RefusedMessage(const std::vector<Refused>& refused, const std::string& what,
                           const std::string& heading);
