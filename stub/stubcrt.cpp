// The three memory functions that the compiler and the portable code call, for the stub,
// which links no C library. Built with -fno-builtin, so these loops stay loops.
#include <stddef.h>

extern "C" void* memcpy(void* to, const void* from, size_t n) {
    unsigned char* d = static_cast<unsigned char*>(to);
    const unsigned char* s = static_cast<const unsigned char*>(from);
    while (n-- > 0) *d++ = *s++;
    return to;
}

extern "C" void* memset(void* to, int c, size_t n) {
    unsigned char* d = static_cast<unsigned char*>(to);
    while (n-- > 0) *d++ = static_cast<unsigned char>(c);
    return to;
}

extern "C" int memcmp(const void* a, const void* b, size_t n) {
    const unsigned char* x = static_cast<const unsigned char*>(a);
    const unsigned char* y = static_cast<const unsigned char*>(b);
    for (; n > 0; n--, x++, y++)
        if (*x != *y) return *x < *y ? -1 : 1;
    return 0;
}
