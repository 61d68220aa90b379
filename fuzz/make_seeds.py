#!/usr/bin/env python3
"""Writes the seed corpus of the archive reader's fuzz target: small valid archives that
between them use every value tag, every DIB encoding and the RIFF chunk rules, and a
decompression bomb (a few kilobytes of run-length codes for far more pixels than the reader
decodes for one archive)."""
import os
import struct
import sys

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus", "archive")
os.makedirs(out, exist_ok=True)


def sstr(s):
    b = s.encode()
    return bytes([len(b)]) + b


def archive(root, body):
    stream = b"TPF0" + sstr(root) + sstr("") + body + b"\0\0"
    return b"\xff\x0a\x00" + root.upper().encode() + b"\0" + struct.pack("<HI", 0x1030, len(stream) - 4) + stream


def prop(name, value):
    return sstr(name) + value


def int8(v):
    return b"\x02" + struct.pack("<b", v)


def int16(v):
    return b"\x03" + struct.pack("<h", v)


def int32(v):
    return b"\x04" + struct.pack("<i", v)


def binary(b):
    return b"\x0a" + struct.pack("<I", len(b)) + b


def info(w, h, bits, comp=0, used=0, size=0):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, comp, size, 0, 0, used, 0)


def item(*props):
    return b"\x01" + b"".join(props) + b"\0"


def dib_item(name, dib, *extra):
    return item(prop("Name", b"\x06" + sstr(name)), prop("Picture.Data", binary(sstr("TDIB") + dib)), *extra)


pal2 = b"\0\0\0\0\xff\xff\xff\0"
pal4 = bytes(b for i in range(16) for b in (i * 16, 255 - i * 16, i, 0))
dibs = [
    ("one", info(3, 2, 1) + pal2 + b"\xa0\0\0\0\x40\0\0\0"),
    ("four", info(2, 2, 4) + pal4 + b"\x12\0\0\0\xf0\0\0\0"),
    ("eight", info(2, -2, 8, 0, 2) + pal2 + b"\0\1\0\0\1\0\0\0"),
    ("rle8", info(4, 2, 8, 1, 2) + pal2 + bytes([3, 1, 0, 3, 1, 0, 1, 0, 0, 0, 0, 2, 1, 0, 2, 1, 0, 1])),
    ("rle4", info(5, 1, 4, 2, 16) + pal4 + bytes([2, 0x12, 0, 3, 0x21, 0x20, 0, 1])),
    ("five55", info(2, 1, 16) + struct.pack("<HH", 0x7C00, 0x03FF)),
    ("bitfields", info(2, 1, 16, 3) + struct.pack("<III", 0xF800, 0x07E0, 0x1F) + struct.pack("<HH", 0x07E0, 0x8410)),
    ("true", info(1, 2, 24) + b"\1\2\3\0\4\5\6\0"),
    ("thirtytwo", info(1, 1, 32, 3) + struct.pack("<III", 0xFF, 0xFF00, 0xFF0000) + b"\1\2\3\0"),
    ("core", struct.pack("<IHHHH", 12, 2, 1, 1, 1) + b"\0\0\0\xff\xff\xff" + b"\x80\0\0\0"),
]

items = b"".join(dib_item(n, d) for n, d in dibs[:3])
items += dib_item("props", dibs[7][1], prop("PatternWidth", int8(1)), prop("PatternHeight", int16(1)),
                  prop("SkipWidth", int32(0)), prop("SystemMemory", b"\x09"),
                  prop("Transparent", b"\x07" + sstr("False")), prop("TransparentColor", b"\x07" + sstr("clFuchsia")))
bmp_dib = info(1, 1, 24) + b"\1\2\3\0"
bmp = b"BM" + struct.pack("<IHHI", 14 + len(bmp_dib), 0, 0, 54) + bmp_dib
items += item(prop("Name", b"\x12" + struct.pack("<I", 2) + "Bm".encode("utf-16-le")),
              prop("Picture.Data", binary(sstr("TBitmap") + struct.pack("<I", len(bmp)) + bmp)))
items += item(prop("Name", b"\x14" + struct.pack("<I", 4) + b"icon"), prop("Picture.Data", binary(sstr("TIcon"))))
seeds = {
    "pictures-basic.dxg": archive("TPictureCollectionComponent",
                                  prop("List", b"\x0e" + items + b"\0") + prop("List.ColorTable", binary(bytes(1024)))),
    "pictures-encodings.dxg": archive("TPictureCollectionComponent",
                                      prop("List", b"\x0e" + b"".join(int8(i) + dib_item(n, d)[0:] for i, (n, d) in enumerate(dibs[3:])) + b"\0")),
}

fmt = b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, 8000, 8000, 1, 8)
riff_body = b"WAVE" + fmt + b"LIST" + struct.pack("<I", 3) + b"abc\0" + b"data" + struct.pack("<I", 5) + b"\x80\x90\xa0\x90\x80\0"
riff = b"RIFF" + struct.pack("<I", len(riff_body)) + riff_body
riff2_body = b"WAVE" + fmt + b"data" + struct.pack("<I", 2) + b"\x80\x80" + bytes(4)
riff2 = b"RIFF" + struct.pack("<I", len(riff2_body)) + riff2_body
waves = item(prop("Name", b"\x06" + sstr("Horn")), prop("Looped", b"\x09"), prop("MaxPlayingCount", int8(2)),
             prop("Wave.WAVE", binary(riff)))
waves += item(prop("Name", b"\x0c" + struct.pack("<I", 5) + b"Crash"), prop("Looped", b"\x07" + sstr("True")),
              prop("Wave.WAVE", binary(riff2)))
# Twelve 4096 x 4096 pictures of one run-length "end of picture" code each: 200 M pixels.
bomb = info(4096, 4096, 8, 1, 2) + b"\0\0\0\0" + bytes([0, 1])
seeds["pictures-bomb.dxg"] = archive("TPictureCollectionComponent",
                                     prop("List", b"\x0e" + b"".join(item(prop("Picture.Data", binary(sstr("TDIB") + bomb)))
                                                                  for _ in range(12)) + b"\0"))
seeds["waves.dxw"] = archive("TWaveCollectionComponent", prop("List", b"\x0e" + waves + b"\0"))

for name, data in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
