#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Writes the window icon (a pyramid: silver left face, black right face, grey
# base) as 16x16 and 32x32 PNGs with a transparent background, and as SVG.
# Pixels are sampled at their centres against the polygons: hard edges, no
# blending, so the pictures keep to a handful of colours.
import struct, zlib, os

SILVER, BLACK, GREY = (192, 192, 192), (0, 0, 0), (128, 128, 128)
# Shapes on a 32-unit grid, drawn in this order.
SHAPES = [
    (GREY,   [(1, 25), (17, 31), (31, 23), (31, 21), (17, 29), (1, 23)]),  # base slab
    (SILVER, [(16, 1), (1, 23), (17, 29)]),                               # left face
    (BLACK,  [(16, 1), (17, 29), (31, 21)]),                              # right face
]

def inside(x, y, poly):
    c = False
    for i in range(len(poly)):
        (x1, y1), (x2, y2) = poly[i], poly[i - 1]
        if (y1 > y) != (y2 > y) and x < (x2 - x1) * (y - y1) / (y2 - y1) + x1:
            c = not c
    return c

def png(size, path):
    scale = 32 / size
    rows = []
    for py in range(size):
        row = bytearray([0])
        for px in range(size):
            rgba = (0, 0, 0, 0)
            for colour, poly in SHAPES:
                if inside((px + 0.5) * scale, (py + 0.5) * scale, poly):
                    rgba = colour + (255,)
            row += bytes(rgba)
        rows.append(bytes(row))
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    data = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
    data += chunk(b'IDAT', zlib.compress(b''.join(rows), 9)) + chunk(b'IEND', b'')
    open(path, 'wb').write(data)

def svg(path):
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">']
    for (r, g, b), poly in SHAPES:
        pts = ' '.join(f'{x},{y}' for x, y in poly)
        parts.append(f'  <polygon points="{pts}" fill="#{r:02x}{g:02x}{b:02x}"/>')
    parts.append('</svg>')
    open(path, 'w').write('\n'.join(parts) + '\n')

here = os.path.dirname(os.path.abspath(__file__))
png(16, os.path.join(here, 'pegmarch-16.png'))
png(32, os.path.join(here, 'pegmarch-32.png'))
svg(os.path.join(here, 'pegmarch.svg'))
