# SPDX-License-Identifier: MIT
"""End to end: the real game in a private X server and session bus, driven by real
input.   /usr/bin/python3 e2e.py PATH-TO-PEGMARCH [TEST...]"""
import os, shutil, signal, subprocess, sys, time, traceback

from gi.repository import Gio, GLib
from xsession import TITLE, Session, end, ended, said, wait

BLACK, CYAN = (0, 0, 0), (0, 255, 255)
RINGS = [(255, 0, 0), (255, 127, 0), (255, 255, 0), (0, 255, 0), (255, 191, 191)]  # ring 1 .. 5


def tower_on(s, board, peg, up=False):
    """The five rings' bands, biggest outermost, right of (or, up, above) the peg's dot."""
    x, y = s.peg(board, peg)
    return all(s.pixel(x, y - d) == c if up else s.pixel(x + d, y) == c for d, c in zip((46, 38, 30, 22, 10), RINGS))


def dots(s, board):
    return [s.pixel(*s.peg(board, p)) for p in range(1, 7)]


def optimal_game():
    """(from peg, to peg) of the 155 moves: each transfer over the third peg of its triangle."""
    tower = lambda n, a, b, c: tower(n - 1, a, c, b) + [(a, b)] + tower(n - 1, c, b, a) if n else []
    return [m for a, b, c in ((1, 2, 3), (2, 3, 1), (3, 4, 5), (4, 5, 3), (5, 6, 1)) for m in tower(5, a, b, c)]


def test_whole_game_by_drags(s):
    game, w = s.start_window()
    assert w.get_geometry().width == 521, "the window is %d px wide, not 521" % w.get_geometry().width
    board = s.board(w)
    wait(lambda: tower_on(s, board, 1) and dots(s, board) == [BLACK, CYAN] + [BLACK] * 4, "the opening board")
    for a, b in optimal_game():
        s.drag(board, a, b)
    wait(lambda: tower_on(s, board, 6, up=True) and dots(s, board) == [CYAN] * 6, "the won board", 20)
    s.xdotool("mousemove", 0, 0, "key", "F2", "key", "ctrl+F4")
    s.ask_to_close(w)
    assert ended(game) == 0 and not s.windows(), "closing did not end the game with status 0"


def test_second_start(s):
    """A later start finds the running copy on the session bus and ends (the raise: under window managers); one
    that gets no answer says whose it waited for and fails; the bus frees the name of a killed copy at once."""
    first, w = s.start_window(env={"DESKTOP_STARTUP_ID": "e2e-first_TIME0"})
    assert ended(s.start(env={"DESKTOP_STARTUP_ID": "e2e-second_TIME0"})) == 0, "a second start failed"
    # Ids no launcher makes are not sent on to the X server: too long, a control character, a NUL in bytes.
    for startup_id in ("e2e" * 350000, "e2e-\n_TIME0", b"e2e-\0", "e2e-last_TIME0"):
        s.activate(**{"desktop-startup-id": startup_id})
    # The launchers' start-up feedback completed: the first copy's own, the second's and the last's by the first.
    wait(lambda: "e2e-last_TIME0" in s.startups_completed(), "start-up feedback")
    assert s.startups_completed() == ["e2e-first_TIME0", "e2e-second_TIME0", "e2e-last_TIME0"], s.startups_completed()
    starts = [s.start() for _ in range(20)]
    assert [ended(p, 20) for p in starts] == [0] * 20 and len(s.windows()) == 1, "20 starts at once"

    end(first)  # killed
    began = time.monotonic()
    third, w = s.start_window()  # nothing of the killed copy is in the way
    assert time.monotonic() - began < 3, "the start after a killed copy waited"
    third.send_signal(signal.SIGSTOP)  # a copy that cannot answer: a later start says so and fails
    began, late = time.monotonic(), s.start()
    assert ended(late) == 1 and time.monotonic() - began < 5, "a start waited for the stopped copy too long"
    assert len(line := said(late)) == 1 and "(process %d) did not answer" % third.pid in line[0], line
    third.send_signal(signal.SIGCONT)
    s.xdotool("windowfocus", "--sync", w.id, "key", "alt+g", "sleep", 0.5, "key", "x")  # Game > Exit
    assert ended(third) == 0, "Game > Exit did not end with status 0"
    # Another program holds the name and answers with words that would retitle a terminal, and flood it: one line.
    def answer(bus, call, incoming):  # an Activate is answered here and goes no further
        if call.get_member() != "Activate":
            return call
        bus.send_message(Gio.DBusMessage.new_method_error_literal(call, "org.example.E2e", "\x1b]0;e2e\x07" + "e2e\n" * 250000), 0)
    (holder := s.client()).add_filter(answer)
    holder.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
                     GLib.Variant("(su)", ("org.ostrel.Pegmarch", 4)), None, 0, -1)
    text = (late := s.start()).communicate(timeout=10)[1]  # read as it comes: it might be a megabyte
    assert late.returncode == 1 and text.count("\n") == 1 and r"(\x1b]0;e2e\x07e2e\x0ae2e" in text and len(text) < 250, repr(text[:300])


