#include "help/versioninfo.h"

#include <vector>

namespace {

uint16_t WordAt(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
size_t Align4(size_t n) { return (n + 3) & ~size_t(3); }

// One node of the block: the length of the whole node, the length of its value (in
// characters for text, in bytes otherwise), its type (1 for text), a zero-ended UTF-16
// key, then the value and the children, each on a 4-byte boundary.
struct Node {
    size_t end = 0;
    std::string key;
    size_t value = 0;
    size_t children = 0;
};

// UTF-16 characters from at up to a zero or to end, those above 0xFF as "?".
std::string TextAt(const uint8_t* block, size_t at, size_t end, size_t* stop = nullptr) {
    std::string text;
    for (; at + 2 <= end; at += 2) {
        const uint16_t c = WordAt(block + at);
        if (c == 0) break;
        text += char(c < 0x100 ? c : '?');
    }
    if (stop) *stop = at;
    return text;
}

// The node at offset at; false when it does not lie wholly before limit.
bool ReadNode(const uint8_t* block, size_t at, size_t limit, Node& node) {
    if (at > limit || limit - at < 6) return false;
    const size_t length = WordAt(block + at), valueLength = WordAt(block + at + 2);
    const bool text = WordAt(block + at + 4) == 1;
    if (length < 6 || length > limit - at) return false;
    node.end = at + length;
    size_t keyEnd;
    node.key = TextAt(block, at + 6, node.end, &keyEnd);
    if (keyEnd + 2 > node.end) return false;  // the key has no end
    node.value = Align4(keyEnd + 2);
    node.children = Align4(node.value + (text ? 2 * valueLength : valueLength));
    return true;
}

// The children of a node in order; a damaged child ends them.
std::vector<Node> ChildrenOf(const uint8_t* block, const Node& node) {
    std::vector<Node> children;
    Node child;
    for (size_t at = node.children; at < node.end && ReadNode(block, at, node.end, child);
         at = Align4(child.end))
        children.push_back(child);
    return children;
}

}  // namespace

std::string VersionInfoString(const uint8_t* block, size_t size, const std::string& name) {
    Node root;
    if (!block || !ReadNode(block, 0, size, root)) return "";
    for (const Node& info : ChildrenOf(block, root)) {
        if (info.key != "StringFileInfo") continue;
        for (const Node& table : ChildrenOf(block, info))
            for (const Node& entry : ChildrenOf(block, table))
                if (entry.key == name) return TextAt(block, entry.value, entry.end);
    }
    return "";
}
