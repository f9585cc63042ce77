#!/usr/bin/env python3
"""Draws the programs' artwork: Tessel's toolbar strip and icon, and
setup's icon, as 16-colour BMP and ICO files.

    python3 draw_art.py REPO_ROOT

Writes editor/res/Toolbar.bmp, editor/res/Tessel.ico and
installer/res/Setup.ico. The images are kept here as character maps, one
character a pixel; the palette is the standard 16-colour one.
"""

import struct
import sys
from pathlib import Path

PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# Character to palette index; ' ' is transparent in icons.
COLOURS = {
    'k': 0, 'm': 1, 'G': 2, 'o': 3, 'n': 4, 'p': 5, 't': 6, '.': 7,
    'g': 8, 'r': 9, 'l': 10, 'y': 11, 'b': 12, 'f': 13, 'c': 14, 'w': 15,
}

# The toolbar's nine buttons, in the order of its commands. '.' is the
# button face.
BUTTONS = {
    'new': """
................
...kkkkkkk......
...kwwwwwkk.....
...kwwwwwkwk....
...kwwwwwkkkk...
...kwwwwwwwwk...
...kwwwwwwwwk...
...kwwwwwwwwk...
...kwwwwwwwwk...
...kwwwwwwwwk...
...kwwwwwwwwk...
...kwwwwwwwwk...
...kwwwwwwwwk...
...kwwwwwwwwk...
...kkkkkkkkkk...
................
""",
    'open': """
................
................
..kkkk..........
.kyyyyk.........
.kywyyykkkkkk...
.kyyyyyyyyyyk...
.kyyykkkkkkkkkk.
.kyykoooooooook.
.kykoooooooook..
.kykoooooooook..
.kkoooooooook...
.kkoooooooook...
.kkkkkkkkkkk....
................
................
................
""",
    'save': """
................
.kkkkkkkkkkkkkk.
.knnwwwwwwwwnnk.
.knnwwwwwwwwnnk.
.knnwggggggwnnk.
.knnwwwwwwwwnnk.
.knnnnnnnnnnnnk.
.knnnnnnnnnnnnk.
.knnggggggggnnk.
.knnggkkggggnnk.
.knnggkkggggnnk.
.knnggkkggggnnk.
.kknggggggggnnk.
..kkkkkkkkkkkkk.
................
................
""",
    'cut': """
................
....k.....k.....
....k.....k.....
....kk...kk.....
.....k...k......
.....kk.kk......
......k.k.......
.......k........
......n.n.......
....nnn.nnn.....
...n..n.n..n....
...n..n.n..n....
...n..n.n..n....
....nn...nn.....
................
................
""",
    'copy': """
................
.kkkkkk.........
.kwwwwkk........
.kwkkwkwk.......
.kwwwwkkkk......
.kwkkkkkkkkk....
.kwwwwkwwwwkk...
.kwkkkkwkkwkwk..
.kwwwwkwwwwkkkk.
.kkkkkkwkkkkkwk.
......kwwwwwwwk.
......kwkkkkkwk.
......kwwwwwwwk.
......kkkkkkkkk.
................
................
""",
    'paste': """
................
......kkkk......
..kkkkgwwgkkkk..
..kookggggkook..
..koooooooooook.
..kooooooooook..
..koookkkkkkkk..
..koookwwwwwkwk.
..koookwkkkwkkkk
..koookwwwwwwwwk
..koookwkkkkkkwk
..koookwwwwwwwwk
..kkkkkwkkkkkkwk
.......wwwwwwwwk
.......kkkkkkkkk
................
""",
    'about': """
................
.....nnnnnn.....
....nn....nn....
....nn....nn....
..........nn....
.........nn.....
........nn......
.......nn.......
.......nn.......
.......nn.......
................
.......nn.......
.......nn.......
................
................
................
""",
    'find_replace': """
................
...kkkk.........
..kwcccck.......
.kwcccccck......
.kcccccccck.....
.kcccccccck.....
.kcccccccck.....
..kcccccck......
...kkkkkkkk.....
.........kkk....
..........kkk...
...r.......kkk..
..rr........kk..
.rrrrrr.........
..rr............
...r............
""",
    'goto': """
................
.....kkkkkkkkk..
.....kwwwwwwwk..
.....kwggggwwk..
.....kwwwwwwwk..
.....kwggggggk..
..r..kwwwwwwwk..
..rr.kwwwwwwwk..
rrrrrkwrrrrrwk..
..rr.kwwwwwwwk..
..r..kwwwwwwwk..
.....kwggggwwk..
.....kwwwwwwwk..
.....kwgggggwk..
.....kkkkkkkkk..
................
""",
}

