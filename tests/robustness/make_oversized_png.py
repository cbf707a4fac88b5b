#!/usr/bin/env python3
"""Writes a valid white greyscale PNG of the given size (default 10,000 x
10,000 pixels, a few hundred KB): a picture far larger than an asset file may
be, made at build time so no large file sits in the source tree."""
import struct
import sys
import zlib


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def main():
    path = sys.argv[1]
    width = int(sys.argv[2]) if len(sys.argv) > 2 else 10000
    height = int(sys.argv[3]) if len(sys.argv) > 3 else width
    row = b"\x00" + b"\xff" * width  # filter "none", then white pixels
    packer = zlib.compressobj(9)
    body = b"".join(packer.compress(row) for _ in range(height)) + packer.flush()
    header = struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)  # 8-bit greyscale
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", body) + chunk(b"IEND", b""))


if __name__ == "__main__":
    main()
