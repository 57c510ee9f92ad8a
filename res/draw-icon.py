#!/usr/bin/env python3
"""Draws the application icon, a lantern on a night-blue tile, and writes it
as an .ico file with eight images: 16 and 32 px at 4 bits per pixel, and 16,
32 and 48 px at 8 and at 32 bits per pixel.

    python3 res/draw-icon.py res/lanternmoor.ico res/icon-group-108.rc \
        [--preview sheet.png]

The second file is the resource script's icon group 108: it lists the
images that "107 ICON" stores as icons 1 to 8, so that both groups share one
set of images instead of carrying two copies.

Only the Python standard library is needed.  The 32-bit images are the
shapes below, anti-aliased.  The palette images are not converted from
them: the 16-colour ones are drawn by hand, pixel by pixel (PIXELS_16 and
PIXELS_32 below), and the 256-colour ones map every pixel to the nearest
colour of a fixed palette, without dithering.
"""
import struct
import sys
import zlib

# Colours (red, green, blue).
NIGHT_TOP = (0x2a, 0x4a, 0x7a)
NIGHT_BOTTOM = (0x14, 0x24, 0x44)
BRONZE_DARK = (0x4a, 0x2a, 0x0c)
BRONZE = (0xb0, 0x6a, 0x24)
BRONZE_LIGHT = (0xe0, 0xa0, 0x50)
GLOW_EDGE = (0xf0, 0x90, 0x20)
GLOW = (0xff, 0xd0, 0x50)
FLAME = (0xff, 0xf8, 0xd8)

# Shapes in a 48-unit square; `grow` widens a shape for its outline.


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y, grow=0.0):
        ax0, ay0, ax1, ay1 = x0 - grow, y0 - grow, x1 + grow, y1 + grow
        rr = r + grow
        if not (ax0 <= x <= ax1 and ay0 <= y <= ay1):
            return False
        cx = min(max(x, ax0 + rr), ax1 - rr)
        cy = min(max(y, ay0 + rr), ay1 - rr)
        return (x - cx) ** 2 + (y - cy) ** 2 <= rr * rr
    return inside


def trapezoid(y0, y1, top_left, top_right, bottom_left, bottom_right):
    def inside(x, y, grow=0.0):
        if not (y0 - grow <= y <= y1 + grow):
            return False
        t = min(max((y - y0) / (y1 - y0), 0.0), 1.0)
        left = top_left + (bottom_left - top_left) * t - grow
        right = top_right + (bottom_right - top_right) * t + grow
        return left <= x <= right
    return inside


def ellipse(cx, cy, rx, ry):
    def inside(x, y, grow=0.0):
        return ((x - cx) / (rx + grow)) ** 2 + ((y - cy) / (ry + grow)) ** 2 <= 1
    return inside


def ring_top(cx, cy, r, width):
    def inside(x, y, grow=0.0):
        d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
        return y <= cy + grow and r - width / 2 - grow <= d <= r + width / 2 + grow
    return inside


def flame(cx, cy):
    body = ellipse(cx, cy + 1.5, 3.2, 3.6)
    tip = trapezoid(cy - 5.5, cy + 1.5, cx, cx, cx - 3.2, cx + 3.2)
    return lambda x, y, grow=0.0: body(x, y, grow) or tip(x, y, grow)


def vertical(top, bottom, y0, y1):
    def paint(x, y):
        t = min(max((y - y0) / (y1 - y0), 0.0), 1.0)
        return tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
    return paint


def radial(centre, edge, cx, cy, r):
    def paint(x, y):
        t = min(((x - cx) ** 2 + (y - cy) ** 2) ** 0.5 / r, 1.0)
        return tuple(round(a + (b - a) * t) for a, b in zip(centre, edge))
    return paint


def flat(colour):
    return lambda x, y: colour


TILE = rounded_rect(1.5, 1.5, 46.5, 46.5, 8)
HANDLE = ring_top(24, 11, 5, 2.2)
CAP = trapezoid(10.5, 16, 19, 29, 13, 35)
GLASS = trapezoid(16, 34, 15, 33, 15, 33)
BAR_LEFT = trapezoid(16, 34, 15, 18, 15, 18)
BAR_RIGHT = trapezoid(16, 34, 30, 33, 30, 33)
FLAME_SHAPE = flame(24, 26)
BASE = trapezoid(34, 38.5, 13, 35, 11, 37)
FOOT = trapezoid(38.5, 41, 16, 32, 16, 32)
LANTERN = [HANDLE, CAP, GLASS, BASE, FOOT]

