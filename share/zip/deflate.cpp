#include "share/zip/deflate.h"

#include "share/zip/deflate_tables.h"

#include <algorithm>
#include <array>
#include <cstring>

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the match finder and bit writer assume a little-endian machine"
#endif

namespace {

constexpr unsigned kWindowSize = 32768;  // the Deflate window; the buffer holds twice this
constexpr unsigned kWindowMask = kWindowSize - 1;
constexpr unsigned kHashSize = 32768;   // chains, keyed on four bytes
constexpr unsigned kHash3Size = 32768;  // the latest position of each three-byte string
constexpr unsigned kMinMatch = 3;
constexpr unsigned kMaxMatch = 258;
// Enough look-ahead for a longest match plus the bytes that start the next one.
constexpr unsigned kMinLookahead = kMaxMatch + kMinMatch + 1;
// Matches stay this close so that a match never reaches into the half about to slide out.
constexpr unsigned kMaxDist = kWindowSize - kMinLookahead;
// A 3-byte match farther back than this costs more bits than three literals.
constexpr unsigned kTooFar = 4096;
constexpr unsigned kSymbolBufSize = 32768;
// Blocks are cut at multiples of this many symbols (see EndSegment).
constexpr unsigned kSegment = 4096;
// On data that shows no matches (pictures and archives, compressed already) nearly all
// the time would go to searches that find nothing, and the rare short matches they do
// find save less than they cost. Once this many searches in a row have found nothing,
// positions are stepped over without a search, one more for every kSkipGrowth further
// misses, up to kMaxSkip between two searches; the first match found ends the stepping.
// Positions stepped over still enter the four-byte chains, so that a later copy of
// them is found in full.
constexpr unsigned kSkipAfter = 256;
constexpr unsigned kSkipGrowth = 64;
constexpr unsigned kMaxSkip = 32;
// Word-wise loads near the end of the data may run this far past it.
constexpr unsigned kWindowSlack = kMaxMatch + 16;
constexpr unsigned kOutBufSize = 16384;

constexpr unsigned kLitLenCodes = 286;  // 256 literals, end of block, 29 lengths
// The fixed code also gives lengths to two codes that never occur; they still count
// when its canonical codes are assigned.
constexpr unsigned kFixedLitLenCodes = 288;
constexpr unsigned kDistCodes = 30;
constexpr unsigned kEndOfBlock = 256;
constexpr unsigned kMaxCodeBits = 15;
constexpr unsigned kMaxCodeLenBits = 7;

enum class Strategy { None, Greedy, Lazy };

// One row per level, as in the reference deflate. For the greedy levels the lazy column
// is the longest match whose positions are still all entered in the hash chains.
struct LevelParams {
    uint16_t good;   // a previous match this long cuts the chain search to a quarter
    uint16_t lazy;   // a previous match this long is taken without looking one further
    uint16_t nice;   // a match this long ends the search
    uint16_t chain;  // at most this many chain entries are compared
    Strategy strategy;
};

constexpr LevelParams kLevels[10] = {
    {0, 0, 0, 0, Strategy::None},  // 0: the caller copies instead
    {4, 4, 8, 4, Strategy::Greedy},       {4, 5, 16, 8, Strategy::Greedy},
    {4, 6, 32, 32, Strategy::Greedy},     {4, 4, 16, 16, Strategy::Lazy},
    {8, 16, 32, 32, Strategy::Lazy},      {8, 16, 128, 128, Strategy::Lazy},
    {8, 32, 128, 256, Strategy::Lazy},    {32, 128, 258, 1024, Strategy::Lazy},
    {32, 258, 258, 4096, Strategy::Lazy},
};

struct CodeTables {
    uint8_t lengthCode[256];  // match length - 3 -> length code 0..28
    uint8_t distCode[512];    // distance - 1, below 256 directly, above by (d - 1) >> 7
};

constexpr CodeTables MakeCodeTables() {
    CodeTables t{};
    for (unsigned code = 0; code < 29; code++) {
        unsigned first = kLengthBase[code] - 3, count = 1u << kLengthExtra[code];
        for (unsigned i = 0; i < count && first + i < 256; i++) t.lengthCode[first + i] = uint8_t(code);
    }
    t.lengthCode[255] = 28;  // length 258 has a code of its own
    for (unsigned code = 0; code < 30; code++) {
        unsigned first = kDistBase[code] - 1, count = 1u << kDistExtra[code];
        for (unsigned i = 0; i < count; i++) {
            unsigned d = first + i;
            if (d < 256)
                t.distCode[d] = uint8_t(code);
            else
                t.distCode[256 + (d >> 7)] = uint8_t(code);
        }
    }
    return t;
}

constexpr CodeTables kCodes = MakeCodeTables();

inline unsigned DistCode(unsigned dist) {
    unsigned d = dist - 1;
    return d < 256 ? kCodes.distCode[d] : kCodes.distCode[256 + (d >> 7)];
}

inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline uint16_t Load16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

inline uint64_t Load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// Multiplicative hashes of the four and the three bytes at p. They spread distinct
// strings over the tables far more evenly than a shift-and-xor hash, so chains hold
// few strangers.
inline unsigned Hash4(const uint8_t* p) { return (Load32(p) * 0x9E3779B1u) >> 17; }

inline unsigned Hash3(const uint8_t* p) { return ((Load32(p) & 0xFFFFFF) * 0x9E3779B1u) >> 17; }

// Number of equal leading bytes of a and b, at most max.
inline unsigned MatchLength(const uint8_t* a, const uint8_t* b, unsigned max) {
    unsigned n = 0;
    while (n < max) {
        uint64_t diff = Load64(a + n) ^ Load64(b + n);
        if (diff != 0) {
            n += unsigned(__builtin_ctzll(diff)) >> 3;
            return n < max ? n : max;
        }
        n += 8;
    }
    return max;
}

// A prefix code: bit length and bit-reversed code (Deflate sends codes from the most
// significant bit, into a stream filled from the least significant one) per symbol.
struct HuffCode {
    uint8_t len[kFixedLitLenCodes];
    uint16_t code[kFixedLitLenCodes];
};

inline uint16_t ReverseBits(unsigned code, unsigned len) {
    unsigned r = 0;
    for (unsigned i = 0; i < len; i++, code >>= 1) r = (r << 1) | (code & 1);
    return uint16_t(r);
}

// The canonical codes of RFC 1951, 3.2.2, from the lengths.
void AssignCodes(HuffCode& h, unsigned n) {
    unsigned count[kMaxCodeBits + 1] = {};
    for (unsigned i = 0; i < n; i++) count[h.len[i]]++;
    count[0] = 0;
    unsigned next[kMaxCodeBits + 2] = {};
    for (unsigned bits = 1, code = 0; bits <= kMaxCodeBits; bits++) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = code;
    }
    for (unsigned i = 0; i < n; i++)
        if (h.len[i] != 0) h.code[i] = ReverseBits(next[h.len[i]]++, h.len[i]);
}

