// Helpers shared by the ZIP tests: scratch folders, test data, an independent reading of
// archives field by field, zlib's inflater, and running the real archive tools.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A fresh folder under the system's temporary folder, removed with its contents.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const Bytes& data);
void WriteFile(const std::string& path, const std::string& text);
Bytes ReadFile(const std::string& path);
bool Exists(const std::string& path);

// Test data of several kinds: random bytes (incompressible), text-like words, long
// runs, repeats of earlier stretches at random distances, every byte value in turn,
// and mixtures of these.
Bytes RandomBytes(std::mt19937& rng, size_t n);
Bytes MixedData(std::mt19937& rng, size_t n);
Bytes TextData(std::mt19937& rng, size_t n);

// The raw Deflate stream inflated by zlib; ok is false when zlib rejects it or it does
// not end exactly at the end of the input.
struct Inflated {
    bool ok = false;
    Bytes data;
};
Inflated ZlibInflate(const uint8_t* data, size_t len);
Inflated ZlibInflate(const Bytes& data);

// An archive read from its end record, as a reader would, keeping every field.
struct ReadEntry {
    // Central directory header.
    uint16_t madeBy, needed, flags, method, time, date;
    uint32_t crc, compressedSize, size;
    uint16_t nameLength, extraLength, commentLength, diskStart, internalAttr;
    uint32_t externalAttr, localOffset;
    std::string name;
    // Local header, at localOffset.
    uint16_t localNeeded, localFlags, localMethod, localTime, localDate;
    uint32_t localCrc, localCompressedSize, localSize;
    uint16_t localNameLength, localExtraLength;
    std::string localName;
    Bytes data;  // the entry's bytes as stored
};

struct ReadArchive {
    uint16_t thisDisk, centralDisk, entriesThisDisk, totalEntries, commentLength;
    uint32_t centralSize, centralOffset;
    uint64_t endOffset;  // where the end record starts
    uint64_t fileSize;
    std::vector<ReadEntry> entries;
};

// Throws std::runtime_error when the archive is malformed.
ReadArchive ParseArchive(const Bytes& file);

// The uncompressed bytes of an entry, by its method.
Inflated ExtractEntry(const ReadEntry& e);

// Runs a shell command; returns its exit status and everything it printed.
struct CommandResult {
    int status;
    std::string output;
};
CommandResult RunCommand(const std::string& command);
std::string ShellQuote(const std::string& s);
