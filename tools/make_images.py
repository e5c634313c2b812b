#!/usr/bin/python3
"""Draws the control's small pixel-art icons and bitmaps into resources/images.

Run once when a picture changes; the results are committed. Pictures are
drawn from tiny character maps, so they stay reviewable as text.
"""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "images")

PALETTE = {
    ".": None,                 # transparent (white in bitmaps)
    "k": (0, 0, 0),
    "y": (255, 214, 64),
    "o": (214, 160, 32),
    "w": (255, 255, 255),
    "g": (160, 160, 160),
    "b": (40, 90, 200),
    "l": (140, 180, 240),
}

FOLDER = [
    "................",
    "................",
    "..ooooo.........",
    ".oyyyyyo........",
    ".ooooooooooooo..",
    ".oyyyyyyyyyyyo..",
    ".oyyyyyyyyyyyo..",
    ".oyyyyyyyyyyyo..",
    ".oyyyyyyyyyyyo..",
    ".oyyyyyyyyyyyo..",
    ".oyyyyyyyyyyyo..",
    ".oyyyyyyyyyyyo..",
    ".ooooooooooooo..",
    "................",
    "................",
    "................",
]
OPEN_FOLDER = [
    "................",
    "................",
    "..ooooo.........",
    ".oyyyyyo........",
    ".oyyyyyoooooo...",
    ".oyyyyyyyyyyo...",
    ".oyyooooooooooo.",
    ".oyoyyyyyyyyyyo.",
    ".ooyyyyyyyyyyo..",
    ".ooyyyyyyyyyyo..",
    ".oyyyyyyyyyyo...",
    ".oyyyyyyyyyyo...",
    ".ooooooooooo....",
    "................",
    "................",
    "................",
]
FILE = [
    "................",
    "..kkkkkkkk......",
    "..kwwwwwwkk.....",
    "..kwwwwwwkwk....",
    "..kwggggwkkkk...",
    "..kwwwwwwwwwk...",
    "..kwggggggwwk...",
    "..kwwwwwwwwwk...",
    "..kwggggggwwk...",
    "..kwwwwwwwwwk...",
    "..kwggggggwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kkkkkkkkkkk...",
    "................",
    "................",
]
SERVER = [
    "................",
    "...bbbbbbbbbb...",
    "...bllllllllb...",
    "...blkkkkkklb...",
    "...bllllllllb...",
    "...bbbbbbbbbb...",
    "...bllllllllb...",
    "...blkkkkkklb...",
    "...bllllllllb...",
    "...bbbbbbbbbb...",
    "......bbbb......",
    "......bbbb......",
    "..bbbbbbbbbbbb..",
    "..bbbbbbbbbbbb..",
    "................",
    "................",
]
ABOUT = [
    "................",
    ".bbbbbbbbbbbbbb.",
    ".bllllllllllllb.",
    ".blwlllwlllwllb.",
    ".blwlllwlllwllb.",
    ".bllwlwlwlwlllb.",
    ".bllwlwlwlwlllb.",
    ".blllwlllwllllb.",
    ".bllllllllllllb.",
    ".bllyyyyyyyyllb.",
    ".bllyoooooyyllb.",
    ".bllyyyyyyyyllb.",
    ".bllllllllllllb.",
    ".bbbbbbbbbbbbbb.",
    "................",
    "................",
]


def scaled(rows, factor):
    return ["".join(ch * factor for ch in row) for row in rows for _ in range(factor)]


def pixels(rows, background):
    """Bottom-up BGR rows; transparent pixels take the background colour."""
    out = []
    for row in reversed(rows):
        line = bytearray()
        for ch in row:
            colour = PALETTE[ch] or background
            line += bytes((colour[2], colour[1], colour[0]))
        out.append(line)
    return out


def bitmap(rows, height=None):
    rows = rows[:height] if height else rows
    width, height = len(rows[0]), len(rows)
    stride = (width * 3 + 3) & ~3
    data = b"".join(bytes(line) + b"\0" * (stride - len(line)) for line in pixels(rows, (255, 255, 255)))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


def icon_image(rows):
    width, height = len(rows[0]), len(rows)
    colour = bytearray()
    for row in reversed(rows):
        for ch in row:
            c = PALETTE[ch]
            colour += bytes((c[2], c[1], c[0], 255)) if c else b"\0\0\0\0"
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, ch in enumerate(row):
            if PALETTE[ch] is None:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return info + bytes(colour) + bytes(mask)


def icon(rows):
    images = [rows, scaled(rows, 2)]
    blobs = [icon_image(image) for image in images]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for image, blob in zip(images, blobs):
        size = len(image[0])
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return header + entries + b"".join(blobs)


def main():
    os.makedirs(OUT, exist_ok=True)
    files = {
        "folder.ico": icon(FOLDER),
        "file.ico": icon(FILE),
        "about.ico": icon(ABOUT),
        "toolbox.bmp": bitmap(SERVER, 15),
        "tree_closed.bmp": bitmap(FOLDER),
        "tree_open.bmp": bitmap(OPEN_FOLDER),
        "tree_root.bmp": bitmap(SERVER),
    }
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
