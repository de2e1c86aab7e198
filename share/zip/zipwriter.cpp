#include "share/zip/zipwriter.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "share/zip/crc32.h"
#include "share/zip/deflate.h"
#include "share/zip/zipfs.h"
#include "share/zip/zipformat.h"
#include "share/zip/utf8.h"

namespace {

constexpr size_t kIoBufferSize = 8192;
constexpr size_t kStoreChunk = 16000;

void Put16(std::string& out, uint32_t v) {
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

char FoldCase(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

// Compares path + name of two entries, letters A-Z folded, without building the
// joined strings.
int CompareFolded(const TZipHeaderInfo& a, const TZipHeaderInfo& b) {
    size_t na = a.FilePath.size() + a.FileName.size(), nb = b.FilePath.size() + b.FileName.size();
    auto at = [](const TZipHeaderInfo& e, size_t i) {
        return i < e.FilePath.size() ? e.FilePath[i] : e.FileName[i - e.FilePath.size()];
    };
    for (size_t i = 0; i < na && i < nb; i++) {
        unsigned char x = uint8_t(FoldCase(at(a, i))), y = uint8_t(FoldCase(at(b, i)));
        if (x != y) return x < y ? -1 : 1;
    }
    return na < nb ? -1 : na > nb ? 1 : 0;
}

bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

// The text after the last "\" or ":" (and "/", which Windows accepts as well and POSIX
// paths use).
std::string BareName(const std::string& path) {
    size_t i = path.size();
    while (i > 0 && !IsSeparator(path[i - 1])) i--;
    return path.substr(i);
}

// "*" matches any run of characters, "?" any one; letters A-Z match either case.
bool WildcardMatch(const char* pattern, const char* text) {
    if (*pattern == '\0') return *text == '\0';
    if (*pattern == '*') {
        for (const char* t = text;; t++) {
            if (WildcardMatch(pattern + 1, t)) return true;
            if (*t == '\0') return false;
        }
    }
    if (*text == '\0') return false;
    if (*pattern != '?' && FoldCase(*pattern) != FoldCase(*text)) return false;
    return WildcardMatch(pattern + 1, text + 1);
}

// A pattern with a folder part is matched against the whole path, one without against
// the file name.
bool MatchesAny(const std::vector<std::string>& patterns, const std::string& path) {
    for (const std::string& p : patterns) {
        bool whole = std::any_of(p.begin(), p.end(), IsSeparator);
        if (WildcardMatch(p.c_str(), whole ? path.c_str() : BareName(path).c_str())) return true;
    }
    return false;
}

std::string Trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// The output file, written through one buffer. It refuses to grow past the size the
// archive's 32-bit offsets can record, turns a short write into ENotEnoughRoom, and
// deletes itself unless the run finishes.
class ZipOutput {
public:
    ZipOutput(const std::string& name, uint64_t maxSize, const std::function<void()>& afterWrite)
        : name_(name), maxSize_(maxSize), afterWrite_(afterWrite) {}

    ~ZipOutput() {
        if (created_ && !finished_) {
            file_.Close();
            ZipDeleteFile(name_);
        }
    }

    void Create() {
        if (!file_.CreateNew(name_)) throw EZipError("Cannot create the archive " + name_ + ".");
        created_ = true;
    }

    uint64_t Position() const { return pos_; }

    void Write(const void* data, size_t len) {
        if (len > maxSize_ - pos_)
            throw EZipError("The archive " + name_ +
                            " would reach 2 GiB, more than a ZIP archive can record.");
        const uint8_t* p = static_cast<const uint8_t*>(data);
        while (len > 0) {
            size_t part = std::min(len, kIoBufferSize - used_);
            std::memcpy(buf_ + used_, p, part);
            used_ += part;
            pos_ += part;
            p += part;
            len -= part;
            if (used_ == kIoBufferSize) Flush();
        }
    }

    void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }

    // Writes bytes over earlier output at offset, then carries on at the end. Bytes
    // still in the buffer are patched there, which spares small files two seeks.
    void Rewrite(uint64_t offset, const std::string& bytes) {
        uint64_t buffered = pos_ - used_;
        if (offset >= buffered && offset + bytes.size() <= pos_) {
            std::memcpy(buf_ + (offset - buffered), bytes.data(), bytes.size());
            return;
        }
        Flush();
        if (!file_.Seek(offset)) throw EZipError("Cannot seek in the archive " + name_ + ".");
        Store(bytes.data(), bytes.size());
        if (!file_.Seek(pos_)) throw EZipError("Cannot seek in the archive " + name_ + ".");
    }

    void Finish() {
        Flush();
        file_.Close();
        finished_ = true;
    }

private:
    void Flush() {
        if (used_ == 0) return;
        Store(buf_, used_);
        used_ = 0;
    }

    void Store(const void* data, size_t len) {
        if (file_.Write(data, len) < len)
            throw ENotEnoughRoom("There is not enough room to write the archive " + name_ + ".");
        if (afterWrite_) afterWrite_();
    }

    std::string name_;
    uint64_t maxSize_;
    const std::function<void()>& afterWrite_;
    TZipFile file_;
    bool created_ = false;
    bool finished_ = false;
    uint64_t pos_ = 0;
    uint8_t buf_[kIoBufferSize];
    size_t used_ = 0;
};

// Feeds one input file to the encoder, keeping its CRC and length.
class FileSource : public DeflateSource {
public:
    FileSource(TZipFile& file, uint64_t maxSize) : file_(file), maxSize_(maxSize) {}

    ptrdiff_t Read(uint8_t* buf, size_t len) override {
        ptrdiff_t got = file_.Read(buf, len);
        if (got < 0) return -1;
        crc_ = Crc32Update(crc_, buf, size_t(got));
        total_ += uint64_t(got);
        // A file that grows while it is read must not overflow the size field.
        if (total_ > maxSize_) {
            tooLarge_ = true;
            return -1;
        }
        return got;
    }

    uint32_t Crc() const { return crc_ ^ 0xFFFFFFFFu; }
    uint64_t Total() const { return total_; }
    bool TooLarge() const { return tooLarge_; }

private:
    TZipFile& file_;
    uint64_t maxSize_;
    uint32_t crc_ = 0xFFFFFFFFu;
    uint64_t total_ = 0;
    bool tooLarge_ = false;
};

// Takes the encoder's output into the archive; a failure is kept to be rethrown once
// the encoder has returned, since the encoder itself reports failures by status.
class OutputSink : public DeflateSink {
public:
    explicit OutputSink(ZipOutput& out) : out_(out) {}

    bool Write(const uint8_t* data, size_t len) override {
        try {
            out_.Write(data, len);
            return true;
        } catch (...) {
            failure_ = std::current_exception();
            return false;
        }
    }

    void RethrowFailure() const {
        if (failure_) std::rethrow_exception(failure_);
    }

private:
    ZipOutput& out_;
    std::exception_ptr failure_;
};

}  // namespace

std::string TZipHeaderInfo::StoredName() const {
    std::string name = FilePath + FileName, utf8;
    std::replace(name.begin(), name.end(), '\\', '/');
    if (IsPlainAscii(name.data(), name.size())) return name;
    return ZipNameToUtf8(name, utf8) ? utf8 : std::string();
}

std::string TZipHeaderInfo::LocalHeader() const {
    std::string name = StoredName();
    std::string h;
    h.reserve(kLocalHeaderSize + name.size());
    Put32(h, kLocalSignature);
    Put16(h, VersionNeeded);
    Put16(h, Flag);
    Put16(h, CompressionMethod);
    Put32(h, DateTime);
    Put32(h, CRC32);
    Put32(h, CompressedSize);
    Put32(h, UncompressedSize);
    Put16(h, FileNameLength);
    Put16(h, LocalExtraFieldLength);
    return h + name;
}

std::string TZipHeaderInfo::CentralHeader() const {
    std::string name = StoredName();
    std::string h;
    h.reserve(kCentralHeaderSize + name.size());
    Put32(h, kCentralSignature);
    Put16(h, VersionMadeBy);
    Put16(h, VersionNeeded);
    Put16(h, Flag);
    Put16(h, CompressionMethod);
    Put32(h, DateTime);
    Put32(h, CRC32);
    Put32(h, CompressedSize);
    Put32(h, UncompressedSize);
    Put16(h, FileNameLength);
    Put16(h, ExtraFieldLength);
    Put16(h, FileCommentLength);
    Put16(h, DiskNumberStart);
    Put16(h, InternalAttributes);
    Put32(h, ExternalAttributes);
    Put32(h, RelativeOffset);
    return h + name;
}

std::string TEndCentral::Bytes() const {
    std::string e;
    Put32(e, Signature);
    Put16(e, ThisDisk);
    Put16(e, CentralStartDisk);
    Put16(e, EntriesThisDisk);
    Put16(e, TotalEntries);
    Put32(e, CentralSize);
    Put32(e, CentralOffset);
    Put16(e, CommentLength);
    return e;
}

TSortedZip::TSortedZip(TZipSortMode mode) : mode_(mode) {
    if (mode != TZipSortMode::ByName && mode != TZipSortMode::ByNone)
        throw std::invalid_argument("TSortedZip supports only the ByName and ByNone orders");
}

int TSortedZip::Compare(const TZipHeaderInfo& a, const TZipHeaderInfo& b) const {
    if (mode_ == TZipSortMode::ByName) return CompareFolded(a, b);
    if (a.DiskNumberStart != b.DiskNumberStart) return a.DiskNumberStart < b.DiskNumberStart ? -1 : 1;
    return a.RelativeOffset < b.RelativeOffset ? -1 : a.RelativeOffset > b.RelativeOffset ? 1 : 0;
}

void TSortedZip::Add(TZipHeaderInfo* entry) {
    auto at = std::upper_bound(
        items_.begin(), items_.end(), entry,
        [this](const TZipHeaderInfo* a, const TZipHeaderInfo* b) { return Compare(*a, *b) < 0; });
    items_.insert(at, entry);
}

TZipHeaderInfo* TSortedZip::Find(const TZipHeaderInfo& key) const {
    auto at = std::lower_bound(
        items_.begin(), items_.end(), &key,
        [this](const TZipHeaderInfo* a, const TZipHeaderInfo* b) { return Compare(*a, *b) < 0; });
    return at != items_.end() && Compare(**at, key) == 0 ? *at : nullptr;
}

std::string TZipWriter::TempFolder() const {
    // Only the merge into an existing archive, which this writer does not do, would
    // need a temporary file; the folder is still resolved the way that branch would.
    return Trimmed(TempPath).empty() ? ZipSystemTempFolder() : TempPath;
}

uint32_t TZipWriter::WriteArchive() {
    if (Trimmed(ZipName).empty()) return 0;
    try {
        uint32_t count = Run();
        FilesList.clear();
        return count;
    } catch (...) {
        FilesList.clear();
        throw;
    }
}

namespace {

// A temporary file that is deleted, closed or not, when it goes out of scope.
struct TempFileGuard {
    std::string name;
    ~TempFileGuard() {
        if (!name.empty()) ZipDeleteFile(name);
    }
};

// The rest of an open file, from its current position, or throws.
void CopyRest(TZipFile& from, TZipFile& to, const std::string& fromName) {
    char buf[kIoBufferSize];
    ptrdiff_t got;
    while ((got = from.Read(buf, sizeof buf)) > 0)
        if (to.Write(buf, size_t(got)) < size_t(got))
            throw ENotEnoughRoom("There is not enough room for the temporary copy of " + fromName + ".");
    if (got < 0) throw EZipError("Cannot read " + fromName + ".");
}

// Runs the writer with prefix attached, and detaches it however the run ends.
uint32_t WriteBehind(TZipWriter& writer, TZipFile& prefix) {
    struct Detach {
        TZipFile*& prefix;
        ~Detach() { prefix = nullptr; }
    } detach{writer.PackagePrefix};
    writer.PackagePrefix = &prefix;
    return writer.WriteArchive();
}

}  // namespace

uint32_t TZipWriter::WritePackage(const std::string& stubPath, const std::string& packagePath, int blockSize,
                                  const std::string& block) {
    if (stubPath.empty() || packagePath.empty()) return 0;
    if (blockSize > 0 && size_t(blockSize) > block.size())
        throw EZipError("The configuration block is shorter than its given size.");
    ZipName = packagePath;
    TZipFile stub;
    if (!stub.OpenRead(stubPath)) throw EZipError("Cannot read the extractor stub " + stubPath + ".");
    if (blockSize <= 0) return WriteBehind(*this, stub);

    TempFileGuard guard;  // declared first, so the file is closed before it is deleted
    TZipFile temp;
    if (!temp.CreateTemp(TempFolder(), guard.name))
        throw EZipError("Cannot create a temporary file in " + TempFolder() + ".");
    CopyRest(stub, temp, stubPath);
    if (temp.Write(block.data(), size_t(blockSize)) < size_t(blockSize))
        throw ENotEnoughRoom("There is not enough room for the temporary copy of " + stubPath + ".");
    temp.Close();
    stub.Close();
    TZipFile prefix;
    if (!prefix.OpenRead(guard.name)) throw EZipError("Cannot read the temporary file " + guard.name + ".");
    return WriteBehind(*this, prefix);
}

// Drops what cannot be packed before anything is written: excluded names and files
// that are not there.
void TZipWriter::CheckFilesList() {
    std::vector<std::string> kept;
    for (const std::string& path : FilesList) {
        bool folder = !path.empty() && (path.back() == '\\' || path.back() == '/');
        // Expanding name patterns is not built; Windows file names cannot hold these
        // characters, so such an entry can only be a pattern.
        if (!folder && path.find_first_of("*<>?|") != std::string::npos)
            throw EZipError("Name patterns are not supported in the list of files: " + path);
        if (folder || MatchesAny(ExcludeList, path) || !ZipFileExists(path))
            continue;  // a folder has no bare name to store without its path
        kept.push_back(path);
    }
    FilesList.swap(kept);
}

namespace {

// One run of the writer over its checked list of files: the output, the entries
// written so far, and the encoder with its work buffers, allocated once per run.
class ArchiveRun {
public:
    ArchiveRun(const std::string& zipName, uint64_t maxArchiveSize, uint32_t maxEntries,
               const std::function<void()>& afterWrite)
        : out_(zipName, maxArchiveSize, afterWrite),
          maxArchiveSize_(maxArchiveSize),
          maxEntries_(maxEntries) {
        out_.Create();
    }

