#!/usr/bin/env python3
"""Draws Varnoset's tool button glyphs and application icon as PNG files.

Plain python3, no third-party modules: the pictures are drawn into a small
indexed canvas with pixel, rectangle and line helpers and written as PNG with
zlib and struct. Every picture uses only the 16 colours of the standard VGA
palette on a transparent background. The output is byte-for-byte the same on
every run, so a regenerated file only shows up in git when its drawing changed.

Run from anywhere:  python3 resources/make_art.py
"""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# The standard 16-colour VGA palette, in its usual order.
VGA = [
    ("black", (0x00, 0x00, 0x00)),
    ("maroon", (0x80, 0x00, 0x00)),
    ("green", (0x00, 0x80, 0x00)),
    ("olive", (0x80, 0x80, 0x00)),
    ("navy", (0x00, 0x00, 0x80)),
    ("purple", (0x80, 0x00, 0x80)),
    ("teal", (0x00, 0x80, 0x80)),
    ("grey", (0x80, 0x80, 0x80)),
    ("silver", (0xC0, 0xC0, 0xC0)),
    ("red", (0xFF, 0x00, 0x00)),
    ("lime", (0x00, 0xFF, 0x00)),
    ("yellow", (0xFF, 0xFF, 0x00)),
    ("blue", (0x00, 0x00, 0xFF)),
    ("fuchsia", (0xFF, 0x00, 0xFF)),
    ("aqua", (0x00, 0xFF, 0xFF)),
    ("white", (0xFF, 0xFF, 0xFF)),
]

# PNG palette index 0 is the transparent background; the VGA colours follow.
CLEAR = 0
INDEX = {name: i + 1 for i, (name, _) in enumerate(VGA)}

# One letter per colour for the pixel maps below.
KEY = {
    ".": CLEAR,
    "k": INDEX["black"],
    "m": INDEX["maroon"],
    "g": INDEX["green"],
    "o": INDEX["olive"],
    "n": INDEX["navy"],
    "p": INDEX["purple"],
    "t": INDEX["teal"],
    "G": INDEX["grey"],
    "s": INDEX["silver"],
    "r": INDEX["red"],
    "l": INDEX["lime"],
    "y": INDEX["yellow"],
    "b": INDEX["blue"],
    "f": INDEX["fuchsia"],
    "a": INDEX["aqua"],
    "w": INDEX["white"],
}

K, MA, GR, OL, NV, PU, TE, GY, SI, RD, LI, YE, BL, FU, AQ, WH = (
    INDEX[name] for name, _ in VGA
)


class Canvas:
    """A width x height grid of palette indices, transparent at first."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[CLEAR] * width for _ in range(height)]

    def pixel(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def fill(self, x, y, w, h, colour):
        for row in range(y, y + h):
            for col in range(x, x + w):
                self.pixel(col, row, colour)

    def frame(self, x, y, w, h, colour, thickness=1):
        t = thickness
        self.fill(x, y, w, t, colour)
        self.fill(x, y + h - t, w, t, colour)
        self.fill(x, y, t, h, colour)
        self.fill(x + w - t, y, t, h, colour)

    def box(self, x, y, w, h, inside, outline=K, thickness=1):
        """A filled rectangle with an outline."""
        self.fill(x, y, w, h, outline)
        self.fill(x + thickness, y + thickness, w - 2 * thickness, h - 2 * thickness, inside)

    def line(self, x0, y0, x1, y1, colour):
        """Bresenham's line, both ends included."""
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        err = dx + dy
        while True:
            self.pixel(x0, y0, colour)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def dashed_frame(self, x, y, w, h, colour, dash=2, thickness=1):
        """A rectangle outline in dashes: a dash on every corner, the rest spread evenly."""

        def dashes(length):
            count = max(1, round(length / dash))
            count += 1 - count % 2  # odd, so that both ends carry a dash
            cuts = [round(i * length / count) for i in range(count + 1)]
            return [(cuts[i], cuts[i + 1]) for i in range(0, count, 2)]

        for a, b in dashes(w):
            self.fill(x + a, y, b - a, thickness, colour)
            self.fill(x + a, y + h - thickness, b - a, thickness, colour)
        for a, b in dashes(h):
            self.fill(x, y + a, thickness, b - a, colour)
            self.fill(x + w - thickness, y + a, thickness, b - a, colour)

    def draw_map(self, x, y, rows):
        """Paints a pixel map (one KEY letter a pixel); '.' leaves the canvas as it is."""
        for dy, row in enumerate(rows):
            for dx, letter in enumerate(row):
                if letter != ".":
                    self.pixel(x + dx, y + dy, KEY[letter])

    def blit(self, other, x, y):
        for dy in range(other.height):
            for dx in range(other.width):
                if other.pixels[dy][dx] != CLEAR:
                    self.pixel(x + dx, y + dy, other.pixels[dy][dx])

    def png(self):
        """The canvas as an 8-bit indexed PNG with a transparent index 0."""

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 3, 0, 0, 0)
        palette = bytes([0, 0, 0]) + b"".join(bytes(rgb) for _, rgb in VGA)
        alpha = bytes([0])  # entries without an alpha value are opaque
        raw = b"".join(b"\x00" + bytes(row) for row in self.pixels)
        return (
            b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", header)
            + chunk(b"PLTE", palette)
            + chunk(b"tRNS", alpha)
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b"")
        )


