#include "share/sharing.h"

#include "app/startup.h"
#include "app/utility.h"
#include "share/zip/sfxconfig.h"

const char kDestinationCaptions[] = "E-Mail|Hard Disk|Floppy Disk";

const char kFoldersNote[] = "Folders are not zipped.";

const char kInsertFloppyQuestion[] =
    "Put a floppy with sufficient free space in the A: drive and click OK, or click Cancel";

bool HoldsPath(const std::vector<std::string>& rows, const std::string& path) {
    for (const std::string& row : rows)
        if (SameIgnoringCase(row, path)) return true;
    return false;
}

std::string IncludeNoteText(size_t pictureCount, bool foldersListed) {
    const std::string pictures = pictureCount == 0   ? ""
                                 : pictureCount == 1 ? "Picture is already included."
                                                     : "Pictures already included.";
    if (!foldersListed) return pictures;
    return pictures.empty() ? kFoldersNote : pictures + "  " + kFoldersNote;
}

std::vector<std::string> PackageFiles(const std::string& exePath, const std::vector<std::string>& pictures,
                                      const std::vector<std::string>& includes,
                                      const std::function<std::string(const std::string&)>& resolve,
                                      const std::function<bool(const std::string&)>& isFolder) {
    std::vector<std::string> files = {exePath, StubPathOf(exePath), resolve(SettingsPathOf(exePath))};
    for (const std::string& picture : pictures) files.push_back(resolve(picture));
    for (const std::string& include : includes) {
        if (IsWebAddress(include)) continue;
        const std::string path = resolve(include);
        if (!isFolder(path)) files.push_back(path);
    }
    return files;
}

std::string PackageCaption(const std::string& exePath) { return CapitalizeFirst(FileNamePart(exePath)); }

bool FitsOnFloppy(uint64_t size) { return size <= kFloppyLimit; }

std::string FloppyTarget(const std::string& packagePath) { return "a:\\" + FileNamePart(packagePath); }

std::string PackedMessage(const std::string& packagePath) {
    return "Zip file has been created.  You can now E-mail, copy or upload " + packagePath + ".";
}

std::string TooLargeForFloppyMessage(const std::string& packagePath) {
    return "Size of zip file exceeds capacity of floppy disk.  Zip file (" + packagePath +
           ") has been stored on hard disk.";
}

std::string CopiedToFloppyMessage(const std::string& packagePath) {
    return "A:\\" + FileNamePart(packagePath) + " has been copied to the floppy disk.";
}

std::string NoFloppyDriveMessage(const std::string& packagePath) {
    return "This computer has no floppy disk drive A:.  Zip file (" + packagePath +
           ") has been stored on hard disk.";
}

std::string NotCopiedToFloppyMessage(const std::string& packagePath) {
    return "Zip file (" + packagePath +
           ") has not been copied to a floppy disk; it has been stored on hard disk.";
}

std::string PackingFailedMessage(const std::string& reason) {
    std::string message =
        "Zipping process failed.  Perhaps a required file is missing, you are working from a CD-ROM, or the "
        "disk is full.";
    return reason.empty() ? message : message + "  " + reason;
}
