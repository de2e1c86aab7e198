#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "help/versioninfo.h"

namespace {

std::string Utf16(const std::string& s) {
    std::string out;
    for (char c : s) out += std::string{c, '\0'};
    return out + std::string(2, '\0');
}

void Pad4(std::string& s) { s.resize((s.size() + 3) & ~size_t(3), '\0'); }

// A node of a version block as the resource compiler lays it out: its length, the
// length of its value (characters for text), its type, the key, then the value and the
// children on 4-byte boundaries.
std::string Node(const std::string& key, const std::string& value, bool text,
                 const std::vector<std::string>& children = {}) {
    std::string node(6, '\0');
    node += Utf16(key);
    Pad4(node);
    node += text ? Utf16(value) : value;
    for (const std::string& child : children) {
        Pad4(node);
        node += child;
    }
    const size_t valueLength = text ? value.size() + 1 : value.size();
    for (size_t i = 0; i < 3; i++) {
        const size_t word = i == 0 ? node.size() : i == 1 ? valueLength : text;
        node[2 * i] = char(word & 0xFF);
        node[2 * i + 1] = char(word >> 8);
    }
    return node;
}

std::string Read(const std::string& block, const std::string& name = "ProductVersion") {
    // A buffer of exactly the block's size, so that a read past its end is caught.
    std::vector<uint8_t> bytes(block.begin(), block.end());
    return VersionInfoString(bytes.data(), bytes.size(), name);
}

const std::string kFixedInfo(52, '\x01');
const std::string kStrings = Node("StringFileInfo", "", true,
                                  {Node("040904E4", "", true,
                                        {Node("FileVersion", "1.25", true), Node("ProductName", "Gobu", true),
                                         Node("ProductVersion", "1.25", true)})});
const std::string kTranslation =
    Node("VarFileInfo", "", true, {Node("Translation", "\x09\x04\xE4\x04", false)});

}  // namespace

TEST(VersionInfo, FindsTheNamedStringBesideTheFixedInfoAndTheTranslation) {
    const std::string block = Node("VS_VERSION_INFO", kFixedInfo, false, {kTranslation, kStrings});
    struct Case {
        std::string block, name, expected;
    } cases[] = {
        {block, "ProductVersion", "1.25"},
        {block, "ProductName", "Gobu"},
        {block, "Comments", ""},
        {Node("VS_VERSION_INFO", kFixedInfo, false, {kTranslation}), "ProductVersion", ""},
        // A string table that claims more than its parent holds is not read.
        {Node("VS_VERSION_INFO", kFixedInfo, false, {kStrings.substr(0, kStrings.size() - 8)}),
         "ProductVersion", ""},
        {"", "ProductVersion", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Read(c.block, c.name), c.expected) << c.name;
}

TEST(VersionInfo, ATruncatedBlockGivesNothingAndIsNeverReadPastItsEnd) {
    const std::string block = Node("VS_VERSION_INFO", kFixedInfo, false, {kStrings});
    for (size_t size = 0; size < block.size(); size++) EXPECT_EQ(Read(block.substr(0, size)), "") << size;
    // The same with the root's length left whole: every inner length is checked as well.
    for (size_t size = 6; size < block.size(); size += 2) {
        std::string cut = block.substr(0, size);
        cut[0] = char(size & 0xFF);
        cut[1] = char(size >> 8);
        EXPECT_EQ(Read(cut), "") << size;
    }
}