// Sorts keys of a frequency above a 16-bit symbol, which come in order of symbol, by
// frequency and then symbol: a byte of the frequency at a time from the lowest, each
// pass keeping the order of the one before, over the bytes in which the keys differ.
// For the few hundred keys of a code this is several times quicker than comparing.
void SortKeys(uint64_t* key, unsigned n) {
    uint64_t differ = 0;
    for (unsigned i = 1; i < n; i++) differ |= key[i] ^ key[0];
    uint64_t sorted[kLitLenCodes];
    for (unsigned shift = 16; shift < 64; shift += 8) {
        if ((differ >> shift & 0xFF) == 0) continue;
        unsigned start[257] = {};
        for (unsigned i = 0; i < n; i++) start[(key[i] >> shift & 0xFF) + 1]++;
        for (unsigned b = 0; b < 256; b++) start[b + 1] += start[b];
        for (unsigned i = 0; i < n; i++) sorted[start[key[i] >> shift & 0xFF]++] = key[i];
        std::copy(sorted, sorted + n, key);
    }
}

}  // namespace

// Leaves that the plain construction puts too deep are lifted to maxBits, and the code
// is made complete again by moving the deepest leaves that still have room one level
// down, which costs the least.
void HuffmanCodeLengths(const uint32_t* freq, unsigned n, unsigned maxBits, uint8_t* len) {
    // Sorted by frequency, then symbol: each key holds both, so the sort compares plain
    // numbers.
    uint64_t key[kLitLenCodes];
    unsigned used = 0;
    for (unsigned i = 0; i < n; i++) {
        len[i] = 0;
        if (freq[i] != 0) key[used++] = uint64_t(freq[i]) << 16 | i;
    }
    if (used < 2) {
        unsigned a = used == 1 ? unsigned(key[0] & 0xFFFF) : 0;
        len[a] = 1;
        len[a == 0 ? 1 : 0] = 1;
        return;
    }
    SortKeys(key, used);
    uint16_t sym[kLitLenCodes];
    for (unsigned k = 0; k < used; k++) sym[k] = uint16_t(key[k] & 0xFFFF);

    // Two queues: the sorted leaves, and the merged nodes, which come out in order of
    // weight by themselves. Node k < used is leaf sym[k].
    uint32_t weight[2 * kLitLenCodes];
    uint16_t parent[2 * kLitLenCodes];
    for (unsigned k = 0; k < used; k++) weight[k] = freq[sym[k]];
    unsigned nextLeaf = 0, nextNode = used;
    auto takeSmallest = [&](unsigned made) {
        if (nextLeaf < used && (nextNode >= made || weight[nextLeaf] <= weight[nextNode])) return nextLeaf++;
        return nextNode++;
    };
    unsigned root = 2 * used - 2;
    for (unsigned k = used; k <= root; k++) {
        unsigned a = takeSmallest(k);
        unsigned b = takeSmallest(k);
        weight[k] = weight[a] + weight[b];
        parent[a] = parent[b] = uint16_t(k);
    }
    // Depths, from the root down; reuse weight[] to hold them.
    weight[root] = 0;
    for (unsigned k = root; k-- > 0;) weight[k] = weight[parent[k]] + 1;

    unsigned count[kMaxCodeBits + 1] = {};
    for (unsigned k = 0; k < used; k++) count[std::min<uint32_t>(weight[k], maxBits)]++;
    // Kraft sum in units of 2^-maxBits; each repair step lowers it by exactly one.
    uint32_t kraft = 0;
    for (unsigned bits = 1; bits <= maxBits; bits++) kraft += count[bits] << (maxBits - bits);
    while (kraft > (1u << maxBits)) {
        count[maxBits]--;
        unsigned bits = maxBits - 1;
        while (count[bits] == 0) bits--;
        count[bits]--;
        count[bits + 1] += 2;
        kraft--;
    }
    // Hand out the lengths again, the longest to the rarest symbols.
    unsigned k = 0;
    for (unsigned bits = maxBits; bits >= 1; bits--)
        for (unsigned c = 0; c < count[bits]; c++) len[sym[k++]] = uint8_t(bits);
}

