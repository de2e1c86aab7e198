// The entries of a ZIP archive or package as its central directory records them.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct CentralEntry {
    std::string name;  // stored bytes
    uint32_t externalAttributes;
    uint32_t dosDateTime;
    uint16_t flags;
};

inline uint16_t U16(const std::string& b, size_t at) {
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}
inline uint32_t U32(const std::string& b, size_t at) { return U16(b, at) | uint32_t(U16(b, at + 2)) << 16; }

// The central directory of an archive without a comment.
inline std::vector<CentralEntry> CentralDirectory(const std::string& zip) {
    std::vector<CentralEntry> entries;
    size_t end = zip.size() - 22;
    EXPECT_EQ(U32(zip, end), 0x06054B50u);
    size_t at = U32(zip, end + 16);
    for (int i = 0; i < U16(zip, end + 10); i++) {
        EXPECT_EQ(U32(zip, at), 0x02014B50u);
        size_t nameLength = U16(zip, at + 28);
        entries.push_back(
            {zip.substr(at + 46, nameLength), U32(zip, at + 38), U32(zip, at + 12), U16(zip, at + 8)});
        at += 46 + nameLength + U16(zip, at + 30) + U16(zip, at + 32);
    }
    return entries;
}
