#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Writes the pictures of the game, taken from the real game in a private X server.

  /usr/bin/python3 scripts/screenshots.py PATH-TO-PEGMARCH

docs/screenshot-{start,keys,refusal,won}.png show the window at its opening size (the README);
docs/metainfo/screenshot-{start,refusal,won}.png show it at 1280x720 (the metainfo: software
centres ask for 16:9). Needs Xvfb, xdotool and python3-xlib.
"""
import os
import struct
import subprocess
import sys
import tempfile
import time
import zlib

from Xlib import X, display

TITLE_START = "Ostrel 'Pegmarch' "
SCREEN = (1920, 1080)
LARGE = (1280, 720)
DOCS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "docs")
# Peg centres in sixths of the board's width and height.
PEGS = {1: (2, 3), 2: (1, 5), 3: (3, 5), 4: (5, 5), 5: (4, 3), 6: (3, 1)}


def poll(what, check, seconds=10):
    """Waits until check() gives something true and returns it."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = check()
        if found:
            return found
        time.sleep(0.05)
    sys.exit("screenshots: %s did not happen within %d s" % (what, seconds))


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def write_png(path, width, height, rgb_rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    # Each row with PNG's "Up" filter: the board is mostly plain colour, so this packs well.
    rows, previous = [], bytes(width * 3)
    for row in rgb_rows:
        rows.append(b"\2" + bytes((a - b) & 0xFF for a, b in zip(row, previous)))
        previous = row
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n"
                + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


class Game:
    """The game running on the private X server, its window and its board."""

    def __init__(self, binary, screen):
        self.screen = screen
        self.root = screen.screen().root
        self.process = subprocess.Popen([binary], stdin=subprocess.DEVNULL)
        self.window = poll("the game's window", lambda: (self.windows() or [None])[0])
        self.ring_on = [0, 1, 1, 1, 1, 1]  # ring 1, the biggest, to ring 5

    def windows(self):
        """The game's visible top-level windows (its main window and the info window)."""
        found = []
        for w in self.root.query_tree().children:
            attributes = w.get_attributes()
            name = w.get_wm_name() or ""
            if (attributes.map_state == X.IsViewable and not attributes.override_redirect
                    and isinstance(name, str) and name.startswith(TITLE_START)):
                found.append(w)
        return found

    def geometry(self):
        g = self.window.get_geometry()
        origin = self.window.translate_coords(self.root, 0, 0)
        return -origin.x, -origin.y, g.width, g.height

    def rgb_rows(self):
        x, y, width, height = self.geometry()
        image = self.root.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF)
        stride = len(image.data) // height
        rows = []
        for r in range(height):
            line = image.data[r * stride:r * stride + width * 4]  # B, G, R, pad
            rgb = bytearray(width * 3)
            rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
            rows.append(bytes(rgb))
        return rows

    def board(self):
        """The board's rectangle on screen: the inner area below the menu bar, less 10 px
        left, right and below. Its top is the first white row below the menu bar."""
        x, y, width, height = self.geometry()
        rows = self.rgb_rows()
        top = next(r for r in range(height) if rows[r][36:39] == b"\xff\xff\xff")
        return x + 10, y + top, width - 20, height - 10 - top

    def resize(self, width, height):
        xdotool("windowsize", self.window.id, width, height)
        poll("the resize", lambda: self.geometry()[2:] == (width, height))
        self.settle()

    def settle(self):
        """Returns once the game has handled all input sent before and drawn since: the info
        window that F1 opens comes after that input in the game's queue."""
        xdotool("windowfocus", "--sync", self.window.id)
        xdotool("key", "F1")
        info = poll("the info window", lambda: [w for w in self.windows() if w.id != self.window.id])
        xdotool("windowfocus", "--sync", info[0].id)
        xdotool("key", "Escape")
        poll("closing the info window", lambda: len(self.windows()) == 1)
        xdotool("mousemove", SCREEN[0] - 1, SCREEN[1] - 1)
        time.sleep(0.4)  # a few frames of the 100 ms timer

    def move(self, ring, peg):
        """Drags the ring from its peg to the peg, as a hand would."""
        bx, by, bw, bh = self.board()
        (fx, fy), (tx, ty) = PEGS[self.ring_on[ring]], PEGS[peg]
        x0, y0, x1, y1 = bx + fx * bw // 6, by + fy * bh // 6, bx + tx * bw // 6, by + ty * bh // 6
        xdotool("mousemove", x0, y0, "mousedown", 1, "mousemove", (x0 + x1) // 2, (y0 + y1) // 2,
                "mousemove", x1, y1, "mouseup", 1)
        self.ring_on[ring] = peg

    def tower(self, n, source, target, via):
        """The least moves that carry the n smallest rings."""
        if n:
            self.tower(n - 1, source, via, target)
            self.move(6 - n, target)
            self.tower(n - 1, via, target, source)

    def shot(self, name):
        x, y, width, height = self.geometry()
        path = os.path.normpath(os.path.join(DOCS, name))
        write_png(path, width, height, self.rgb_rows())
        print("screenshots: wrote %s (%dx%d)" % (path, width, height))


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    binary = os.path.abspath(argv[1])
    os.makedirs(os.path.join(DOCS, "metainfo"), exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="pegmarch-shots.") as tmp:
        # A private runtime folder: a copy running on the caller's desktop must not answer.
        os.environ.update(XDG_RUNTIME_DIR=tmp, TMPDIR=tmp, QT_QPA_PLATFORM="xcb")
        for name in ("WAYLAND_DISPLAY", "QT_SCALE_FACTOR", "QT_FONT_DPI", "QT_STYLE_OVERRIDE"):
            os.environ.pop(name, None)
        read_fd, write_fd = os.pipe()
        # Xvfb tells of every display number it finds taken on the way to a free one.
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-nolisten", "tcp",
                                 "-screen", "0", "%dx%dx24" % SCREEN], pass_fds=[write_fd],
                                stderr=subprocess.DEVNULL)
        os.close(write_fd)
        game = None
        try:
            with os.fdopen(read_fd) as f:
                os.environ["DISPLAY"] = ":" + f.readline().strip()
            game = Game(binary, display.Display())
            opening = game.geometry()[2:]

            def both(name):
                game.settle()
                game.shot("screenshot-%s.png" % name)
                game.resize(*LARGE)
                game.shot("metainfo/screenshot-%s.png" % name)
                game.resize(*opening)

            both("start")
            # Played by keys: three moves, then ring 3 lifted and carried over peg 2, the pegs numbered.
            xdotool("windowfocus", "--sync", game.window.id)
            xdotool("key", "--delay", 150, "1", "2", "1", "3", "2", "3", "1", "Right")
            game.settle()
            game.shot("screenshot-keys.png")
            xdotool("windowfocus", "--sync", game.window.id)
            xdotool("key", "Escape", "F2")  # a new game, for the mouse
            # A game under way, then a bigger ring put on a smaller one, which is refused.
            for ring, peg in ((5, 2), (4, 3), (5, 3), (3, 2), (5, 1), (3, 3)):
                game.move(ring, peg)
            game.ring_on[3] = 2  # the last move was refused
            game.settle()
            game.shot("screenshot-refusal.png")
            game.resize(*LARGE)
            game.move(3, 3)  # refused again: the message shows at this size too
            game.ring_on[3] = 2
            game.settle()
            game.shot("metainfo/screenshot-refusal.png")
            game.resize(*opening)
            # A whole game in the least moves, each transfer within its triangle.
            xdotool("windowfocus", "--sync", game.window.id)
            xdotool("key", "F2")
            game.ring_on = [0, 1, 1, 1, 1, 1]
            for source, target, via in ((1, 2, 3), (2, 3, 1), (3, 4, 5), (4, 5, 3), (5, 6, 1)):
                game.tower(5, source, target, via)
            both("won")
        finally:
            if game:
                game.process.kill()
                game.process.wait()
            xvfb.terminate()
            xvfb.wait()


if __name__ == "__main__":
    main(sys.argv)
