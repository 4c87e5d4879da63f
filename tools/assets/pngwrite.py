"""A PNG writer and a small RGBA canvas on Python's standard library alone.

The example game's generators use it, so they run on a bare python3
without imaging packages. Output is byte-identical on every run.
"""
import struct
import zlib


class Canvas:
    """Width x height RGBA pixels, all transparent at first."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = bytearray(width * height * 4)

    def put(self, x, y, colour, alpha=255):
        if 0 <= x < self.width and 0 <= y < self.height:
            i = (y * self.width + x) * 4
            self.pixels[i:i + 4] = bytes((colour[0], colour[1], colour[2], alpha))

    def get(self, x, y):
        i = (y * self.width + x) * 4
        return tuple(self.pixels[i:i + 4])

    def rect(self, x0, y0, x1, y1, colour, alpha=255):
        """Fills the inclusive rectangle (x0, y0)-(x1, y1)."""
        for y in range(max(0, y0), min(self.height - 1, y1) + 1):
            for x in range(max(0, x0), min(self.width - 1, x1) + 1):
                self.put(x, y, colour, alpha)

    def disc(self, cx, cy, r, colour):
        for y in range(self.height):
            for x in range(self.width):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.put(x, y, colour)

    def outline(self, x0, y0, x1, y1, colour):
        """Darkens every transparent pixel of the box that touches an opaque one."""
        ring = []
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                if self.get(x, y)[3]:
                    continue
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                    nx, ny = x + dx, y + dy
                    if x0 <= nx <= x1 and y0 <= ny <= y1 and self.get(nx, ny)[3]:
                        ring.append((x, y))
                        break
        for x, y in ring:
            self.put(x, y, colour)


def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def save(canvas, path):
    rows = bytearray()
    stride = canvas.width * 4
    for y in range(canvas.height):
        rows.append(0)  # no filter
        rows += canvas.pixels[y * stride:(y + 1) * stride]
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(_chunk(b"IHDR", header))
        out.write(_chunk(b"IDAT", zlib.compress(bytes(rows), 9)))
        out.write(_chunk(b"IEND", b""))
