// Path helpers. Paths are 8-bit strings in the Windows ANSI code page; "\" and ":"
// separate their parts. Nothing here touches the file system.
#pragma once
#include <string>

// Letters A to Z folded to a to z; every other byte unchanged.
std::string LowerAZ(const std::string& s);
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