# Bottom to top; the outline is the lantern grown by 1.4 units.
LAYERS = (
    [(TILE, vertical(NIGHT_TOP, NIGHT_BOTTOM, 2, 46), 0.0)]
    + [(shape, flat(BRONZE_DARK), 1.4) for shape in LANTERN]
    + [(HANDLE, flat(BRONZE), 0.0), (CAP, vertical(BRONZE_LIGHT, BRONZE, 11, 16), 0.0),
       (GLASS, radial(GLOW, GLOW_EDGE, 24, 25, 11), 0.0),
       (BAR_LEFT, flat(BRONZE), 0.0), (BAR_RIGHT, flat(BRONZE), 0.0),
       (FLAME_SHAPE, flat(FLAME), 0.0),
       (BASE, vertical(BRONZE_LIGHT, BRONZE, 34, 38.5), 0.0),
       (FOOT, flat(BRONZE_DARK), 0.0)])


def sample(x, y):
    """Colour of the topmost layer at a point, or None outside the tile."""
    for shape, paint, grow in reversed(LAYERS):
        if shape(x, y, grow):
            return paint(x, y)
    return None


def render(size, steps=6):
    """RGBA rows, anti-aliased by averaging steps x steps samples a pixel."""
    scale = 48 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = hits = 0
            for sy in range(steps):
                for sx in range(steps):
                    colour = sample((px + (sx + 0.5) / steps) * scale,
                                    (py + (sy + 0.5) / steps) * scale)
                    if colour:
                        r, g, b, hits = r + colour[0], g + colour[1], b + colour[2], hits + 1
            if hits:
                row.append((round(r / hits), round(g / hits), round(b / hits),
                            round(255 * hits / steps ** 2)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


# The 16-colour palette and the hand-drawn images that use it; '.' is
# transparent.
PALETTE_16 = {
    '.': (0, 0, 0), 'N': NIGHT_TOP, 'n': NIGHT_BOTTOM, 'm': (0x1e, 0x36, 0x5e),
    'D': BRONZE_DARK, 'B': BRONZE, 'L': BRONZE_LIGHT, 'O': GLOW_EDGE,
    'G': GLOW, 'F': FLAME, 'k': (0x0a, 0x12, 0x24), 'y': (0xff, 0xe4, 0x90),
    'r': (0xc0, 0x60, 0x10), 'w': (0xff, 0xff, 0xff), 'g': (0x80, 0x80, 0x80),
    's': (0xc0, 0xc0, 0xc0),
}

PIXELS_16 = """
.mNNNNNNNNNNNNm.
mNNNNNNDDNNNNNNm
NNNNNNDNNDNNNNNN
NNNNNDDDDDDNNNNN
NNNNDLLLLLLDNNNN
NNNDBBBBBBBBDNNN
NNNNDBOGGOBDNNNN
mmmmDBGFFGBDmmmm
mmmmDBGFFGBDmmmm
mmmmDBGyyGBDmmmm
mmmmDBOGGOBDmmmm
nnnDLLLLLLLLDnnn
nnDBBBBBBBBBBDnn
nnnnDDDDDDDDnnnn
nnnnnnnnnnnnnnnn
.nnnnnnnnnnnnnn.
"""

PIXELS_32 = """
...mNNNNNNNNNNNNNNNNNNNNNNNNm...
..NNNNNNNNNNNNNNNNNNNNNNNNNNNN..
.NNNNNNNNNNNNNNNNNNNNNNNNNNNNNN.
mNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNm
NNNNNNNNNNNNNDDDDDDNNNNNNNNNNNNN
NNNNNNNNNNNNDBBBBBBDNNNNNNNNNNNN
NNNNNNNNNNNDBDDDDDDBDNNNNNNNNNNN
NNNNNNNNNNNDBDNNNNDBDNNNNNNNNNNN
NNNNNNNNNNDDDDDDDDDDDDNNNNNNNNNN
NNNNNNNNNDLLLLLLLLLLLLDNNNNNNNNN
NNNNNNNNDLLLLLLLLLLLLLLDNNNNNNNN
NNNNNNNDBBBBBBBBBBBBBBBBDNNNNNNN
NNNNNNDDDDDDDDDDDDDDDDDDDDNNNNNN
mmmmmmmmDBBOOOOOOOOOOBBDmmmmmmmm
mmmmmmmmDBBOGGGGGGGGOBBDmmmmmmmm
mmmmmmmmDBBOGGGGFGGGOBBDmmmmmmmm
mmmmmmmmDBBOGGGFFGGGOBBDmmmmmmmm
mmmmmmmmDBBOGGGFFFGGOBBDmmmmmmmm
mmmmmmmmDBBOGGFFFFGGOBBDmmmmmmmm
mmmmmmmmDBBOGGFFFFGGOBBDmmmmmmmm
mmmmmmmmDBBOGGyFFyGGOBBDmmmmmmmm
mmmmmmmmDBBOGGGyyGGGOBBDmmmmmmmm
nnnnnnnnDBBOGGGGGGGGOBBDnnnnnnnn
nnnnnnnnDBBOOOOOOOOOOBBDnnnnnnnn
nnnnnnnDDDDDDDDDDDDDDDDDDnnnnnnn
nnnnnnDLLLLLLLLLLLLLLLLLLDnnnnnn
nnnnnDBBBBBBBBBBBBBBBBBBBBDnnnnn
nnnnnDDDDDDDDDDDDDDDDDDDDDDnnnnn
nnnnnnnnnDDDDDDDDDDDDDDnnnnnnnnn
kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk
.kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.
...kkkkkkkkkkkkkkkkkkkkkkkkkk...
"""


def grid(text, size):
    rows = [line for line in text.strip().splitlines()]
    assert len(rows) == size and all(len(r) == size for r in rows), size
    return rows


def ramp(a, b, steps):
    return [tuple(round(x + (y - x) * i / (steps - 1)) for x, y in zip(a, b)) for i in range(steps)]


def palette_256():
    """The design's flat colours, ramps along its gradients, then a 5x5x5
    cube and greys for the anti-aliased edges."""
    colours = [(0, 0, 0)] + [c for k, c in PALETTE_16.items() if k != '.']
    colours += ramp(NIGHT_TOP, NIGHT_BOTTOM, 24) + ramp(GLOW, GLOW_EDGE, 16)
    colours += ramp(BRONZE_LIGHT, BRONZE, 12) + ramp(BRONZE, BRONZE_DARK, 8)
    colours += ramp(GLOW, FLAME, 8)
    colours += [(r * 63, g * 63, b * 63) for r in range(5) for g in range(5) for b in range(5)]
    colours += ramp((16, 16, 16), (240, 240, 240), 256 - len(colours))
    assert len(colours) == 256
    return colours


def nearest(colour, palette, start=1):
    best = min(range(start, len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))
    return best


def bmp_rows(rows, bits):
    """Packs rows of pixel values, bottom row first, each padded to 4 bytes."""
    out = b''
    for row in reversed(rows):
        if bits == 32:
            line = b''.join(struct.pack('BBBB', b, g, r, a) for r, g, b, a in row)
        else:
            value = 0
            for v in row:
                value = (value << bits) | v
            nbits = len(row) * bits
            padded = (nbits + 7) // 8 * 8
            line = (value << (padded - nbits)).to_bytes(padded // 8, 'big')
        out += line + b'\0' * (-len(line) % 4)
    return out


def dib(size, bits, pixels, transparent, palette=()):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    colour_table = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in palette)
    mask = [[1 if t else 0 for t in row] for row in transparent]
    return header + colour_table + bmp_rows(pixels, bits) + bmp_rows(mask, 1)


def from_grid(rows):
    keys = list(PALETTE_16)
    pixels = [[keys.index(c) for c in row] for row in rows]
    transparent = [[c == '.' for c in row] for row in rows]
    return pixels, transparent


def images():
    """(size, bits, DIB bytes, RGBA rows for the preview) for each image."""
    result = []
    for size, text in ((16, PIXELS_16), (32, PIXELS_32)):
        rows = grid(text, size)
        pixels, transparent = from_grid(rows)
        palette = list(PALETTE_16.values())
        rgba = [[(0, 0, 0, 0) if c == '.' else PALETTE_16[c] + (255,) for c in row] for row in rows]
        result.append((size, 4, dib(size, 4, pixels, transparent, palette), rgba))
    rendered = {size: render(size) for size in (16, 32, 48)}
    palette = palette_256()
    for size in (16, 32, 48):
        rows = rendered[size]
        transparent = [[a < 128 for *_, a in row] for row in rows]
        pixels = [[0 if t else nearest(p[:3], palette) for p, t in zip(row, trow)]
                  for row, trow in zip(rows, transparent)]
        rgba = [[(0, 0, 0, 0) if t else palette[i] + (255,) for i, t in zip(row, trow)]
                for row, trow in zip(pixels, transparent)]
        result.append((size, 8, dib(size, 8, pixels, transparent, palette), rgba))
    for size in (16, 32, 48):
        rows = rendered[size]
        transparent = [[a == 0 for *_, a in row] for row in rows]
        result.append((size, 32, dib(size, 32, rows, transparent), rows))
    return result


def ico(entries):
    head = struct.pack('<HHH', 0, 1, len(entries))
    offset = len(head) + 16 * len(entries)
    directory, data = b'', b''
    for size, bits, image, _ in entries:
        colours = 16 if bits == 4 else 0
        directory += struct.pack('<BBBBHHII', size, size, colours, 0, 1, bits,
                                 len(image), offset + len(data))
        data += image
    return head + directory + data


def png(width, height, rows):
    raw = b''.join(b'\0' + bytes(v for p in row for v in p) for row in rows)
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def preview(entries, zoom=6):
    """All images side by side, enlarged, on a light and on a dark strip."""
    width = sum(size * zoom + 8 for size, *_ in entries) + 8
    height = 2 * (48 * zoom + 16)
    sheet = [[(255, 255, 255, 255)] * width for _ in range(height // 2)] + \
            [[(40, 40, 40, 255)] * width for _ in range(height // 2)]
    for band in (0, height // 2):
        x = 8
        for size, _, _, rgba in entries:
            for y in range(size * zoom):
                for dx in range(size * zoom):
                    r, g, b, a = rgba[y // zoom][dx // zoom]
                    under = sheet[band + 8 + y][x + dx]
                    sheet[band + 8 + y][x + dx] = tuple(
                        round((c * a + u * (255 - a)) / 255) for c, u in zip((r, g, b), under[:3])) + (255,)
            x += size * zoom + 8
    return png(width, height, sheet)


def group_108(entries):
    """Icon group 108 as resource-script data, listing icons 1 to 8 in the
    order of the .ico file, which is the order windres numbers them."""
    lines = ['// Generated by draw-icon.py along with lanternmoor.ico; do not edit.',
             '// Icon group 108 lists the images that "107 ICON" stores as icons',
             '// 1 to 8, so that both groups share them.',
             '108 14', 'BEGIN', f'    0, 1, {len(entries)}']
    for number, (size, bits, image, _) in enumerate(entries, 1):
        colours = 16 if bits == 4 else 0
        # Each entry: width and height, colour count and a zero byte, planes,
        # bits per pixel, the image's size, and the icon's number.
        lines.append(f'    , 0x{size:02x}{size:02x}, 0x00{colours:02x}, 1, {bits}, '
                     f'{len(image)}L, {number}')
    lines += ['END', '']
    return '\n'.join(lines)


def main(argv):
    if len(argv) not in (3, 5) or (len(argv) == 5 and argv[3] != '--preview'):
        sys.exit('usage: draw-icon.py OUT.ico OUT-GROUP.rc [--preview SHEET.png]')
    entries = images()
    with open(argv[1], 'wb') as out:
        out.write(ico(entries))
    with open(argv[2], 'w') as out:
        out.write(group_108(entries))
    if len(argv) == 5:
        with open(argv[4], 'wb') as out:
            out.write(preview(entries))


if __name__ == '__main__':
    main(sys.argv)
