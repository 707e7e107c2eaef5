#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Draws every icon of the game:
# - the window icon (a pyramid: silver left face, black right face, grey base) as
#   16x16 and 32x32 PNGs with a transparent background, pixels sampled at their
#   centres against the polygons, hard edges, a handful of colours;
# - the app icon, the same pyramid with a light rim round it and along its front
#   edge, so that it holds on dark panels as on light ones, inside the margin the
#   desktops' icon guidelines ask for: as SVG and as PNGs, smoothed;
# - the symbolic icon, the pyramid's faces in one colour, parted by gaps.
# With --check it prints, for the app icon at 64 px, the share of its pixels whose
# contrast with a dark (#242424) and a light (#fafafa) panel is below 1.5.
import os, struct, sys, zlib

SILVER, BLACK, GREY, RIM = (192, 192, 192), (0, 0, 0), (128, 128, 128), (184, 184, 184)
# The window icon, on a 32-unit grid, drawn in this order.
WINDOW = [
    (GREY,   [(1, 25), (17, 31), (31, 23), (31, 21), (17, 29), (1, 23)]),  # base slab
    (SILVER, [(16, 1), (1, 23), (17, 29)]),                               # left face
    (BLACK,  [(16, 1), (17, 29), (31, 21)]),                              # right face
]
# The app icon, on a 64-unit grid: the rim first, as a wider silhouette, then the
# faces inside it, the front edge left in the rim's colour. Nothing nearer the
# canvas's edge than 4 units.
APP = [
    (RIM,    [(32, 4), (56, 37), (56, 46), (37, 60), (8, 51), (8, 43)]),
    (GREY,   [(11, 45), (37, 54), (53, 42), (53, 45), (37, 57), (11, 48)]),
    (SILVER, [(31, 9), (11, 42), (35, 51)]),
    (BLACK,  [(34, 9), (38, 50), (53, 39)]),
]
# The symbolic icon, on a 16-unit grid, in one colour.
SYMBOLIC = [[(8, 1), (1, 11), (7, 13)], [(9, 1), (9, 13), (15, 10)], [(1, 13), (8, 15), (15, 12), (15, 14), (8, 16)]]


def inside(x, y, poly):
    c = False
    for i in range(len(poly)):
        (x1, y1), (x2, y2) = poly[i], poly[i - 1]
        if (y1 > y) != (y2 > y) and x < (x2 - x1) * (y - y1) / (y2 - y1) + x1:
            c = not c
    return c


def pixels(shapes, units, size, samples):
    """RGBA pixels of the shapes at size, each the mean of samples x samples points."""
    scale = units / size
    out = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    x, y = (px + (sx + 0.5) / samples) * scale, (py + (sy + 0.5) / samples) * scale
                    colour = None
                    for c, poly in shapes:
                        if inside(x, y, poly):
                            colour = c
                    if colour:
                        r, g, b, a = r + colour[0], g + colour[1], b + colour[2], a + 1
            n = samples * samples
            row.append((round(r / a) if a else 0, round(g / a) if a else 0, round(b / a) if a else 0, round(255 * a / n)))
        out.append(row)
    return out


def png(rows, path):
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    size = len(rows)
    raw = b''.join(b'\0' + bytes(v for p in row for v in p) for row in rows)
    data = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
    open(path, 'wb').write(data + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def svg(shapes, units, path, colour=None):
    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{units}" height="{units}" viewBox="0 0 {units} {units}">']
    for c, poly in shapes:
        fill = colour or '#%02x%02x%02x' % c
        parts.append('  <polygon points="%s" fill="%s"/>' % (' '.join(f'{x},{y}' for x, y in poly), fill))
    open(path, 'w').write('\n'.join(parts + ['</svg>']) + '\n')


def luminance(rgb):
    def channel(v):
        v /= 255
        return v / 12.92 if v <= 0.03928 else ((v + 0.055) / 1.055) ** 2.4
    r, g, b = map(channel, rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def low_contrast(rows, panel):
    """The share of the icon's pixels that, over panel, differ from it by a contrast below 1.5."""
    low = seen = 0
    for row in rows:
        for r, g, b, a in row:
            if a == 0:
                continue
            seen += 1
            over = tuple((c * a + p * (255 - a)) / 255 for c, p in zip((r, g, b), panel))
            l1, l2 = sorted((luminance(over), luminance(panel)))
            low += (l2 + 0.05) / (l1 + 0.05) < 1.5
    return low / seen


here = os.path.dirname(os.path.abspath(__file__))
if '--check' in sys.argv:
    rows = pixels(APP, 64, 64, 4)
    for name, panel in (('dark #242424', (0x24, 0x24, 0x24)), ('light #fafafa', (0xfa, 0xfa, 0xfa))):
        print('app icon at 64 px on %s: %.0f %% of its pixels below contrast 1.5' % (name, 100 * low_contrast(rows, panel)))
    sys.exit(0)
for size in (16, 32):
    png(pixels(WINDOW, 32, size, 1), os.path.join(here, 'pegmarch-%d.png' % size))
for size in (16, 32, 48, 64, 128):
    png(pixels(APP, 64, size, 4), os.path.join(here, 'app-%d.png' % size))
svg(APP, 64, os.path.join(here, 'app.svg'))
svg([(None, p) for p in SYMBOLIC], 16, os.path.join(here, 'app-symbolic.svg'), '#2e3436')