    // The bytes of an open file, from its current position to its end, ahead of the
    // entries; every recorded offset counts them.
    void CopyPrefix(TZipFile& prefix) {
        char buf[kIoBufferSize];
        ptrdiff_t got;
        while ((got = prefix.Read(buf, sizeof buf)) > 0) out_.Write(buf, size_t(got));
        if (got < 0) throw EZipError("The package prefix could not be read.");
    }

    // A local header, the file's data stored or deflated, and the header patched with
    // the sizes and CRC of the data. A file that is gone, cannot be opened or repeats an
    // earlier stored name is left out.
    void AddEntry(const std::string& path, int packLevel, bool store) {
        auto entry = std::make_unique<TZipHeaderInfo>();
        uint32_t attributes = ZipFileAttributes(path);
        if (attributes == kNoFile) return;
        entry->ExternalAttributes = attributes;
        TZipFile in;
        if (!in.OpenRead(path)) return;  // locked by a writer, or no longer readable
        entry->DateTime = in.DosDateTime();
        uint64_t size = in.Size();
        if (size > maxArchiveSize_)
            throw EZipError(path + " is 2 GiB or larger, more than a ZIP archive can hold.");
        entry->UncompressedSize = uint32_t(size);

        entry->FileName = BareName(path);
        if (entry->FileName.empty()) return;
        if (!IsPlainAscii(entry->FileName.data(), entry->FileName.size())) {
            entry->Flag = kUtf8NameFlag;
            // Made on NTFS, as Info-ZIP and 7-Zip number it (11): Info-ZIP's unzip reads
            // the name of an MS-DOS entry in the OEM code page even under bit 11.
            entry->VersionMadeBy = 11 << 8 | 20;
        }
        entry->RelativeOffset = uint32_t(out_.Position());
        entry->InternalAttributes = 2;
        entry->DiskNumberStart = 0;
        if (byName_.Find(*entry) != nullptr) return;  // the first file of a name is the one packed
        if (records_.size() == maxEntries_)
            throw EZipError("A ZIP archive cannot hold more than 65535 files.");
        std::string storedName = entry->StoredName();
        if (storedName.empty())
            throw EZipError("The file name of " + path +
                            " cannot be stored: it is no text in this system's code page.");
        if (storedName.size() > 0xFFFF)
            throw EZipError("The file name of " + path + " is too long for a ZIP archive.");
        entry->FileNameLength = uint16_t(storedName.size());

        out_.Write(entry->LocalHeader());
        uint64_t dataStart = out_.Position();
        FileSource source(in, maxArchiveSize_);
        if (store)
            Store(source, *entry, path);
        else
            Deflate(source, packLevel, *entry, path);
        if (source.TooLarge()) throw EZipError(path + " grew past 2 GiB while it was packed.");
        // The bytes actually read, so that size and CRC always describe the same data.
        entry->UncompressedSize = uint32_t(source.Total());
        entry->CompressedSize = uint32_t(out_.Position() - dataStart);
        entry->CRC32 = source.Crc();
        out_.Rewrite(entry->RelativeOffset, entry->LocalHeader());
        in.Close();

        byName_.Add(entry.get());
        byNone_.Add(entry.get());
        records_.push_back(std::move(entry));
    }