struct DeflateEncoder::State {
    // Work buffers, allocated once.
    std::vector<uint8_t> window = std::vector<uint8_t>(2 * kWindowSize + kWindowSlack);
    std::vector<uint16_t> head = std::vector<uint16_t>(kHashSize);
    std::vector<uint16_t> head3 = std::vector<uint16_t>(kHash3Size);
    std::vector<uint16_t> prev = std::vector<uint16_t>(kWindowSize);
    std::vector<uint8_t> litBuf = std::vector<uint8_t>(kSymbolBufSize);       // literal, or match length - 3
    std::vector<uint16_t> distBuf = std::vector<uint16_t>(kSymbolBufSize);    // distance of each match
    std::vector<uint8_t> flagBuf = std::vector<uint8_t>(kSymbolBufSize / 8);  // bit set: symbol is a match
    std::vector<uint8_t> outBuf = std::vector<uint8_t>(kOutBufSize + 16);

    // One run.
    LevelParams params{};
    DeflateSource* source = nullptr;
    DeflateSink* sink = nullptr;
    DeflateResult result;
    bool allowRaw = false;
    bool inputDone = false;
    bool failed = false;
    bool firstBlock = true;

    unsigned strstart = 0;   // position being matched
    unsigned lookahead = 0;  // valid bytes from strstart on
    // First byte of the pending block; negative once its start has slid out of the
    // window, when it can no longer be sent stored.
    int64_t blockStart = 0;
    int64_t tallyEnd = 0;  // end of the bytes the pending block's symbols cover
    unsigned misses = 0;   // searches in a row that found no match
    unsigned skip = 0;     // positions still to step over before the next search
    unsigned symbols = 0, matches = 0;
    // Symbol counts of the pending block; the end of block is always counted once.
    uint32_t litFreq[kLitLenCodes] = {};
    uint32_t distFreq[kDistCodes] = {};
    // The pending block as it stood at the last multiple of kSegment symbols, with its
    // size in bits as a block of its own; markSymbols 0 when there is none.
    unsigned markSymbols = 0, markMatches = 0;
    int64_t markEnd = 0;
    uint64_t markBits = 0;
    uint32_t markLitFreq[kLitLenCodes] = {};
    uint32_t markDistFreq[kDistCodes] = {};

    uint64_t bitBuf = 0;
    unsigned bitCount = 0;
    size_t outPos = 0;

    void Start(int level, DeflateSource& in, DeflateSink& out, bool raw);
    void RunGreedy();
    void RunLazy();
    void Fill();
    void Slide();
    struct Candidates {
        unsigned chain;  // latest earlier string with the same four-byte hash
        unsigned near;   // latest earlier string with the same three-byte hash
    };
    Candidates Insert(unsigned pos);
    void InsertInChain(unsigned pos);
    void InsertInMatch(unsigned pos);
    unsigned FindMatch(Candidates c, unsigned prevLen, unsigned* dist);
    void CountSearch(bool found);
    void TallyLiteral(uint8_t c);
    void TallyMatch(unsigned len, unsigned dist);
    void StartBlock();
    uint64_t SplitIfCheaper();
    void EndSegment();
    void FinishBlocks();
    void FlushBlock(bool last);

    void PutBits(uint32_t value, unsigned n);
    void AlignToByte();
    void FlushOut();
    void SendStored(const uint8_t* data, unsigned len, bool last);
    void SendSymbols(const HuffCode& lit, const HuffCode& dist);
};

DeflateEncoder::DeflateEncoder() : s_(new State) {}
DeflateEncoder::~DeflateEncoder() = default;

DeflateResult DeflateEncoder::Encode(int level, DeflateSource& in, DeflateSink& out, bool allowRawCopy) {
    State& s = *s_;
    if (level < 1 || level > 9) {
        DeflateResult bad;
        bad.status = DeflateStatus::BadLevel;
        return bad;
    }
    s.Start(level, in, out, allowRawCopy);
    if (s.params.strategy == Strategy::Greedy)
        s.RunGreedy();
    else
        s.RunLazy();
    if (!s.failed && !s.result.stored) {
        s.AlignToByte();
        s.FlushOut();
    }
    s.source = nullptr;
    s.sink = nullptr;
    return s.result;
}

void DeflateEncoder::State::Start(int level, DeflateSource& in, DeflateSink& out, bool raw) {
    params = kLevels[level];
    source = &in;
    sink = &out;
    result = DeflateResult();
    allowRaw = raw;
    inputDone = failed = false;
    firstBlock = true;
    strstart = lookahead = 0;
    tallyEnd = 0;
    misses = skip = 0;
    blockStart = 0;
    StartBlock();
    bitBuf = 0;
    bitCount = 0;
    outPos = 0;
    // Only the heads need clearing: a prev entry is always written when its position
    // is entered, before any chain can lead to it.
    std::fill(head.begin(), head.end(), 0);
    std::fill(head3.begin(), head3.end(), 0);
}

