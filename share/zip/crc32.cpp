#include "share/zip/crc32.h"

#include <array>

namespace {

// Eight tables for slicing-by-8: table[0] is the classic byte table, table[k][b] is the
// register contribution of byte b followed by k zero bytes, so eight input bytes fold
// into the register with eight independent look-ups instead of a chain of eight.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr CrcTables MakeTables() {
    CrcTables t{};
    for (uint32_t b = 0; b < 256; b++) {
        uint32_t r = b;
        for (int bit = 0; bit < 8; bit++) r = (r & 1) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
        t[0][b] = r;
    }
    for (int k = 1; k < 8; k++)
        for (uint32_t b = 0; b < 256; b++) t[k][b] = (t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF];
    return t;
}

constexpr CrcTables kTables = MakeTables();

}  // namespace

uint32_t Crc32Update(uint32_t reg, const void* data, size_t len) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    // Bytes are assembled explicitly, so the result does not depend on byte order or
    // alignment.
    while (len >= 8) {
        uint32_t lo =
            reg ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
        reg = kTables[7][lo & 0xFF] ^ kTables[6][(lo >> 8) & 0xFF] ^ kTables[5][(lo >> 16) & 0xFF] ^
              kTables[4][lo >> 24] ^ kTables[3][p[4]] ^ kTables[2][p[5]] ^ kTables[1][p[6]] ^
              kTables[0][p[7]];
        p += 8;
        len -= 8;
    }
    while (len--) reg = (reg >> 8) ^ kTables[0][(reg ^ *p++) & 0xFF];
    return reg;
}
