#!/usr/bin/env python3
"""Writes a valid PNG of one flat colour at build time, so that no large file
sits in the source tree: the 10,000 x 10,000 white picture (greyscale, about
120 KB), far larger than an asset file may be, and the brand tool's pictures.
make_flat_png.py OUT WIDTH HEIGHT RRGGBB"""
import struct, sys, zlib

def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

out, width, height, rgb = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), bytes.fromhex(sys.argv[4])
grey = rgb[0] == rgb[1] == rgb[2]
pixel = rgb[:1] if grey else rgb
packer = zlib.compressobj(9)
body = b"".join(packer.compress(b"\x00" + pixel * width) for _ in range(height)) + packer.flush()
with open(out, "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0 if grey else 2, 0, 0, 0))
            + chunk(b"IDAT", body) + chunk(b"IEND", b""))