// Keeps at least kMinLookahead bytes ahead of strstart while input remains, sliding the
// upper half of the window down when strstart nears the end of the buffer.
void DeflateEncoder::State::Fill() {
    if (strstart >= kWindowSize + kMaxDist) Slide();
    unsigned end = strstart + lookahead;
    while (!inputDone && end < 2 * kWindowSize) {
        ptrdiff_t got = source->Read(window.data() + end, 2 * kWindowSize - end);
        if (got < 0) {
            result.status = DeflateStatus::ReadFailed;
            failed = inputDone = true;
        } else if (got == 0) {
            inputDone = true;
            // The last strings hash a few bytes past the end; make those bytes zeros so
            // the output depends on nothing but this input.
            std::fill_n(window.data() + end, 8, 0);
        } else {
            end += unsigned(got);
            result.inBytes += uint64_t(got);
        }
    }
    lookahead = end - strstart;
}

void DeflateEncoder::State::Slide() {
    // The first block must keep its bytes, which the pass-through of a first and only
    // block copies from the window. Later blocks may outgrow the window; they are
    // then simply never sent stored, and stay as long as they compress best.
    if (firstBlock && blockStart < kWindowSize) FlushBlock(false);
    unsigned end = strstart + lookahead;
    std::memmove(window.data(), window.data() + kWindowSize, end - kWindowSize);
    strstart -= kWindowSize;
    blockStart -= kWindowSize;
    markEnd -= kWindowSize;
    tallyEnd -= kWindowSize;
    for (uint16_t& h : head) h = h >= kWindowSize ? uint16_t(h - kWindowSize) : 0;
    for (uint16_t& h : head3) h = h >= kWindowSize ? uint16_t(h - kWindowSize) : 0;
    for (uint16_t& p : prev) p = p >= kWindowSize ? uint16_t(p - kWindowSize) : 0;
}

// Enters the string at pos in its four-byte chain and as the latest of its three
// bytes, and returns the entries it displaced: the match candidates for pos. Position 0
// is never matched against, so 0 doubles as "none".
inline DeflateEncoder::State::Candidates DeflateEncoder::State::Insert(unsigned pos) {
    const uint8_t* p = window.data() + pos;
    unsigned h4 = Hash4(p), h3 = Hash3(p);
    // The next position's heads are needed next; fetching them now hides most of the
    // cache misses of random-looking data.
    __builtin_prefetch(&head[Hash4(p + 1)]);
    __builtin_prefetch(&head3[Hash3(p + 1)]);
    Candidates c{head[h4], head3[h3]};
    prev[pos & kWindowMask] = uint16_t(c.chain);
    head[h4] = uint16_t(pos);
    head3[h3] = uint16_t(pos);
    return c;
}

inline void DeflateEncoder::State::InsertInMatch(unsigned pos) {
    const uint8_t* p = window.data() + pos;
    unsigned h4 = Hash4(p), h3 = Hash3(p);
    prev[pos & kWindowMask] = head[h4];
    head[h4] = uint16_t(pos);
    head3[h3] = uint16_t(pos);
}

inline void DeflateEncoder::State::InsertInChain(unsigned pos) {
    unsigned h4 = Hash4(window.data() + pos);
    prev[pos & kWindowMask] = head[h4];
    head[h4] = uint16_t(pos);
}

