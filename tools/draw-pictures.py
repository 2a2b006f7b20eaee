#!/usr/bin/env python3
"""Draws the seven lawn pictures as 24-bit BMP files (30 x 30 pixel art).

    python3 tools/draw-pictures.py [output folder]   (default: resources/runtime)

The sheep and the tree stand on pure blue, which the program paints
transparent; the path and the mark cover their whole cell.
"""
import os
import random
import struct
import sys

SIZE = 30
BLUE = (0, 0, 255)            # transparent colour of sheep and tree
CUT_GRASS = (68, 221, 68)     # the mark's background: the colour of cut grass


class Canvas:
    def __init__(self, background):
        self.px = [[background] * SIZE for _ in range(SIZE)]

    def get(self, x, y):
        return self.px[y][x]

    def put(self, x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = colour

    def ellipse(self, cx, cy, rx, ry, colour):
        for y in range(SIZE):
            for x in range(SIZE):
                dx, dy = (x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry
                if dx * dx + dy * dy <= 1.0:
                    self.put(x, y, colour)

    def circle(self, cx, cy, r, colour):
        self.ellipse(cx, cy, r, r, colour)

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def outline(self, background, colour):
        """Gives every drawn pixel that touches the background a dark edge."""
        edge = []
        for y in range(SIZE):
            for x in range(SIZE):
                if self.get(x, y) == background:
                    continue
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                    nx, ny = x + dx, y + dy
                    if not (0 <= nx < SIZE and 0 <= ny < SIZE) or self.get(nx, ny) == background:
                        edge.append((x, y))
                        break
        for x, y in edge:
            self.put(x, y, colour)

    def rotated_clockwise(self, quarter_turns):
        out = Canvas(BLUE)
        out.px = [row[:] for row in self.px]
        for _ in range(quarter_turns % 4):
            out.px = [[out.px[SIZE - 1 - x][y] for x in range(SIZE)] for y in range(SIZE)]
        return out

    def save_bmp(self, path):
        row_bytes = SIZE * 3
        padding = (4 - row_bytes % 4) % 4
        data = bytearray()
        for y in range(SIZE - 1, -1, -1):          # BMP rows go bottom-up
            for r, g, b in self.px[y]:
                data += bytes((b, g, r))
            data += b"\0" * padding
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        with open(path, "wb") as f:
            f.write(header + info + data)


def sheep_facing_north():
    wool, wool_shade, wool_light = (246, 246, 238), (214, 212, 200), (255, 255, 255)
    head, ear, edge = (70, 58, 56), (96, 78, 74), (72, 68, 70)
    c = Canvas(BLUE)
    # A woolly body: a ring of puffs around an oval, shaded towards the back right.
    puffs = [(8, 13), (15, 10), (22, 13), (7, 19), (23, 19), (9, 25), (15, 26), (21, 25)]
    for x, y in puffs:
        c.circle(x + 0.5, y + 0.5, 4.2, wool_shade)
    c.ellipse(15, 18, 9, 9.5, wool_shade)
    for x, y in puffs:
        c.circle(x, y, 3.6, wool)
    c.ellipse(14.5, 17.5, 8, 8.5, wool)
    for x, y in [(11, 14), (17, 13), (13, 20), (19, 19), (15, 24)]:
        c.circle(x, y, 1.6, wool_light)
    # The head in front, with ears, eyes and a tuft of wool on top.
    c.ellipse(15, 7, 4.8, 5.6, head)
    c.outline(BLUE, edge)
    for side in (-1, 1):                                  # ears stick out sideways
        c.ellipse(15 + side * 6.6, 7.5, 2.8, 1.6, ear)
        c.put(15 + side * 7 - (1 if side < 0 else 0), 7, (214, 150, 150))
    for x in (12, 17):
        c.put(x, 5, (255, 255, 255))
        c.put(x, 4, (20, 20, 20))
    c.put(14, 2, (120, 96, 92))
    c.put(15, 2, (120, 96, 92))
    c.circle(15, 10.5, 2.2, wool)
    c.put(15, 10, wool_light)
    return c


def tree():
    dark, leaf, light, edge = (22, 104, 34), (36, 132, 44), (92, 182, 76), (12, 62, 22)
    c = Canvas(BLUE)
    blobs = [(15, 6), (8, 10), (22, 10), (6, 17), (24, 17), (10, 23), (20, 23), (15, 24)]
    for x, y in blobs:
        c.circle(x, y, 5.2, dark)
    c.circle(15, 15, 10.5, dark)
    for x, y in blobs:
        c.circle(x - 0.6, y - 0.6, 4.0, leaf)
    c.circle(14.5, 14.5, 9, leaf)
    for x, y, r in [(11, 9, 2.6), (18, 8, 1.8), (8, 14, 1.8), (14, 13, 2.2), (19, 15, 1.6)]:
        c.circle(x, y, r, light)
    for x, y, r in [(19, 20, 3.0), (13, 21, 2.0), (23, 14, 1.8)]:
        c.circle(x, y, r, dark)
    c.outline(BLUE, edge)
    for x, y in [(9, 17), (21, 11), (16, 19), (12, 6), (22, 21)]:   # apples
        c.put(x, y, (214, 40, 36))
        c.put(x + 1, y, (180, 26, 26))
        c.put(x, y - 1, (255, 120, 110))
    return c


def way():
    base, dark, light = (164, 122, 86), (136, 98, 66), (190, 152, 112)
    stone, stone_light, stone_dark = (150, 146, 136), (196, 192, 182), (104, 100, 94)
    c = Canvas(base)
    rng = random.Random(7)
    for _ in range(120):
        c.put(rng.randrange(SIZE), rng.randrange(SIZE), rng.choice((dark, dark, light)))
    for x, y in [(5, 6), (21, 4), (13, 15), (25, 19), (7, 24), (18, 26)]:
        c.rect(x, y, x + 2, y + 1, stone)
        c.put(x, y, stone_light)
        c.put(x + 1, y, stone_light)
        c.put(x + 2, y + 1, stone_dark)
        c.rect(x, y + 2, x + 2, y + 2, dark)
    return c


def mark():
    c = Canvas(CUT_GRASS)
    pole, pole_light = (92, 64, 40), (150, 112, 76)
    red, red_dark, red_light = (222, 40, 40), (164, 22, 26), (255, 108, 96)
    c.ellipse(11.5, 26, 5, 1.6, (52, 184, 52))          # shadow at the foot of the pole
    c.rect(10, 4, 11, 26, pole)
    c.rect(10, 4, 10, 26, pole_light)
    for y in range(5, 17):                               # a pennant blowing to the right
        reach = 12 + (6 - abs(y - 10.5)) * 2.2
        for x in range(12, int(reach) + 1):
            c.put(x, y, red)
        c.put(int(reach), y, red_dark)
    c.rect(12, 5, 20, 5, red_dark)
    c.rect(12, 16, 16, 16, red_dark)
    c.rect(13, 7, 16, 8, red_light)
    c.circle(10.8, 3.5, 1.6, (250, 214, 60))             # knob on top
    return c


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources", "runtime")
    north = sheep_facing_north()
    pictures = {
        "schaf_north.bmp": north,
        "schaf_east.bmp": north.rotated_clockwise(1),
        "schaf_south.bmp": north.rotated_clockwise(2),
        "schaf_west.bmp": north.rotated_clockwise(3),
        "baum.bmp": tree(),
        "weg.bmp": way(),
        "mark.bmp": mark(),
    }
    for name, canvas in pictures.items():
        canvas.save_bmp(os.path.join(out, name))


if __name__ == "__main__":
    main()
