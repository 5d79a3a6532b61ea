#!/usr/bin/env python3
"""Write a Windows .ico file from PNG images (written by this team).

usage: mkico.py OUT.ico IMAGE.png:BPP [IMAGE.png:BPP ...]
  BPP 32 -> 32-bit BGRA bitmap (or embedded PNG when the image is 256 px wide)
  BPP 8  -> 256-colour palette bitmap, 1-bit transparency mask
  BPP 4  -> 16-colour palette bitmap, 1-bit transparency mask
Pixels are read through ImageMagick `convert` (raw RGBA output); palette
reduction is done by `convert -colors N` without dithering.
"""
import struct
import subprocess
import sys


def size_of(path):
    out = subprocess.run(["identify", "-format", "%w %h", path + "[0]"],
                         check=True, capture_output=True, text=True).stdout
    w, h = (int(v) for v in out.split())
    return w, h


def rgba(path, extra=()):
    cmd = ["convert", path, "-alpha", "set", *extra, "-depth", "8", "rgba:-"]
    return subprocess.run(cmd, check=True, capture_output=True).stdout


def and_mask(alpha_rows, w):
    """1 bit per pixel, 1 = transparent, rows bottom-up, padded to 4 bytes."""
    stride = ((w + 31) // 32) * 4
    out = bytearray()
    for row in reversed(alpha_rows):
        line = bytearray(stride)
        for x, a in enumerate(row):
            if a < 128:
                line[x >> 3] |= 0x80 >> (x & 7)
        out += line
    return bytes(out)


def bmp_entry(path, bpp):
    w, h = size_of(path)
    if bpp == 32:
        px = rgba(path)
    else:
        ncol = 1 << bpp
        px = rgba(path, ["-channel", "A", "-threshold", "50%", "+channel",
                         "+dither", "-colors", str(ncol - 1)])
    assert len(px) == w * h * 4, (path, len(px))
    alpha_rows = [[px[(y * w + x) * 4 + 3] for x in range(w)] for y in range(h)]
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bpp, 0, 0, 0, 0,
                         (1 << bpp) if bpp <= 8 else 0, 0)
    body = bytearray()
    if bpp == 32:
        for y in reversed(range(h)):
            for x in range(w):
                r, g, b, a = px[(y * w + x) * 4:(y * w + x) * 4 + 4]
                body += bytes((b, g, r, a))
        return header + bytes(body) + and_mask(alpha_rows, w), w, h, 0
    ncol = 1 << bpp
    palette = [(0, 0, 0)]  # entry 0 = transparent pixels (masked)
    index = {}
    idx = []
    for i in range(w * h):
        r, g, b, a = px[i * 4:i * 4 + 4]
        if a < 128:
            idx.append(0)
            continue
        key = (r, g, b)
        if key not in index:
            index[key] = len(palette)
            palette.append(key)
        idx.append(index[key])
    if len(palette) > ncol:
        sys.exit("%s: %d colours do not fit in %d bits" % (path, len(palette), bpp))
    palette += [(0, 0, 0)] * (ncol - len(palette))
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    stride = ((w * bpp + 31) // 32) * 4
    for y in reversed(range(h)):
        line = bytearray(stride)
        for x in range(w):
            v = idx[y * w + x]
            if bpp == 8:
                line[x] = v
            else:
                line[x >> 1] |= v << (4 if x % 2 == 0 else 0)
        body += line
    return header + pal + bytes(body) + and_mask(alpha_rows, w), w, h, (ncol if bpp < 8 else 0)


def main():
    out, specs = sys.argv[1], sys.argv[2:]
    entries = []
    for spec in specs:
        path, bpp = spec.rsplit(":", 1)
        bpp = int(bpp)
        w, h = size_of(path)
        if w >= 256 and bpp == 32:
            data = subprocess.run(["convert", path, "-strip", "png32:-"], check=True,
                                  capture_output=True).stdout
            entries.append((data, w, h, 0, 32))
        else:
            data, w, h, cc = bmp_entry(path, bpp)
            entries.append((data, w, h, cc, bpp))
    head = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    dirs = b""
    blob = b""
    for data, w, h, cc, bpp in entries:
        dirs += struct.pack("<BBBBHHII", w % 256, h % 256, cc, 0, 1, bpp, len(data), offset)
        offset += len(data)
        blob += data
    with open(out, "wb") as f:
        f.write(head + dirs + blob)


if __name__ == "__main__":
    main()
