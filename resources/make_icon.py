#!/usr/bin/env python3
"""Draws Velmora's icon and writes it out.

The mark is a rounded tile in a warm red-to-crimson gradient carrying a bold
white V, with a golden play triangle set in the V's notch.  It is drawn from
geometry at every size rather than scaled from one bitmap, so the small
sizes can drop the play triangle and thicken the V to stay legible.

Outputs, next to this script:
  velmora.ico             48, 32, 24 and 16 px, each as a 256-colour image
                          (8-bit palette with an AND mask) and as a 32-bit
                          image (BGRA with alpha and an AND mask)
  icons/velmora-N.png     N = 16, 24, 32, 48, 128, 256 (RGBA)

Only the Python standard library is used; the ICO, BMP and PNG encodings are
written here.  The output is deterministic, so rerunning the script on an
unchanged tree changes no bytes.
"""

import math
import os
import struct
import zlib

ICO_SIZES = (48, 32, 24, 16)
PNG_SIZES = (16, 24, 32, 48, 128, 256)

TILE_TOP = (255, 122, 47)      # orange at the top-left corner
TILE_BOTTOM = (200, 16, 58)    # crimson at the bottom-right corner
MARK = (255, 255, 255)         # the V
PLAY = (255, 208, 64)          # the play triangle
SHADOW = (90, 0, 20)           # soft shadow under the V


# --- Geometry -------------------------------------------------------------
# Shapes live in unit coordinates (0..1 across the image, y downwards).  Each
# shape answers with a signed distance: negative inside, positive outside.
# For convex polygons the distance is the largest of the edge distances, which
# is exact inside and never too large outside; that is enough both for the
# "is this pixel wholly inside or outside" shortcut and for the shadow.