// Looks for a match at strstart longer than prevLen; returns the best length found
// (prevLen when none is longer) and its distance (0 when none is longer). Three-byte
// matches only pay when near, so the latest earlier occurrence is the only one worth
// trying; longer matches are searched in the four-byte chain, which holds none of the
// strings that share just three bytes.
unsigned DeflateEncoder::State::FindMatch(Candidates c, unsigned prevLen, unsigned* dist) {
    const uint8_t* win = window.data();
    const uint8_t* scan = win + strstart;
    unsigned maxLen = std::min(kMaxMatch, lookahead);
    unsigned best = prevLen;
    *dist = 0;
    unsigned near = c.near;
    if (best < kMinMatch && near != 0 && strstart - near <= kTooFar &&
        (Load32(win + near) & 0xFFFFFF) == (Load32(scan) & 0xFFFFFF)) {
        best = MatchLength(scan + 3, win + near + 3, maxLen - 3) + 3;
        *dist = strstart - near;
    }

    unsigned cur = c.chain;
    if (maxLen < 4 || cur == 0 || best >= maxLen) return best;
    unsigned chain = params.chain;
    if (prevLen >= params.good) chain >>= 2;
    unsigned nice = std::min<unsigned>(params.nice, maxLen);
    unsigned limit = strstart > kMaxDist ? strstart - kMaxDist : 0;
    uint16_t scanEnd = Load16(scan + best - 1);
    uint32_t scanStart = Load32(scan);
    // cur walks the chain of the four bytes at offset from strstart; the candidate is
    // offset bytes before it.
    unsigned offset = 0;
    // A longer match holds every four bytes of the best one at the same offset, so its
    // candidates all lie in the chain of any of them. The walk follows the one whose
    // latest occurrence lies farthest back, skipping the nearer candidates, which cannot
    // be longer; a head of 0 (no earlier occurrence at all) ends it. True when it moved
    // to a candidate farther back than from. Only the lazy levels enter every position
    // in the chains, which this needs.
    const bool everyPositionEntered = params.strategy == Strategy::Lazy;
    auto followRarest = [&](unsigned from) {
        unsigned next = from;
        if (!everyPositionEntered) return false;
        for (unsigned i = 1; i + 3 <= best; i++) {
            unsigned q = head[Hash4(scan + i)];
            unsigned candidate = q > i ? q - i : 0;
            if (candidate < next) {
                next = candidate;
                offset = i;
            }
        }
        if (next == from) return false;
        cur = next + offset;
        return true;
    };
    followRarest(cur);
    while (cur > limit + offset) {
        const uint8_t* m = win + cur - offset;
        // A longer match must agree on the two bytes that end the best one so far, and
        // on the first four; most candidates fail here without a full compare.
        if (Load16(m + best - 1) == scanEnd && Load32(m) == scanStart) {
            unsigned len = MatchLength(scan + 4, m + 4, maxLen - 4) + 4;
            if (len > best) {
                best = len;
                *dist = strstart - (cur - offset);
                if (len >= nice) break;
                scanEnd = Load16(scan + best - 1);
                if (followRarest(cur - offset)) {
                    if (--chain == 0) break;
                    continue;
                }
            }
        }
        if (--chain == 0) break;
        cur = prev[cur & kWindowMask];
    }
    return best;
}

// Called after every search, with whether a match was found there or is still pending.
inline void DeflateEncoder::State::CountSearch(bool found) {
    if (found)
        misses = 0;
    else if (++misses > kSkipAfter)
        skip = std::min((misses - kSkipAfter) / kSkipGrowth, kMaxSkip);
}

inline void DeflateEncoder::State::TallyLiteral(uint8_t c) {
    if ((symbols & 7) == 0) flagBuf[symbols >> 3] = 0;
    litBuf[symbols++] = c;
    litFreq[c]++;
    tallyEnd++;
}

inline void DeflateEncoder::State::TallyMatch(unsigned len, unsigned dist) {
    if ((symbols & 7) == 0) flagBuf[symbols >> 3] = 0;
    flagBuf[symbols >> 3] |= uint8_t(1u << (symbols & 7));
    litBuf[symbols++] = uint8_t(len - kMinMatch);
    distBuf[matches++] = uint16_t(dist);
    litFreq[kEndOfBlock + 1 + kCodes.lengthCode[len - kMinMatch]]++;
    distFreq[DistCode(dist)]++;
    tallyEnd += len;
}

// Levels 1-3: take every match found at once; enter the positions inside short matches
// only.
void DeflateEncoder::State::RunGreedy() {
    for (;;) {
        if (lookahead < kMinLookahead) {
            Fill();
            if (failed) return;
            if (lookahead == 0) break;
        }
        unsigned len = 0, dist = 0;
        if (skip > 0) {
            skip--;
            if (lookahead >= kMinMatch) InsertInChain(strstart);
        } else if (lookahead >= kMinMatch) {
            len = FindMatch(Insert(strstart), kMinMatch - 1, &dist);
            CountSearch(len >= kMinMatch);
        }
        if (len >= kMinMatch) {
            TallyMatch(len, dist);
            unsigned end = strstart + len;
            if (len <= params.lazy) {
                unsigned dataEnd = strstart + lookahead;
                for (unsigned p = strstart + 1; p < end && p + kMinMatch <= dataEnd; p++) InsertInMatch(p);
            }
            lookahead -= len;
            strstart = end;
        } else {
            TallyLiteral(window[strstart]);
            strstart++;
            lookahead--;
        }
        if (symbols % kSegment == 0 && symbols != 0) {
            EndSegment();
            if (failed) return;
        }
    }
    FinishBlocks();
}

// Levels 4-9: a match found at one position is only taken when the next position does
// not offer a longer one; otherwise its first byte goes out as a literal.
void DeflateEncoder::State::RunLazy() {
    unsigned prevLen = kMinMatch - 1, prevDist = 0;
    bool literalPending = false;  // the byte before strstart still waits for its symbol
    for (;;) {
        if (lookahead < kMinLookahead) {
            Fill();
            if (failed) return;
            if (lookahead == 0) break;
        }
        unsigned curLen = kMinMatch - 1, curDist = 0;
        if (skip > 0) {
            skip--;  // only ever set when no match is pending
            if (lookahead >= kMinMatch) InsertInChain(strstart);
        } else if (lookahead >= kMinMatch) {
            Candidates c = Insert(strstart);
            if (prevLen < params.lazy) {
                curLen = FindMatch(c, prevLen, &curDist);
                if (curDist == 0) curLen = kMinMatch - 1;
            }
            CountSearch(curLen >= kMinMatch || prevLen >= kMinMatch);
        }
        if (prevLen >= kMinMatch && curLen <= prevLen) {
            // The match that starts one byte back is at least as good: take it.
            TallyMatch(prevLen, prevDist);
            unsigned end = strstart - 1 + prevLen;
            unsigned dataEnd = strstart + lookahead;
            for (unsigned p = strstart + 1; p < end && p + kMinMatch <= dataEnd; p++) InsertInMatch(p);
            lookahead -= end - strstart;
            strstart = end;
            literalPending = false;
            prevLen = kMinMatch - 1;
        } else {
            if (literalPending) TallyLiteral(window[strstart - 1]);
            literalPending = true;
            prevLen = curLen;
            prevDist = curDist;
            strstart++;
            lookahead--;
        }
        if (symbols % kSegment == 0 && symbols != 0) {
            EndSegment();
            if (failed) return;
        }
    }
    if (literalPending) TallyLiteral(window[strstart - 1]);
    FinishBlocks();
}

