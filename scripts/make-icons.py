#!/usr/bin/env python3
"""Draws the program's action images (16x16, and again at 24, 32 and 48 pixels for scaled
screens) and its icon as PNG files in resources/icons.

Only the Python standard library is used. Run from anywhere:
    python3 scripts/make-icons.py
The numbering is the image index the action table uses.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "icons")

# Palette: one dark outline and a few saturated colours, used the same way on every image.
CLEAR = (0, 0, 0, 0)
INK = (52, 56, 64, 255)
PAPER = (255, 255, 255, 255)
PAPER_SHADE = (214, 220, 228, 255)
TEXT = (140, 150, 165, 255)
BLUE = (40, 100, 205, 255)
BLUE_LIGHT = (160, 200, 245, 255)
GREEN = (40, 150, 70, 255)
GREEN_LIGHT = (150, 215, 160, 255)
RED = (215, 55, 45, 255)
YELLOW = (250, 205, 50, 255)
ORANGE = (235, 135, 35, 255)
BROWN = (160, 105, 55, 255)
FOLDER = (245, 195, 85, 255)
FOLDER_DARK = (200, 140, 45, 255)
GREY = (160, 165, 175, 255)
BLOCK = (45, 95, 190, 255)   # tag badges: block elements
INLINE = (35, 135, 75, 255)  # tag badges: inline elements

# A small upper-case font; each glyph is rows of '#' and '.', five rows high.
FONT = {
    "A": [".#.", "#.#", "###", "#.#", "#.#"],
    "B": ["##.", "#.#", "##.", "#.#", "##."],
    "D": ["##.", "#.#", "#.#", "#.#", "##."],
    "E": ["###", "#..", "##.", "#..", "###"],
    "H": ["#.#", "#.#", "###", "#.#", "#.#"],
    "I": ["###", ".#.", ".#.", ".#.", "###"],
    "L": ["#..", "#..", "#..", "#..", "###"],
    "M": ["#...#", "##.##", "#.#.#", "#...#", "#...#"],
    "N": ["#..#", "##.#", "#.##", "#..#", "#..#"],
    "P": ["##.", "#.#", "##.", "#..", "#.."],
    "R": ["##.", "#.#", "##.", "#.#", "#.#"],
    "S": [".##", "#..", ".#.", "..#", "##."],
    "T": ["###", ".#.", ".#.", ".#.", ".#."],
    "V": ["#.#", "#.#", "#.#", "#.#", ".#."],
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["##.", "..#", ".#.", "#..", "###"],
    "3": ["##.", "..#", ".#.", "..#", "##."],
    "4": ["#.#", "#.#", "###", "..#", "..#"],
    "\u201c": ["##.##", "##.##", ".#..#", "#..#.", "....."],
}


class Canvas:
    def __init__(self, size=16):
        self.size = size
        self.px = [[CLEAR] * size for _ in range(size)]

    def set(self, x, y, c):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def box(self, x0, y0, x1, y1, inside, edge=INK):
        self.fill(x0, y0, x1, y1, inside)
        self.frame(x0, y0, x1, y1, edge)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, c):
        for y in range(self.size):
            for x in range(self.size):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def ring(self, cx, cy, r, c, width=1.0):
        for y in range(self.size):
            for x in range(self.size):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if r - width < d <= r + 0.01:
                    self.set(x, y, c)

    def glyph(self, rows, x, y, c):
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch == "#":
                    self.set(x + i, y + j, c)

    def text(self, s, x, y, c):
        for ch in s:
            g = FONT[ch]
            self.glyph(g, x, y, c)
            x += len(g[0]) + 1

    def png(self):
        raw = b""
        for row in self.px:
            raw += b"\x00" + b"".join(bytes(p) for p in row)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.size, self.size, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def scale2x(px):
    """Pixel art twice as large with its diagonal steps smoothed (the EPX rule), instead of
    every pixel doubled into a block."""
    n = len(px)
    out = [[CLEAR] * (2 * n) for _ in range(2 * n)]

    def at(x, y):
        return px[min(max(y, 0), n - 1)][min(max(x, 0), n - 1)]

    for y in range(n):
        for x in range(n):
            p, a, b, c, d = at(x, y), at(x, y - 1), at(x + 1, y), at(x - 1, y), at(x, y + 1)
            e = [p, p, p, p]
            if c == a and c != d and a != b:
                e[0] = a
            if a == b and a != c and b != d:
                e[1] = b
            if d == c and d != b and c != a:
                e[2] = c
            if b == d and b != a and d != c:
                e[3] = d
            out[2 * y][2 * x], out[2 * y][2 * x + 1] = e[0], e[1]
            out[2 * y + 1][2 * x], out[2 * y + 1][2 * x + 1] = e[2], e[3]
    return out


def scale3x(px):
    """Pixel art three times as large, diagonal steps smoothed (the AdvMAME3x rule)."""
    n = len(px)
    out = [[CLEAR] * (3 * n) for _ in range(3 * n)]

    def at(x, y):
        return px[min(max(y, 0), n - 1)][min(max(x, 0), n - 1)]

    for y in range(n):
        for x in range(n):
            a, b, c = at(x - 1, y - 1), at(x, y - 1), at(x + 1, y - 1)
            d, e, f = at(x - 1, y), at(x, y), at(x + 1, y)
            g, h, i = at(x - 1, y + 1), at(x, y + 1), at(x + 1, y + 1)
            r = [e] * 9
            if b != h and d != f:
                r[0] = d if d == b else e
                r[1] = b if (d == b and e != c) or (b == f and e != a) else e
                r[2] = f if b == f else e
                r[3] = d if (d == b and e != g) or (d == h and e != a) else e
                r[5] = f if (b == f and e != i) or (h == f and e != c) else e
                r[6] = d if d == h else e
                r[7] = h if (d == h and e != i) or (h == f and e != g) else e
                r[8] = f if h == f else e
            for j in range(9):
                out[3 * y + j // 3][3 * x + j % 3] = r[j]
    return out


def halve(px):
    """Half the size, each pixel the mean of four (colour weighted by coverage)."""
    n = len(px) // 2
    out = [[CLEAR] * n for _ in range(n)]
    for y in range(n):
        for x in range(n):
            quad = [px[2 * y + j][2 * x + i] for j in (0, 1) for i in (0, 1)]
            alpha = sum(q[3] for q in quad)
            if alpha == 0:
                continue
            rgb = tuple((sum(q[k] * q[3] for q in quad) + alpha // 2) // alpha for k in range(3))
            out[y][x] = rgb + ((alpha + 2) // 4,)
    return out


def larger(c, size):
    """The 16-pixel image drawn again at 24, 32 or 48 pixels."""
    big = Canvas(size)
    if size == 32:
        big.px = scale2x(c.px)
    elif size == 48:
        big.px = scale3x(c.px)
    elif size == 24:
        big.px = halve(scale3x(c.px))
    else:
        raise ValueError(size)
    return big


def text_width(s):
    return sum(len(FONT[ch][0]) for ch in s) + len(s) - 1


# ---- building blocks shared by several images

def page(c, x0=2, y0=1, x1=11, y1=14, lines=True):
    """A sheet of paper with a folded top-right corner and optional text lines."""
    c.box(x0, y0, x1, y1, PAPER)
    for i in range(3):  # the fold
        for j in range(3 - i):
            c.set(x1 - j, y0 + i, CLEAR)
    c.line(x1 - 3, y0, x1, y0 + 3, INK)
    c.set(x1 - 3, y0 + 1, INK)
    c.set(x1 - 3, y0 + 2, INK)
    c.line(x1 - 3, y0 + 3, x1 - 1, y0 + 3, INK)
    c.set(x1 - 2, y0 + 2, PAPER_SHADE)
    c.set(x1 - 1, y0 + 2 if False else y0 + 3, INK)
    if lines:
        for y in range(y0 + 5, y1 - 1, 2):
            c.line(x0 + 2, y, x1 - 2, y, TEXT)


def badge(c, label, colour, strike=False, underline=False):
    """A rounded tag badge with a short upper-case label."""
    c.fill(0, 3, 15, 12, colour)
    for x, y in ((0, 3), (15, 3), (0, 12), (15, 12)):
        c.set(x, y, CLEAR)
    w = text_width(label)
    x = (16 - w) // 2
    c.text(label, x, 5, PAPER)
    if strike:
        c.line(max(0, x - 1), 7, min(15, x + w), 7, (255, 120, 110, 255))
    if underline:
        c.line(x, 11, x + w - 1, 11, YELLOW)


def floppy(c, x0=1, y0=1, x1=14, y1=14):
    c.box(x0, y0, x1, y1, BLUE)
    c.fill(x0 + 3, y0 + 1, x1 - 3, y0 + 5, PAPER)      # label
    c.line(x0 + 4, y0 + 2, x1 - 4, y0 + 2, TEXT)
    c.fill(x0 + 3, y1 - 4, x1 - 3, y1 - 1, GREY)       # shutter
    c.fill(x1 - 5, y1 - 3, x1 - 4, y1 - 2, INK)


def clipboard(c):
    c.box(2, 2, 13, 15, BROWN)
    c.box(4, 4, 11, 14, PAPER)
    c.box(5, 1, 10, 3, GREY)
    c.fill(7, 1, 8, 1, INK)


def plus(c, cx, cy, colour=GREEN):
    c.fill(cx - 2, cy - 1, cx + 2, cy + 1, PAPER)
    c.fill(cx - 1, cy - 2, cx + 1, cy + 2, PAPER)
    c.line(cx - 2, cy, cx + 2, cy, colour)
    c.line(cx, cy - 2, cx, cy + 2, colour)
    c.set(cx - 1, cy, colour)


def star(c, cx, cy, colour=YELLOW, edge=ORANGE):
    rows = ["....#....", "...###...", "#########", ".#######.", "..#####..", "..##.##..",
            ".##...##."]
    for j, row in enumerate(rows):
        for i, ch in enumerate(row):
            if ch == "#":
                c.set(cx - 4 + i, cy - 3 + j, colour)
    # outline where the star meets the clear background
    pts = [(x, y) for y in range(16) for x in range(16) if c.px[y][x] == colour]
    for x, y in pts:
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            nx, ny = x + dx, y + dy
            if 0 <= nx < 16 and 0 <= ny < 16 and c.px[ny][nx] == CLEAR:
                c.set(x, y, edge)
                break


def magnifier(c, cx=6, cy=6, r=4.5):
    c.disc(cx, cy, r, BLUE_LIGHT)
    c.ring(cx, cy, r + 0.3, INK, 1.3)
    for i in range(4):
        c.set(cx + 3 + i, cy + 4 + i, INK)
        c.set(cx + 4 + i, cy + 4 + i, INK)
        c.set(cx + 4 + i, cy + 3 + i, BROWN)


def calendar(c, x0=1, y0=2, x1=14, y1=14):
    c.box(x0, y0, x1, y1, PAPER)
    c.fill(x0 + 1, y0 + 1, x1 - 1, y0 + 3, RED)
    c.set(x0 + 3, y0 - 1, INK)
    c.set(x0 + 3, y0, INK)
    c.set(x1 - 3, y0 - 1, INK)
    c.set(x1 - 3, y0, INK)
    for y in range(y0 + 5, y1, 2):
        for x in range(x0 + 2, x1 - 1, 2):
            c.set(x, y, TEXT)


def arrow_curve(c, mirror=False):
    pts = []
    # A hook: from the right, up and over to the left, ending in an arrow head.
    arc = [(11, 12), (12, 11), (13, 10), (13, 9), (13, 8), (12, 7), (11, 6), (10, 5), (9, 5),
           (8, 5), (7, 5), (6, 5), (5, 5), (4, 5)]
    head = [(4, 2), (4, 3), (4, 4), (4, 5), (4, 6), (4, 7), (4, 8), (3, 3), (3, 4), (3, 5),
            (3, 6), (3, 7), (2, 4), (2, 5), (2, 6), (1, 5)]
    for x, y in arc:
        pts += [(x, y), (x, y + 1)]
    pts += head
    for x, y in pts:
        c.set(15 - x if mirror else x, y, BLUE)


DIGITS_SMALL = [[".#.", "##.", ".#.", "###"], ["##.", "..#", ".#.", "###"],
                ["##.", ".#.", "..#", "##."]]


def list_icon(c, numbered):
    for i, y in enumerate((2, 7, 12)):
        if numbered:
            c.glyph(DIGITS_SMALL[i], 1, y - 1, ORANGE)
        else:
            c.fill(2, y, 3, y + 1, ORANGE)
        c.line(6, y, 14, y, INK)
        c.line(6, y + 1, 12, y + 1, TEXT)


def big_letter(c, rows, colour=INK, x=3, y=2):
    c.glyph(rows, x, y, colour)


# ---- the images, in image-index order

def img_add_page(c):
    page(c)
    plus(c, 12, 12)


def img_delete_page(c):
    page(c)
    for i in range(5):
        c.set(9 + i, 9 + i, RED)
        c.set(10 + i, 9 + i, RED)
        c.set(13 - i, 9 + i, RED)
        c.set(14 - i, 9 + i, RED)


def img_open(c):
    c.box(1, 4, 12, 13, FOLDER_DARK)
    c.fill(2, 3, 6, 4, FOLDER_DARK)
    c.frame(1, 3, 6, 4, INK)
    # the open front, leaning forward
    for y in range(7, 14):
        x0 = 3 + (13 - y) // 2
        c.line(x0, y, x0 + 11, y, FOLDER)
    c.line(6, 7, 15, 7, INK)
    c.line(15, 7, 12, 13, INK)
    c.line(1, 13, 12, 13, INK)
    c.line(6, 7, 3, 13, INK)


def img_save_as(c):
    floppy(c, 0, 2, 12, 14)
    # pencil
    for i in range(6):
        c.set(9 + i, 6 - i + 0, ORANGE)
        c.set(10 + i, 6 - i + 1, ORANGE)
        c.set(10 + i, 6 - i, INK)
    c.set(8, 8, INK)
    c.set(9, 7, YELLOW)


def img_save(c):
    floppy(c)


def img_exit(c):
    c.box(2, 1, 9, 14, BROWN)
    c.fill(3, 2, 8, 13, (205, 150, 95, 255))
    c.set(7, 8, YELLOW)
    # arrow out
    c.line(8, 8, 14, 8, GREEN)
    c.line(8, 7, 14, 7, GREEN)
    for i in range(3):
        c.line(12 - i, 5 + i, 12 - i, 10 - i, GREEN)
    c.set(15, 7, GREEN)
    c.set(15, 8, GREEN)


def img_cut(c):
    c.line(4, 1, 10, 10, GREY)
    c.line(5, 1, 11, 10, INK)
    c.line(11, 1, 5, 10, GREY)
    c.line(10, 1, 4, 10, INK)
    c.ring(4, 12, 2.6, RED, 1.2)
    c.ring(11, 12, 2.6, RED, 1.2)


def img_copy(c):
    page(c, 1, 1, 9, 11)
    page(c, 6, 4, 14, 15)


def img_paste(c):
    clipboard(c)
    for y in (7, 9, 11):
        c.line(6, y, 10, y, TEXT)


def img_copy_all(c):
    page(c, 1, 1, 9, 11)
    page(c, 6, 4, 14, 15, lines=False)
    for y in range(8, 14):
        c.line(8, y, 12, y, BLUE_LIGHT)
    for y in (9, 11, 13):
        c.line(8, y, 12, y, BLUE)


def img_select_all(c):
    for i in range(0, 16, 2):
        c.set(i, 1, INK)
        c.set(i + 1, 14, INK)
        c.set(0, i + 1, INK)
        c.set(15, i, INK)
    c.fill(3, 4, 12, 11, BLUE_LIGHT)
    for y in (5, 7, 9):
        c.line(4, y, 11, y, BLUE)
    c.line(4, 11, 8, 11, BLUE)


def img_undo(c):
    arrow_curve(c)


def img_redo(c):
    arrow_curve(c, mirror=True)


def img_find(c):
    magnifier(c)


def img_replace(c):
    c.text("A", 0, 1, BLUE)
    c.line(5, 3, 10, 3, ORANGE)
    c.line(9, 2, 9, 4, ORANGE)
    c.set(8, 1, ORANGE)
    c.set(8, 5, ORANGE)
    c.text("B", 12, 1, RED)
    magnifier(c, 6, 10, 3.5)

def img_bold(c):
    big_letter(c, ["######.", "##...##", "##...##", "######.", "##...##", "##...##",
                   "##...##", "######."], x=4, y=4)
    c.fill(4, 3, 9, 3, CLEAR)


def img_italic(c):
    for j, x in enumerate((9, 9, 8, 8, 7, 7, 6, 6, 5, 5)):
        c.set(x, 3 + j, INK)
        c.set(x + 1, 3 + j, INK)
    c.line(6, 3, 12, 3, INK)
    c.line(3, 12, 9, 12, INK)


def img_font(c):
    big_letter(c, ["#######", "##.....", "##.....", "######.", "##.....", "##.....",
                   "##....."], x=4, y=1)
    c.fill(2, 11, 5, 13, RED)
    c.fill(6, 11, 9, 13, GREEN)
    c.fill(10, 11, 13, 13, BLUE)


def img_underline(c):
    big_letter(c, ["##...##", "##...##", "##...##", "##...##", "##...##", ".#####."], x=4,
               y=2)
    c.line(3, 11, 12, 11, BLUE)
    c.line(3, 12, 12, 12, BLUE)


def img_big(c):
    big_letter(c, ["...#...", "..###..", "..#.#..", ".##.##.", ".#####.", "##...##",
                   "##...##"], x=0, y=6)
    c.set(12, 2, GREEN)
    c.line(11, 3, 13, 3, GREEN)
    c.line(10, 4, 14, 4, GREEN)
    c.fill(11, 5, 13, 7, GREEN)


def img_small(c):
    c.glyph(FONT["A"], 2, 9, INK)
    c.fill(10, 2, 12, 4, RED)
    c.line(9, 5, 13, 5, RED)
    c.line(10, 6, 12, 6, RED)
    c.set(11, 7, RED)


def img_center(c):
    for y, (x0, x1) in zip((2, 5, 8, 11, 14), ((2, 13), (4, 11), (1, 14), (4, 11), (3, 12))):
        c.line(x0, y, x1, y, INK)


def img_preview(c):
    c.box(0, 1, 15, 14, PAPER)
    c.fill(1, 2, 14, 3, BLUE)
    c.set(13, 2, PAPER)
    # an eye in the page
    eye = ["....######....", "..##......##..", ".#....##....#.", "#....####....#",
           ".#....##....#.", "..##......##..", "....######...."]
    for j, row in enumerate(eye):
        for i, ch in enumerate(row):
            if ch == "#":
                c.set(1 + i, 6 + j, BLUE if 4 <= i <= 9 and 2 <= j <= 4 else INK)

def img_txf(c):
    for i in range(10):
        c.set(2 + i, 13 - i, BROWN)
        c.set(3 + i, 13 - i, INK)
    c.set(12, 3, PAPER)
    c.set(11, 4, PAPER)
    for x, y in ((12, 0), (12, 1), (10, 2), (14, 2), (15, 4), (9, 1)):
        c.set(x, y, YELLOW)
    c.line(13, 6, 15, 6, YELLOW)
    c.set(14, 5, YELLOW)
    c.set(14, 7, YELLOW)


def img_pilcrow(c):
    badge(c, "P", BLOCK)


def img_span(c):
    # Four letters do not fit one row of a 16-pixel badge: two rows of two.
    c.fill(0, 1, 15, 14, INLINE)
    for x, y in ((0, 1), (15, 1), (0, 14), (15, 14)):
        c.set(x, y, CLEAR)
    c.text("SP", (16 - text_width("SP")) // 2, 2, PAPER)
    c.text("AN", (16 - text_width("AN")) // 2, 8, PAPER)


def img_blockquote(c):
    badge(c, "\u201c", BLOCK)


def img_link(c):
    # two chain links, one through the other
    c.ring(5, 8, 4.2, BLUE, 1.6)
    c.ring(10.5, 8, 4.2, INK, 1.6)
    for y in (5, 6):
        c.set(8, y, BLUE)

def img_image(c):
    c.box(0, 2, 15, 13, (185, 220, 250, 255))
    c.disc(11, 5.5, 1.6, YELLOW)
    for x in range(1, 15):
        top = 12 - min(abs(x - 5), 6) + (2 if x > 9 else 0)
        top = max(top, 6 if x < 9 else 8)
        c.line(x, top, x, 12, GREEN)


def img_br(c):
    c.line(12, 2, 12, 9, GREEN)
    c.line(13, 2, 13, 9, GREEN)
    c.line(5, 9, 13, 9, GREEN)
    c.line(5, 10, 13, 10, GREEN)
    for i in range(4):
        c.line(5 - i, 9 - i, 5 - i, 10 + i, GREEN)


def img_ul(c):
    list_icon(c, False)


def img_ol(c):
    list_icon(c, True)


def img_date(c):
    calendar(c)


def img_datetime(c):
    calendar(c, 0, 2, 11, 12)
    c.disc(11, 11, 4.3, PAPER)
    c.ring(11, 11, 4.4, INK, 1.2)
    c.line(11, 8, 11, 11, INK)
    c.line(11, 11, 13, 11, INK)


def img_add_url(c):
    clipboard(c)
    star(c, 8, 9)


def img_favorite(c):
    rows = [".......#.......", "......###......", ".....#####.....", "###############",
            ".#############.", "..###########..", "...#########...", "...####.####...",
            "..####...####..", "..##.......##..", ".#...........#."]
    for j, row in enumerate(rows):
        for i, ch in enumerate(row):
            if ch == "#":
                c.set(i, 2 + j, YELLOW)
    pts = [(x, y) for y in range(16) for x in range(16) if c.px[y][x] == YELLOW]
    for x, y in pts:
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            nx, ny = x + dx, y + dy
            if not (0 <= nx < 16 and 0 <= ny < 16) or c.px[ny][nx] == CLEAR:
                c.set(x, y, ORANGE)
                break


def img_quote_paste(c):
    clipboard(c)
    c.line(6, 7, 8, 9, BLUE)
    c.line(6, 11, 8, 9, BLUE)
    c.line(7, 7, 9, 9, BLUE)
    c.line(7, 11, 9, 9, BLUE)


IMAGES = [
    img_add_page,                                       # 0 FileAddPage1
    img_delete_page,                                    # 1 FileDeletePage1
    img_open,                                           # 2 FileOpen1
    img_save_as,                                        # 3 FileSaveAs1
    img_save,                                           # 4 FileSave1
    img_exit,                                           # 5 FileExit1
    img_cut,                                            # 6 EditCut
    img_copy,                                           # 7 EditCopy
    img_paste,                                          # 8 EditPaste
    img_copy_all,                                       # 9 EditCopyAll
    img_select_all,                                     # 10 EditSelectAll1
    img_undo,                                           # 11 EditUndo
    img_redo,                                           # 12 EditRedo
    img_find,                                           # 13 SearchFind
    img_replace,                                        # 14 SearchReplace
    img_bold,                                           # 15 HtmlB
    img_italic,                                         # 16 HtmlI
    img_font,                                           # 17 HtmlF
    img_underline,                                      # 18 HtmlU
    img_big,                                            # 19 HtmlBig
    img_small,                                          # 20 HtmlSmall
    img_center,                                         # 21 HtmlCenter
    img_preview,                                        # 22 HtmlPreview
    img_txf,                                            # 23 ToolCallTxf
    lambda c: badge(c, "DIV", BLOCK),                   # 24 HtmlDiv
    lambda c: badge(c, "H1", BLOCK),                    # 25 HtmlH1
    lambda c: badge(c, "H2", BLOCK),                    # 26 HtmlH2
    lambda c: badge(c, "H3", BLOCK),                    # 27 HtmlH3
    lambda c: badge(c, "H4", BLOCK),                    # 28 HtmlH4
    img_pilcrow,                                        # 29 HtmlP
    lambda c: badge(c, "PRE", BLOCK),                   # 30 HtmlPre
    img_blockquote,                                     # 31 HtmlBlockquote
    img_span,                                           # 32 HtmlSpan
    lambda c: badge(c, "EM", INLINE),                   # 33 HtmlEm
    lambda c: badge(c, "STR", INLINE),                  # 34 HtmlStrong
    img_link,                                           # 35 HtmlA
    img_image,                                          # 36 HtmlImg
    img_br,                                             # 37 HTMLBr
    img_ul,                                             # 38 HtmlUl
    img_ol,                                             # 39 HtmlOl
    img_date,                                           # 40 EditAddDate
    img_datetime,                                       # 41 EditAddDateTime
    img_add_url,                                        # 42 EditAddUrl
    img_favorite,                                       # 43 WebFavorite
    img_quote_paste,                                    # 44 EditQuotePaste
    lambda c: badge(c, "DEL", INLINE, strike=True),     # 45 HtmlDel
    lambda c: badge(c, "INS", INLINE, underline=True),  # 46 HtmlIns
]


def program_icon(size=48):
    """A chick on a sheet of paper, designed on a 48-unit square and drawn smooth at any size
    by supersampling."""
    ss = 4
    unit = 48 / size
    c = Canvas(size)

    def cover(fn):
        for y in range(size):
            for x in range(size):
                hits = 0
                for sy in range(ss):
                    for sx in range(ss):
                        if fn((x + (sx + 0.5) / ss) * unit, (y + (sy + 0.5) / ss) * unit):
                            hits += 1
                if hits:
                    yield x, y, hits / (ss * ss)

    def paint(fn, colour):
        for x, y, a in cover(fn):
            old = c.px[y][x]
            oa = old[3] / 255
            na = a + oa * (1 - a)
            mix = tuple(int((colour[i] * a + old[i] * oa * (1 - a)) / na) if na else 0
                        for i in range(3))
            c.px[y][x] = mix + (int(na * 255),)

    paint(lambda x, y: 4 <= x <= 40 and 6 <= y <= 44, INK)
    paint(lambda x, y: 6 <= x <= 38 and 8 <= y <= 42, PAPER)
    for ly in (14, 20, 26):
        paint(lambda x, y, ly=ly: 10 <= x <= 24 and ly <= y <= ly + 1.5, TEXT)
    body = lambda x, y: (x - 30) ** 2 / 15 ** 2 + (y - 33) ** 2 / 12 ** 2 <= 1
    head = lambda x, y: (x - 33) ** 2 + (y - 20) ** 2 <= 9.5 ** 2
    paint(lambda x, y: body(x, y) or head(x, y), ORANGE)
    paint(lambda x, y: (x - 30) ** 2 / 13.5 ** 2 + (y - 33) ** 2 / 10.5 ** 2 <= 1
          or (x - 33) ** 2 + (y - 20) ** 2 <= 8 ** 2, YELLOW)
    paint(lambda x, y: (x - 36) ** 2 + (y - 18) ** 2 <= 1.8 ** 2, INK)
    paint(lambda x, y: 41 <= x <= 47 and abs(y - 21) <= (47 - x) * 0.45, ORANGE)
    paint(lambda x, y: (x - 25) ** 2 / 7 ** 2 + (y - 33) ** 2 / 4 ** 2 <= 1, FOLDER_DARK)
    return c


APP_ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
ACTION_SIZES = (16, 24, 32, 48)


def main():
    os.makedirs(OUT, exist_ok=True)
    assert len(IMAGES) == 47, len(IMAGES)
    for size in ACTION_SIZES[1:]:
        os.makedirs(os.path.join(OUT, str(size)), exist_ok=True)
    for index, draw in enumerate(IMAGES):
        c = Canvas()
        draw(c)
        with open(os.path.join(OUT, "%02d.png" % index), "wb") as f:
            f.write(c.png())
        # Qt picks the size that matches the screen's scale (1, 1.5, 2, 3).
        for size in ACTION_SIZES[1:]:
            with open(os.path.join(OUT, str(size), "%02d.png" % index), "wb") as f:
                f.write(larger(c, size).png())
    with open(os.path.join(OUT, "piyonote2.png"), "wb") as f:
        f.write(program_icon().png())
    # The desktop's icon theme picks the size it needs.
    os.makedirs(os.path.join(OUT, "app"), exist_ok=True)
    for size in APP_ICON_SIZES:
        with open(os.path.join(OUT, "app", "piyonote2-%d.png" % size), "wb") as f:
            f.write(program_icon(size).png())


if __name__ == "__main__":
    main()
