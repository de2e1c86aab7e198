// The extractor stub's reading of its own package: the configuration block behind the
// stub, the ZIP archive's end record, central directory and local headers, and the
// extraction of one entry. Everything a package from a stranger could get wrong is
// checked before a single file is written. Portable, and without the C or C++ library
// (but memcpy, memset, memcmp), so the stub can carry it and the tests can run it.
#pragma once

#include <stdint.h>

#include "stub/inflate.h"

// The package file as the reader sees it.
struct PackageFile {
    void* ctx;
    uint32_t size;
    // Reads len bytes at offset; false unless they were all read.
    bool (*ReadAt)(void* ctx, uint32_t offset, void* buf, uint32_t len);
    void* (*Alloc)(uint32_t len);  // nullptr when there is no memory
    void (*Free)(void* p);
};

enum PackageStatus {
    kPackageOk,
    kPackageBadSize,        // shorter than a package: a download that broke off
    kPackageBadArchive,     // damaged, forged, or names a file outside the destination
    kPackageUnknownMethod,  // an entry compressed other than stored or deflated
};

// What the configuration block presets; all zero and empty without a block.
struct PackageConfig {
    uint8_t flags;  // the kSfx... bits of share/zip/sfxformat.h
    char caption[256];
    char defaultPath[256];
    char cmdLine[256];
};

struct Package {
    bool hasConfig;
    PackageConfig config;
    uint32_t archiveStart;  // the first byte after the stub and the configuration block
    uint32_t centralOffset;
    uint32_t centralSize;
    uint32_t entryCount;
    uint8_t* central;  // the central directory, read whole
};

struct PackageEntry {
    const char* name;  // not terminated; OEM code page, or UTF-8 with flag 0x0800
    uint32_t nameLength;
    uint16_t flags, method, time, date;
    uint32_t crc, compressedSize, size, localOffset;
    uint32_t next;  // where the next entry's central header starts
};

// Reads and checks the whole package: its configuration block (or none), its end
// record, every central header, every entry's name and local header. The block's
// strings are kept even when the archive behind it fails.
PackageStatus OpenPackage(const PackageFile& f, Package& p);
void ClosePackage(const PackageFile& f, Package& p);

// The entry whose central header starts at pos: 0 for the first, then the previous
// entry's next. False past the end.
bool EntryAt(const Package& p, uint32_t pos, PackageEntry& e);
// A folder entry's name ends in "/".
bool IsFolderEntry(const PackageEntry& e);

// The bytes extracting writes: the sizes of the entries chosen (by index), of every
// entry when chosen is null.
uint64_t BytesToWrite(const Package& p, bool (*chosen)(void* ctx, uint32_t index), void* ctx);

// A relative path that stays inside the destination folder and names an ordinary file
// there: not empty, no leading "\" or "/", no drive or stream colon, no "." or ".."
// or other part ending in a dot or blank, no empty part, none of the characters
// Windows refuses in names, and no device name (CON, NUL, COM1...) as any part.
bool IsSafeEntryName(const char* name, uint32_t length);

enum ExtractStatus {
    kExtractOk,
    kExtractBadData,  // the entry's data do not decode, or to a different size
    kExtractBadCrc,
    kExtractReadFailed,
    kExtractWriteFailed,
};

// Decodes an entry of an open package into out, checking its size and CRC. work is
// the decoder's state (large: keep it out of the stack).
ExtractStatus ExtractEntry(const PackageFile& f, const Package& p, const PackageEntry& e, InflateState& work,
                           const InflateOutput& out);
