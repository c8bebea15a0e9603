#!/usr/bin/env python3
"""Writes the example cut lists of this folder, one per PRG layout.

    python3 examples/make_examples.py            # rewrites the three .PRG files here
    python3 examples/make_examples.py --big N OUT  # N layout-0 records into OUT
                                                  # (benchmark input, never committed)

The files are a small window-frame job: profile lengths in mm, thicknesses
marked with 'S', cut angles in tenths of a degree (negative for the other
direction), piece counts, and four 8-byte texts per record (customer, two bar
codes, the part's name) in Windows-1252, the code page of the PCs that write
these lists: accented letters are single bytes such as 0xE8 (è) and 0xE0 (à).

Record layout (big-endian), after a lead byte of 0x01..0x7F:
  3  length/position            (24-bit)
  3  thickness/length           (24-bit; first byte 'S' marks a 16-bit thickness)
  2  Sx, 2  Dx                  (signed, tenths)
  2  pieces, 2  thickness       (signed)
  8  x 4 texts                  (raw bytes, zero-padded; a zero byte ends the text)
  3  closing field              (never shown)
  2  blade Sx, 2  blade Dx      (signed, tenths; not in the "Mem" layout)
Layouts: new (0) = 3-byte header + blades, old (1) = no header + blades,
mem (2) = 3-byte header, no blades. A lead byte of 0x00 or 0x80..0xFF, or the
end of the file, ends the list.
"""

import argparse
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# The header's three bytes are skipped by every reader; these files carry zeros.
HEADER = b"\x00\x00\x00"


def text8(s):
    """An 8-byte text field: Windows-1252 bytes, zero-padded (bytes pass through)."""
    raw = s if isinstance(s, bytes) else s.encode("cp1252")
    if len(raw) > 8:
        raise ValueError(f"text longer than 8 bytes: {s!r}")
    return raw.ljust(8, b"\x00")


def u24(value):
    if not 0 <= value <= 0xFFFFFF:
        raise ValueError(f"24-bit value out of range: {value}")
    return bytes([(value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF])


def second_value(value, s_mark):
    """The thickness/length field: 'S' + 16-bit thickness, or a 24-bit length."""
    if s_mark:
        return b"S" + struct.pack(">H", value)
    return u24(value)


def tenths(degrees):
    """Degrees as the signed tenths the file carries (45.0 -> 450, -22.5 -> -225)."""
    return int(round(degrees * 10))


def record(layout, lead, length, second, s_mark, sx, dx, pieces, thickness,
           texts, tail, blade_sx, blade_dx):
    body = (u24(length) + second_value(second, s_mark)
            + struct.pack(">hhhh", tenths(sx), tenths(dx), pieces, thickness)
            + b"".join(text8(t) for t in texts) + tail)
    if layout != 2:
        body += struct.pack(">hh", tenths(blade_sx), tenths(blade_dx))
    return bytes([lead]) + body


# Customers, bar codes and part names of the job. Texts are at most 8 bytes;
# an 8-letter name loses its last letter in the text report (which keeps 7).
CUSTOMERS = ["Rossi", "Bianchi", "Città", "Caffè Re", "Ferrè", "Però&C", "Libertà", "Sp.1,5mm"]
PARTS = ["Telaio", "Anta Sx", "Anta Dx", "Traverso", "Montante", "Zoccolo", "Fermavet", "Soglia"]
# (Sx, Dx) cut angles and (blade Sx, blade Dx) tilts, in degrees.
ANGLES = [(45.0, 45.0), (90.0, 90.0), (-45.0, 45.0), (22.5, -22.5), (67.5, 90.0), (-12.3, 0.0)]
BLADES = [(45.0, 45.0), (0.0, 0.0), (-45.0, 45.0), (22.5, -22.5), (90.0, -90.0)]


def job_records(layout, count, first_order):
    """count realistic records; every few rows carry one of the awkward cases."""
    out = []
    for i in range(count):
        sx, dx = ANGLES[i % len(ANGLES)]
        bsx, bdx = BLADES[i % len(BLADES)]
        length = 350 + (i * 173) % 5600          # mm, 350..5949
        s_mark = i % 3 != 2
        second = 40 + (i * 7) % 90 if s_mark else 1200 + (i * 311) % 4800
        pieces = 1 + (i * 5) % 24
        thickness = 50 + (i % 4) * 10
        customer = CUSTOMERS[i % len(CUSTOMERS)]
        code2 = f"{80012345 + first_order + i * 17:08d}"
        code3 = f"{first_order + i:08d}"
        part = PARTS[(i // 2) % len(PARTS)]
        tail = bytes([0x00, 0x01 + i % 4, 0x00])
        lead = 1 + i % 3
        if i == 4:
            part = b"Lotto\x0012"        # a zero byte inside: the text ends at "Lotto"
        if i == 5:
            customer = "Prezzo€"        # 0x80: the euro sign in Windows-1252
        if i == 7:
            length = 16777215            # the largest 24-bit value (8 digits)
        if i == 9:
            code3 = b""                  # an empty bar code
        if i == 10:
            pieces = -1                  # 0xFFFF as a piece count
        if i == 11:
            sx, dx = -0.1, -327.6        # small and large negative tenths
        if i == 13:
            part = "45°Sx"             # 0xB0
        out.append(record(layout, lead, length, second, s_mark, sx, dx, pieces,
                          thickness, [customer, code2, code3, part], tail, bsx, bdx))
    return out


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)
    print(f"{path}: {len(data)} bytes")


def make_examples(folder):
    # Layout 0: header, 30 records, list ended by a 0x00 lead byte.
    recs = job_records(0, 30, 1000)
    write(os.path.join(folder, "lista_nuova.PRG"), HEADER + b"".join(recs) + b"\x00")
    # Layout 1: no header, 24 records, ended by 0xFF (any byte of 0x80..0xFF ends it).
    recs = job_records(1, 24, 2000)
    write(os.path.join(folder, "lista_vecchia.PRG"), b"".join(recs) + b"\xff")
    # Layout 2: header, 20 records without blade values, ended by the end of the file.
    recs = job_records(2, 20, 3000)
    write(os.path.join(folder, "lista_mem.PRG"), HEADER + b"".join(recs))


def make_big(count, path):
    """count layout-0 records cycling through a day's worth of distinct ones."""
    distinct = job_records(0, 240, 5000)
    whole, rest = divmod(count, len(distinct))
    block = b"".join(distinct)
    with open(path, "wb") as f:
        f.write(HEADER)
        for _ in range(whole):
            f.write(block)
        f.write(b"".join(distinct[:rest]))
        f.write(b"\x00")
    print(f"{path}: {count} records, {os.path.getsize(path)} bytes")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--big", nargs=2, metavar=("N", "OUT"),
                        help="write N layout-0 records to OUT instead of the examples")
    parser.add_argument("--dir", default=HERE, help="folder for the examples (default: here)")
    args = parser.parse_args()
    if args.big:
        make_big(int(args.big[0]), args.big[1])
    else:
        make_examples(args.dir)
    return 0


if __name__ == "__main__":
    sys.exit(main())