void DeflateEncoder::State::PutBits(uint32_t value, unsigned n) {
    bitBuf |= uint64_t(value) << bitCount;
    bitCount += n;
    if (bitCount >= 32) {
        uint32_t word = uint32_t(bitBuf);
        std::memcpy(outBuf.data() + outPos, &word, 4);
        outPos += 4;
        bitBuf >>= 32;
        bitCount -= 32;
        if (outPos >= kOutBufSize) FlushOut();
    }
}

void DeflateEncoder::State::AlignToByte() {
    while (bitCount > 0) {
        outBuf[outPos++] = uint8_t(bitBuf);
        bitBuf >>= 8;
        bitCount = bitCount > 8 ? bitCount - 8 : 0;
    }
}

void DeflateEncoder::State::FlushOut() {
    if (outPos == 0 || failed) return;
    if (!sink->Write(outBuf.data(), outPos)) {
        result.status = DeflateStatus::WriteFailed;
        failed = true;
    }
    result.outBytes += outPos;
    outPos = 0;
}

// Stored blocks: header, pad to a byte, LEN and its complement, the bytes. One stored
// block holds at most 65535 bytes.
void DeflateEncoder::State::SendStored(const uint8_t* data, unsigned len, bool last) {
    do {
        unsigned part = std::min(len, 65535u);
        len -= part;
        PutBits((last && len == 0) ? 1 : 0, 3);
        AlignToByte();
        PutBits(part | (~part & 0xFFFF) << 16, 32);
        AlignToByte();
        FlushOut();
        if (failed) return;
        if (!sink->Write(data, part)) {
            result.status = DeflateStatus::WriteFailed;
            failed = true;
            return;
        }
        result.outBytes += part;
        data += part;
    } while (len > 0);
}

void DeflateEncoder::State::SendSymbols(const HuffCode& lit, const HuffCode& dist) {
    unsigned m = 0;
    for (unsigned i = 0; i < symbols; i++) {
        unsigned v = litBuf[i];
        if ((flagBuf[i >> 3] >> (i & 7) & 1) == 0) {
            PutBits(lit.code[v], lit.len[v]);
            continue;
        }
        unsigned lc = kCodes.lengthCode[v];
        unsigned sym = kEndOfBlock + 1 + lc;
        PutBits(lit.code[sym] | (v + kMinMatch - kLengthBase[lc]) << lit.len[sym],
                lit.len[sym] + kLengthExtra[lc]);
        unsigned d = distBuf[m++];
        unsigned dc = DistCode(d);
        PutBits(dist.code[dc] | (d - kDistBase[dc]) << dist.len[dc], dist.len[dc] + kDistExtra[dc]);
    }
    PutBits(lit.code[kEndOfBlock], lit.len[kEndOfBlock]);
}

namespace {

// A dynamic block's code lengths, run-length coded with the symbols 16 (repeat the
// previous length 3-6 times), 17 (3-10 zeros) and 18 (11-138 zeros).
struct CodeLengthRuns {
    uint8_t sym[kLitLenCodes + kDistCodes];
    uint8_t extra[kLitLenCodes + kDistCodes];
    unsigned count = 0;

    void Add(unsigned s, unsigned e) {
        sym[count] = uint8_t(s);
        extra[count++] = uint8_t(e);
    }
};

void RunLengthCode(const uint8_t* lens, unsigned n, CodeLengthRuns& runs) {
    for (unsigned i = 0; i < n;) {
        unsigned v = lens[i], run = 1;
        while (i + run < n && lens[i + run] == v) run++;
        i += run;
        if (v == 0) {
            while (run >= 11) {
                unsigned r = std::min(run, 138u);
                runs.Add(18, r - 11);
                run -= r;
            }
            if (run >= 3) {
                runs.Add(17, run - 3);
                run = 0;
            }
        } else {
            runs.Add(v, 0);
            run--;
            while (run >= 3) {
                unsigned r = std::min(run, 6u);
                runs.Add(16, r - 3);
                run -= r;
            }
        }
        while (run-- > 0) runs.Add(v, 0);
    }
}

constexpr uint8_t kRunExtraBits[kCodeLenCodes] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};