def from_map(rows):
    """A canvas sized to a pixel map and painted from it; all rows must be equally long."""
    widths = {len(row) for row in rows}
    if len(widths) != 1:
        raise ValueError(f"pixel map rows differ in length: {sorted(widths)}")
    canvas = Canvas(widths.pop(), len(rows))
    canvas.draw_map(0, 0, rows)
    return canvas


# ---------------------------------------------------------------------------
# Tool button glyphs
# ---------------------------------------------------------------------------


def glyph_open():
    """An open folder: the olive back panel and a yellow front flap tipped forward."""
    return from_map([
        "................",
        "................",
        "................",
        ".kkkk...........",
        "kwyyyk..........",
        "kyoooykkkkkk....",
        "kyoooooooooyk...",
        "kyoooooooooyk...",
        "kyookkkkkkkkkkkk",
        "kyokwyyyyyyyyyyk",
        "kyokyyyyyyyyyyk.",
        "kokyyyyyyyyyyyk.",
        "kokyyyyyyyyyyk..",
        "kkyyyyyyyyyyyk..",
        "kkkkkkkkkkkkk...",
        "................",
    ])


def glyph_save():
    """A navy floppy disk with a white label and a silver shutter."""
    return from_map([
        "kkkkkkkkkkkkkkk.",
        "knnwwwwwwwwwwnnk",
        "knnwwwwwwwwwwnnk",
        "knnwGGGGGGGGwnnk",
        "knnwwwwwwwwwwnnk",
        "knnwGGGGGGGGwnnk",
        "knnwwwwwwwwwwnnk",
        "knnnnnnnnnnnnnnk",
        "knnnnnnnnnnnnnnk",
        "knnnsssssssssnnk",
        "knnnssnnsssssnnk",
        "knnnssnnsssssnnk",
        "knnnssnnsssssnnk",
        "knnnsssssssssnnk",
        "knnnnnnnnnnnnnnk",
        "kkkkkkkkkkkkkkkk",
    ])


def glyph_undo():
    """A blue arrow that turns back to the left."""
    return from_map([
        "................",
        "................",
        "....k...........",
        "...kk...........",
        "..kbkkkkkkk.....",
        ".kbbbbbbbbbkk...",
        "kbbbbbbbbbbbbk..",
        ".kbbkkkkkkkbbbk.",
        "..kbk......kbbk.",
        "...kk.......kbbk",
        "....k.......kbbk",
        "............kbbk",
        "...........kbbk.",
        "..........kbbk..",
        "........kkbbk...",
        "........kkkk....",
    ])


def glyph_rectangle():
    """A dashed selection rectangle with a cross-hair on the corner being dragged."""
    canvas = Canvas(17, 17)
    canvas.dashed_frame(0, 0, 14, 14, K)
    canvas.line(10, 13, 16, 13, RD)
    canvas.line(13, 10, 13, 16, RD)
    return canvas


def page(canvas, x, y, w, h, fold, line=1, inside=WH):
    """A sheet with its top right corner folded over, outlined in black."""
    for v in range(h):
        for u in range(w):
            edge = (u - (w - fold)) - v  # > 0 beyond the fold's diagonal
            if edge > 0:
                continue
            if edge > -max(1, round(line * 1.4)):
                colour = K
            elif u >= w - fold and v <= fold:
                inner = u < w - fold + line or v > fold - line
                colour = K if inner else SI
            elif u < line or u >= w - line or v < line or v >= h - line:
                colour = K
            else:
                colour = inside
            canvas.pixel(x + u, y + v, colour)


def sheet(width, height, lines):
    """A sheet of paper with a heading and grey lines of text."""
    canvas = Canvas(width, height)
    page(canvas, 0, 0, width, height, 4)
    for row in lines:
        canvas.fill(3, row, width - 6, 1, NV if row == lines[0] else GY)
    return canvas


