#!/usr/bin/env python3
"""hide_resource.py PROGRAM NAME OUT

Writes a copy of the Windows program PROGRAM whose RCDATA resource NAME (upper case, as the
resource compiler stores names) can no longer be found: the last letter of its name in the
resource directory becomes "X" ("PRODUCTTABLE" -> "PRODUCTTABLX"), which keeps the directory's
order. The name must occur exactly once, as a counted UTF-16 string."""

import struct
import sys


def main(program, name, out):
    data = bytearray(open(program, "rb").read())
    counted = struct.pack("<H", len(name)) + name.encode("utf-16-le")
    at = data.find(counted)
    if at < 0 or data.find(counted, at + 1) >= 0:
        raise SystemExit(f"{program}: the resource name {name} is not there exactly once")
    last = at + len(counted) - 2
    data[last:last + 2] = "X".encode("utf-16-le")
    open(out, "wb").write(data)
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    sys.exit(main(*sys.argv[1:]))