def test_no_session_bus(s):
    """Without a session bus the game starts alone, and says that a later start will not find it; Ctrl+Q ends it."""
    for address in ("unix:path=" + s.tmp.name + "/nothing", None):  # a bus that is gone, and none named
        game = s.start(env={"DBUS_SESSION_BUS_ADDRESS": address, "XDG_RUNTIME_DIR": s.tmp.name + "/nothing"})
        w = wait(lambda: s.windows(), "the game's window without a bus")[0]
        s.xdotool("windowfocus", "--sync", w.id, "key", "ctrl+q")  # the desktop's quit key
        assert ended(game) == 0, "Ctrl+Q did not end the game with status 0"
        assert len(line := said(game)) == 1 and "no session bus" in line[0] and "later start" in line[0], line


def test_whole_game_by_keys_heard_by_orca(s):
    """A whole game by keys with the real Orca screen reader, its speech played in real time: at 3 s a key, a sentence
    of each kind the game says is heard to its end before the next key cuts it; the moves between are typed fast."""
    s.screen_reader()
    game, w = s.start_window()
    s.xdotool("windowfocus", "--sync", w.id)
    wait(lambda: all(any(part in text for text, _ in s.speech()) for part in ("Board canvas", "Target peg: 2")),
         "the board read when it takes the focus", 20)

    def heard(fast, last, paced):
        """Fast keys, then once Orca has said last and then nothing for a second (the fast keys' echo may still come
        after it), paced keys 3 s apart ("2 3": 2 0.5 s before 3): the words heard whole."""
        s.xdotool("key", "--delay", 50, *fast)  # as fast as Orca keeps up with
        def quiet():
            before = s.speech()
            time.sleep(1)
            return any(text.endswith(last) for text, _ in before) and s.speech() == before
        wait(quiet, lambda: "Orca saying %s, then nothing; it said %s" % (last, s.speech()[-4:]), 30)
        start = len(s.speech())
        for keys in paced:
            s.xdotool("key", "--delay", 500, *keys.split(), "sleep", 3)
        return [text.split(" ", 1)[1] for text, whole in s.speech()[start:] if text.startswith("notification ") and whole]

    keys = [str(peg) for move in optimal_game() for peg in move]  # move 31 completes the first transfer
    words = heard(keys[:60], "Move 30.", keys[60:62] + ["2 Escape", " ".join(keys[62:64]), "2 3", "2 4", "1"])
    words += heard(keys[64:], "You did it in 155! Ingenious.", ["1", "F2"])
    assert words == ["5 up.", "Next 3.", "Back on 2.", "Move 32.", "4 on 5 no.", "4 closed.", "1 empty.", "Not running.",
                    "New game."], words
    # Typed faster than Orca answers Qt's notice of a key within Qt's 100 ms, Qt says so: nothing else is said.
    late = ("QSpiApplication::keyEventError ", "QSpiApplication::notifyKeyboardListenerCallback with no queued key called")
    lines = said(game)
    assert all(line.startswith(late) for line in lines), lines


