#!/usr/bin/env python3
# Makes Gobu's built-in artwork: gobu.png (the default picture), startdlg.png (the
# first-use hint) with its copies for scaled displays startdlg120.png, startdlg144.png
# and startdlg192.png, handpoint.cur (the pointing-hand cursor, at the sizes of each of
# those DPIs), and the program's icon drawn from the default picture: gobu.ico (16, 32,
# 48 and 256 pixels) for gobu.exe and gobu_stub.ico (16 and 32) for the extractor stub,
# which has little room. The pictures are PNG-compressed: every share carries them.
import math
import os
import struct
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
# /usr/local/bin/convert on the build machine is not ImageMagick.
CONVERT = "/usr/bin/convert"


# ---------------------------------------------------------------- PNG output

def png(width, height, depth, colour_type, raw, palette=b""):
    """A PNG of filtered rows raw (each led by its filter byte)."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0)) +
            (chunk(b"PLTE", palette) if palette else b"") +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            chunk(b"IEND", b""))


def filtered(rows, bytes_per_pixel):
    """Rows of 8-bit samples, each under the filter that makes it smallest by the usual
    guess: the least sum of absolute byte values."""

    def paeth(a, b, c):
        p = a + b - c
        pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
        return a if pa <= pb and pa <= pc else b if pb <= pc else c

    raw = bytearray()
    prev = bytes(len(rows[0]))
    for row in rows:
        candidates = []
        for kind in range(5):
            out = bytearray()
            for i in range(len(row)):
                a = row[i - bytes_per_pixel] if i >= bytes_per_pixel else 0
                b = prev[i]
                c = prev[i - bytes_per_pixel] if i >= bytes_per_pixel else 0
                predicted = (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]
                out.append((row[i] - predicted) & 0xFF)
            candidates.append((sum(v if v < 128 else 256 - v for v in out), kind, out))
        _, kind, out = min(candidates)
        raw.append(kind)
        raw += out
        prev = row
    return raw


def write_png(path, width, height, rgb):
    """rgb: top-down rows of packed R,G,B bytes. At most 256 colours are written as a
    palette, 4 bits a pixel for 16 colours or fewer, else 8: a fraction of a bitmap's
    size; more as filtered RGB."""
    pixels = [bytes(rgb[i:i + 3]) for i in range(0, len(rgb), 3)]
    palette = sorted(set(pixels))
    if len(palette) > 256:
        data = png(width, height, 8, 2, filtered([rgb[y * width * 3:(y + 1) * width * 3] for y in range(height)], 3))
    else:
        depth = 4 if len(palette) <= 16 else 8
        index = {c: i for i, c in enumerate(palette)}
        raw = bytearray()
        for y in range(height):
            row = [index[c] for c in pixels[y * width:(y + 1) * width]]
            raw.append(0)   # no filter: an index is not a quantity to predict
            if depth == 4:
                row.append(0)
                raw += bytes(row[x] << 4 | row[x + 1] for x in range(0, width, 2))
            else:
                raw += bytes(row)
        data = png(width, height, depth, 3, raw, b"".join(palette))
    with open(path, "wb") as f:
        f.write(data)


# The DPIs of the usual display scalings, 100 %, 125 %, 150 % and 200 %: the hint and
# the cursor are drawn for each, so that none of them is stretched on such a display.
DPIS = (96, 120, 144, 192)


def scaled(pixels, dpi):
    """A figure of the 96-DPI layout at dpi, rounded as the program rounds it."""
    return (pixels * dpi + 48) // 96


# ------------------------------------------------------------- gobu picture
#
# Drawn in Python rather than ImageMagick so that the silhouette edge is decided
# per pixel centre (no blending with the background colour, which becomes the
# hole), while the inside is still supersampled so the face looks smooth.

GW, GH = 155, 113
BACKGROUND = (255, 0, 255)

INK = (74, 42, 24)            # outline, pupils' ring, smile
BODY = (255, 204, 64)
BODY_SHADE = (236, 160, 40)
BODY_SHINE = (255, 240, 170)
FOOT = (238, 128, 44)
LEAF = (104, 190, 72)
LEAF_VEIN = (52, 120, 44)
WHITE = (255, 255, 255)
PUPIL = (28, 24, 40)
CHEEK = (255, 150, 150)
MOUTH = (150, 40, 52)
TONGUE = (244, 112, 120)


def ellipse(cx, cy, rx, ry, angle=0.0):
    """Approximate signed distance (pixels) to a rotated ellipse."""
    c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))

    def sdf(x, y):
        dx, dy = x - cx, y - cy
        u, v = dx * c + dy * s, -dx * s + dy * c
        f = (u / rx) ** 2 + (v / ry) ** 2 - 1.0
        g = 2.0 * math.hypot(u / (rx * rx), v / (ry * ry))
        return f / g if g > 1e-9 else -min(rx, ry)
    return sdf


def capsule(x0, y0, x1, y1, r):
    def sdf(x, y):
        vx, vy = x1 - x0, y1 - y0
        t = ((x - x0) * vx + (y - y0) * vy) / (vx * vx + vy * vy)
        t = max(0.0, min(1.0, t))
        return math.hypot(x - x0 - t * vx, y - y0 - t * vy) - r
    return sdf


def arc(cx, cy, r, a0, a1, half_width):
    """Stroke along a circle between angles a0..a1 (degrees, y down), round caps."""
    p0 = (cx + r * math.cos(math.radians(a0)), cy + r * math.sin(math.radians(a0)))
    p1 = (cx + r * math.cos(math.radians(a1)), cy + r * math.sin(math.radians(a1)))

    def sdf(x, y):
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360.0
        if a0 <= a <= a1:
            return abs(math.hypot(x - cx, y - cy) - r) - half_width
        return min(math.hypot(x - p0[0], y - p0[1]),
                   math.hypot(x - p1[0], y - p1[1])) - half_width
    return sdf


def clip_below(sdf, y_cut):
    """Keep only the part of a shape below the line y = y_cut."""
    return lambda x, y: max(sdf(x, y), y_cut - y)


def solid(colour):
    return lambda x, y: colour


def body_colour(x, y):
    # Soft light from the upper left: shade towards the lower right, with a shine spot.
    t = ((x - 45.0) * 0.6 + (y - 25.0)) / 110.0
    t = max(0.0, min(1.0, t)) ** 1.6
    col = [BODY[i] + (BODY_SHADE[i] - BODY[i]) * t for i in range(3)]
    shine = ellipse(40, 30, 15, 9, -30)(x, y)
    if shine < 0:
        k = min(1.0, -shine / 3.0)
        col = [col[i] + (BODY_SHINE[i] - col[i]) * k for i in range(3)]
    return tuple(col)


# Painted back to front: (shape, fill, outline width, part of the silhouette).
# Outlines lie inside each shape, so the shapes' union is exactly the cut-out.
GOBU_LAYERS = [
    (capsule(77.5, 16, 77.5, 4, 1.6), solid(LEAF_VEIN), 0.0, True),      # stem
    (ellipse(70, 6.5, 8, 3.8, -28), solid(LEAF), 1.3, True),             # leaves
    (ellipse(85, 6.5, 8, 3.8, 28), solid(LEAF), 1.3, True),
    (ellipse(51, 100, 16, 9), solid(FOOT), 2.0, True),                   # feet
    (ellipse(104, 100, 16, 9), solid(FOOT), 2.0, True),
    (ellipse(15, 70, 10, 6.5, 35), solid(BODY), 2.0, True),              # arm down
    (ellipse(139, 40, 11, 6.5, -55), solid(BODY_SHADE), 2.0, True),      # arm waving
    (ellipse(77.5, 58, 65, 45), body_colour, 2.2, True),                 # body
    (ellipse(40, 70, 9, 5.5), solid(CHEEK), 0.0, False),                 # cheeks
    (ellipse(115, 70, 9, 5.5), solid(CHEEK), 0.0, False),
    (ellipse(59, 50, 11, 13.5), solid(WHITE), 1.6, False),               # eyes
    (ellipse(96, 50, 11, 13.5), solid(WHITE), 1.6, False),
    (ellipse(61, 53, 6, 7.5), solid(PUPIL), 0.0, False),
    (ellipse(94, 53, 6, 7.5), solid(PUPIL), 0.0, False),
    (ellipse(63.5, 49.5, 2.3, 2.6), solid(WHITE), 0.0, False),           # eye glints
    (ellipse(96.5, 49.5, 2.3, 2.6), solid(WHITE), 0.0, False),
    (clip_below(ellipse(77.5, 68, 15, 14), 68.0), solid(MOUTH), 1.8, False),
    (clip_below(ellipse(77.5, 80, 8, 5), 77.0), solid(TONGUE), 0.0, False),
    (arc(77.5, 68, 15, 0.0, 180.0, 0.01), solid(INK), 0.0, False),       # mouth lip
    (capsule(61, 68, 94, 68, 1.0), solid(INK), 0.0, False),
]


def gobu_sample(x, y):
    colour = None
    for sdf, fill, outline, _ in GOBU_LAYERS:
        d = sdf(x, y)
        if d < 0:
            colour = INK if d > -outline else fill(x, y)
    return colour


def make_gobu():
    n = 4   # supersampling grid per pixel, inside the silhouette only
    rgb = bytearray()
    for py in range(GH):
        for px in range(GW):
            cx, cy = px + 0.5, py + 0.5
            if not any(sh[3] and sh[0](cx, cy) < 0 for sh in GOBU_LAYERS):
                rgb += bytes(BACKGROUND)
                continue
            acc = [0.0, 0.0, 0.0]
            for j in range(n):
                for i in range(n):
                    # Samples past the silhouette take the outline's colour, so
                    # the background colour never bleeds into the object.
                    c = gobu_sample(px + (i + 0.5) / n, py + (j + 0.5) / n) or INK
                    for k in range(3):
                        acc[k] += c[k]
            rgb += bytes(int(round(a / (n * n))) for a in acc)
    check_gobu(rgb)
    return rgb


def check_gobu(rgb):
    px = [tuple(rgb[i:i + 3]) for i in range(0, len(rgb), 3)]
    assert px[(GH - 1) * GW] == BACKGROUND
    is_bg = [p == BACKGROUND for p in px]
    for x in range(GW):
        assert is_bg[x] and is_bg[(GH - 1) * GW + x], "object touches an edge"
    for y in range(GH):
        assert is_bg[y * GW] and is_bg[y * GW + GW - 1], "object touches an edge"
    # Every background pixel must be reachable from the border: no holes in the object.
    seen = [False] * len(px)
    stack = [0]
    seen[0] = True
    while stack:
        i = stack.pop()
        x, y = i % GW, i // GW
        for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            j = ny * GW + nx
            if 0 <= nx < GW and 0 <= ny < GH and is_bg[j] and not seen[j]:
                seen[j] = True
                stack.append(j)
    assert all(seen[i] for i in range(len(px)) if is_bg[i]), "hole inside object"
    # And the object must be a single piece.
    obj = [i for i in range(len(px)) if not is_bg[i]]
    seen = {obj[0]}
    stack = [obj[0]]
    while stack:
        i = stack.pop()
        x, y = i % GW, i // GW
        for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            j = ny * GW + nx
            if 0 <= nx < GW and 0 <= ny < GH and not is_bg[j] and j not in seen:
                seen.add(j)
                stack.append(j)
    assert len(seen) == len(obj), "object is in several pieces"


# ------------------------------------------------------------ start-up hint

SW, SH = 142, 80
FACE = (212, 208, 200)        # classic 3D face
HILIGHT = (255, 255, 255)
SHADOW = (128, 128, 128)
DKSHADOW = (64, 64, 64)
FRAME = (0, 0, 0)
HINT_LINES = ["Right-click the gobu", "to open its menu", "and Help."]
BUTTON = (41, 53, 60, 21)     # x, y, w, h: including the default-button frame


def make_startdlg(dpi):
    sw, sh = scaled(SW, dpi), scaled(SH, dpi)
    img = [[FACE] * sw for _ in range(sh)]

    def hline(x0, x1, y, c):
        for x in range(x0, x1 + 1):
            img[y][x] = c

    def vline(x, y0, y1, c):
        for y in range(y0, y1 + 1):
            img[y][x] = c

    # A default push button: black frame, then the raised two-step bevel; each of the
    # three rings is a pixel wide at 96 DPI, two from 192 DPI on.
    bx, by, bw, bh = (scaled(v, dpi) for v in BUTTON)
    l, t, r, b = bx, by, bx + bw - 1, by + bh - 1
    for _ in range(dpi // 96):
        hline(l, r, t, FRAME); hline(l, r, b, FRAME)
        vline(l, t, b, FRAME); vline(r, t, b, FRAME)
        l, t, r, b = l + 1, t + 1, r - 1, b - 1
    for _ in range(dpi // 96):
        hline(l, r - 1, t, HILIGHT); vline(l, t, b - 1, HILIGHT)
        hline(l, r, b, DKSHADOW); vline(r, t, b, DKSHADOW)
        l, t, r, b = l + 1, t + 1, r - 1, b - 1
    for _ in range(dpi // 96):
        hline(r, r, t, FACE)
        hline(l, r, b, SHADOW); vline(r, t, b, SHADOW)
        l, t, r, b = l + 1, t + 1, r - 1, b - 1

    base = b"".join(bytes(c) for row in img for c in row)
    text = "\n".join(HINT_LINES)
    label_dy = by + bh // 2 - sh // 2          # button centre relative to image centre
    out = subprocess.run(
        [CONVERT, "-size", "%dx%d" % (sw, sh), "-depth", "8", "rgb:-",
         "-density", "72", "-font", "DejaVu-Sans", "-pointsize", "%g" % (10 * dpi / 96),
         "-fill", "black", "-interline-spacing", "0",
         "-gravity", "north", "-annotate", "+0%+d" % scaled(6, dpi), text,
         "-gravity", "center", "-annotate", "%+d%+d" % (0, label_dy), "OK",
         "-depth", "8", "rgb:-"],
        input=base, stdout=subprocess.PIPE, check=True).stdout
    assert len(out) == sw * sh * 3
    return out


def sixteen_colours(rgb):
    """The hint in the colours of its button and 11 shades of its black text over the
    face, each pixel the nearest of them."""
    shades = [tuple(round(c * k / 12) for c in FACE) for k in range(1, 12)]
    palette = [FACE, HILIGHT, SHADOW, DKSHADOW, FRAME] + shades
    nearest = {}
    out = bytearray()
    for i in range(0, len(rgb), 3):
        c = tuple(rgb[i:i + 3])
        if c not in nearest:
            nearest[c] = min(palette, key=lambda p: sum((a - b) ** 2 for a, b in zip(c, p)))
        out += bytes(nearest[c])
    return bytes(out)


# ------------------------------------------------------------- hand cursor
#
# '#' black, 'o' white, '.' transparent. The hotspot is the top of the index finger.

HAND = [
    ".....##..........",
    "....#oo#.........",
    "....#oo#.........",
    "....#oo#.........",
    "....#oo#.........",
    "....#oo#.........",
    "....#oo###.......",
    "....#oo#oo###....",
    "....#oo#oo#oo###.",
    "....#oo#oo#oo#oo#",
    "....#oo#oo#oo#oo#",
    ".##.#oo#oo#oo#oo#",
    "#oo##oo#oo#oo#oo#",
    "#ooo#ooooooooooo#",
    "#ooooooooooooooo#",
    ".#oooooooooooooo#",
    ".#oooooooooooooo#",
    "..#ooooooooooooo#",
    "..#oooooooooooo#.",
    "...#ooooooooooo#.",
    "...#ooooooooooo#.",
    "...#############.",
]
HOTSPOT = (5, 0)


def make_cursor():
    size = 32
    rows = [r.ljust(size, ".") for r in HAND] + ["." * size] * (size - len(HAND))
    assert len(rows) == size and all(len(r) == size and set(r) <= set("#o.") for r in rows)
    assert rows[HOTSPOT[1]][HOTSPOT[0]] == "#"

    def image_at(dpi):
        # Each pixel of the larger hands takes the pixel of the 32 x 32 one under its
        # centre; the hotspot stays on the fingertip.
        n = scaled(size, dpi)
        grid = [[rows[(2 * y + 1) * 96 // (2 * dpi)][(2 * x + 1) * 96 // (2 * dpi)] for x in range(n)]
                for y in range(n)]
        hotspot = tuple((2 * v + 1) * dpi // (2 * 96) for v in HOTSPOT)
        assert grid[hotspot[1]][hotspot[0]] == "#"
        stride = (n + 31) // 32 * 4              # rows of whole 32-bit words

        def mask(bit_of):
            data = bytearray()
            for row in reversed(grid):           # bottom-up, 1 bpp, MSB first
                bits = 0
                for ch in row:
                    bits = (bits << 1) | bit_of(ch)
                data += (bits << (stride * 8 - n)).to_bytes(stride, "big")
            return bytes(data)

        xor = mask(lambda ch: ch == "o")         # 1 = white over the AND hole
        and_ = mask(lambda ch: ch == ".")        # 1 = screen shows through
        palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
        info = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 1, 0,
                           len(xor) + len(and_), 0, 0, 2, 0)
        return n, hotspot, info + palette + xor + and_

    images = [image_at(dpi) for dpi in DPIS]
    icondir = struct.pack("<HHH", 0, 2, len(images))
    entries, data = b"", b""
    offset = 6 + 16 * len(images)
    for n, hotspot, image in images:
        # For cursors the planes/bit-count fields hold the hotspot.
        entries += struct.pack("<BBBBHHII", n, n, 2, 0, hotspot[0], hotspot[1],
                               len(image), offset + len(data))
        data += image
    return icondir + entries + data


# -------------------------------------------------------------------- icon
#
# The gobu's silhouette on a transparent square, its edge antialiased into the alpha
# channel. 16 to 48 pixels are 32-bit bitmaps as every Windows reads them; 256 pixels
# are stored PNG-compressed, as Windows Vista and later expect at that size.

ICON_SIZES = (16, 32, 48, 256)
STUB_ICON_SIZES = (16, 32)


def silhouette_box(rgb):
    """The object's bounds in picture pixels: left, top, right, bottom (exclusive)."""
    inside = [i for i in range(GW * GH) if tuple(rgb[i * 3:i * 3 + 3]) != BACKGROUND]
    xs, ys = [i % GW for i in inside], [i // GW for i in inside]
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def make_icon_image(size, box):
    """size x size pixels as top-down rows of R,G,B,A bytes (not premultiplied)."""
    left, top, right, bottom = box
    margin = size / 32.0
    scale = (size - 2 * margin) / max(right - left, bottom - top)
    ox = (size - (right - left) * scale) / 2 - left * scale
    oy = (size - (bottom - top) * scale) / 2 - top * scale
    n = max(3, 96 // size)   # samples per pixel side: finer where pixels are few
    silhouette = [sh[0] for sh in GOBU_LAYERS if sh[3]]
    rgba = bytearray()
    for py in range(size):
        for px in range(size):
            acc, hits = [0.0, 0.0, 0.0], 0
            for j in range(n):
                for i in range(n):
                    x = (px + (i + 0.5) / n - ox) / scale
                    y = (py + (j + 0.5) / n - oy) / scale
                    if not any(sdf(x, y) < 0 for sdf in silhouette):
                        continue
                    c = gobu_sample(x, y) or INK
                    hits += 1
                    for k in range(3):
                        acc[k] += c[k]
            if hits == 0:
                rgba += b"\0\0\0\0"
            else:
                rgba += bytes(int(round(a / hits)) for a in acc)
                rgba.append(int(round(255 * hits / (n * n))))
    return rgba


def icon_bitmap(size, rgba):
    """An icon image as a 32-bit DIB: bottom-up BGRA rows, then the AND mask (1 where
    the pixel is transparent) that Windows still reads beside the alpha channel."""
    xor, mask = bytearray(), bytearray()
    stride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        row = rgba[y * size * 4:(y + 1) * size * 4]
        bgra = bytearray(row)
        bgra[0::4], bgra[2::4] = row[2::4], row[0::4]
        xor += bgra
        bits = 0
        for x in range(size):
            bits = (bits << 1) | (row[x * 4 + 3] == 0)
        mask += (bits << (stride * 8 - size)).to_bytes(stride, "big")
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def png_rgba(size, rgba):
    """A square RGBA picture; rgba: top-down rows of R,G,B,A bytes."""
    return png(size, size, 8, 6, filtered([rgba[y * size * 4:(y + 1) * size * 4] for y in range(size)], 4))


def make_icon(images):
    """An .ico file of {size: rgba}, smallest first."""
    sizes = sorted(images)
    data = [png_rgba(s, images[s]) if s >= 256 else icon_bitmap(s, images[s]) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, d in zip(sizes, data):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(d), offset)
        offset += len(d)
    return out + b"".join(data)


def main():
    gobu = make_gobu()
    write_png(os.path.join(HERE, "gobu.png"), GW, GH, gobu)
    # The hint at 96 DPI keeps every shade of its text; the larger copies are drawn
    # in 16 colours, which at their size no eye tells apart.
    write_png(os.path.join(HERE, "startdlg.png"), SW, SH, make_startdlg(96))
    for dpi in DPIS[1:]:
        write_png(os.path.join(HERE, "startdlg%d.png" % dpi), scaled(SW, dpi), scaled(SH, dpi),
                  sixteen_colours(make_startdlg(dpi)))
    with open(os.path.join(HERE, "handpoint.cur"), "wb") as f:
        f.write(make_cursor())
    box = silhouette_box(gobu)
    images = {size: make_icon_image(size, box) for size in ICON_SIZES}
    with open(os.path.join(HERE, "gobu.ico"), "wb") as f:
        f.write(make_icon(images))
    with open(os.path.join(HERE, "gobu_stub.ico"), "wb") as f:
        f.write(make_icon({size: images[size] for size in STUB_ICON_SIZES}))


if __name__ == "__main__":
    main()
