#!/usr/bin/env python3
"""Writes a valid white greyscale PNG of 10,000 x 10,000 pixels (about
120 KB): far larger than an asset file may be, made at build time so that no
large file sits in the source tree.  make_oversized_png.py OUT"""
import struct, sys, zlib

def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

side = 10000
packer = zlib.compressobj(9)
body = b"".join(packer.compress(b"\x00" + b"\xff" * side) for _ in range(side)) + packer.flush()
with open(sys.argv[1], "wb") as out:
    out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 0, 0, 0, 0))
              + chunk(b"IDAT", body) + chunk(b"IEND", b""))
