#!/usr/bin/env python3
"""Draws the editor's two drag cursors as 32x32 PNG files in resources/cursors.

DragCur1 (moving text): an arrow carrying a dotted block of text.
DragCur2 (copying text): the same with a small "+" box.
The hot spot is the arrow's tip at (0, 0). Only the Python standard library is used:
    python3 scripts/make-cursors.py
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "cursors")
SIZE = 32

CLEAR = (0, 0, 0, 0)
INK = (0, 0, 0, 255)
PAPER = (255, 255, 255, 255)

# The arrow, row by row: '#' outline, '.' fill, ' ' clear.
ARROW = [
    "#",
    "##",
    "#.#",
    "#..#",
    "#...#",
    "#....#",
    "#.....#",
    "#......#",
    "#.......#",
    "#........#",
    "#.....#####",
    "#..#..#",
    "#.# #..#",
    "##  #..#",
    "#    #..#",
    "     #..#",
    "      ##",
]


def blank():
    return [[CLEAR] * SIZE for _ in range(SIZE)]


def put(img, x, y, c):
    if 0 <= x < SIZE and 0 <= y < SIZE:
        img[y][x] = c


def draw_arrow(img):
    for y, row in enumerate(ARROW):
        for x, ch in enumerate(row):
            if ch == "#":
                put(img, x, y, INK)
            elif ch == ".":
                put(img, x, y, PAPER)


def draw_block(img, left, top, right, bottom):
    """A dotted frame on white: the text being carried."""
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            put(img, x, y, PAPER)
    for x in range(left, right + 1):
        if x % 2 == 0:
            put(img, x, top, INK)
            put(img, x, bottom, INK)
    for y in range(top, bottom + 1):
        if y % 2 == 0:
            put(img, left, y, INK)
            put(img, right, y, INK)


def draw_plus(img, left, top):
    """A boxed plus sign, 11 pixels square."""
    for y in range(top, top + 11):
        for x in range(left, left + 11):
            edge = y in (top, top + 10) or x in (left, left + 10)
            put(img, x, y, INK if edge else PAPER)
    for i in range(2, 9):
        put(img, left + 5, top + i, INK)
        put(img, left + i, top + 5, INK)


def png(img):
    raw = b"".join(b"\x00" + b"".join(struct.pack("4B", *px) for px in row) for row in img)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    os.makedirs(OUT, exist_ok=True)
    move = blank()
    draw_block(move, 9, 18, 22, 27)
    draw_arrow(move)
    copy = blank()
    draw_block(copy, 9, 18, 22, 27)
    draw_arrow(copy)
    draw_plus(copy, 19, 20)
    for name, img in (("DragCur1.png", move), ("DragCur2.png", copy)):
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(png(img))


if __name__ == "__main__":
    main()
