# SPDX-License-Identifier: MIT
"""A whole game by keys alone, heard through the accessibility bus.

  /usr/bin/python3 a11y.py PATH-TO-PEGMARCH

In a private D-Bus session: Xvfb, the accessibility bus and registry, the real
game with its accessibility bridge on. The 155 moves of the best game are typed
with xdotool (no pointer); the board's words are read back with pyatspi, from
the change events the game raises and from the tree itself.
"""
import os
import subprocess
import sys
import tempfile
import time

if os.environ.get("PEGMARCH_A11Y_SESSION") != "1":  # a bus of our own, gone with us
    os.environ["PEGMARCH_A11Y_SESSION"] = "1"
    os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv])

from gi.repository import Gio, GLib  # noqa: E402

GAME = sys.argv[1]
procs = []
# A runtime folder of our own: the game's single-instance lock must not meet another game's.
scratch = tempfile.TemporaryDirectory(prefix="pegmarch-a11y.")
for variable in ("XDG_RUNTIME_DIR", "TMPDIR"):
    os.environ[variable] = os.path.join(scratch.name, variable.lower())
    os.mkdir(os.environ[variable], 0o700)


def fail(message):
    sys.exit("FAIL: " + message)


def start(*command, **options):
    procs.append(subprocess.Popen(command, stdin=subprocess.DEVNULL, **options))


def wait(what, check, seconds=10):
    """Runs the event loop until check() gives something, and returns that."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while GLib.MainContext.default().iteration(False):
            pass
        found = check()
        if found:
            return found
        time.sleep(0.02)
    fail(what)


def start_xvfb():
    read, write = os.pipe()
    start("Xvfb", "-displayfd", str(write), "-nolisten", "tcp", "-screen", "0", "1024x768x24",
          pass_fds=(write,), stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as f:
        number = f.readline().strip()
    number or fail("Xvfb did not start")
    os.environ["DISPLAY"] = ":" + number


def start_accessibility_bus():
    start("/usr/libexec/at-spi-bus-launcher", "--launch-immediately")
    session = Gio.bus_get_sync(Gio.BusType.SESSION)
    owned = lambda: session.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                      "NameHasOwner", GLib.Variant("(s)", ("org.a11y.Bus",)), None,
                                      Gio.DBusCallFlags.NONE, -1, None).unpack()[0]
    wait("the accessibility bus did not start", owned)
    start("/usr/libexec/at-spi2-registryd")


def optimal_game():
    """(from peg, to peg) of the 155 moves: five transfers, each over the third peg of its triangle."""
    moves = []

    def tower(n, a, b, c):
        if n:
            tower(n - 1, a, c, b)
            moves.append((a, b))
            tower(n - 1, c, b, a)
    for a, b, c in ((1, 2, 3), (2, 3, 1), (3, 4, 5), (4, 5, 3), (5, 6, 1)):
        tower(5, a, b, c)
    return moves


def key(*keys):
    subprocess.run(["xdotool", "key", "--delay", "15", *keys], check=True)


try:
    start_xvfb()
    start_accessibility_bus()
    import pyatspi  # only now: it looks for the accessibility bus on import

    heard = []  # the board's words, as each change event announces them
    pyatspi.Registry.registerEventListener(
        lambda e: e.source.name == "Board" and heard.append(e.source.description),
        "object:property-change:accessible-description")
    said = lambda *words: heard and all(w in heard[-1].split("\n") for w in words) and heard[-1]

    start(GAME, env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb"))
    is_board = lambda a: a.name == "Board" and a.getRole() == pyatspi.ROLE_CANVAS
    apps = lambda: [a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "pegmarch"]
    board = wait("no board on the accessibility bus", lambda: apps() and pyatspi.findDescendant(apps()[0], is_board))
    menus = [m.name for m in pyatspi.findAllDescendants(apps()[0], lambda a: a.getRole() == pyatspi.ROLE_MENU_ITEM)]
    menus == ["Game", "New", "Abort", "Exit", "Help", "Info"] or fail("the menus read %s" % menus)
    # Given the window's focus as a window manager would, the board has the keys without a click.
    subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Ostrel 'Pegmarch'",
                    "windowfocus", "--sync"], check=True, stdout=subprocess.DEVNULL)
    wait("the board does not have the keyboard focus", lambda: board.getState().contains(pyatspi.STATE_FOCUSED))

    key("1")
    wait("no pick-up heard", lambda: said("Holding ring 5 from peg 1", "Peg 1: 1, 2, 3, 4"))
    key("4")
    wait("no refusal heard", lambda: said("Peg 4 is outside of the current triangle!", "Moves: 0"))

    moves = optimal_game()
    for transfer in range(5):
        keys = []
        for number, (a, b) in enumerate(moves[31 * transfer:31 * transfer + 31]):
            keys += [str(a), "KP_%d" % b if number % 2 else str(b)]  # the keypad names pegs too
        key(*keys)
        wait("transfer %d: not heard" % (transfer + 1), lambda: said("Moves: %d" % (31 * transfer + 31)))

    words = wait("the end is not heard", lambda: said("Game over", "Moves: 155", "Peg 6: 1, 2, 3, 4, 5",
                                                       "You did it in 155! Ingenious"))
    board.description == words or fail("the tree says otherwise than the last event:\n" + board.description)
    print("Heard at the end:\n" + words)
finally:
    for p in reversed(procs):
        p.terminate()
        try:
            p.wait(5)
        except subprocess.TimeoutExpired:
            p.kill()
    scratch.cleanup()
