#include "stub/crc.h"

namespace {

// Filled at the first use rather than stored: the stub's file size is fixed and small.
uint32_t table[256];
bool tableReady = false;

void FillTable() {
    for (uint32_t b = 0; b < 256; b++) {
        uint32_t r = b;
        for (int bit = 0; bit < 8; bit++) r = (r & 1) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
        table[b] = r;
    }
    tableReady = true;
}

}  // namespace

uint32_t StubCrc32Update(uint32_t reg, const uint8_t* data, uint32_t len) {
    if (!tableReady) FillTable();
    while (len-- > 0) reg = (reg >> 8) ^ table[(reg ^ *data++) & 0xFF];
    return reg;
}
