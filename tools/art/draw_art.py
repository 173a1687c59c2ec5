#!/usr/bin/env python3
"""Draws the artwork of the compactor, the installer and the help file.

Rerun from the repository root after changing a picture, and commit the
script together with the files it writes:

    python3 tools/art/draw_art.py

Standard library only; the word marks use the pixel font below rather than a
system font, so every run writes the same bytes on any machine.

Writes compactor/art/{quillstone.ico, checked.ico, unchecked.ico, hand.cur,
banner.bmp}, installer/art/{installer.ico, banner.bmp} and
compactor/help/helpbutton.bmp.
"""
import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

BLACK, WHITE = (0, 0, 0), (255, 255, 255)
SILVER, GREY = (192, 192, 192), (128, 128, 128)
YELLOW, OLIVE, MAROON = (255, 255, 0), (128, 128, 0), (128, 0, 0)
# The standard 16-colour palette, in the order 4-bit images expect it.
VGA16 = [BLACK, MAROON, (0, 128, 0), OLIVE, (0, 0, 128), (128, 0, 128), (0, 128, 128),
         SILVER, GREY, (255, 0, 0), (0, 255, 0), YELLOW, (0, 0, 255), (255, 0, 255),
         (0, 255, 255), WHITE]

# A picture is a list of rows, each a list of (r, g, b) or None (transparent).


def blank(width, height, colour=None):
    return [[colour] * width for _ in range(height)]


def stamp(picture, rows, left, top, inks, scale=1):
    """Draws character art: each character found in `inks` becomes a block of
    scale x scale pixels of its colour; other characters leave the picture as
    it is."""
    for gy, row in enumerate(rows):
        for gx, cell in enumerate(row):
            if cell in inks:
                for y in range(top + gy * scale, top + (gy + 1) * scale):
                    picture[y][left + gx * scale:left + (gx + 1) * scale] = [inks[cell]] * scale


# ---- File writers ----------------------------------------------------------

def palette_of(picture, entries):
    """The standard 16 colours first, then the picture's other colours in a
    fixed order, padded with black to exactly `entries` entries."""
    base = [BLACK, WHITE] if entries == 2 else VGA16
    extra = sorted({c for row in picture for c in row if c is not None} - set(base))
    palette = base + extra
    if len(palette) > entries:
        raise ValueError("picture has more colours than %d" % entries)
    return palette + [BLACK] * (entries - len(palette))


def pack_rows(rows, bpp):
    """Bottom-up rows of palette indices, each padded to a 4-byte boundary."""
    out = bytearray()
    for row in reversed(rows):
        bits = 0
        for index in row:
            bits = (bits << bpp) | index
        nbits = len(row) * bpp
        stride = (nbits + 31) // 32 * 4
        out += (bits << (stride * 8 - nbits)).to_bytes(stride, "big")
    return bytes(out)


def dib(picture, bpp, with_mask, pels_per_metre=0, clr_used=0):
    """BITMAPINFOHEADER, palette and pixels; icons and cursors add the AND mask
    (1 = transparent) and count it in the height."""
    width, height = len(picture[0]), len(picture)
    palette = palette_of(picture, 1 << bpp)
    lookup = {c: i for i, c in reversed(list(enumerate(palette)))}  # first entry wins
    xor = pack_rows([[0 if c is None else lookup[c] for c in row] for row in picture], bpp)
    mask = pack_rows([[int(c is None) for c in row] for row in picture], 1) if with_mask else b""
    header = struct.pack("<IiiHHIIiiII", 40, width, height * (2 if with_mask else 1), 1,
                         bpp, 0, len(xor) + len(mask), pels_per_metre, pels_per_metre,
                         clr_used, 0)
    return header + b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette) + xor + mask


def write(relative, data):
    path = os.path.join(ROOT, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def write_bmp(relative, picture):
    """An 8-bit uncompressed bitmap with all 256 palette entries, at 96 dpi."""
    body = dib(picture, 8, False, pels_per_metre=3780, clr_used=256)
    offset = 14 + 40 + 256 * 4
    write(relative, b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, offset) + body)


def write_icon_file(relative, kind, images):
    """An .ico (kind 1) or .cur (kind 2) file; images are (picture, bpp, x, y)
    where x, y are the planes and bit count of an icon or the hot spot of a
    cursor."""
    directory = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    bodies = b""
    for picture, bpp, x, y in images:
        body = dib(picture, bpp, True)
        colours = 1 << bpp if bpp < 8 else 0
        directory += struct.pack("<BBBBHHII", len(picture[0]) % 256, len(picture) % 256,
                                 colours, 0, x, y, len(body), offset + len(bodies))
        bodies += body
    write(relative, directory + bodies)


def write_ico(relative, draw, sizes=(16, 32), depths=(4, 8)):
    """One image per size and depth; the 16-colour images are drawn with the
    standard colours only."""
    write_icon_file(relative, 1, [(draw(size, bpp == 8), bpp, 1, bpp)
                                  for size in sizes for bpp in depths])


