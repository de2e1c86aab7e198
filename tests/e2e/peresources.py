"""The resources of a Windows executable, read from its file: enough of the PE format
to find its icons as Explorer and the window manager take them."""

import struct

RT_ICON, RT_GROUP_ICON = 3, 14
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def resources(data):
    """Every resource of a PE image in the order of its resource directory, which is
    the order Explorer looks in: a list of (type, name, bytes), with numbers for
    numbered types and names and strings for named ones."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rsrc_rva, rsrc_size = struct.unpack_from("<II", data, directories + 2 * 8)
    if rsrc_size == 0:
        return []
    table = []
    for i in range(sections):
        at = optional + optional_size + 40 * i
        size, rva, raw_size, raw = struct.unpack_from("<IIII", data, at + 8)
        table.append((rva, max(size, raw_size), raw))

    def offset(rva):
        for start, size, raw in table:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"RVA {rva:#x} lies in no section")

    base = offset(rsrc_rva)

    def entries(at):
        named, numbered = struct.unpack_from("<HH", data, base + at + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, base + at + 16 + 8 * i)
            if name & 0x80000000:
                length = struct.unpack_from("<H", data, base + (name & 0x7FFFFFFF))[0]
                start = base + (name & 0x7FFFFFFF) + 2
                name = data[start:start + 2 * length].decode("utf-16-le")
            yield name, target

    found = []
    for kind, names in entries(0):
        for name, languages in entries(names & 0x7FFFFFFF):
            for _, leaf in entries(languages & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                found.append((kind, name, data[offset(rva):offset(rva) + size]))
    return found


def icon_groups(data):
    """The icon groups of a PE image, first to last: (name, [image]), each image a dict
    of its size in pixels (256 for the 0 the directory stores), bits per pixel and
    bytes as stored."""
    found = resources(data)
    images = {name: blob for kind, name, blob in found if kind == RT_ICON}
    groups = []
    for kind, name, blob in found:
        if kind != RT_GROUP_ICON:
            continue
        count = struct.unpack_from("<H", blob, 4)[0]
        members = []
        for i in range(count):
            w, h, _, _, _, bits, _, number = struct.unpack_from("<BBBBHHIH", blob, 6 + 14 * i)
            members.append({"size": w or 256, "height": h or 256, "bits": bits, "data": images[number]})
        groups.append((name, members))
    return groups


def icon_pixels(image):
    """The pixels of a 32-bit bitmap icon image as ARGB numbers, top row first."""
    header, w, h2, _, bits = struct.unpack_from("<IiiHH", image["data"], 0)
    assert bits == 32 and w == image["size"] and h2 == 2 * w
    rows = []
    for y in range(w):
        at = header + (w - 1 - y) * w * 4
        for x in range(w):
            b, g, r, a = image["data"][at + 4 * x:at + 4 * x + 4]
            rows.append(a << 24 | r << 16 | g << 8 | b)
    return rows
