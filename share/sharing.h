// Rules of sharing a gobu that need no Windows: what a package carries, the note and
// messages of the Share dialog, and what fits on a floppy disk.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Where a package goes, in the order of the Share dialog's list; the settings file
// keeps the number.
enum ShareDestination : int { kShareByMail, kShareToHardDisk, kShareToFloppy, kDestinationCount };
// The captions of the destinations, in that order, for the dialog's list.
extern const char kDestinationCaptions[];

// Whether rows hold path in any letter case.
bool HoldsPath(const std::vector<std::string>& rows, const std::string& path);

// The red note of the Share dialog: the pictures travel without being listed, and
// folders, when any are listed, stay behind.
std::string IncludeNoteText(size_t pictureCount, bool foldersListed);

// The files a package carries, in packing order: the executable, the extracted stub
// beside it, the settings file, the pictures, then the included files that are neither
// web addresses nor folders (a package holds files in one folder, none of a folder's
// own); all but the first two passed through resolve, which isFolder then tests.
std::vector<std::string> PackageFiles(const std::string& exePath, const std::vector<std::string>& pictures,
                                      const std::vector<std::string>& includes,
                                      const std::function<std::string(const std::string&)>& resolve,
                                      const std::function<bool(const std::string&)>& isFolder);

// The caption of the recipient's extractor dialog: the executable's file name with its
// first letter upper-cased, Holiday.exe.
std::string PackageCaption(const std::string& exePath);

// A package of at most this many bytes is copied to a floppy disk. It keeps clear of
// the full 1,474,560 bytes of a formatted disk for the file system's own needs.
constexpr uint64_t kFloppyLimit = 1440000;
bool FitsOnFloppy(uint64_t size);
// Where the package goes on the floppy: a:\ and its file name.
std::string FloppyTarget(const std::string& packagePath);

std::string PackedMessage(const std::string& packagePath);
std::string TooLargeForFloppyMessage(const std::string& packagePath);
std::string CopiedToFloppyMessage(const std::string& packagePath);
// Most computers of today have no drive A:, and asking for a floppy there is futile.
std::string NoFloppyDriveMessage(const std::string& packagePath);
// The user gave up putting a floppy in: the package is still on the hard disk.
std::string NotCopiedToFloppyMessage(const std::string& packagePath);
// The message of a share whose package could not be written, ending with the reason
// the archive writer gave (none when it gave none).
std::string PackingFailedMessage(const std::string& reason);
extern const char kInsertFloppyQuestion[];
