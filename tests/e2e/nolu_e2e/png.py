"""Just enough of PNG to check a screenshot: its size, and the colours it holds (a capture
that failed is one flat colour)."""

import struct
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"
# Bytes per pixel of the 8-bit colour types: grey, RGB, grey+alpha, RGBA.
CHANNELS = {0: 1, 2: 3, 4: 2, 6: 4}


class PngError(ValueError):
    pass


def _chunks(data):
    if not data.startswith(SIGNATURE):
        raise PngError("not a PNG file (signature)")
    pos = len(SIGNATURE)
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if len(body) != length or pos + 12 + length > len(data):
            raise PngError(f"chunk {kind!r} runs past the end of the file")
        crc = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])[0]
        if zlib.crc32(kind + body) & 0xffffffff != crc:
            raise PngError(f"chunk {kind!r} has a bad CRC")
        yield kind, body
        pos += 12 + length
        if kind == b"IEND":
            return
    raise PngError("the file ends before its IEND chunk (truncated)")


class Image:
    def __init__(self, width, height, channels, rows):
        self.width = width
        self.height = height
        self.channels = channels
        self.rows = rows

    def pixel(self, x, y):
        start = x * self.channels
        return tuple(self.rows[y][start:start + self.channels])

    def colours(self, limit=None):
        """The distinct colours, stopping early once `limit` are found."""
        seen = set()
        for row in self.rows:
            for x in range(0, len(row), self.channels):
                seen.add(bytes(row[x:x + self.channels]))
                if limit is not None and len(seen) >= limit:
                    return seen
        return seen


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_png(path):
    """Decodes an 8-bit, non-interlaced grey, RGB or RGBA PNG (what the driver writes)."""
    with open(path, "rb") as f:
        data = f.read()
    header = None
    compressed = bytearray()
    for kind, body in _chunks(data):
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            compressed += body
    if header is None:
        raise PngError("no IHDR chunk")
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in CHANNELS or interlace:
        raise PngError(f"unsupported PNG (depth {depth}, colour type {colour}, "
                       f"interlace {interlace})")
    bpp = CHANNELS[colour]
    stride = width * bpp
    raw = zlib.decompress(bytes(compressed))
    if len(raw) != height * (stride + 1):
        raise PngError(f"image data holds {len(raw)} bytes, not {height * (stride + 1)}")
    rows = []
    previous = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind > 4:
            raise PngError(f"row {y} has the unknown filter {kind}")
        for i in range(stride if kind else 0):
            left = line[i - bpp] if i >= bpp else 0
            up = previous[i]
            corner = previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xff
            elif kind == 2:
                line[i] = (line[i] + up) & 0xff
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xff
            else:
                line[i] = (line[i] + _paeth(left, up, corner)) & 0xff
        rows.append(line)
        previous = line
    return Image(width, height, bpp, rows)
