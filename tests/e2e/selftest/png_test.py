import os
import struct
import tempfile
import unittest
import zlib

from nolu_e2e.png import PngError, _paeth, read_png


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(
        ">I", zlib.crc32(kind + body) & 0xffffffff)


def encode(rows, channels, filters):
    """An 8-bit PNG whose row y is stored with filter filters[y % len(filters)]."""
    colour = {1: 0, 2: 4, 3: 2, 4: 6}[channels]
    height, width = len(rows), len(rows[0]) // channels
    raw = bytearray()
    previous = bytes(len(rows[0]))
    for y, row in enumerate(rows):
        kind = filters[y % len(filters)]
        out = bytearray()
        for i, value in enumerate(row):
            left = row[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            predictor = [0, left, up, (left + up) // 2, _paeth(left, up, corner)][kind]
            out.append((value - predictor) & 0xff)
        raw += bytes([kind]) + out
        previous = row
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw)))
            + chunk(b"IEND", b""))


class PngTest(unittest.TestCase):
    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory()
        self.path = os.path.join(self._tmp.name, "x.png")

    def tearDown(self):
        self._tmp.cleanup()

    def write(self, data):
        with open(self.path, "wb") as f:
            f.write(data)

    def test_every_filter_decodes_to_the_stored_pixels(self):
        width, height = 7, 10
        rows = [bytes((x * 37 + y * 11 + c * 101) % 256 for x in range(width) for c in range(3))
                for y in range(height)]
        for filters in ([0], [1], [2], [3], [4], [0, 1, 2, 3, 4]):
            with self.subTest(filters=filters):
                self.write(encode(rows, 3, filters))
                image = read_png(self.path)
                self.assertEqual((image.width, image.height, image.channels), (7, 10, 3))
                self.assertEqual([bytes(r) for r in image.rows], rows)
                self.assertEqual(image.pixel(2, 3), tuple(rows[3][6:9]))

    def test_counts_colours_up_to_a_limit(self):
        flat = [bytes([10, 20, 30, 255] * 5)] * 4
        self.write(encode(flat, 4, [1]))
        self.assertEqual(len(read_png(self.path).colours()), 1)
        varied = [bytes(v for x in range(5) for v in (x, y, 0)) for y in range(4)]
        self.write(encode(varied, 3, [4]))
        self.assertEqual(len(read_png(self.path).colours()), 20)
        self.assertEqual(len(read_png(self.path).colours(limit=6)), 6)

    def test_rejects_damaged_files_with_a_reason(self):
        good = encode([bytes([1, 2, 3])], 3, [0])
        ihdr_crc = 8 + 8 + 13
        cases = {
            "signature": b"GIF89a" + good[6:],
            "bad CRC": good[:ihdr_crc] + bytes([good[ihdr_crc] ^ 1]) + good[ihdr_crc + 1:],
            "past the end": good[:30],
            "ends before its IEND": good[:-12],
        }
        for reason, data in cases.items():
            with self.subTest(reason):
                self.write(data)
                with self.assertRaisesRegex(PngError, reason):
                    read_png(self.path)


if __name__ == "__main__":
    unittest.main()
