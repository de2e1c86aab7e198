// Telling UTF-8 and plain ASCII apart from other text: the settings file is UTF-8
// unless an older gobu wrote it, and an archive flags the names beyond ASCII.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Whether the bytes are UTF-8 as RFC 3629 has it: no overlong form, no surrogate, no
// code point past U+10FFFF, no sequence cut short.
inline bool IsUtf8(const char* text, size_t length) {
    const uint8_t* s = reinterpret_cast<const uint8_t*>(text);
    for (size_t i = 0; i < length;) {
        const uint8_t c = s[i];
        size_t more;
        uint32_t lowest, code;
        if (c < 0x80) {
            i++;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            more = 1, lowest = 0x80, code = c & 0x1Fu;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, lowest = 0x800, code = c & 0x0Fu;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, lowest = 0x10000, code = c & 0x07u;
        } else {
            return false;
        }
        if (length - i <= more) return false;
        for (size_t k = 1; k <= more; k++) {
            if ((s[i + k] & 0xC0) != 0x80) return false;
            code = code << 6 | (s[i + k] & 0x3Fu);
        }
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += more + 1;
    }
    return true;
}

// Whether every byte is plain ASCII, below 0x80.
inline bool IsPlainAscii(const char* text, size_t length) {
    for (size_t i = 0; i < length; i++)
        if (static_cast<uint8_t>(text[i]) >= 0x80) return false;
    return true;
}
