#!/usr/bin/env python3
"""Writes a Windows icon file (.ico) from XPM images, one image per XPM, in
the order given: 16 colours (4 bits per pixel) with the AND mask that makes
the "None" pixels transparent.

    xpm_to_ico.py OUTPUT.ico IMAGE.xpm...

The palette is the 16-colour VGA palette: an XPM colour that is one of its
colours keeps it exactly; any other colour takes the nearest one."""
import re
import struct
import sys

VGA = [
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
]
TRANSPARENT = None


def nearest_vga(rgb):
    def distance(entry):
        return sum((((rgb >> s) & 0xFF) - ((entry >> s) & 0xFF)) ** 2 for s in (16, 8, 0))
    return min(range(16), key=lambda i: distance(VGA[i]))


def read_xpm(path):
    """Returns (width, height, rows of palette indices or TRANSPARENT)."""
    with open(path, encoding="ascii") as f:
        text = re.sub(r"/\*.*?\*/", "", f.read(), flags=re.S)
    strings = re.findall(r'"([^"]*)"', text)
    width, height, colours, cpp = (int(v) for v in strings[0].split()[:4])
    table = {}
    for line in strings[1:1 + colours]:
        key, fields = line[:cpp], line[cpp:].split()
        value = fields[fields.index("c") + 1]
        if value.lower() == "none":
            table[key] = TRANSPARENT
        elif re.fullmatch(r"#[0-9A-Fa-f]{6}", value):
            table[key] = nearest_vga(int(value[1:], 16))
        else:
            sys.exit(f"{path}: colour {value!r} is not #RRGGBB or None")
    rows = strings[1 + colours:1 + colours + height]
    if len(rows) != height or any(len(r) != width * cpp for r in rows):
        sys.exit(f"{path}: the pixel rows do not match {width} x {height}")
    return width, height, [[table[r[x * cpp:(x + 1) * cpp]] for x in range(width)] for r in rows]


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def icon_image(width, height, pixels):
    """The image as the icon file stores it: a bitmap header of twice the
    height (colour bitmap and mask), the palette, then both bitmaps bottom-up
    with rows padded to 4 bytes."""
    colour, mask = b"", b""
    for row in reversed(pixels):
        indices = [0 if p is TRANSPARENT else p for p in row]
        colour += padded(bytes((indices[x] << 4) | indices[x + 1] for x in range(0, width, 2)))
        bits = 0
        for p in row:
            bits = (bits << 1) | (p is TRANSPARENT)
        bits <<= -width % 8
        mask += padded(bits.to_bytes((width + 7) // 8, "big"))
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0) for c in VGA)
    return header + palette + colour + mask


def main(output, inputs):
    images = []
    for path in inputs:
        width, height, pixels = read_xpm(path)
        if width % 2 or width > 256 or height > 256:
            sys.exit(f"{path}: {width} x {height} cannot be a 4-bit icon image")
        images.append((width, height, icon_image(width, height, pixels)))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    for width, height, data in images:
        directory += struct.pack("<BBBBHHII", width % 256, height % 256, 16, 0, 1, 4,
                                 len(data), offset)
        offset += len(data)
    with open(output, "wb") as f:
        f.write(directory + b"".join(data for _, _, data in images))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2:])