def glyph_copy():
    """Two sheets, the second laid down over the first."""
    canvas = Canvas(24, 24)
    canvas.blit(sheet(14, 17, [4, 7, 9, 11, 13]), 1, 1)
    canvas.blit(sheet(14, 17, [4, 7, 9, 11, 13]), 9, 6)
    return canvas


def glyph_paste():
    """A clipboard with a silver clip and a sheet laid on it."""
    canvas = Canvas(24, 24)
    canvas.box(1, 3, 17, 20, OL)
    canvas.fill(2, 4, 15, 1, YE)
    canvas.fill(2, 4, 1, 18, YE)
    canvas.fill(3, 21, 14, 1, MA)
    canvas.fill(16, 5, 1, 17, MA)
    # The clip.
    canvas.box(5, 1, 9, 5, SI)
    canvas.fill(7, 0, 5, 1, K)
    canvas.fill(7, 0, 1, 2, K)
    canvas.fill(11, 0, 1, 2, K)
    canvas.fill(6, 4, 7, 1, GY)
    canvas.blit(sheet(12, 15, [5, 7, 9, 11]), 11, 8)
    return canvas


def pencil(canvas, tip_x, tip_y, length):
    """A pencil lying at 45 degrees, its point at (tip_x, tip_y), its eraser up and to the right.

    'along' counts half-pixels from the point along the pencil, 'across' the
    diagonals out from its axis; the body is three diagonals wide.
    """
    for y in range(canvas.height):
        for x in range(canvas.width):
            along = (x - tip_x) - (y - tip_y)
            across = (x - tip_x) + (y - tip_y)
            if along < 0 or along > length:
                continue
            reach = min(2.0, (along + 1) / 2)  # the sharpened cone widens to the body
            if abs(across) > reach + 0.5:
                continue
            if along == length and abs(across) == 2:
                continue  # round the eraser's end off
            if abs(across) > reach - 1 or along >= length - 1:
                colour = K
            elif along <= 2:
                colour = K  # the lead
            elif along <= 5:
                colour = WH  # the bare wood
            elif along < length - 9:
                colour = OL if across == 1 else YE
            elif along < length - 5:
                colour = GY if across == 1 else SI  # the metal band
            else:
                colour = MA if across == 1 else RD  # the eraser
            canvas.pixel(x, y, colour)


def glyph_edit():
    """A framed picture of a hill under the sun, with a pencil laid across it."""
    canvas = Canvas(20, 20)
    canvas.box(0, 3, 16, 14, AQ)
    canvas.frame(1, 4, 14, 12, WH)
    canvas.fill(3, 6, 3, 3, YE)
    canvas.fill(4, 5, 1, 5, YE)
    canvas.fill(2, 7, 5, 1, YE)
    hill = [12, 11, 10, 9, 9, 9, 10, 10, 11, 12, 13, 13]
    for x, top in zip(range(2, 14), hill):
        canvas.fill(x, top, 1, 15 - top, GR)
    pencil(canvas, 6, 14, 24)
    return canvas


def printer(canvas, x, y):
    """A 20 x 20 printer: a blank sheet waiting behind, a printed sheet coming out in front."""
    c = Canvas(20, 20)
    c.box(4, 0, 12, 8, WH)
    # The body, lit from the top left.
    c.box(0, 6, 20, 10, SI)
    c.fill(1, 6, 18, 1, K)
    c.fill(1, 7, 18, 1, WH)
    c.fill(1, 7, 1, 7, WH)
    c.fill(1, 14, 18, 1, GY)
    c.fill(18, 7, 1, 8, GY)
    c.fill(15, 9, 2, 1, LI)
    # The slot and the printed sheet coming out of it.
    c.fill(3, 11, 14, 1, K)
    c.box(4, 11, 12, 9, WH)
    c.fill(6, 13, 8, 1, NV)
    c.fill(6, 15, 6, 1, GY)
    c.fill(6, 17, 7, 1, GY)
    canvas.blit(c, x, y)


def glyph_print():
    canvas = Canvas(20, 20)
    printer(canvas, 0, 0)
    return canvas


def wrench():
    """An 8 x 12 open-ended wrench standing upright, lit from the left."""
    return from_map([
        ".kk..kk.",
        "kwk..kGk",
        "kwGkkGGk",
        "kwGGGGGk",
        ".kwGGGk.",
        "..kwGk..",
        "..kwGk..",
        "..kwGk..",
        "..kwGk..",
        "..kwGk..",
        "..kwGk..",
        "...kk...",
    ])


def glyph_printer_setup():
    """Two 20 x 20 cells side by side: the printer, and the printer with a wrench."""
    canvas = Canvas(40, 20)
    printer(canvas, 0, 0)
    printer(canvas, 20, 0)
    canvas.blit(wrench(), 32, 1)
    return canvas


