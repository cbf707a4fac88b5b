#!/usr/bin/python3
"""Draws the launcher's artwork: one 800 x 400 background picture and one icon
per profile, written into resources/ (the copies the executable embeds and
the disk copies the launcher falls back to).

Needs Python 3 with Debian's python3-pil. Everything is computed from fixed
numbers (no randomness, no clock), so two runs give byte-identical files:

    /usr/bin/python3 tools/make_artwork.py            # rewrite resources/
    /usr/bin/python3 tools/make_artwork.py --preview DIR
    /usr/bin/python3 tools/make_artwork.py --reencode # the same pixels, smaller files

--preview also writes, into DIR, each background squeezed into the 368 x 96
header card under the window's dark diagonal shade, and each icon's sizes
side by side, for looking at the results before committing them.
"""

import argparse
import io
import math
import os
import struct
import sys
import zlib

from PIL import Image, ImageDraw, ImageFont

WIDTH, HEIGHT = 800, 400
TEAL = (0x2D / 255, 0xD4 / 255, 0xBF / 255)
AMBER = (0xF5 / 255, 0x9E / 255, 0x0B / 255)
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
BOLD_FONT = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"


# --- small colour helpers --------------------------------------------------

def mix(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def scale(c, k):
    return (c[0] * k, c[1] * k, c[2] * k)


def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def hex_colour(value):
    return ((value >> 16 & 0xFF) / 255, (value >> 8 & 0xFF) / 255, (value & 0xFF) / 255)


def clamp01(t):
    return 0.0 if t < 0.0 else 1.0 if t > 1.0 else t


def smoothstep(lo, hi, t):
    t = clamp01((t - lo) / (hi - lo))
    return t * t * (3 - 2 * t)


def soft_clip(v):
    """Keeps bright glows from flattening into solid white."""
    if v <= 0.82:
        return max(v, 0.0)
    return 0.82 + 0.18 * (1 - math.exp(-(v - 0.82) / 0.18))


# --- layered scenes --------------------------------------------------------
#
# A scene is a dark sky and a stack of layers painted back to front. Each
# layer is a region bounded by an edge (a wavy line, a polyline ridge or a
# circle); the region gets a dark fill and the edge a light line with a halo
# and a wash of light running into the region. Everything is a smooth
# function of the pixel position: smooth art compresses well and survives
# the strong squeeze into the header card.

class Layer:
    def __init__(self, edge, glow, strength, fill_top, fill_deep, core=3.2, halo=18.0, wash=46.0,
                 wash_strength=0.22):
        self.edge = edge                  # (x, y) -> (signed distance in px, inside > 0; position along the edge 0..1)
        self.glow = glow                  # position along the edge 0..1 -> colour
        self.strength = strength          # position along the edge 0..1 -> 0..1
        self.fill_top = fill_top
        self.fill_deep = fill_deep
        self.core = core
        self.halo = halo
        self.wash = wash
        self.wash_strength = wash_strength


def wave_edge(points):
    """An edge y = f(x) from per-column samples (f in px); the region is below."""
    heights = [points(x) for x in range(WIDTH + 1)]
    cos_slope = []
    for x in range(WIDTH):
        dy = heights[min(x + 1, WIDTH)] - heights[max(x - 1, 0)]
        cos_slope.append(1.0 / math.sqrt(1.0 + (dy / 2.0) ** 2))

    def edge(x, y):
        return (y + 0.5 - heights[x]) * cos_slope[x], x / (WIDTH - 1)

    return edge


def ridge_edge(vertices):
    """A polyline ridge through (x, y) vertices given in px; region below.
    Uses the true distance to the polyline, so the light bends smoothly
    around each vertex instead of leaving a seam below it."""
    segments = list(zip(vertices, vertices[1:]))

    def height(x):
        for (x0, y0), (x1, y1) in segments:
            if x0 <= x <= x1:
                return y0 + (y1 - y0) * (x - x0) / (x1 - x0)
        return vertices[-1][1]

    heights = [height(x + 0.5) for x in range(WIDTH)]

    def edge(x, y):
        px, py = x + 0.5, y + 0.5
        best = float("inf")
        for (x0, y0), (x1, y1) in segments:
            if x1 < px - 80 or x0 > px + 80:
                continue
            dx, dy = x1 - x0, y1 - y0
            t = clamp01(((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy))
            best = min(best, math.hypot(px - x0 - t * dx, py - y0 - t * dy))
        if best == float("inf"):
            best = abs(py - heights[x])
        return (best if py >= heights[x] else -best), x / (WIDTH - 1)

    return edge


def circle_edge(cx, cy, radius, wobble):
    """A circle (with a slow radial wobble); the region is inside."""
    def edge(x, y):
        dx, dy = x + 0.5 - cx, y + 0.5 - cy
        angle = math.atan2(dy, dx)
        r = radius + wobble(angle)
        return r - math.hypot(dx, dy), clamp01((angle + math.pi) / math.pi)
    return edge


def render(sky, layers, lights, vignette):
    """Returns the picture as an RGBA image. sky(x, y) gives the base colour;
    lights are extra (x, y) -> colour terms added on top."""
    out = bytearray(WIDTH * HEIGHT * 4)
    i = 0
    for y in range(HEIGHT):
        for x in range(WIDTH):
            c = sky(x, y)
            for layer in layers:
                d, t = layer.edge(x, y)
                if d > -70:
                    strength = layer.strength(t)
                    glow = layer.glow(t)
                    cover = clamp01(d + 0.5)
                    if cover > 0:
                        depth = clamp01(d / 150.0)
                        fill = mix(layer.fill_top, layer.fill_deep, depth)
                        fill = add(fill, scale(glow, strength * layer.wash_strength * math.exp(-max(d, 0) / layer.wash)))
                        c = mix(c, fill, cover)
                    light = math.exp(-(d / layer.core) ** 2) + 0.36 * math.exp(-abs(d) / layer.halo)
                    c = add(c, scale(glow, strength * light))
            for term in lights:
                c = add(c, term(x, y))
            k = vignette(x, y)
            out[i] = round(soft_clip(c[0] * k) * 255)
            out[i + 1] = round(soft_clip(c[1] * k) * 255)
            out[i + 2] = round(soft_clip(c[2] * k) * 255)
            out[i + 3] = 255
            i += 4
    return Image.frombytes("RGBA", (WIDTH, HEIGHT), bytes(out))


def radial_light(cx, cy, rx, ry, colour, strength):
    def term(x, y):
        q = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
        return scale(colour, strength * math.exp(-q))
    return term


def calm_left(x, y):
    """Darker on the left, where the header card's texts sit."""
    u, v = x / WIDTH, y / HEIGHT
    return (0.62 + 0.38 * smoothstep(0.0, 0.75, u)) * (0.92 + 0.08 * math.sin(math.pi * v))


def flat(value):
    return lambda t: value


def ramp(lo, hi, a, b):
    return lambda t: a + (b - a) * smoothstep(lo, hi, t)


# tarrow: teal aurora ribbons sweeping up to the right, one amber edge.
def tarrow_scene():
    def sky(x, y):
        u, v = x / WIDTH, y / HEIGHT
        return mix(hex_colour(0x06090C), hex_colour(0x0B1A1E), clamp01(0.7 * u + 0.3 * (1 - v)) ** 1.5)

    def wave(base, rise, amp, freq, phase, amp2=0.0, freq2=0.0, phase2=0.0):
        def f(x):
            u = x / WIDTH
            return HEIGHT * (base - rise * u + amp * math.sin(2 * math.pi * (freq * u + phase))
                             + amp2 * math.sin(2 * math.pi * (freq2 * u + phase2)))
        return wave_edge(f)

    teal_soft = mix(TEAL, (0.75, 1.0, 0.95), 0.25)
    layers = [
        Layer(wave(0.38, 0.30, 0.07, 0.9, 0.15, 0.02, 2.3, 0.4), flat(mix(TEAL, hex_colour(0x1E6F8C), 0.45)),
              ramp(0.1, 0.9, 0.15, 0.45), hex_colour(0x0A1519), hex_colour(0x081014), halo=22),
        Layer(wave(0.55, 0.34, 0.08, 0.75, 0.42, 0.025, 1.9, 0.1), flat(TEAL),
              ramp(0.05, 0.8, 0.20, 0.85), hex_colour(0x0A181C), hex_colour(0x070E11)),
        Layer(wave(0.74, 0.36, 0.07, 0.65, 0.70, 0.02, 2.1, 0.7), lambda t: mix(TEAL, AMBER, smoothstep(0.35, 0.85, t)),
              ramp(0.15, 0.85, 0.10, 0.95), hex_colour(0x0B1416), hex_colour(0x06090B), core=3.0),
        Layer(wave(0.95, 0.28, 0.05, 0.55, 0.05, 0.015, 2.6, 0.3), flat(teal_soft),
              ramp(0.3, 1.0, 0.05, 0.55), hex_colour(0x091012), hex_colour(0x050709), halo=12),
    ]
    lights = [radial_light(620, 90, 260, 120, TEAL, 0.10),
              radial_light(760, 210, 150, 90, AMBER, 0.06)]
    return render(sky, layers, lights, calm_left)


# quenby: amber arcs rising like a low sun from the lower right, a teal rim.
def quenby_scene():
    cx, cy = 660.0, 560.0

    def sky(x, y):
        v = y / HEIGHT
        r = math.hypot(x - cx, y - cy) / 700.0
        return mix(hex_colour(0x1A1008), hex_colour(0x07070A), clamp01(0.6 * r + 0.4 * (1 - v)))

    def wobble(amount, turns, phase):
        return lambda a: amount * math.sin(turns * a + phase)

    def arc_strength(lo, hi):
        # Brightest towards the top of each arc, fading where arcs run off the sides.
        return lambda t: lo + (hi - lo) * math.sin(math.pi * clamp01((t - 0.0) / 1.0)) ** 0.8

    layers = [
        Layer(circle_edge(cx, cy, 470, wobble(9, 3, 0.4)), flat(mix(TEAL, (0.6, 1.0, 0.95), 0.2)),
              arc_strength(0.1, 0.65), hex_colour(0x100D0B), hex_colour(0x0C0A09), halo=20),
        Layer(circle_edge(cx, cy, 395, wobble(7, 4, 1.7)), flat(mix(AMBER, hex_colour(0xB45309), 0.35)),
              arc_strength(0.1, 0.55), hex_colour(0x15100A), hex_colour(0x100C08)),
        Layer(circle_edge(cx, cy, 320, wobble(6, 5, 2.9)), flat(AMBER),
              arc_strength(0.15, 0.9), hex_colour(0x1C130A), hex_colour(0x140D07), core=3.0),
        Layer(circle_edge(cx, cy, 250, wobble(5, 3, 5.1)), lambda t: mix(AMBER, (1.0, 0.85, 0.5), 0.35),
              arc_strength(0.1, 0.7), hex_colour(0x24170B), hex_colour(0x1A1008), halo=12),
        Layer(circle_edge(cx, cy, 190, wobble(4, 2, 0.9)), flat(TEAL),
              arc_strength(0.05, 0.45), hex_colour(0x2A1A0B), hex_colour(0x221409), core=2.2, halo=10),
    ]
    lights = [radial_light(cx, 400, 260, 110, AMBER, 0.22),
              radial_light(180, 40, 320, 120, TEAL, 0.035)]
    return render(sky, layers, lights, calm_left)


# marlisk: faceted ridges under a cool dusk, teal rims behind, amber in front.
def marlisk_scene():
    def sky(x, y):
        u, v = x / WIDTH, y / HEIGHT
        top, low = hex_colour(0x0B0A14), hex_colour(0x0E1A1F)
        return mix(top, low, clamp01(v * 0.9 + 0.2 * u))

    def ridge(points):
        return ridge_edge([(x, y) for x, y in points])

    layers = [
        Layer(ridge([(0, 210), (120, 170), (230, 196), (360, 120), (470, 150), (600, 70), (700, 110), (800, 60)]),
              flat(mix(TEAL, hex_colour(0x5B6CFF), 0.3)), ramp(0.0, 0.9, 0.12, 0.5),
              hex_colour(0x0D1220), hex_colour(0x0A0D16), halo=22),
        Layer(ridge([(0, 265), (150, 228), (260, 250), (400, 185), (520, 215), (650, 140), (800, 175)]),
              flat(TEAL), ramp(0.0, 0.85, 0.2, 0.85),
              hex_colour(0x0C1618), hex_colour(0x080D10), core=2.8),
        Layer(ridge([(0, 330), (110, 300), (240, 318), (380, 262), (500, 290), (640, 230), (720, 252), (800, 215)]),
              lambda t: mix(TEAL, AMBER, smoothstep(0.4, 0.9, t)), ramp(0.1, 0.9, 0.15, 0.9),
              hex_colour(0x0E1213), hex_colour(0x07090A), core=3.0),
        Layer(ridge([(0, 380), (170, 358), (300, 372), (460, 330), (600, 350), (800, 300)]),
              flat(AMBER), ramp(0.3, 1.0, 0.05, 0.8),
              hex_colour(0x110F0C), hex_colour(0x070605), halo=12),
    ]
    lights = [radial_light(700, 120, 230, 140, mix(TEAL, hex_colour(0x5B6CFF), 0.3), 0.09),
              radial_light(800, 300, 180, 100, AMBER, 0.08)]
    return render(sky, layers, lights, calm_left)


BACKGROUNDS = {"tarrow": tarrow_scene, "quenby": quenby_scene, "marlisk": marlisk_scene}


# --- icons -----------------------------------------------------------------

ICONS = {
    # profile: (file, badge, fill top-left, fill bottom-right, letter colour)
    "tarrow": ("control.ico", "TW", 0x3EE6D0, 0x0F8A7E, 0x06211E),
    "quenby": ("quenby.ico", "QB", 0xFBBF24, 0xD97706, 0x2A1604),
    "marlisk": ("marlisk.ico", "MK", 0x2DD4BF, 0xF59E0B, 0x0B1416),
}


def rgb255(value, alpha=255):
    return (value >> 16 & 0xFF, value >> 8 & 0xFF, value & 0xFF, alpha)


def rounded_mask(size, radius, oversample):
    """Coverage of a rounded square filling size x size, anti-aliased."""
    big = size * oversample
    mask = Image.new("L", (big, big), 0)
    ImageDraw.Draw(mask).rounded_rectangle((0, 0, big - 1, big - 1), radius=radius * oversample, fill=255)
    return mask.resize((size, size), Image.LANCZOS) if oversample > 1 else mask


def diagonal_fill(size, top_left, bottom_right):
    a, b = rgb255(top_left), rgb255(bottom_right)
    img = Image.new("RGBA", (size, size))
    px = img.load()
    for y in range(size):
        for x in range(size):
            t = (x + y) / max(1, 2 * (size - 1))
            px[x, y] = tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3)) + (255,)
    return img


