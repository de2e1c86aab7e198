// CRC-32 as ZIP records it (reflected polynomial 0xEDB88320), for the stub, which
// cannot use the C++ library that the archive writer's own CRC is built on.
#pragma once

#include <stdint.h>

// Continues a running CRC; a run starts with 0xFFFFFFFF and ends xor 0xFFFFFFFF.
uint32_t StubCrc32Update(uint32_t reg, const uint8_t* data, uint32_t len);