# ---- Pixel font for the word marks -----------------------------------------
# Rows top to bottom, '/' between rows; shorter glyphs sit on the baseline,
# rows after a ',' hang below it.
FONT_HEIGHT = 8
FONT = {
    "Q": ".#####./##...##/##...##/##...##/##...##/##.#.##/##..###/.######,.....##",
    "I": "######/..##../..##../..##../..##../..##../..##../######",
    "u": "##..##/##..##/##..##/##..##/##.###/.##.##",
    "i": "##/../##/##/##/##/##/##",
    "l": "##/##/##/##/##/##/##/##",
    "s": ".#####/##..../.####./....##/....##/#####.",
    "t": ".##../.##../#####/.##../.##../.##../.##../..###",
    "o": ".####./##..##/##..##/##..##/##..##/.####.",
    "n": "#####./##..##/##..##/##..##/##..##/##..##",
    "e": ".####./##..##/######/##..../##..../.#####",
    "a": ".####./....##/.#####/##..##/##..##/.#####",
    "r": "##.###/####../##..../##..../##..../##....",
    " ": "../..",
}


def glyph_rows(char):
    above, _, below = FONT[char].partition(",")
    rows = above.split("/")
    return [""] * (FONT_HEIGHT - len(rows)) + rows + (below.split("/") if below else [])


def word_mark(text, width, height, scale=3):
    """Black text on white, left aligned with the same margin as above it; the
    capitals are centred vertically."""
    picture = blank(width, height, WHITE)
    top = (height - FONT_HEIGHT * scale) // 2
    x = top
    for char in text:
        rows = glyph_rows(char)
        stamp(picture, rows, x, top, {"#": BLACK}, scale)
        x += (max(len(r) for r in rows) + 1) * scale
    if x > width:
        raise ValueError("%r does not fit in %d pixels" % (text, width))
    return picture


# ---- Shapes for the icons, in a 32 x 32 design grid -------------------------

def polygon(points):
    """Inside test for a simple polygon (even-odd rule)."""
    def inside(x, y):
        result = False
        for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                result = not result
        return result
    return inside