def raised_under(s, *window_manager):
    """A launcher that activates over the bus (gtk-launch finds the installed entry by its id, as desktop shells
    do) starts the game through the bus. A later start from a launcher raises it with the launcher's time, even
    where the window manager refuses an activation older than the user's last action elsewhere; one from a
    terminal marks it, and so may gtk-launch, which gives no time. A minimised game comes back."""
    wm = s.helper(*window_manager)
    wait(lambda: s.prop(s.root, "_NET_SUPPORTING_WM_CHECK"), "the window manager", 30)
    s.use_another(seconds=30)  # once it manages windows
    launch = ["gtk-launch", "org.ostrel.Pegmarch"]
    assert ended(s.start(command=launch), 20) == 0, "gtk-launch failed"
    w = wait(lambda: s.managed(TITLE) or wm.poll() is not None, "the game managed", 30)
    assert wm.poll() is None and s.owner(), "ended: the window manager %s, the game %s" % (wm.poll(), s.owner())
    w, pid = w[0], s.owner()
    for i, startup_id in enumerate(("launcher_TIME%d", "launcher_TIME%d", "gtk-launch", "launcher_TIME%d", "")):
        s.use_another(title="another %d" % i)  # a new one each time: mutter may not activate one mapped again
        if i == 1:  # and once the game minimised
            s.xdotool("windowminimize", "--sync", w.id)
        env = {"DESKTOP_STARTUP_ID": "%" in startup_id and startup_id % s.now() or None}
        assert ended(s.start(env=env, command=launch if startup_id == "gtk-launch" else None), 20) == 0, "a later start failed"
        wait(lambda: s.active() == w.id or "TIME%d" not in startup_id and "_NET_WM_STATE_DEMANDS_ATTENTION" in map(s.x.get_atom_name, s.prop(w, "_NET_WM_STATE")),
             "the game raised, or marked after a start without a launcher's time")
        if startup_id == "gtk-launch":
            print("  gtk-launch:", "raised" if s.active() == w.id else "marked for attention")
    assert s.owner() == pid and len(s.managed(TITLE)) == 1, "another copy"
    assert not os.path.exists(s.launched), "gtk-launch ran Exec= instead of activating: " + open(s.launched).read()


def test_raised_under_mutter(s):
    raised_under(s, "mutter", "--x11", "--replace", "--sm-disable")


def test_raised_under_openbox(s):
    raised_under(s, "openbox", "--sm-disable")


test_raised_under_mutter.installed = test_raised_under_openbox.installed = True


def test_wayland(s):
    """Under a real compositor, a second start hands its activation token to the running copy."""
    s.helper("weston", "--backend=headless-backend.so", "--socket=e2e-wayland", "--idle-time=0")
    wait(lambda: os.path.exists(os.path.join(s.tmp.name, "e2e-wayland")), "weston")
    env = {"WAYLAND_DISPLAY": "e2e-wayland", "QT_QPA_PLATFORM": "wayland", "DISPLAY": "",
           "QT_LOGGING_RULES": "pegmarch.instance.debug=true"}
    first = s.start(env=env)
    wait(lambda: s.owner(), "the first copy")
    assert ended(s.start(env={**env, "XDG_ACTIVATION_TOKEN": "e2e-token"})) == 0, "a second start failed"
    assert first.poll() is None, "the first copy is gone"
    assert len(line := said(first)) == 1 and 'activation token "e2e-token"' in line[0], line


