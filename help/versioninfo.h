// Reads a string of a version resource (the VS_VERSIONINFO block of an executable) as
// it lies in memory, without the system's version library: that library is not among
// the DLLs that Windows always takes from its own folder, and a gobu runs from folders
// that hold whatever files were shared with it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The value of the named string ("ProductVersion") in the block's first string table
// that holds it, in 8-bit characters; empty when the block has none or is damaged.
std::string VersionInfoString(const uint8_t* block, size_t size, const std::string& name);