ORDER = ['new', 'open', 'save', 'cut', 'copy', 'paste', 'about', 'find_replace', 'goto']


def parse(art, size):
    rows = art.strip('\n').split('\n')
    assert len(rows) == size, f'{len(rows)} rows, expected {size}'
    pixels = []
    for row in rows:
        assert len(row) == size, f'row {row!r} is {len(row)} wide, expected {size}'
        pixels.append([None if ch == ' ' else COLOURS[ch] for ch in row])
    return pixels


def mosaic(size):
    """Tessel's icon: four rows of coloured tiles set in dark grout."""
    tiles = [[12, 14, 11, 9], [10, 12, 9, 14], [11, 9, 14, 10], [14, 10, 12, 11]]
    step = size // 4
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            grout = x % step == 0 or y % step == 0 or x == size - 1 or y == size - 1
            row.append(0 if grout else tiles[y // step][x // step])
        pixels.append(row)
    for (x, y) in [(0, 0), (size - 1, 0), (0, size - 1), (size - 1, size - 1)]:
        pixels[y][x] = None  # rounded corners
    return pixels


# setup's small icon, drawn by hand: at 16 pixels the large one's shapes
# do not scale down cleanly.
PACKAGE_16 = """
      kkkk      
      kllk      
      kllk      
      kllk      
   kkkkllkkkk   
    kllllllk    
     kllllk     
 kkkkkkllkkkkkk 
 kyyyyykkyyyyyk 
 kyyyyyyyyyyyyk 
 koooooyyoooook 
 koooooyyoooook 
 koooooyyoooook 
 koooooyyoooook 
 koooooyyoooook 
 kkkkkkkkkkkkkk 
"""


def package():
    """setup's icon: a box with an arrow pointing into it, 32 pixels."""
    pixels = [[None] * 32 for _ in range(32)]

    def fill(x0, y0, x1, y1, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                pixels[y][x] = c

    fill(3, 14, 29, 31, 0)      # box outline
    fill(4, 15, 28, 30, 3)      # box side
    fill(4, 15, 28, 18, 11)     # lid edge
    fill(14, 18, 18, 30, 11)    # tape
    fill(8, 9, 24, 10, 0)       # arrow head, top edge
    for i in range(7):          # arrow head outline, narrowing to the tip
        fill(8 + i, 10 + i, 24 - i, 11 + i, 0)
    for i in range(6):          # arrow head
        fill(9 + i, 10 + i, 23 - i, 11 + i, 10)
    fill(13, 1, 19, 10, 0)      # arrow shaft outline
    fill(14, 1, 18, 11, 10)     # arrow shaft
    return pixels


def bmp(pixels):
    height, width = len(pixels), len(pixels[0])
    stride = ((width * 4 + 31) // 32) * 4
    rows = b''
    for row in reversed(pixels):
        data = bytearray(stride)
        for x, c in enumerate(row):
            data[x // 2] |= (c if x % 2 else c << 4)
        rows += bytes(data)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(rows), 0, 0, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(rows), 0, 0, offset)
    return header + info + palette + rows


def icon_image(pixels):
    size = len(pixels)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = b''
    mask = b''
    for row in reversed(pixels):
        colour = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, c in enumerate(row):
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
                c = 0
            colour[x // 2] |= (c if x % 2 else c << 4)
        xor += bytes(colour)
        mask += bytes(bits)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    info = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    return info + palette + xor + mask


def ico(images):
    entries = b''
    data = b''
    offset = 6 + 16 * len(images)
    for pixels in images:
        image = icon_image(pixels)
        size = len(pixels)
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 16, 0, 1, 4, len(image), offset + len(data))
        data += image
    return struct.pack('<HHH', 0, 1, len(images)) + entries + data


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else '.')
    buttons = [parse(BUTTONS[name], 16) for name in ORDER]
    strip = [sum((b[y] for b in buttons), []) for y in range(16)]
    (root / 'editor/res/Toolbar.bmp').write_bytes(bmp(strip))
    (root / 'editor/res/Tessel.ico').write_bytes(ico([mosaic(32), mosaic(16)]))
    (root / 'installer/res/Setup.ico').write_bytes(ico([package(), parse(PACKAGE_16, 16)]))


if __name__ == '__main__':
    main()
