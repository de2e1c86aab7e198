// The ZIP archive writer: packs an ordered list of files into a new PKWARE ZIP archive
// (format version 2.0: stored and deflated entries, one disk, no encryption, no data
// descriptors, no ZIP64), optionally behind a prefix such as a self-extractor stub.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "share/zip/zipformat.h"
#include "share/zip/zipfs.h"

// Every failure of a run reaches the caller as one of these; the partial archive has
// been deleted by then.
class EZipError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A write stored fewer bytes than asked, as on a full disk.
class ENotEnoughRoom : public EZipError {
public:
    using EZipError::EZipError;
};

// One entry: the fields of its local and central headers, in their record order.
struct TZipHeaderInfo {
    uint16_t VersionMadeBy = 20;  // version 2.0, host system 0 (MS-DOS/FAT)
    uint16_t VersionNeeded = 20;
    uint16_t Flag = 0;
    uint16_t CompressionMethod = 8;
    uint32_t DateTime = 0;  // MS-DOS form: time in the low half, date in the high half
    uint32_t CRC32 = 0xFFFFFFFFu;
    uint32_t CompressedSize = 0;
    uint32_t UncompressedSize = 0;
    uint16_t FileNameLength = 0;
    uint16_t ExtraFieldLength = 0;
    uint16_t LocalExtraFieldLength = 0;
    uint16_t FileCommentLength = 0;
    uint16_t DiskNumberStart = 0;
    uint16_t InternalAttributes = 1;  // bit 0: text; 2 while the entry is being written
    uint32_t ExternalAttributes = 0x20;
    uint32_t RelativeOffset = 0;  // of the local header, from byte 0 of the output file
    std::string FileName;         // name part, in the process code page
    std::string FilePath;         // path part, likewise; always empty here
    std::string FileComment;

    // Path and name with "/" separators: the bytes of the archive. A plain ASCII name
    // as it is; any other in UTF-8, which Flag then marks (kUtf8NameFlag). Empty for a
    // name that is no text in the process code page.
    std::string StoredName() const;
    std::string LocalHeader() const;    // 30 bytes and the name
    std::string CentralHeader() const;  // 46 bytes and the name
};

// The end of central directory record.
struct TEndCentral {
    uint32_t Signature = kEndSignature;
    uint16_t ThisDisk = 0;
    uint16_t CentralStartDisk = 0;
    uint16_t EntriesThisDisk = 0;
    uint16_t TotalEntries = 0;
    uint32_t CentralSize = 0;
    uint32_t CentralOffset = 0;
    uint16_t CommentLength = 0;

    std::string Bytes() const;  // 22 bytes
};

enum class TZipSortMode {
    ByName,
    ByFileName,
    ByDirectoryName,
    ByDate,
    ByCompressedSize,
    ByUnCompressedSize,
    ByRate,
    ByNone
};

// An ordered list of entries, not owning them. ByName orders by path and name with the
// letters A-Z folded, so a stored name is found by halving; ByNone by disk and local
// header offset, the order in which the entries were written. The writer needs no
// other order, and the list refuses them.
class TSortedZip {
public:
    explicit TSortedZip(TZipSortMode mode);

    // Inserts in order; an entry equal to others goes after them.
    void Add(TZipHeaderInfo* entry);
    // An entry whose key equals that of key, or nullptr.
    TZipHeaderInfo* Find(const TZipHeaderInfo& key) const;
    size_t Count() const { return items_.size(); }
    TZipHeaderInfo* operator[](size_t i) const { return items_[i]; }
    void Clear() { items_.clear(); }

private:
    int Compare(const TZipHeaderInfo& a, const TZipHeaderInfo& b) const;

    TZipSortMode mode_;
    std::vector<TZipHeaderInfo*> items_;
};

class TZipWriter {
public:
    TZipWriter() = default;
    virtual ~TZipWriter() = default;
    TZipWriter(const TZipWriter&) = delete;
    TZipWriter& operator=(const TZipWriter&) = delete;

    std::string ZipName;                      // the archive to write; it must not exist yet
    std::vector<std::string> FilesList;       // files to pack, in this order; emptied by every run
    int PackLevel = 6;                        // 0 stores every file, 1-9 deflate
    bool StorePaths = false;                  // must stay false: folder paths are not stored
    std::vector<std::string> NoCompressList;  // name patterns (* and ?) stored uncompressed
    std::vector<std::string> ExcludeList;     // name patterns never packed
    std::string TempPath;                     // folder for temporary files; empty: the system's
    // Called after every write to the output, so the user interface can repaint during a
    // long run. It must not start another run or change these settings.
    std::function<void()> DoProcessMessages;
    // When set, the bytes of this open file, from its current position to its end, are
    // copied ahead of the first entry, and every recorded offset counts them.
    TZipFile* PackagePrefix = nullptr;

    // Writes ZipName from FilesList and returns the number of entries written. A listed
    // file that is missing, cannot be opened or repeats an earlier stored name is left
    // out without a message. Anything else that goes wrong throws EZipError (or
    // ENotEnoughRoom) after deleting the partial archive. Either way FilesList ends
    // empty. An empty ZipName does nothing and returns 0.
    virtual uint32_t WriteArchive();

    // Writes the self-extracting package packagePath: the stub file's bytes, the first
    // blockSize bytes of block (none when blockSize is 0 or less), then the archive of
    // FilesList, whose offsets all count from the package's first byte. Returns the
    // number of entries; empty paths do nothing and return 0. A stub that cannot be
    // read fails before the package is created. Stub and block pass through a
    // temporary file of a unique name, which is deleted however the run ends.
    virtual uint32_t WritePackage(const std::string& stubPath, const std::string& packagePath, int blockSize,
                                  const std::string& block);

    // The folder for temporary files: TempPath, or the system's when that is empty.
    std::string TempFolder() const;

protected:
    // What the archive's 16- and 32-bit fields can record: the entry count, and the
    // size of the output file, whose offsets readers take as signed. Tests lower them.
    uint32_t MaxEntries = 65535;
    uint64_t MaxArchiveSize = 0x7FFFFFFFu;

private:
    void CheckFilesList();
    uint32_t Run();
};