    // The central directory in the order the entries were written, and the end record;
    // the number of entries.
    uint32_t Finish() {
        TEndCentral end;
        end.EntriesThisDisk = end.TotalEntries = uint16_t(records_.size());
        end.CentralOffset = uint32_t(out_.Position());
        for (size_t i = 0; i < byNone_.Count(); i++) out_.Write(byNone_[i]->CentralHeader());
        end.CentralSize = uint32_t(out_.Position() - end.CentralOffset);
        out_.Write(end.Bytes());
        out_.Finish();
        return uint32_t(records_.size());
    }

private:
    void Store(FileSource& source, TZipHeaderInfo& entry, const std::string& path) {
        entry.CompressionMethod = 0;
        entry.InternalAttributes = 0;
        ptrdiff_t got;
        while ((got = source.Read(chunk_.data(), chunk_.size())) > 0) out_.Write(chunk_.data(), size_t(got));
        if (got < 0 && !source.TooLarge()) throw EZipError("Cannot read " + path + ".");
    }

    void Deflate(FileSource& source, int packLevel, TZipHeaderInfo& entry, const std::string& path) {
        if (packLevel >= 8)
            entry.Flag |= 0x0002;
        else if (packLevel <= 2)
            entry.Flag |= 0x0004;
        OutputSink sink(out_);
        DeflateResult r = encoder_.Encode(packLevel, source, sink, true);
        sink.RethrowFailure();
        if (r.status == DeflateStatus::ReadFailed && !source.TooLarge())
            throw EZipError("Cannot read " + path + ".");
        entry.CompressionMethod = r.stored ? 0 : 8;
        entry.InternalAttributes = r.text ? 1 : 0;
    }

