// A Deflate decoder (RFC 1951) for the extractor stub: stored, fixed and dynamic
// blocks, decoded from a pulled input into a pushed output through a 32 KB window. It
// uses nothing of the C or C++ library but memcpy, and no allocation: the caller
// provides the state.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct InflateInput {
    void* ctx;
    // Places up to len bytes in buf and returns how many: 0 at the end of the input,
    // less than 0 when reading failed.
    int32_t (*Read)(void* ctx, uint8_t* buf, uint32_t len);
};

struct InflateOutput {
    void* ctx;
    // Takes len decoded bytes; false when they could not be stored, which ends the run.
    bool (*Write)(void* ctx, const uint8_t* data, uint32_t len);
};

enum InflateStatus {
    kInflateOk,
    kInflateBadData,    // not a valid Deflate stream
    kInflateTruncated,  // the input ended inside the stream
    kInflateTooLong,    // the stream decodes to more than the limit
    kInflateReadFailed,
    kInflateWriteFailed,
};

// One entry of a decoding table, found by the next bits of the input (first bit
// lowest): the length of the code in the low byte, what the code means in the next
// (see inflate.cpp), and in the upper half the literal, the base of a length or a
// distance, or where a second-level table starts. One word, so that the decoding loop
// reads an entry at once.
using InflateEntry = uint32_t;

// A first-level table of 2^root entries for literals and lengths, and another for
// distances, each followed by its second-level tables for the longer codes. A
// second-level table of 2^k entries (k at most 15 - root) holds at least k + 1 codes,
// which bounds how many entries n symbols can need.
constexpr uint32_t TableSize(uint32_t root, uint32_t n) {
    return (1u << root) + ((n + 15 - root) / (16 - root) << (15 - root));
}
constexpr uint32_t kLiteralRoot = 10, kDistanceRoot = 8;

struct InflateState {
    uint8_t window[32768];
    uint32_t total;    // bytes decoded so far
    uint32_t flushed;  // of which given to the output
    uint32_t limit;
    uint8_t in[4096];
    uint32_t inPos, inEnd;
    InflateStatus inputEnd;  // kInflateOk while the input lasts, then why it ended
    uint32_t bits;           // bit buffer, next bit lowest
    uint32_t bitCount;
    InflateStatus status;  // the first failure; decoding stops at it
    InflateInput input;
    InflateOutput output;
    InflateEntry lengths[TableSize(kLiteralRoot, 288)], distances[TableSize(kDistanceRoot, 30)];
};

// Decodes one raw Deflate stream, giving every decoded byte to out. More than limit
// decoded bytes is an error; produced receives the number of bytes decoded.
InflateStatus Inflate(InflateState& s, const InflateInput& in, const InflateOutput& out, uint32_t limit,
                      uint32_t* produced);
