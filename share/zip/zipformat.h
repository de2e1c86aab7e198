// The fixed parts of a ZIP archive's records, shared by the archive writer and by the
// extractor stub's reader, which uses no C++ library.
#pragma once
#include <stdint.h>

constexpr uint32_t kLocalSignature = 0x04034B50u;    // "PK\3\4"
constexpr uint32_t kCentralSignature = 0x02014B50u;  // "PK\1\2"
constexpr uint32_t kEndSignature = 0x06054B50u;      // "PK\5\6"
constexpr uint32_t kLocalHeaderSize = 30;
constexpr uint32_t kCentralHeaderSize = 46;
constexpr uint32_t kEndSize = 22;  // the end record without its comment
// General-purpose bit 11, the language encoding flag: the entry's name is UTF-8. Names
// without it are in the OEM code page.
constexpr uint16_t kUtf8NameFlag = 0x0800;
