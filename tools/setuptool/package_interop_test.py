#!/usr/bin/env python3
"""Packages against an independent reader and writer.

A second implementation of the package format, written from its layout with Python's own
LZMA codec (liblzma, not the codec setuptool is built with), reads what setuptool packs and
writes packages that setuptool must read: header, checksum, scramble, properties, raw LZMA1
data (with the end marker liblzma always writes), file table.

usage: package_interop_test.py SETUPTOOL WORK_DIR
"""
import lzma
import os
import random
import shutil
import struct
import subprocess
import sys

KEY = b"7290318465"


def crc(data):
    table = []
    for i in range(256):
        c = i << 24
        for _ in range(8):
            c = ((c << 1) ^ 0x04C11DB7) if c & 0x80000000 else c << 1
        table.append(c & 0xFFFFFFFF)
    c = 0
    for b in data:
        c = (table[(c >> 24) ^ b] ^ (c << 8)) & 0xFFFFFFFF
    return c


def scramble(data, key=KEY):
    return bytes(b ^ key[i % len(key)] for i, b in enumerate(data))


def read_package(raw):
    """Entries (name, bytes) in table order, checked as a strict reader would."""
    assert raw[:4] == b"IPK5", "magic"
    checksum, size = struct.unpack_from("<II", raw, 4)
    encoded = scramble(raw[12:])
    props, dict_size = encoded[0], struct.unpack_from("<I", encoded, 1)[0]
    lc, lp, pb = props % 9, (props // 9) % 5, props // 45
    decoder = lzma.LZMADecompressor(
        format=lzma.FORMAT_RAW,
        filters=[{"id": lzma.FILTER_LZMA1, "dict_size": max(dict_size, 4096),
                  "lc": lc, "lp": lp, "pb": pb}])
    body = decoder.decompress(encoded[5:], max_length=size)
    assert len(body) == size, "decoded %d of %d bytes" % (len(body), size)
    assert crc(body) == checksum, "checksum"
    table_size = struct.unpack_from("<i", body, len(body) - 4)[0]
    pos = len(body) - 4 - table_size
    count = struct.unpack_from("<i", body, pos)[0]
    pos += 4
    entries = []
    for _ in range(max(count, 0)):
        n = struct.unpack_from("<H", body, pos)[0]
        name = body[pos + 2:pos + 2 + 2 * n].decode("utf-16-le")
        offset, length = struct.unpack_from("<qq", body, pos + 2 + 2 * n)
        pos += 2 + 2 * n + 16
        entries.append((name, body[offset:offset + length]))
    assert pos == len(body) - 4, "table records end where the table size says"
    return entries, (props, dict_size)


def write_package(entries, preset):
    body, table = b"", struct.pack("<i", len(entries))
    for name, data in entries:
        encoded_name = name.encode("utf-16-le")
        table += struct.pack("<H", len(encoded_name) // 2) + encoded_name
        table += struct.pack("<qq", len(body), len(data))
        body += data
    body += table + struct.pack("<i", len(table))
    dict_size = 1 << 20
    data = lzma.compress(body, format=lzma.FORMAT_RAW, filters=[
        {"id": lzma.FILTER_LZMA1, "preset": preset, "dict_size": dict_size}])
    props = (2 * 5 + 0) * 9 + 3
    stream = bytes([props]) + struct.pack("<I", dict_size) + data
    return b"IPK5" + struct.pack("<II", crc(body), len(body)) + scramble(stream)


def run(*args, **kwargs):
    result = subprocess.run(args, capture_output=True, **kwargs)
    if result.returncode != 0:
        sys.exit("%s failed (%d): %s" % (" ".join(map(str, args)), result.returncode,
                                        result.stderr.decode(errors="replace")))
    return result.stdout


def main():
    tool, work = sys.argv[1], sys.argv[2]
    shutil.rmtree(work, ignore_errors=True)
    tree = os.path.join(work, "tree")
    rng = random.Random(7)
    files = {
        "Install.xml": b"<setup>\r\n" + b"  <file name=\"x\"/>\r\n" * 500 + b"</setup>\r\n",
        os.path.join("lang", "English.lng"): b"[Common]\r\nA1=Copying\r\n" * 300,
        os.path.join("bin", "random.bin"): bytes(rng.getrandbits(8) for _ in range(200000)),
        os.path.join("bin", "zeros.bin"): bytes(300000),
        "empty.txt": b"",
    }
    for rel, data in files.items():
        os.makedirs(os.path.dirname(os.path.join(tree, rel)), exist_ok=True)
        with open(os.path.join(tree, rel), "wb") as f:
            f.write(data)

    # setuptool writes, the independent reader reads.
    packed = os.path.join(work, "packed.pkg")
    run(tool, "pack", packed, tree)
    with open(packed, "rb") as f:
        entries, props = read_package(f.read())
    assert props == (0x5D, 1 << 22), "level 4 properties: %r" % (props,)
    expected = sorted((rel.replace(os.sep, "\\"), data) for rel, data in files.items())
    expected.sort(key=lambda e: e[0].encode("utf-16-be"))
    assert entries == expected, "entries differ: %r" % [e[0] for e in entries]

    # The independent writer writes (end marker included), setuptool reads.
    foreign = [("Uninstall.ini", b"[Setup]\r\nPath=C:\\Nolu\\\r\n"),
               ("dir\\\u00e9t\u00e9.txt", "\u00e9t\u00e9".encode("utf-8") * 1000),
               ("", b"nameless"), ("zero", b""), ("big", bytes(rng.getrandbits(8) for _ in range(70000)))]
    for preset in (0, 6):
        written = os.path.join(work, "foreign%d.pkg" % preset)
        with open(written, "wb") as f:
            f.write(write_package(foreign, preset))
        run(tool, "verify", written)
        listing = run(tool, "list", written).decode("utf-8").splitlines()
        assert [line.split("\t")[0] for line in listing] == [n for n, _ in foreign], listing
        for name, data in foreign:
            if name:
                assert run(tool, "cat", written, name) == data, name
    print("setuptool and the independent implementation read each other's packages")


if __name__ == "__main__":
    main()
