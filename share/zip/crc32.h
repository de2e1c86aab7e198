// CRC-32 of ISO 3309 / ITU-T V.42 (reflected polynomial 0xEDB88320), as ZIP records it.
#pragma once

#include <cstddef>
#include <cstdint>

// Continues a running CRC over len bytes. The register is kept uncomplemented, so
// a run starts with 0xFFFFFFFF and the final value is the register xor 0xFFFFFFFF.
uint32_t Crc32Update(uint32_t reg, const void* data, size_t len);

// The finished CRC-32 of one buffer.
inline uint32_t Crc32(const void* data, size_t len) {
    return Crc32Update(0xFFFFFFFFu, data, len) ^ 0xFFFFFFFFu;
}