# Hand-set glyphs for the 16 px icons, where no outline font stays crisp:
# eight rows, stems two pixels wide, one pixel between the two letters.
PIXEL_GLYPHS = {
    "T": ["######", "######", "..##..", "..##..", "..##..", "..##..", "..##..", "..##.."],
    "W": ["##...##", "##...##", "##...##", "##.#.##", "##.#.##", "#######", "###.###", ".#...#."],
    "Q": [".####.", "##..##", "##..##", "##..##", "##..##", "##.###", ".####.", "....##"],
    "B": ["#####.", "##..##", "##..##", "#####.", "##..##", "##..##", "##..##", "#####."],
    "M": ["##...##", "###.###", "#######", "##.#.##", "##.#.##", "##...##", "##...##", "##...##"],
    "K": ["##..##", "##.##.", "####..", "###...", "####..", "##.##.", "##..##", "##..##"],
}


def pixel_badge_mask(size, badge):
    first, second = PIXEL_GLYPHS[badge[0]], PIXEL_GLYPHS[badge[1]]
    width = len(first[0]) + 1 + len(second[0])
    x0 = (size - width + 1) // 2
    y0 = (size - len(first)) // 2
    mask = Image.new("L", (size, size), 0)
    px = mask.load()
    for gx, glyph in ((x0, first), (x0 + len(first[0]) + 1, second)):
        for row, line in enumerate(glyph):
            for col, ch in enumerate(line):
                if ch == "#":
                    px[gx + col, y0 + row] = 255
    return mask


