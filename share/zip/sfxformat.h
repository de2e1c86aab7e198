// The layout that the package writer and the extractor stub share: the stub's fixed
// size, the configuration block behind it, and the stub's own title. The stub is built
// without the C++ library, so this header uses nothing but the compiler's own types.
#pragma once

#include <stdint.h>

// A gobu executable carries the stub as its last StubSize bytes, and a package puts its
// configuration block at this offset.
constexpr uint32_t StubSize = 36352;

// The configuration block: "SFX", a flags byte, the lengths of Caption, DefaultPath and
// CmdLine (one byte each), of InfoText (two bytes) and of InfoTitle (one byte), the five
// strings in that order, and the block's own size in two bytes.
constexpr uint32_t kSfxHeadSize = 10;
constexpr uint32_t kSfxTailSize = 2;
constexpr uint32_t kSfxMaxBlockSize = 0xFFFF;

constexpr uint8_t kSfxUserCanDisableCmdLine = 0x01;
constexpr uint8_t kSfxUserCanChooseFiles = 0x02;
constexpr uint8_t kSfxOverwriteLocked = 0x04;  // set when the user may NOT change the mode
constexpr uint8_t kSfxOverwriteAlways = 0x08;
constexpr uint8_t kSfxOverwriteNever = 0x10;  // neither this nor Always: ask for each file
constexpr uint8_t kSfxAutoExtract = 0x40;

// The stub's title when the block gives none.
#define SFX_DEFAULT_TITLE "Self-Extracting Archive"