HuffCode MakeFixedLitCode() {
    HuffCode h{};
    for (unsigned i = 0; i < kFixedLitLenCodes; i++) h.len[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
    AssignCodes(h, kFixedLitLenCodes);
    return h;
}

HuffCode MakeFixedDistCode() {
    HuffCode h{};
    for (unsigned i = 0; i < kDistCodes; i++) h.len[i] = 5;
    AssignCodes(h, kDistCodes);
    return h;
}

const HuffCode kFixedLit = MakeFixedLitCode();
const HuffCode kFixedDist = MakeFixedDistCode();

// The bits symbols of these counts take with the given code lengths, extra bits
// included.
uint64_t CodedBits(const uint32_t* litFreq, const uint32_t* distFreq, const uint8_t* litLen,
                   const uint8_t* distLen) {
    uint64_t bits = 0;
    for (unsigned i = 0; i < kLitLenCodes; i++) bits += uint64_t(litFreq[i]) * litLen[i];
    for (unsigned c = 0; c < 29; c++) bits += uint64_t(litFreq[kEndOfBlock + 1 + c]) * kLengthExtra[c];
    for (unsigned c = 0; c < kDistCodes; c++) bits += uint64_t(distFreq[c]) * (distLen[c] + kDistExtra[c]);
    return bits;
}

// The codes of a block with these symbol counts, and its sizes in bits, without the
// 3-bit block header, when sent with them or with the fixed codes.
struct BlockPlan {
    HuffCode lit, dist, clen;
    CodeLengthRuns runs;
    unsigned hlit = kLitLenCodes, hdist = kDistCodes, hclen = kCodeLenCodes;
    uint64_t dynBits = 0, fixedBits = 0;

    BlockPlan(const uint32_t* litFreq, const uint32_t* distFreq) {
        HuffmanCodeLengths(litFreq, kLitLenCodes, kMaxCodeBits, lit.len);
        HuffmanCodeLengths(distFreq, kDistCodes, kMaxCodeBits, dist.len);
        while (hlit > 257 && lit.len[hlit - 1] == 0) hlit--;
        while (hdist > 1 && dist.len[hdist - 1] == 0) hdist--;
        uint8_t allLens[kLitLenCodes + kDistCodes];
        std::copy(lit.len, lit.len + hlit, allLens);
        std::copy(dist.len, dist.len + hdist, allLens + hlit);
        RunLengthCode(allLens, hlit + hdist, runs);
        uint32_t clFreq[kCodeLenCodes] = {};
        for (unsigned i = 0; i < runs.count; i++) clFreq[runs.sym[i]]++;
        HuffmanCodeLengths(clFreq, kCodeLenCodes, kMaxCodeLenBits, clen.len);
        while (hclen > 4 && clen.len[kCodeLenOrder[hclen - 1]] == 0) hclen--;

        dynBits = 5 + 5 + 4 + 3 * hclen + CodedBits(litFreq, distFreq, lit.len, dist.len);
        for (unsigned i = 0; i < runs.count; i++)
            dynBits += clen.len[runs.sym[i]] + kRunExtraBits[runs.sym[i]];
        fixedBits = CodedBits(litFreq, distFreq, kFixedLit.len, kFixedDist.len);
    }
};

// The bits of a stored block of len bytes after its header, from a bit position that
// needs pad bits to reach a byte boundary. One stored block holds at most 65535 bytes.
uint64_t StoredBits(uint64_t len, unsigned pad) {
    uint64_t chunks = len == 0 ? 1 : (len + 65534) / 65535;
    return pad + 32 + 8 * len + (chunks - 1) * (8 + 32);
}

// The fewest bits a block of these symbols, covering len bytes of input, takes in any
// of the three ways, its header included (a stored block's padding taken as 4 bits, its
// average).
uint64_t BlockBits(const uint32_t* litFreq, const uint32_t* distFreq, uint64_t len) {
    BlockPlan plan(litFreq, distFreq);
    return 3 + std::min({plan.dynBits, plan.fixedBits, StoredBits(len, 4)});
}

}  // namespace

void DeflateEncoder::State::StartBlock() {
    symbols = matches = markSymbols = 0;
    std::fill(std::begin(litFreq), std::end(litFreq), 0);
    std::fill(std::begin(distFreq), std::end(distFreq), 0);
    litFreq[kEndOfBlock] = 1;
}