def test_keys_after_a_menu(s):
    """After Alt+G, Escape the first digit lifts a ring, and the pegs show their numbers, never seen by mouse, until a press."""
    game, w = s.start_window()
    x, y = s.peg(board := s.board(w), 1)
    numbered = lambda: any(s.pixel(x + dx, y + dy) == BLACK for dx in range(56, 64) for dy in range(-6, 7))
    assert wait(lambda: tower_on(s, board, 1), "the opening board") and not numbered(), "numbers on a board played by mouse"
    s.xdotool("windowfocus", "--sync", w.id, "key", "alt+g", "sleep", 0.5, "key", "Escape", "sleep", 0.5, "key", "1")
    wait(lambda: s.pixel(x, y - 25) == RINGS[4] and numbered(), "ring 5 lifted above peg 1, the pegs numbered")
    s.xdotool("mousemove", x + 100, y + 100, "click", 1)
    wait(lambda: not numbered() and tower_on(s, board, 1), "the numbers gone after a press")


def test_command_line(s):
    """A start that cannot play says why in one line within 5 s, a silent bus too (no other row gets as far)."""
    s.bus.send_signal(signal.SIGSTOP)
    for args, env, status, words in (([], {}, 1, "bus at %s did not answer the connection" % s.env["DBUS_SESSION_BUS_ADDRESS"]),
                                     ([], {"DISPLAY": ""}, 1, "needs a graphical display"),
                                     ([], {"DISPLAY": ":99"}, 1, "cannot open display :99"),
                                     ([], {"QT_QPA_PLATFORM": "bogus"}, 1, '"bogus" is not installed (there are:'),
                                     ([], {"QT_QPA_PLATFORM": "linuxfb:fb=/dev/nonexistent"}, 1, '"linuxfb" has no screen'),
                                     (["--bo\x1b]0;gus"], {"DISPLAY": ""}, 2, r"pegmarch: unknown option 'bo\x1b]0;gus'"),
                                     (["--version"], {"DISPLAY": ""}, 0, ""), (["--help"], {"DISPLAY": ""}, 0, "")):
        run = subprocess.run([s.binary, *args], env={**s.env, **env}, capture_output=True, text=True, timeout=5)
        assert run.returncode == status and words in run.stderr, (args, env, run.returncode, run.stderr)
        assert run.stderr.count("\n") == (status != 0), (args, env, run.stderr)  # one line, or none
    assert run.stdout.startswith("Usage: pegmarch [options]\n") and "--help-all" in run.stdout and "-nograb" not in run.stdout, run.stdout
    assert subprocess.run([s.binary, "-v"], capture_output=True, text=True).stdout == "pegmarch 1.3.3\n"


# The programs each test needs beyond Xvfb, xdotool and dbus-daemon: without one, the test is skipped.
NEEDS = {"test_whole_game_by_keys_heard_by_orca": ["orca", "speech-dispatcher", "pulseaudio"],
         "test_raised_under_mutter": ["mutter", "gtk-launch"], "test_raised_under_openbox": ["openbox", "gtk-launch"],
         "test_wayland": ["weston"]}


def main(binary, names):
    failed = skipped = 0
    for name, test in [(n, f) for n, f in globals().items() if n.startswith("test_") and (not names or n in names)]:
        missing = [tool for tool in ["Xvfb", "xdotool", "dbus-daemon"] + NEEDS.get(name, []) if not shutil.which(tool)]
        if missing:
            skipped += 1
            print("skip", name, "(no %s)" % ", ".join(missing))
            continue
        s = Session(os.path.abspath(binary), installed=getattr(test, "installed", False))
        try:
            test(s)
            unread = [line for p in s.games if p.stderr and not p.stderr.closed for line in said(p)]  # what no test read
            assert not unread, "the game wrote to standard error what its test did not expect: %s" % unread
            print("ok", name)
        except Exception:
            failed += 1
            print("FAIL", name, traceback.format_exc(), sep="\n")
        finally:
            s.close()
    return 1 if failed else 77 if skipped else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2:]))
