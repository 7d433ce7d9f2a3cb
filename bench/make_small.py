#!/usr/bin/python3
"""make_small.py OUTDIR [COUNT]: writes COUNT (2000) PNGs of 64 x 64 for bench/run's `small`
workload. The same bytes on every machine: each picture's content comes from a generator
seeded with its number. Five kinds in turn, so that decoders and encoders meet a mix:
smooth RGB gradients, RGB noise, stripes and checks, RGBA with a round shape on a
transparent ground, and grey gradients with noise."""

import os
import random
import struct
import sys
import zlib

SIDE = 64


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png(colour_type, channels, rows):
    header = struct.pack(">IIBBBBB", SIDE, SIDE, 8, colour_type, 0, 0, 0)
    raw = b"".join(b"\0" + bytes(row) for row in rows)
    assert all(len(row) == SIDE * channels for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 6)) +
            chunk(b"IEND", b""))


def picture(number):
    rng = random.Random(number)
    kind = number % 5
    if kind == 0:  # smooth gradient
        a, b, c = (rng.randrange(256) for _ in range(3))
        rows = [[v for x in range(SIDE) for v in ((a + 3 * x) & 255, (b + 3 * y) & 255, (c + x + y) & 255)]
                for y in range(SIDE)]
        return png(2, 3, rows)
    if kind == 1:  # noise
        return png(2, 3, [list(rng.randbytes(SIDE * 3)) for _ in range(SIDE)])
    if kind == 2:  # stripes and checks
        size = rng.choice((2, 4, 8, 16))
        one = [rng.randrange(256) for _ in range(3)]
        two = [rng.randrange(256) for _ in range(3)]
        rows = [[v for x in range(SIDE) for v in (one if ((x // size) + (y // size) * (kind + number % 2)) % 2 else two)]
                for y in range(SIDE)]
        return png(2, 3, rows)
    if kind == 3:  # a round shape on a transparent ground
        cx, cy, r = rng.randrange(16, 48), rng.randrange(16, 48), rng.randrange(8, 28)
        colour = [rng.randrange(256) for _ in range(3)]
        rows = []
        for y in range(SIDE):
            row = []
            for x in range(SIDE):
                inside = (x - cx) ** 2 + (y - cy) ** 2 <= r * r
                row += colour + [255 if inside else (x * 2) & 127]
            rows.append(row)
        return png(6, 4, rows)
    base = rng.randrange(128)  # grey gradient with noise
    return png(0, 1, [[(base + x + y + rng.randrange(16)) & 255 for x in range(SIDE)] for y in range(SIDE)])


def main():
    out = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 2000
    os.makedirs(out, exist_ok=True)
    for number in range(count):
        with open(os.path.join(out, "small%04d.png" % number), "wb") as f:
            f.write(picture(number))


if __name__ == "__main__":
    main()