def font_badge_mask(size, badge, oversample):
    """The badge in Liberation Sans Bold, as large as fits about three
    quarters of the width, centred on whole pixels at small sizes."""
    target = size * (0.84 if size <= 32 else 0.74)
    font_px = size
    while font_px > 4:
        font = ImageFont.truetype(BOLD_FONT, font_px)
        left, top, right, bottom = font.getbbox(badge)
        if right - left <= target and bottom - top <= size * 0.62:
            break
        font_px -= 1
    x = (size - (right - left)) / 2 - left
    y = (size - (bottom - top)) / 2 - top
    if oversample == 1:
        mask = Image.new("L", (size, size), 0)
        ImageDraw.Draw(mask).text((round(x), round(y)), badge, font=font, fill=255)
        return mask
    layer = Image.new("L", (size * oversample, size * oversample), 0)
    big_font = ImageFont.truetype(BOLD_FONT, font_px * oversample)
    ImageDraw.Draw(layer).text((x * oversample, y * oversample), badge, font=big_font, fill=255)
    return layer.resize((size, size), Image.LANCZOS)


def icon_image(size, badge, top_left, bottom_right, letters):
    # Each size is drawn for itself: hand-set pixel letters at 16 px, hinted
    # glyphs on whole pixels at 24 and 32 px, anti-aliased outlines above.
    radius = max(3, round(size * 0.22))
    img = diagonal_fill(size, top_left, bottom_right)
    if size >= 48:
        # A faint inner highlight over the upper half.
        hl = Image.new("RGBA", (size, size), (255, 255, 255, 0))
        band = max(1, size // 24)
        ImageDraw.Draw(hl).rounded_rectangle((band, band, size - 1 - band, size // 2), radius=max(1, radius - band),
                                             fill=(255, 255, 255, 30))
        img = Image.alpha_composite(img, hl)
    if size <= 16:
        text_mask = pixel_badge_mask(size, badge)
    else:
        text_mask = font_badge_mask(size, badge, 1 if size <= 32 else 4)
    img.paste(Image.new("RGBA", (size, size), rgb255(letters)), (0, 0), text_mask)
    img.putalpha(rounded_mask(size, radius, 4))
    return img


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def filter_row(kind, row, prev, bpp):
    """One PNG filter (0 none, 1 sub, 2 up, 3 average, 4 Paeth) applied to a row."""
    if kind == 0:
        return bytes(row)
    out = bytearray(len(row))
    for i, x in enumerate(row):
        a = row[i - bpp] if i >= bpp else 0
        b = prev[i]
        if kind == 1:
            pred = a
        elif kind == 2:
            pred = b
        elif kind == 3:
            pred = (a + b) >> 1
        else:
            c = prev[i - bpp] if i >= bpp else 0
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
        out[i] = (x - pred) & 255
    return bytes(out)


def png_bytes(image, opaque_as_rgb=True):
    """The image as the smallest PNG this search finds, losslessly: RGB when
    every pixel is opaque and `opaque_as_rgb` (it decodes to the same
    pixels), else RGBA; the row
    filters one for all rows, the smallest absolute sum per row, or chosen
    row by row by what the compressor makes of them; zlib at level 9 with
    each strategy and memory level. Slow (seconds a picture), deterministic."""
    image = image.convert("RGBA")
    if opaque_as_rgb and image.getchannel("A").getextrema() == (255, 255):
        image = image.convert("RGB")
    width, height = image.size
    bpp = len(image.mode)
    stride = width * bpp
    raw = image.tobytes()
    rows = [raw[y * stride:(y + 1) * stride] for y in range(height)]
    prevs = [bytes(stride)] + rows[:-1]
    filtered = [[filter_row(kind, row, prev, bpp) for kind in range(5)] for row, prev in zip(rows, prevs)]
    choices = [[kind] * height for kind in range(5)]
    choices.append([min(range(5), key=lambda k: sum(min(v, 256 - v) for v in f[k])) for f in filtered])
    for strategy in (zlib.Z_DEFAULT_STRATEGY, zlib.Z_FILTERED):
        compressor = zlib.compressobj(9, zlib.DEFLATED, 15, 9, strategy)
        chosen = []
        for f in filtered:
            def cost(kind):
                trial = compressor.copy()
                return len(trial.compress(bytes([kind]) + f[kind])) + len(trial.flush(zlib.Z_SYNC_FLUSH))
            kind = min(range(5), key=cost)
            compressor.compress(bytes([kind]) + f[kind])
            chosen.append(kind)
        choices.append(chosen)
    best = None
    for chosen in choices:
        stream = b"".join(bytes([kind]) + f[kind] for kind, f in zip(chosen, filtered))
        for strategy in (zlib.Z_DEFAULT_STRATEGY, zlib.Z_FILTERED):
            for memory in (8, 9):
                compressor = zlib.compressobj(9, zlib.DEFLATED, 15, memory, strategy)
                data = compressor.compress(stream) + compressor.flush()
                if best is None or len(data) < len(best):
                    best = data
    header = struct.pack(">IIBBBBB", width, height, 8, 6 if bpp == 4 else 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", best) + png_chunk(b"IEND", b"")


def ico_bytes(images):
    """An ICO file whose every entry is a 32-bit PNG image."""
    blobs = [png_bytes(img, opaque_as_rgb=False) for img in images]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for img, blob in zip(images, blobs):
        w, h = img.size
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return header + entries + b"".join(blobs)


def ico_images(data):
    """The images of an ICO file whose entries are PNG images."""
    count = struct.unpack_from("<H", data, 4)[0]
    images = []
    for index in range(count):
        size, offset = struct.unpack_from("<II", data, 6 + 16 * index + 8)
        image = Image.open(io.BytesIO(data[offset:offset + size]))
        image.load()
        images.append(image.convert("RGBA"))
    return images


def reencode(resources):
    """Writes the pictures and icons in resources/ again with png_bytes, from
    their decoded pixels; fails unless every image decodes to the same pixels."""
    for profile in BACKGROUNDS:
        path = os.path.join(resources, "assets", f"{profile}-bg-v1.png")
        with Image.open(path) as image:
            pixels = image.convert("RGBA")
        data = png_bytes(pixels)
        if Image.open(io.BytesIO(data)).convert("RGBA").tobytes() != pixels.tobytes():
            raise SystemExit(f"{path}: the new encoding decodes to other pixels")
        before = os.path.getsize(path)
        with open(path, "wb") as f:
            f.write(data)
        print(f"{path}: {before} -> {len(data)} bytes")
    for file_name, *_ in ICONS.values():
        path = os.path.join(resources, file_name)
        with open(path, "rb") as f:
            images = ico_images(f.read())
        data = ico_bytes(images)
        if [i.tobytes() for i in ico_images(data)] != [i.tobytes() for i in images]:
            raise SystemExit(f"{path}: the new encoding decodes to other pixels")
        before = os.path.getsize(path)
        with open(path, "wb") as f:
            f.write(data)
        print(f"{path}: {before} -> {len(data)} bytes")


# --- previews --------------------------------------------------------------

def header_card_preview(background):
    """The window's top part: the picture squeezed into the 368 x 96 header
    card at (12, 43), under the dark diagonal shade, on the window colour."""
    canvas = Image.new("RGBA", (392, 152), (0x09, 0x0A, 0x0C, 255))
    card = background.resize((368, 96), Image.BILINEAR)
    shade = Image.new("RGBA", (368, 96))
    px = shade.load()
    for y in range(96):
        for x in range(368):
            t = (x / 367 + y / 95) / 2
            px[x, y] = (0x08, 0x0A, 0x0C, round(0xAA + (0x60 - 0xAA) * t))
    card = Image.alpha_composite(card, shade)
    canvas.paste(card, (12, 43))
    overlay = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
    draw = ImageDraw.Draw(overlay)
    draw.rounded_rectangle((12, 43, 379, 138), radius=8, outline=(255, 255, 255, 22))
    draw.rounded_rectangle((27, 53, 96, 70), radius=6, fill=(16, 45, 35, 168), outline=(52, 211, 153, 107))
    title = ImageFont.truetype(BOLD_FONT, 16)
    small = ImageFont.truetype(BOLD_FONT, 8)
    draw.text((36, 57), "TRANSFER", font=small, fill=(216, 255, 240, 255))
    draw.text((26, 96), "Tarrow Preview", font=title, fill=(255, 255, 255, 255))
    draw.text((26, 120), "Runtime update in progress", font=small, fill=(200, 210, 215, 255))
    canvas = Image.alpha_composite(canvas, overlay)
    return canvas.resize((392 * 2, 152 * 2), Image.NEAREST)


def icon_strip(images):
    width = sum(img.size[0] for img in images) + 8 * (len(images) + 1)
    strip = Image.new("RGBA", (width, 256 + 16), (0x20, 0x22, 0x26, 255))
    x = 8
    for img in images:
        strip.alpha_composite(img, (x, 8))
        x += img.size[0] + 8
    small = Image.new("RGBA", (16 * 6 + 24 * 6 + 32 * 6 + 32, 32 * 6 + 16), (0x20, 0x22, 0x26, 255))
    x = 8
    for img in images[:3]:
        small.alpha_composite(img.resize((img.size[0] * 6, img.size[1] * 6), Image.NEAREST), (x, 8))
        x += img.size[0] * 6 + 8
    return strip, small


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--resources", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..",
                                                            "resources"))
    parser.add_argument("--preview", help="also write previews into this folder")
    parser.add_argument("--only", choices=sorted(BACKGROUNDS), help="draw one profile only")
    parser.add_argument("--reencode", action="store_true",
                        help="only write the existing pictures and icons again, smaller, with the same pixels")
    args = parser.parse_args()

    resources = os.path.normpath(args.resources)
    if args.reencode:
        reencode(resources)
        return 0
    os.makedirs(os.path.join(resources, "assets"), exist_ok=True)
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
    for profile, scene in BACKGROUNDS.items():
        if args.only and profile != args.only:
            continue
        background = scene()
        path = os.path.join(resources, "assets", f"{profile}-bg-v1.png")
        with open(path, "wb") as f:
            f.write(png_bytes(background))
        file_name, badge, top_left, bottom_right, letters = ICONS[profile]
        images = [icon_image(size, badge, top_left, bottom_right, letters) for size in ICON_SIZES]
        with open(os.path.join(resources, file_name), "wb") as f:
            f.write(ico_bytes(images))
        print(f"{profile}: {path} {os.path.getsize(path)} bytes, "
              f"{file_name} {os.path.getsize(os.path.join(resources, file_name))} bytes")
        if args.preview:
            header_card_preview(background).save(os.path.join(args.preview, f"{profile}-card.png"))
            strip, small = icon_strip(images)
            strip.save(os.path.join(args.preview, f"{profile}-icons.png"))
            small.save(os.path.join(args.preview, f"{profile}-icons-small.png"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