    ZipOutput out_;
    uint64_t maxArchiveSize_;
    uint32_t maxEntries_;
    std::vector<std::unique_ptr<TZipHeaderInfo>> records_;
    TSortedZip byName_{TZipSortMode::ByName}, byNone_{TZipSortMode::ByNone};
    DeflateEncoder encoder_;
    std::vector<uint8_t> chunk_ = std::vector<uint8_t>(kStoreChunk);
};

}  // namespace

uint32_t TZipWriter::Run() {
    if (PackLevel < 0 || PackLevel > 9) throw EZipError("The compression level must be 0 to 9.");
    // Folder paths in stored names are not built.
    if (StorePaths) throw EZipError("Storing folder paths is not supported.");
    CheckFilesList();
    // Adding to an existing archive (through a temporary file) is not built, and it
    // must not be overwritten either.
    if (ZipFileExists(ZipName)) throw EZipError("The archive " + ZipName + " already exists.");

    ArchiveRun run(ZipName, MaxArchiveSize, MaxEntries, DoProcessMessages);
    if (PackagePrefix != nullptr) run.CopyPrefix(*PackagePrefix);
    for (const std::string& path : FilesList)
        run.AddEntry(path, PackLevel, PackLevel == 0 || MatchesAny(NoCompressList, path));
    return run.Finish();
}