// Codes fitted to fewer symbols follow changes in the data (a program's code into its
// tables, text into a picture) more closely, but every block sends its own codes. So
// when the symbols since the mark and those before it take fewer bits as two blocks
// than as one, the pending block ends at the mark, and what came after it begins the
// next. Data that hardly compresses gains nothing from a cut, so a small file of it (a
// JPEG picture) stays one block, to be passed through as it is. Returns the bits of
// what is pending afterwards as a block of its own.
uint64_t DeflateEncoder::State::SplitIfCheaper() {
    uint64_t wholeBits = BlockBits(litFreq, distFreq, uint64_t(tallyEnd - blockStart));
    if (markSymbols == 0 || markSymbols == symbols) return wholeBits;
    uint32_t segLitFreq[kLitLenCodes], segDistFreq[kDistCodes];
    for (unsigned i = 0; i < kLitLenCodes; i++) segLitFreq[i] = litFreq[i] - markLitFreq[i];
    for (unsigned i = 0; i < kDistCodes; i++) segDistFreq[i] = distFreq[i] - markDistFreq[i];
    segLitFreq[kEndOfBlock] = 1;
    uint64_t segBits = BlockBits(segLitFreq, segDistFreq, uint64_t(tallyEnd - markEnd));
    if (markBits + segBits >= wholeBits) return wholeBits;

    unsigned sent = markSymbols, sentMatches = markMatches;
    unsigned keptSymbols = symbols - sent, keptMatches = matches - sentMatches;
    int64_t end = tallyEnd;
    symbols = sent;
    matches = sentMatches;
    tallyEnd = markEnd;
    std::copy(std::begin(markLitFreq), std::end(markLitFreq), litFreq);
    std::copy(std::begin(markDistFreq), std::end(markDistFreq), distFreq);
    FlushBlock(false);
    if (failed) return segBits;
    // The mark is a multiple of eight symbols, so the match flags move by whole bytes.
    std::memmove(litBuf.data(), litBuf.data() + sent, keptSymbols);
    std::memmove(distBuf.data(), distBuf.data() + sentMatches, keptMatches * sizeof(uint16_t));
    std::memmove(flagBuf.data(), flagBuf.data() + sent / 8, (keptSymbols + 7) / 8);
    symbols = keptSymbols;
    matches = keptMatches;
    tallyEnd = end;
    std::copy(std::begin(segLitFreq), std::end(segLitFreq), litFreq);
    std::copy(std::begin(segDistFreq), std::end(segDistFreq), distFreq);
    return segBits;
}

// Every kSegment symbols: the pending block may end at the last mark, and a full
// buffer ends it in any case; otherwise the mark moves here.
void DeflateEncoder::State::EndSegment() {
    uint64_t bits = SplitIfCheaper();
    if (failed) return;
    if (symbols == kSymbolBufSize) {
        FlushBlock(false);
        return;
    }
    markSymbols = symbols;
    markMatches = matches;
    markEnd = tallyEnd;
    markBits = bits;
    std::copy(std::begin(litFreq), std::end(litFreq), markLitFreq);
    std::copy(std::begin(distFreq), std::end(distFreq), markDistFreq);
}

void DeflateEncoder::State::FinishBlocks() {
    SplitIfCheaper();
    if (!failed) FlushBlock(true);
}

// Ends the pending block: builds its codes, picks the cheapest way to send it and sends
// it. The first block also decides the text flag, and, when it is the last as well and
// did not shrink, turns the whole output into a plain copy of the input.
void DeflateEncoder::State::FlushBlock(bool last) {
    bool inWindow = blockStart >= 0;
    uint64_t storedLen = uint64_t(tallyEnd - blockStart);
    BlockPlan plan(litFreq, distFreq);

    if (firstBlock) {
        uint64_t textLike = 0, binaryLike = 0;
        for (unsigned c = 0; c < 256; c++) (c >= 7 && c <= 127 ? textLike : binaryLike) += litFreq[c];
        result.text = textLike / 4 >= binaryLike;
    }

    const uint8_t* data = inWindow ? window.data() + blockStart : nullptr;
    if (firstBlock && last && allowRaw) {
        // Byte counts as ZIP's own encoder judges them: the block header included,
        // rounded up.
        uint64_t dynBytes = (plan.dynBits + 3 + 7) / 8, fixedBytes = (plan.fixedBits + 3 + 7) / 8;
        if (storedLen <= std::min(dynBytes, fixedBytes)) {
            result.stored = true;
            if (storedLen > 0 && !sink->Write(data, storedLen)) {
                result.status = DeflateStatus::WriteFailed;
                failed = true;
            }
            result.outBytes = storedLen;
            return;
        }
    }

    uint64_t storedBits = StoredBits(storedLen, (8 - (bitCount + 3) % 8) % 8);
    if (inWindow && storedBits < plan.fixedBits && storedBits < plan.dynBits) {
        SendStored(data, unsigned(storedLen), last);
    } else if (plan.fixedBits <= plan.dynBits) {
        PutBits(last ? 3 : 2, 3);
        SendSymbols(kFixedLit, kFixedDist);
    } else {
        AssignCodes(plan.lit, plan.hlit);
        AssignCodes(plan.dist, plan.hdist);
        AssignCodes(plan.clen, kCodeLenCodes);
        PutBits(last ? 5 : 4, 3);
        PutBits(plan.hlit - 257, 5);
        PutBits(plan.hdist - 1, 5);
        PutBits(plan.hclen - 4, 4);
        for (unsigned i = 0; i < plan.hclen; i++) PutBits(plan.clen.len[kCodeLenOrder[i]], 3);
        for (unsigned i = 0; i < plan.runs.count; i++) {
            unsigned sym = plan.runs.sym[i];
            PutBits(plan.clen.code[sym] | plan.runs.extra[i] << plan.clen.len[sym],
                    plan.clen.len[sym] + kRunExtraBits[sym]);
        }
        SendSymbols(plan.lit, plan.dist);
    }

    firstBlock = false;
    blockStart = tallyEnd;
    StartBlock();
}

ptrdiff_t MemorySource::Read(uint8_t* buf, size_t len) {
    size_t n = std::min(len, left_);
    if (n == 0) return 0;
    std::memcpy(buf, p_, n);
    p_ += n;
    left_ -= n;
    return ptrdiff_t(n);
}

bool VectorSink::Write(const uint8_t* data, size_t len) {
    if (len != 0) out_.insert(out_.end(), data, data + len);
    return true;
}
