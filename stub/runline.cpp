#include "stub/runline.h"

#include <string.h>

uint32_t TextLength(const char* s) {
    uint32_t n = 0;
    while (s[n] != '\0') n++;
    return n;
}

bool AppendText(char* out, uint32_t size, const char* from, uint32_t n) {
    uint32_t used = TextLength(out);
    if (n >= size - used) return false;
    memcpy(out + used, from, n);
    out[used + n] = '\0';
    return true;
}

bool AppendText(char* out, uint32_t size, const char* from) {
    return AppendText(out, size, from, TextLength(from));
}

CmdLineParts SplitCmdLine(const char* cmdLine) {
    CmdLineParts parts = {cmdLine, 0, "", 0};
    uint32_t n = TextLength(cmdLine);
    while (parts.programLength < n && cmdLine[parts.programLength] != '|') parts.programLength++;
    if (parts.programLength < n) {
        parts.params = cmdLine + parts.programLength + 1;
        parts.paramsLength = n - parts.programLength - 1;
    }
    return parts;
}

bool AppendWithDestination(char* out, uint32_t size, const char* text, uint32_t n, const char* folder) {
    uint32_t folderLength = TextLength(folder);
    bool needsSlash = folderLength == 0 || folder[folderLength - 1] != '\\';
    uint32_t start = 0;
    for (uint32_t i = 0; i + 1 < n; i++) {
        if (text[i] != '>' || text[i + 1] != '<') continue;
        if (!AppendText(out, size, text + start, i - start) || !AppendText(out, size, folder) ||
            (needsSlash && !AppendText(out, size, "\\")))
            return false;
        start = i + 2;
        i++;
    }
    return AppendText(out, size, text + start, n - start);
}

bool RunBoxText(char* out, uint32_t size, const char* cmdLine, const char* folder) {
    CmdLineParts parts = SplitCmdLine(cmdLine);
    out[0] = '\0';
    return AppendText(out, size, "After extraction, run : ") &&
           AppendWithDestination(out, size, parts.program, parts.programLength, folder) &&
           (parts.paramsLength == 0 ||
            (AppendText(out, size, " ") &&
             AppendWithDestination(out, size, parts.params, parts.paramsLength, folder)));
}

namespace {

// Appends a count of bytes in digits grouped by thousands: 1,440,000.
bool AppendCount(char* out, uint32_t size, uint64_t n) {
    char digits[32];
    uint32_t at = sizeof digits, count = 0;
    do {
        if (count > 0 && count % 3 == 0) digits[--at] = ',';
        digits[--at] = char('0' + n % 10);
        n /= 10;
        count++;
    } while (n > 0);
    return AppendText(out, size, digits + at, uint32_t(sizeof digits) - at);
}

}  // namespace

bool RoomFor(uint64_t needed, uint64_t free, char* out, uint32_t size) {
    if (needed <= free) return true;
    out[0] = '\0';
    AppendText(out, size, "There is not enough free space on the destination drive: the files need ");
    AppendCount(out, size, needed);
    AppendText(out, size, " bytes, and the drive has ");
    AppendCount(out, size, free);
    AppendText(out, size, " bytes free.");
    return false;
}
