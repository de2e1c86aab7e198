"""The icons of a Windows executable, read from its resources as Explorer and the window
manager take them: enough of the PE format for that."""

import struct

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def resources(data):
    """Every resource in the order of the resource directory: (type, name, bytes), the
    names of named ones as strings."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    directories = optional + (96 if struct.unpack_from("<H", data, optional)[0] == 0x10B else 112)
    rsrc = struct.unpack_from("<I", data, directories + 16)[0]
    table = [struct.unpack_from("<IIII", data, optional + optional_size + 40 * i + 8) for i in range(sections)]

    def offset(rva):
        return next(raw + rva - start for size, start, raw_size, raw in table if start <= rva < start + max(size, raw_size))

    base = offset(rsrc)

    def entries(at):
        count = sum(struct.unpack_from("<HH", data, base + at + 12))
        for name, target in (struct.unpack_from("<II", data, base + at + 16 + 8 * i) for i in range(count)):
            if name & 0x80000000:
                at_name = base + (name & 0x7FFFFFFF)
                name = data[at_name + 2:at_name + 2 + 2 * struct.unpack_from("<H", data, at_name)[0]].decode("utf-16-le")
            yield name, target & 0x7FFFFFFF

    found = []
    for kind, names in entries(0):
        for name, languages in entries(names):
            for _, leaf in entries(languages):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                found.append((kind, name, data[offset(rva):offset(rva) + size]))
    return found


def icon_groups(data):
    """The icon groups first to last: (name, [{"size", "bits", "data"} of each image]), a
    size of 256 where the directory stores 0."""
    found = resources(data)
    images = {name: blob for kind, name, blob in found if kind == 3}
    groups = []
    for _, name, blob in (r for r in found if r[0] == 14):
        entries = (struct.unpack_from("<BBBBHHIH", blob, 6 + 14 * i) for i in range(struct.unpack_from("<H", blob, 4)[0]))
        groups.append((name, [{"size": w or 256, "bits": bits, "data": images[number]}
                              for w, _, _, _, _, bits, _, number in entries]))
    return groups


def icon_pixels(image):
    """A 32-bit bitmap icon image as ARGB numbers, top row first."""
    header, size = struct.unpack_from("<Ii", image["data"], 0)
    rows = [struct.unpack_from(f"<{size}I", image["data"], header + (size - 1 - y) * size * 4) for y in range(size)]
    return [p for row in rows for p in row]