# ---------------------------------------------------------------------------
# The application icon: a monitor with a capture frame, and the printed page
# ---------------------------------------------------------------------------


def icon_16():
    """Drawn by hand: at this size the scaled drawing loses the frame and the page."""
    monitor = [
        "kkkkkkkkkkkkk",
        "kwwwwwwwwwwGk",
        "kwnnnnnnnnnGk",
        "kwnyyyyyynnGk",
        "kwnyttttynnGk",
        "kwnyttttynnGk",
        "kwnyyyyyy",
        "kwnnnnnnn",
        "kGGGGGGGG",
        "kkkkkkkkk",
        ".....kGk.",
        "..kkkkkkk",
        "..kssssss",
        "..kkkkkkk",
        ".........",
        ".........",
    ]
    paper = [
        "kkkkk..",
        "kwwwwk.",
        "kwwwwwk",
        "kwtttwk",
        "kwtttwk",
        "kwwwwwk",
        "kwGGGwk",
        "kwwwwwk",
        "kwGGwwk",
        "kkkkkkk",
    ]
    canvas = Canvas(16, 16)
    canvas.draw_map(0, 0, monitor)
    canvas.draw_map(9, 6, paper)
    return canvas


def icon_scaled(size):
    """The icon drawn on a 32-unit grid and scaled to size pixels."""
    canvas = Canvas(size, size)
    unit = size / 32.0
    line = max(1, size // 40)

    def at(value):
        return int(value * unit + 0.5)

    def rect(x0, y0, x1, y1):
        return at(x0), at(y0), at(x1) - at(x0), at(y1) - at(y0)

    def box(x0, y0, x1, y1, inside):
        canvas.box(*rect(x0, y0, x1, y1), inside, K, line)

    def fill(x0, y0, x1, y1, colour):
        canvas.fill(*rect(x0, y0, x1, y1), colour)

    # Neck and foot.
    box(11, 20, 17, 24, GY)
    box(6, 23, 22, 27, SI)
    x, y, w, h = rect(6, 23, 22, 27)
    canvas.fill(x + line, y + line, w - 2 * line, line, WH)
    # The case, raised: light on the top and left, dark on the bottom and right.
    box(0, 1, 28, 22, SI)
    x, y, w, h = rect(0, 1, 28, 22)
    canvas.fill(x + line, y + line, w - 2 * line, line, WH)
    canvas.fill(x + line, y + line, line, h - 2 * line, WH)
    canvas.fill(x + line, y + h - 2 * line, w - 2 * line, line, GY)
    canvas.fill(x + w - 2 * line, y + line, line, h - 2 * line, GY)
    # The screen and the capture frame dragged out on it; its sides are odd multiples
    # of the dash, so that every corner carries a dash and the gaps come out even.
    box(3, 4, 25, 19, NV)
    fill(7, 7, 21, 13, TE)
    canvas.dashed_frame(*rect(7, 7, 21, 13), YE, dash=at(2), thickness=line)
    # The printed page in front, carrying a copy of the captured area.
    page(canvas, *rect(19, 14, 31, 31), at(4), line)
    box(21, 19, 27, 23, TE)
    fill(21, 25, 29, 26, GY)
    fill(21, 27, 26, 28, GY)
    return canvas


# ---------------------------------------------------------------------------


def write(canvas, relative_path):
    path = os.path.join(HERE, relative_path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(canvas.png())


def main():
    glyphs = {
        "open.png": (glyph_open, (16, 16)),
        "save.png": (glyph_save, (16, 16)),
        "undo.png": (glyph_undo, (16, 16)),
        "rectangle.png": (glyph_rectangle, (17, 17)),
        "paste.png": (glyph_paste, (24, 24)),
        "copy.png": (glyph_copy, (24, 24)),
        "edit.png": (glyph_edit, (20, 20)),
        "print.png": (glyph_print, (20, 20)),
        "printer_setup.png": (glyph_printer_setup, (40, 20)),
    }
    for name, (draw, size) in glyphs.items():
        canvas = draw()
        if (canvas.width, canvas.height) != size:
            raise SystemExit(f"{name}: drawn {canvas.width}x{canvas.height}, wanted {size[0]}x{size[1]}")
        write(canvas, os.path.join("glyphs", name))

    icons = {16: icon_16(), 32: icon_scaled(32), 48: icon_scaled(48), 256: icon_scaled(256)}
    for size, canvas in icons.items():
        write(canvas, os.path.join("icons", "hicolor", f"{size}x{size}", "apps", "varnoset.png"))


if __name__ == "__main__":
    main()
