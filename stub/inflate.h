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

// A canonical Huffman code: how many codes have each length, and the symbols ordered
// by code.
struct HuffmanCode {
    uint16_t count[16];
    uint16_t symbol[288];
};

struct InflateState {
    uint8_t window[32768];
    uint32_t total;    // bytes decoded so far
    uint32_t flushed;  // of which given to the output
    uint32_t limit;
    uint8_t in[4096];
    uint32_t inPos, inEnd;
    uint32_t bits;  // bit buffer, next bit lowest
    uint32_t bitCount;
    InflateStatus status;  // the first failure; decoding stops at it
    InflateInput input;
    InflateOutput output;
    HuffmanCode lengths, distances;
};

// Decodes one raw Deflate stream, giving every decoded byte to out. More than limit
// decoded bytes is an error; produced receives the number of bytes decoded.
InflateStatus Inflate(InflateState& s, const InflateInput& in, const InflateOutput& out, uint32_t limit,
                      uint32_t* produced);