class ConvexPolygon:
    def __init__(self, points):
        self.edges = []
        n = len(points)
        area = sum(points[i][0] * points[(i + 1) % n][1]
                   - points[(i + 1) % n][0] * points[i][1] for i in range(n))
        sign = 1.0 if area > 0 else -1.0
        for i in range(n):
            (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
            length = math.hypot(x1 - x0, y1 - y0)
            # Outward normal of an edge, whatever the winding of the points.
            nx, ny = sign * (y1 - y0) / length, -sign * (x1 - x0) / length
            self.edges.append((nx, ny, nx * x0 + ny * y0))

    def distance(self, x, y):
        return max(nx * x + ny * y - c for nx, ny, c in self.edges)


class Union:
    def __init__(self, *parts):
        self.parts = parts

    def distance(self, x, y):
        return min(p.distance(x, y) for p in self.parts)


class RoundedSquare:
    def __init__(self, lo, hi, radius):
        self.centre = (lo + hi) / 2
        self.half = (hi - lo) / 2 - radius
        self.radius = radius

    def distance(self, x, y):
        dx = abs(x - self.centre) - self.half
        dy = abs(y - self.centre) - self.half
        outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
        return outside + min(max(dx, dy), 0.0) - self.radius


class Design:
    """The mark's shapes for one pixel size."""

    def __init__(self, size):
        self.size = size
        small = size <= 24
        margin = round(size * 0.03) / size
        self.tile = RoundedSquare(margin, 1 - margin, 0.22 * (1 - 2 * margin))

        # Horizontal edges and the arms' outer corners sit on whole pixels
        # so that the small sizes keep crisp tops and a crisp foot.
        snap = (lambda v: round(v * size) / size) if size <= 48 else float
        top, bottom = snap(0.22 if small else 0.21), snap(0.80)
        outer = snap(0.15 if small else 0.14)     # outer x of the arms' tops
        arm = 0.23 if small else 0.18             # horizontal arm thickness
        foot = 0.14 if small else 0.10            # width of the flat bottom
        # Each arm keeps its thickness down to the notch's apex; below it the
        # two halves meet on the centre line, so the V ends in a flat foot.
        slope = (0.5 - foot / 2 - outer) / (bottom - top)
        apex_y = top + (0.5 - outer - arm) / slope
        half = [(outer, top), (outer + arm, top), (0.5, apex_y),
                (0.5, bottom), (0.5 - foot / 2, bottom)]
        self.v = Union(ConvexPolygon(half),
                       ConvexPolygon([(1 - x, y) for x, y in half]))
        self.play = None if small else self._play_in_notch(
            top, outer + arm, apex_y)
        self.shadow_offset = 0.025
        self.shadow_blur = 0.05 if size >= 48 else 0.0

    @staticmethod
    def _play_in_notch(top, inner_top_x, apex_y):
        # Fit a right-pointing triangle inside the circle inscribed in the
        # notch between the arms, nudged right so it looks centred by eye.
        half_base = 0.5 - inner_top_x
        height = apex_y - top
        side = math.hypot(half_base, height)
        r = half_base * height / (half_base + side)
        cx, cy, rr = 0.5 + 0.12 * r, top + r, 0.92 * r
        return ConvexPolygon([
            (cx + rr, cy),
            (cx - rr / 2, cy - rr * math.sqrt(3) / 2),
            (cx - rr / 2, cy + rr * math.sqrt(3) / 2)])

    def tile_colour(self, x, y):
        t = min(max((0.35 * x + y) / 1.35, 0.0), 1.0)
        t = t * t * (3 - 2 * t)
        return tuple(a + (b - a) * t for a, b in zip(TILE_TOP, TILE_BOTTOM))

    def colour(self, x, y):
        """Straight RGBA (0..255 floats, alpha 0..1) at one point."""
        if self.tile.distance(x, y) > 0:
            return (0.0, 0.0, 0.0, 0.0)
        if self.play and self.play.distance(x, y) <= 0:
            return (*PLAY, 1.0)
        if self.v.distance(x, y) <= 0:
            return (*MARK, 1.0)
        base = self.tile_colour(x, y)
        if self.shadow_blur:
            d = self.v.distance(x - self.shadow_offset, y - self.shadow_offset)
            k = 0.35 * max(0.0, 1.0 - max(d, 0.0) / self.shadow_blur) ** 2
            base = tuple(b + (s - b) * k for b, s in zip(base, SHADOW))
        return (*base, 1.0)

    def edges_near(self, x, y, reach):
        shapes = [self.tile, self.v] + ([self.play] if self.play else [])
        return any(abs(s.distance(x, y)) < reach for s in shapes)


# --- Rasterising ----------------------------------------------------------

def render(size, samples=8):
    """RGBA rows (straight alpha, 0..255 ints) of the mark at one size."""
    design = Design(size)
    pixel = 1.0 / size
    reach = pixel * 0.75   # a little over half the pixel's diagonal
    offsets = [(i + 0.5) / samples for i in range(samples)]
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            cx, cy = (px + 0.5) * pixel, (py + 0.5) * pixel
            if design.edges_near(cx, cy, reach):
                points = [((px + ox) * pixel, (py + oy) * pixel)
                          for oy in offsets for ox in offsets]
            else:
                points = [(cx, cy)]
            row.append(average(design.colour(x, y) for x, y in points))
        rows.append(row)
    return rows


def average(colours):
    # Average in premultiplied form so transparent samples add no colour.
    r = g = b = a = 0.0
    n = 0
    for cr, cg, cb, ca in colours:
        r, g, b, a, n = r + cr * ca, g + cg * ca, b + cb * ca, a + ca, n + 1
    if a == 0:
        return (0, 0, 0, 0)
    alpha = round(255 * a / n)
    if alpha == 0:
        return (0, 0, 0, 0)
    return (round(r / a), round(g / a), round(b / a), alpha)


# --- PNG ------------------------------------------------------------------

def png_bytes(rows):
    height, width = len(rows), len(rows[0])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(
            ">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = bytearray()
    previous = bytes(width * 4)
    for row in rows:
        line = bytes(v for pixel in row for v in pixel)
        kind, filtered = best_filter(line, previous, 4)
        raw.append(kind)
        raw += filtered
        previous = line
    # 8 bits per channel, colour type 6 (RGBA), no interlace.
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def best_filter(line, previous, bpp):
    """The PNG row filter with the smallest sum of absolute differences."""
    def paeth(a, b, c):
        p = a + b - c
        pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
        return a if pa <= pb and pa <= pc else (b if pb <= pc else c)

    candidates = []
    for kind in range(5):
        out = bytearray(len(line))
        for i, x in enumerate(line):
            a = line[i - bpp] if i >= bpp else 0
            b = previous[i]
            c = previous[i - bpp] if i >= bpp else 0
            predictor = (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]
            out[i] = (x - predictor) & 0xFF
        cost = sum(v if v < 128 else 256 - v for v in out)
        candidates.append((cost, kind, bytes(out)))
    cost, kind, out = min(candidates)
    return kind, out


# --- 256-colour reduction -------------------------------------------------

def median_cut(colours, limit):
    """Up to `limit` palette entries for a {colour: count} table."""
    boxes = [list(colours.items())]
    while len(boxes) < limit:
        splittable = [b for b in boxes if len(b) > 1]
        if not splittable:
            break
        box = max(splittable, key=box_weight)
        boxes.remove(box)
        channel = max(range(3), key=lambda c: channel_range(box, c))
        box.sort(key=lambda item: item[0][channel])
        total = sum(count for _, count in box)
        running, cut = 0, 1
        for i, (_, count) in enumerate(box):
            running += count
            if running * 2 >= total:
                cut = min(max(i + 1, 1), len(box) - 1)
                break
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(count for _, count in box)
        palette.append(tuple(
            round(sum(c[ch] * n for c, n in box) / total) for ch in range(3)))
    return palette


def channel_range(box, channel):
    values = [c[channel] for c, _ in box]
    return max(values) - min(values)


def box_weight(box):
    return max(channel_range(box, c) for c in range(3)) * math.sqrt(
        sum(count for _, count in box))


def quantise(rows):
    """Palette indices and a transparency mask for the 256-colour image.

    Palette images have no partial transparency: a pixel at least half
    covered keeps its own (unblended) colour, the rest become transparent.
    Index 0 is black, which is what a transparent pixel must hold so that
    the AND mask and the XOR image leave the background untouched.
    """
    opaque = [[pixel[3] >= 128 for pixel in row] for row in rows]
    counts = {}
    for row, keep in zip(rows, opaque):
        for pixel, k in zip(row, keep):
            if k:
                counts[pixel[:3]] = counts.get(pixel[:3], 0) + 1
    palette = [(0, 0, 0)] + median_cut(counts, 255)
    nearest = {}
    for colour in counts:
        nearest[colour] = min(range(len(palette)), key=lambda i: sum(
            (a - b) ** 2 for a, b in zip(colour, palette[i])))
    indices = [[nearest[p[:3]] if k else 0 for p, k in zip(row, keep)]
               for row, keep in zip(rows, opaque)]
    palette += [(0, 0, 0)] * (256 - len(palette))
    return palette, indices, opaque


# --- ICO ------------------------------------------------------------------

def and_mask(size, transparent):
    """1-bit rows, bottom-up, each padded to 32 bits: 1 marks transparent."""
    stride = (size + 31) // 32 * 4
    out = bytearray()
    for y in reversed(range(size)):
        line = bytearray(stride)
        for x in range(size):
            if transparent(x, y):
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def bitmap_header(size, bits, image_bytes, colours_used):
    # The height counts the colour image and the mask stacked together.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                       image_bytes, 0, 0, colours_used, 0)


def bmp_32(rows):
    size = len(rows)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask = and_mask(size, lambda x, y: rows[y][x][3] == 0)
    return bitmap_header(size, 32, len(pixels) + len(mask), 0) + pixels + mask


def bmp_8(rows):
    size = len(rows)
    palette, indices, opaque = quantise(rows)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    stride = (size + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(indices):
        pixels += bytes(row) + bytes(stride - size)
    mask = and_mask(size, lambda x, y: not opaque[y][x])
    header = bitmap_header(size, 8, len(pixels) + len(mask), 256)
    return header + table + pixels + mask


def ico_bytes(images):
    """images: (size, bits, bmp bytes) in directory order."""
    offset = 6 + 16 * len(images)
    directory, data = bytearray(), bytearray()
    for size, bits, bmp in images:
        # Width and height 0 would mean 256; the colour count is 0 for
        # 256 colours and more.
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0,
                                 1, bits, len(bmp), offset + len(data))
        data += bmp
    return struct.pack("<HHH", 0, 1, len(images)) + directory + data


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    os.makedirs(os.path.join(here, "icons"), exist_ok=True)
    rendered = {}
    for size in PNG_SIZES:
        rendered[size] = render(size, samples=8 if size <= 48 else 4)
        path = os.path.join(here, "icons", "velmora-%d.png" % size)
        with open(path, "wb") as f:
            f.write(png_bytes(rendered[size]))
    images = [(s, 32, bmp_32(rendered[s])) for s in ICO_SIZES]
    images += [(s, 8, bmp_8(rendered[s])) for s in ICO_SIZES]
    with open(os.path.join(here, "velmora.ico"), "wb") as f:
        f.write(ico_bytes(images))


if __name__ == "__main__":
    main()
