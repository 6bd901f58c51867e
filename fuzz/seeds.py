#!/usr/bin/env python3
"""Writes seed inputs for the fuzz targets into CORPUS/lzrw1kh and CORPUS/backupreader."""
import os
import struct
import sys
import zlib

corpus = sys.argv[1]
os.makedirs(os.path.join(corpus, "lzrw1kh"), exist_ok=True)
os.makedirs(os.path.join(corpus, "backupreader"), exist_ok=True)

blocks = {
    "stored": bytes([0x80, 1, 2, 3, 4]),
    "copy": bytes([0x00, 0x20, 0x00, 0x61, 0x62, 0x00, 0x20]),
    "run": bytes([0x00, 0x80, 0x00, 0x00, 0x00, 0x04, 0x2A]),
    "literals": bytes([0x00, 0x00, 0x00]) + b"abcdefghijklmnop" + bytes([0, 0]) + b"q",
}
for name, block in blocks.items():
    with open(os.path.join(corpus, "lzrw1kh", name), "wb") as f:
        f.write(block)


def i32(v):
    return struct.pack("<i", v)


def text(b):
    return i32(len(b)) + b


def ec2(*pieces, raw=False):
    out = b"EC2\0"
    for p in pieces:
        out += i32(-len(p)) + p if raw else text(zlib.compress(p, 1))
    return out + i32(0)


def ecs(*blks):
    return b"ECS\0" + i32(sum(len(b) + 4 for b in blks)) + b"".join(text(b) for b in blks)


header = text(b"Venmar\xc8\xed\xbc\xfe") + i32(100) + i32(3)
archives = {
    "plain": header + text(b"c:\\kq\\data\\a.dat") + i32(0x58661234) + ec2(b"hello " * 50) + i32(0),
    "raw": header + text(b"/data/b.dat") + i32(1) + ec2(b"\x01\x02\x03", raw=True) + i32(0),
    "older": header + text(b"c.dat") + i32(2) + ecs(*blocks.values()) + i32(0),
    "list": header + text(b"FILE:LIST") + i32(3) + ec2(b"a\t1=1\r\n") + text(b"d.dat") + i32(4) + ec2() + i32(0),
    "volume": header + text(b"e.dat") + i32(5) + ec2(b"x" * 100) + text(b"NEXT:DISK002"),
}
for name, archive in archives.items():
    for options in (0, 1, 4):
        with open(os.path.join(corpus, "backupreader", f"{name}-{options}"), "wb") as f:
            f.write(bytes([options]) + archive)
