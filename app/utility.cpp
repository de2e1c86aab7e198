#include "app/utility.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == ':'; }

size_t LastSeparator(const std::string& path) { return path.find_last_of("\\:"); }

}  // namespace

std::string LowerAZ(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return r;
}

std::string CapitalizeFirst(const std::string& s) {
    std::string r = s;
    if (!r.empty() && r[0] >= 'a' && r[0] <= 'z') r[0] = char(r[0] - 'a' + 'A');
    return r;
}

std::string FileNamePart(const std::string& path) {
    size_t sep = LastSeparator(path);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string FolderPart(const std::string& path) {
    size_t sep = LastSeparator(path);
    return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

std::string ExtensionOf(const std::string& path) {
    std::string name = FileNamePart(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string LastFolderName(const std::string& path) {
    // A bare drive ("C:" or "C:\") has no folder name of its own.
    if (path.empty() || path.size() == 2 || (path.size() == 3 && path[1] == ':')) return path;
    size_t sep = std::string::npos;
    for (size_t i = path.size() - 1; i-- > 0;)
        if (IsSeparator(path[i])) {
            sep = i;
            break;
        }
    if (sep == std::string::npos) return path;
    std::string name = path.substr(sep + 1);
    if (!name.empty() && name.back() == '\\') name.pop_back();
    return name;
}

std::string BaseNameOf(const std::string& path) {
    std::string name = FileNamePart(path);
    if (name.empty()) name = LastFolderName(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}
