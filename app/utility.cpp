#include "app/utility.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == ':'; }

size_t LastSeparator(const std::string& path) { return path.find_last_of("\\:"); }

bool IsSchemeCharacter(char c, bool first) {
    bool letter = c >= 'a' && c <= 'z';
    return letter || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

// A scheme (a letter, then letters, digits, "+", "-" or ".") of two or more characters
// and "://", or "mailto:", at the start of a lower-cased text.
bool HasUrlScheme(const std::string& lower) {
    if (lower.compare(0, 7, "mailto:") == 0) return true;
    size_t n = 0;
    while (n < lower.size() && IsSchemeCharacter(lower[n], n == 0)) n++;
    return n >= 2 && lower.compare(n, 3, "://") == 0;
}

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

bool IsWebAddress(const std::string& entry) {
    const std::string lower = LowerAZ(entry);
    return HasUrlScheme(lower) || lower.find("http://") != std::string::npos;
}

std::string WebPageEntry(const std::string& text) {
    return text.empty() || IsWebAddress(text) ? text : "http://" + text;
}

std::string ResolveListedPath(const std::string& path, const std::string& exeFolder,
                              const FileExistsTest& exists) {
    if (path.empty() || IsWebAddress(path) || exists(path)) return path;
    std::string beside = exeFolder + FileNamePart(path);
    return exists(beside) ? beside : path;
}

std::string StripTrailingDigits(const std::string& path) {
    std::string base = BaseNameOf(path);
    while (!base.empty() && base.back() >= '0' && base.back() <= '9') base.pop_back();
    if (base.empty()) return path;
    return FolderPart(path) + base + ExtensionOf(path);
}

std::string NextFreeName(const std::string& path, const FileExistsTest& exists) {
    if (path.empty()) return path;
    std::string plain = StripTrailingDigits(path);
    if (!exists(plain)) return path;
    std::string stem = FolderPart(plain) + BaseNameOf(plain), extension = ExtensionOf(plain);
    for (unsigned long n = 1;; n++) {
        std::string candidate = stem + std::to_string(n) + extension;
        if (!exists(candidate)) return candidate;
    }
}

std::string ProposedGobuName(const std::string& ownPath, const FileExistsTest& exists) {
    return CapitalizeFirst(NextFreeName(ownPath, exists));
}

bool IsOwnName(const std::string& chosen, const std::string& ownPath) {
    return SameIgnoringCase(chosen, ownPath);
}

std::string RefusedMessage(const std::vector<Refused>& refused, const std::string& what,
                           const std::string& heading) {
    if (refused.size() == 1) return refused[0].entry + " " + what + ". " + refused[0].reason;
    std::string text = heading + ":\r\n";
    for (const Refused& r : refused) text += "\r\n" + r.entry + " - " + r.reason;
    return text;
}
