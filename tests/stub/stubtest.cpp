#include "tests/stub/stubtest.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <zlib.h>

#include "share/zip/crc32.h"
#include "share/zip/sfxformat.h"

namespace {

bool ReadAt(void* ctx, uint32_t offset, void* buf, uint32_t len) {
    const Bytes& b = *static_cast<const Bytes*>(ctx);
    if (offset > b.size() || len > b.size() - offset) return false;
    if (len > 0) std::memcpy(buf, b.data() + offset, len);
    return true;
}

void* Alloc(uint32_t len) { return std::malloc(len); }
void Free(void* p) { std::free(p); }

bool Collect(void* ctx, const uint8_t* data, uint32_t len) {
    Bytes& out = *static_cast<Bytes*>(ctx);
    out.insert(out.end(), data, data + len);
    return true;
}

void Append16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

void Append32(Bytes& b, uint32_t v) {
    Append16(b, v & 0xFFFF);
    Append16(b, v >> 16);
}

}  // namespace

MemoryPackage::MemoryPackage(const Bytes& bytes) : bytes_(bytes) {
    file_.ctx = &bytes_;
    file_.size = uint32_t(bytes_.size());
    file_.ReadAt = ReadAt;
    file_.Alloc = Alloc;
    file_.Free = Free;
}

MemoryPackage::~MemoryPackage() {
    if (open_) ClosePackage(file_, package_);
}

PackageStatus MemoryPackage::Open() {
    PackageStatus s = OpenPackage(file_, package_);
    open_ = s == kPackageOk;
    return s;
}

std::vector<MemoryPackage::Entry> MemoryPackage::ExtractAll() {
    static InflateState work;
    std::vector<Entry> all;
    uint32_t pos = 0;
    for (uint32_t i = 0; i < package_.entryCount; i++) {
        Entry e;
        if (!EntryAt(package_, pos, e.header)) throw std::runtime_error("entry missing from an open package");
        e.name.assign(e.header.name, e.header.nameLength);
        InflateOutput out = {&e.data, Collect};
        e.status = ExtractEntry(file_, package_, e.header, work, out);
        pos = e.header.next;
        all.push_back(e);
    }
    return all;
}

void Put16(Bytes& b, size_t at, uint32_t v) {
    b.at(at) = uint8_t(v);
    b.at(at + 1) = uint8_t(v >> 8);
}

void Put32(Bytes& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

uint32_t Get32(const Bytes& b, size_t at) {
    return uint32_t(b.at(at)) | uint32_t(b.at(at + 1)) << 8 | uint32_t(b.at(at + 2)) << 16 |
           uint32_t(b.at(at + 3)) << 24;
}

Bytes ZlibDeflate(const Bytes& data, int level, int strategy) {
    z_stream z = {};
    if (deflateInit2(&z, level, Z_DEFLATED, -15, 9, strategy) != Z_OK)
        throw std::runtime_error("deflateInit2");
    Bytes out(deflateBound(&z, uLong(data.size())) + 16);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = uInt(data.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

Crafted Craft(const std::vector<CraftEntry>& entries, const std::string& block) {
    Crafted c;
    c.bytes.assign(StubSize, 0);
    c.bytes.insert(c.bytes.end(), block.begin(), block.end());
    Bytes central;
    std::vector<size_t> centralAt;
    for (const CraftEntry& e : entries) {
        Bytes stored = e.method == 8 ? ZlibDeflate(e.data, 9, Z_DEFAULT_STRATEGY) : e.data;
        uint32_t crc = Crc32(e.data.data(), e.data.size());
        size_t local = c.bytes.size();
        c.local.push_back(local);
        Bytes h;
        Append32(h, 0x04034B50);                 // signature
        Append16(h, 20);                         // version needed
        Append16(h, 0);                          // flags
        Append16(h, e.method);                   // method
        Append16(h, 0x6000);                     // time 12:00:00
        Append16(h, (44 << 9) | (6 << 5) | 15);  // date 2024-06-15
        Append32(h, crc);
        Append32(h, uint32_t(stored.size()));
        Append32(h, uint32_t(e.data.size()));
        Append16(h, uint32_t(e.name.size()));
        Append16(h, 0);  // extra length
        h.insert(h.end(), e.name.begin(), e.name.end());
        c.bytes.insert(c.bytes.end(), h.begin(), h.end());
        c.bytes.insert(c.bytes.end(), stored.begin(), stored.end());

        centralAt.push_back(central.size());
        Append32(central, 0x02014B50);              // signature
        Append16(central, 20);                      // made by
        Bytes same(h.begin() + 4, h.begin() + 30);  // needed ... extra length, as in the local header
        central.insert(central.end(), same.begin(), same.end());
        Append16(central, 0);     // comment length
        Append16(central, 0);     // disk
        Append16(central, 0);     // internal attributes
        Append32(central, 0x20);  // external attributes
        Append32(central, uint32_t(local));
        central.insert(central.end(), e.name.begin(), e.name.end());
    }
    size_t centralOffset = c.bytes.size();
    for (size_t at : centralAt) c.central.push_back(centralOffset + at);
    c.bytes.insert(c.bytes.end(), central.begin(), central.end());
    c.end = c.bytes.size();
    Bytes end;
    Append32(end, 0x06054B50);
    Append16(end, 0);
    Append16(end, 0);
    Append16(end, uint32_t(entries.size()));
    Append16(end, uint32_t(entries.size()));
    Append32(end, uint32_t(central.size()));
    Append32(end, uint32_t(centralOffset));
    Append16(end, 0);
    c.bytes.insert(c.bytes.end(), end.begin(), end.end());
    return c;
}