def paint(picture, inside, fill, outline=None):
    """Fills the pixels whose centres are inside; `fill` is a colour or a
    function of the design coordinates. Pixels on the shape's edge take the
    outline colour, so the same shape keeps a one-pixel outline at any size."""
    size = len(picture)
    unit = 32.0 / size
    mask = [[inside((x + 0.5) * unit, (y + 0.5) * unit) for x in range(size)] for y in range(size)]
    for y in range(size):
        for x in range(size):
            if not mask[y][x]:
                continue
            edge = any(not (0 <= x + dx < size and 0 <= y + dy < size and mask[y + dy][x + dx])
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            colour = fill((x + 0.5) * unit, (y + 0.5) * unit) if callable(fill) else fill
            picture[y][x] = outline if edge and outline else colour


def dither(a, b):
    """A checkerboard of two colours, for 32 x 32 images (one design unit a pixel)."""
    return lambda x, y: a if (int(x) + int(y)) % 2 else b


def stone(picture, rich, left, top, right, bottom, depth):
    """A block seen from the front and a little from above and the right,
    with registry cells on its face."""
    back, far = top - depth, right + depth
    front = polygon([(left, top), (right, top), (right, bottom), (left, bottom)])
    lid = polygon([(left, top), (left + depth, back), (far, back), (right, top)])
    side = polygon([(right, top), (far, back), (far, bottom - depth), (right, bottom)])
    cell_w, cell_h = (right - left - 4) / 3, (bottom - top - 4) / 2

    def face(x, y):
        if lid(x, y):
            return (214, 208, 194) if rich else WHITE
        if side(x, y):
            return (112, 106, 98) if rich else GREY
        col, row = int((x - left - 2) // cell_w), int((y - top - 2) // cell_h)
        cx, cy = x - left - 2 - col * cell_w, y - top - 2 - row * cell_h
        if 0 <= col < 3 and 0 <= row < 2 and cx < cell_w - 1.5 and cy < cell_h - 1.5:
            return (56, 96, 200) if rich else (0, 0, 255)
        if not rich:
            return SILVER
        darker = int(y - top) * 2  # light from above
        return (168 - darker, 162 - darker, 150 - darker)

    outline = (40, 40, 48) if rich else BLACK
    paint(picture, lambda x, y: front(x, y) or lid(x, y) or side(x, y), face, outline)


def quill(picture, rich, tip, nib, width):
    """A feather from its tip to its nib: a broad vane, the bare shaft, then a
    dark cut nib."""
    (tx, ty), (nx, ny) = tip, nib
    dx, dy = nx - tx, ny - ty
    length2 = dx * dx + dy * dy

    def along(x, y):  # position along the axis (0 tip, 1 nib), signed distance off it
        t = ((x - tx) * dx + (y - ty) * dy) / length2
        return t, ((x - tx) * dy - (y - ty) * dx) / length2 ** 0.5

    def vane(x, y):
        t, s = along(x, y)
        if not 0 <= t <= 0.7:
            return False
        bulge = (t / 0.7) ** 0.6 * (1 - t / 0.7) * 2.2
        return -width * 0.75 * bulge <= s <= width * bulge

    def feather(x, y):
        s = along(x, y)[1]
        if abs(s) < 0.9:
            return (90, 96, 128) if rich else GREY
        if rich:
            shade = max(0, min(1, s / width))
            return (255 - int(60 * shade), 255 - int(40 * shade), 255 - int(10 * shade))
        return WHITE if s < width * 0.5 else SILVER

    def shaft(x, y):
        t, s = along(x, y)
        return 0.66 <= t <= 0.86 and abs(s) < 1.0

    def cut_nib(x, y):
        t, s = along(x, y)
        return 0.86 <= t <= 1 and abs(s) < 1.6 * (1 - t) / 0.14 + 0.4

    outline = (28, 36, 84) if rich else BLACK
    paint(picture, vane, feather, outline)
    paint(picture, shaft, (90, 96, 128) if rich else GREY)
    paint(picture, cut_nib, outline)


# ---- The pictures ----------------------------------------------------------

def compactor_icon(size, rich):
    """A quill writing on a registry block."""
    picture = blank(size, size)
    stone(picture, rich, 1, 17, 24, 31, 6)
    quill(picture, rich, (30, 1), (11, 19), 5.5 if size == 32 else 8)
    return picture


def installer_icon(size, rich):
    """The compactor's quill and block rising from an open carton."""
    picture = blank(size, size)
    stone(picture, rich, 5, 12, 21, 21, 4)
    quill(picture, rich, (31, 0), (15, 13), 4.5 if size == 32 else 7)
    if rich:
        front, side, flap, outline = (196, 150, 92), (150, 106, 60), (224, 184, 124), (72, 48, 24)
    else:  # dithered, where there are pixels enough, for browner tones
        front, side, flap, outline = YELLOW, OLIVE, OLIVE, BLACK
        if size == 32:
            front, side = dither(YELLOW, OLIVE), dither(OLIVE, MAROON)
    if size == 32:
        paint(picture, polygon([(0, 14), (5, 19), (21, 19), (16, 14)]), flap, outline)
        paint(picture, polygon([(21, 19), (27, 14), (31, 17), (25, 22)]), flap, outline)
    paint(picture, polygon([(2, 18), (21, 18), (21, 31), (2, 31)]), front, outline)
    paint(picture, polygon([(20, 18), (27, 14), (27, 27), (20, 31)]), side, outline)
    return picture


def check_box(ticked):
    """A list row's check box: a 13 x 13 box, black border, white inside."""
    picture = blank(16, 16)
    for y in range(1, 14):
        for x in range(1, 14):
            picture[y][x] = BLACK if x in (1, 13) or y in (1, 13) else WHITE
    if ticked:
        for x, top in zip(range(4, 11), (6, 7, 8, 7, 6, 5, 4)):
            for y in range(top, top + 3):
                picture[y][x] = BLACK
    return picture


HAND = """\
      XXX
     X...X
     X...X
     X...X
     X...X
     X...XXX
     X...X...XX
     X...X...X..XX
     X...X...X..X..X
 XX  X...X...X..X..X
X..X X...X...X..X..X
X...XX..............X
X....X..............X
 X...X..............X
 X..................X
  X.................X
  X................X
   X...............X
   X..............X
    X.............X
    X.............X
    XXXXXXXXXXXXXXX"""


def hand_cursor():
    """The pointer over the web link; 'X' black, '.' white, rest clear."""
    picture = blank(32, 32)
    stamp(picture, HAND.split("\n"), 0, 0, {"X": BLACK, ".": WHITE})
    return picture


QUESTION = ".####./##..##/....##/...##./..##../..##../....../..##../..##.."


def help_button():
    """The title bar's help button: grey, raised, with a black question mark."""
    width, height = 16, 14
    picture = blank(width, height, SILVER)
    for y in range(height):  # light edges top and left, shadows under them
        picture[y][0], picture[y][width - 2], picture[y][width - 1] = WHITE, GREY, BLACK
    for x in range(width - 1):
        picture[0][x], picture[height - 2][x + 1], picture[height - 1][x] = WHITE, GREY, BLACK
    picture[height - 2][width - 1] = BLACK
    stamp(picture, QUESTION.split("/"), 4, 2, {"#": BLACK})
    return picture


def main():
    write_ico("compactor/art/quillstone.ico", compactor_icon)
    write_icon_file("compactor/art/checked.ico", 1, [(check_box(True), 1, 1, 1)])
    write_icon_file("compactor/art/unchecked.ico", 1, [(check_box(False), 1, 1, 1)])
    write_icon_file("compactor/art/hand.cur", 2, [(hand_cursor(), 1, 7, 0)])
    write_bmp("compactor/art/banner.bmp", word_mark("Quillstone", 225, 37))
    write_bmp("installer/art/banner.bmp", word_mark("Quillstone Installer", 402, 36))
    write_ico("installer/art/installer.ico", installer_icon)
    write_bmp("compactor/help/helpbutton.bmp", help_button())


if __name__ == "__main__":
    main()
