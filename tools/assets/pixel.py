"""Small pixel-art helpers shared by the asset generators.

Every generator seeds its own random source, so the same code always
produces byte-identical images and the committed assets can be rebuilt.
"""
import numpy as np
from PIL import Image

T = 16  # pixels per tile side in the tileset image


def rgba(c, a=255):
    return np.array([c[0], c[1], c[2], a], dtype=np.uint8)


def canvas(w, h):
    return np.zeros((h, w, 4), dtype=np.uint8)


def shade(c, f):
    return tuple(int(max(0, min(255, v * f))) for v in c[:3])


def speckle(rng, size, base, palette, density):
    """A tile of base colour with random single-pixel speckles."""
    img = np.empty((size, size, 4), dtype=np.uint8)
    img[:, :] = rgba(base)
    for _ in range(int(size * size * density)):
        x, y = rng.integers(0, size, 2)
        img[y, x] = rgba(palette[rng.integers(0, len(palette))])
    return img


def rect(img, x0, y0, x1, y1, c, a=255):
    """Fill the inclusive rectangle (x0, y0)-(x1, y1)."""
    h, w = img.shape[:2]
    x0, x1 = max(0, x0), min(w - 1, x1)
    y0, y1 = max(0, y0), min(h - 1, y1)
    if x0 <= x1 and y0 <= y1:
        img[y0:y1 + 1, x0:x1 + 1] = rgba(c, a)


def px(img, x, y, c, a=255):
    h, w = img.shape[:2]
    if 0 <= x < w and 0 <= y < h:
        img[y, x] = rgba(c, a)


def disc(img, cx, cy, r, c, a=255):
    h, w = img.shape[:2]
    ys, xs = np.mgrid[0:h, 0:w]
    m = (xs + 0.5 - cx) ** 2 + (ys + 0.5 - cy) ** 2 <= r * r
    img[m] = rgba(c, a)


def outline(img, c=(30, 24, 30)):
    """Darken every transparent pixel that touches an opaque one (4-neighbours)."""
    a = img[:, :, 3] > 0
    n = np.zeros_like(a)
    n[1:, :] |= a[:-1, :]
    n[:-1, :] |= a[1:, :]
    n[:, 1:] |= a[:, :-1]
    n[:, :-1] |= a[:, 1:]
    ring = n & ~a
    img[ring] = rgba(c)
    return img


def paste(dst, src, x, y):
    """Alpha-over src onto dst at (x, y); fully transparent pixels are skipped."""
    h, w = src.shape[:2]
    region = dst[y:y + h, x:x + w]
    m = src[:, :, 3] > 0
    region[m] = src[m]


def save(img, path):
    Image.fromarray(img, "RGBA").save(path, optimize=True)
