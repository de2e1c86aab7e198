// A Deflate encoder (RFC 1951): hash chains over a 32 KB window, lazy or greedy
// matching by level (stepping over data that shows no matches), blocks that end where
// the data changes, and per block the cheapest of stored, fixed and dynamic Huffman
// coding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The encoder pulls its input through a source: Read places up to len bytes in buf and
// returns how many (0 only at the end of the input), or -1 when reading failed.
class DeflateSource {
public:
    virtual ~DeflateSource() = default;
    virtual ptrdiff_t Read(uint8_t* buf, size_t len) = 0;
};

// ... and pushes its output into a sink: Write returns false when the bytes could not
// all be stored, which ends the run.
class DeflateSink {
public:
    virtual ~DeflateSink() = default;
    virtual bool Write(const uint8_t* data, size_t len) = 0;
};

enum class DeflateStatus { Ok, BadLevel, ReadFailed, WriteFailed };

struct DeflateResult {
    DeflateStatus status = DeflateStatus::Ok;
    uint64_t inBytes = 0;   // bytes taken from the source
    uint64_t outBytes = 0;  // bytes given to the sink
    // The input did not shrink and fitted in one block, so it went to the sink as it
    // was, without any Deflate framing (ZIP then records the entry as method 0). Only
    // happens when the caller allowed it.
    bool stored = false;
    // The literal bytes of the first block were mostly 7..127: at most one in five of
    // them lay outside that range. An empty input counts as text.
    bool text = true;
};

class DeflateEncoder {
public:
    // The work buffers (window, hash tables, symbol buffers) are allocated here, once,
    // and reused by every Encode call.
    DeflateEncoder();
    ~DeflateEncoder();
    DeflateEncoder(const DeflateEncoder&) = delete;
    DeflateEncoder& operator=(const DeflateEncoder&) = delete;

    // Compresses the whole source as one raw Deflate stream at level 1..9. With
    // allowRawCopy, an input that fits in one block and does not get smaller is passed
    // through unchanged instead (see DeflateResult::stored).
    DeflateResult Encode(int level, DeflateSource& in, DeflateSink& out, bool allowRawCopy);

private:
    struct State;
    std::unique_ptr<State> s_;
};

// Lengths of a prefix code for the symbols 0..n-1 (at most 286) with the given
// frequencies, none longer than maxBits (at most 15): a Huffman code, reshaped where it
// would be too deep. Symbols of frequency 0 get length 0, except that a code always has
// at least two symbols, because some inflaters refuse a code of one.
void HuffmanCodeLengths(const uint32_t* freq, unsigned n, unsigned maxBits, uint8_t* len);

// A source over a buffer in memory.
class MemorySource : public DeflateSource {
public:
    MemorySource(const void* data, size_t len) : p_(static_cast<const uint8_t*>(data)), left_(len) {}
    ptrdiff_t Read(uint8_t* buf, size_t len) override;

private:
    const uint8_t* p_;
    size_t left_;
};

// A sink that appends to a vector.
class VectorSink : public DeflateSink {
public:
    explicit VectorSink(std::vector<uint8_t>& out) : out_(out) {}
    bool Write(const uint8_t* data, size_t len) override;

private:
    std::vector<uint8_t>& out_;
};
