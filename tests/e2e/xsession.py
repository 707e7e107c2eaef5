# SPDX-License-Identifier: MIT
"""A private X server for the end-to-end tests: the real game started on it, its
windows found by title, screenshots read pixel by pixel, input sent with xdotool."""
import contextlib, html, os, re, subprocess, tempfile, time

from gi.repository import Gio, GLib
from Xlib import X, Xatom, display, protocol

TITLE = "Ostrel 'Pegmarch' 1.3.3"
PEGS = {1: (2, 3), 2: (1, 5), 3: (3, 5), 4: (5, 5), 5: (4, 3), 6: (3, 1)}  # in sixths


def wait(predicate, what, seconds=10):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError("gave up waiting: " + (what() if callable(what) else what))


class Session:
    def __init__(self, binary, size="1024x768", installed=False):
        """With installed, the game as cmake --install puts it in a prefix of the session's, its desktop entry's
        Exec= a wrapper that logs each run (self.launched), and the session bus finding the game's service there."""
        self.binary, self.games = binary, []
        self.tmp = tempfile.TemporaryDirectory(prefix="pegmarch-e2e-")
        self.env = {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "WAYLAND", "XDG_SESSION", "DBUS"))}
        self.env["XDG_RUNTIME_DIR"] = self.tmp.name
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-nolisten", "tcp", "-screen", "0",
                                      size + "x24"], pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            self.env["DISPLAY"] = ":" + f.readline().strip()
        self.launched = os.path.join(self.tmp.name, "launched")
        if installed:
            prefix = os.path.join(self.tmp.name, "prefix")
            subprocess.run(["cmake", "--install", os.path.dirname(binary), "--prefix", prefix], check=True,
                           stdout=subprocess.DEVNULL)
            self.binary = prefix + "/bin/pegmarch"
            with open(self.launched + ".sh", "w") as f:
                f.write('#!/bin/sh\necho "$@" >> %s\nexec %s "$@"\n' % (self.launched, self.binary))
            os.chmod(self.launched + ".sh", 0o755)
            entry = prefix + "/share/applications/org.ostrel.Pegmarch.desktop"
            text = open(entry).read().replace("Exec=pegmarch", "Exec=" + self.launched + ".sh")
            open(entry, "w").write(text)
            self.env["XDG_DATA_DIRS"] = prefix + "/share:/usr/local/share:/usr/share"
        # A session bus of the session's own, as a desktop session starts it: after the display.
        self.env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=%s/bus" % self.tmp.name
        self.bus = self.helper("dbus-daemon", "--session", "--nofork", "--address=" + self.env["DBUS_SESSION_BUS_ADDRESS"])
        wait(lambda: os.path.exists(self.tmp.name + "/bus"), "the session bus")
        self.x = display.Display(self.env["DISPLAY"])
        self.root = self.x.screen().root
        self.root.change_attributes(event_mask=X.PropertyChangeMask)  # start-up notices come to the root
        self.notices = b""

    def close(self):
        for p in self.games:
            end(p)
        self.x.close()
        self.xvfb.terminate()
        self.xvfb.wait()
        self.tmp.cleanup()

    def start(self, *args, env=None, command=None, quiet=False):
        """The game, or another command; a variable given as None is unset. Quiet: a desktop service beside the
        game, its output dropped, ended with its children when the session closes."""
        env = {k: v for k, v in {**self.env, **(env or {})}.items() if v is not None}
        out = subprocess.DEVNULL if quiet else subprocess.PIPE
        self.games.append(subprocess.Popen(command or [self.binary, *args], env=env, stdin=subprocess.DEVNULL,
                                           stdout=out, stderr=out, text=True, start_new_session=True))
        return self.games[-1]

    def helper(self, *command):
        return self.start(command=command, quiet=True)

    def client(self):
        """A connection of the test's own to the session bus."""
        flags = Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION
        return Gio.DBusConnection.new_for_address_sync(self.env["DBUS_SESSION_BUS_ADDRESS"], flags)

    def activate(self, **data):
        """Calls the running copy's Activate as a launcher does, with this platform data: texts, or bytes."""
        data = {k: GLib.Variant("ay" if isinstance(v, bytes) else "s", v) for k, v in data.items()}
        self.client().call_sync("org.ostrel.Pegmarch", "/org/ostrel/Pegmarch", "org.freedesktop.Application", "Activate",
                                GLib.Variant("(a{sv})", (data,)), None, 0, 5000)

    def screen_reader(self):
        """The Orca screen reader, speaking through espeak-ng at real speed into a PulseAudio sink that
        plays to nothing, as for a user who turned it on."""
        home = self.tmp.name
        self.env.update(HOME=home, XDG_CONFIG_HOME=home + "/config", XDG_DATA_HOME=home + "/data",
                        XDG_CACHE_HOME=home + "/cache", GSETTINGS_BACKEND="memory")
        os.makedirs(home + "/config/speech-dispatcher")
        self.helper("pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes",
                    "-L", "module-null-sink sink_name=nothing", "-L", "module-native-protocol-unix")
        wait(lambda: os.path.exists(home + "/pulse/native"), "PulseAudio")
        with open(home + "/config/speech-dispatcher/speechd.conf", "w") as f:
            f.write('AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\nDefaultModule espeak-ng\n'
                    'AudioOutputMethod "pulse"\nLogLevel 5\nLogDir "%s"\n' % home)
        self.helper("speech-dispatcher", "--run-single", "--timeout", "0")
        self.helper("/usr/libexec/at-spi-bus-launcher", "--launch-immediately")
        time.sleep(0.5)
        self.helper("/usr/libexec/at-spi2-registryd")
        subprocess.run(["gdbus", "call", "--session", "--dest", "org.a11y.Bus", "--object-path", "/org/a11y/bus",
                        "--method", "org.freedesktop.DBus.Properties.Set", "org.a11y.Status", "ScreenReaderEnabled",
                        "<true>"], env=self.env, check=True, stdout=subprocess.DEVNULL)
        orca = self.helper("orca")
        wait(lambda: self.speech() or orca.poll() is not None, "Orca speaking", 30)
        assert orca.poll() is None, "Orca ended at once: it runs once for a user, and this user runs another Orca"

    def owner(self):
        """The process id that owns the game's name on the session bus, or None."""
        run = subprocess.run(["gdbus", "call", "--session", "--dest", "org.freedesktop.DBus", "--object-path", "/",
                              "--method", "org.freedesktop.DBus.GetConnectionUnixProcessID", "org.ostrel.Pegmarch"],
                             env=self.env, capture_output=True, text=True)
        return int(run.stdout.strip("()\n,").split()[-1]) if run.returncode == 0 else None

    def speech(self):
        """What Orca sent to speech-dispatcher, in order, and whether the dispatcher played each to its end, from
        its log: (text, whole)."""
        said, waiting, playing = [], None, None
        for line in open(self.tmp.name + "/speech-dispatcher.log", errors="replace"):
            if "Incoming text: |" in line:  # one at a time: a text stopped before it began is gone with the next
                text = re.sub(r"<[^>]*>", "", line.split("Incoming text: |", 1)[1].rsplit("|", 1)[0]).strip()
                waiting = len(said)
                said.append([html.unescape(text), False])
            elif "INDEX MARK: __spd_" in line:
                mark = line.rsplit("__spd_", 1)[1].strip()
                if mark == "begin" and waiting is not None:
                    playing, waiting = waiting, None
                elif mark in ("end", "stopped") and playing is not None:
                    said[playing][1], playing = mark == "end", None
        return [tuple(x) for x in said]

    def start_window(self, *args, env=None):
        p = self.start(*args, env=env)
        wait(lambda: self.windows() or p.poll() is not None, "the game's window")
        assert p.poll() is None, "the game ended at start: " + p.stderr.read()
        return p, self.windows()[0]

    def windows(self):
        """Top-level windows titled as the game's, viewable, without menus and pop-ups."""
        def shown(w):
            try:
                a = w.get_attributes()
                return a.map_state == X.IsViewable and not a.override_redirect and w.get_wm_name() == TITLE
            except Exception:  # gone meanwhile
                return False
        return [w for w in self.root.query_tree().children if shown(w)]

    def prop(self, w, name):
        """The values of a window's property, as the window manager set them."""
        value = w.get_full_property(self.x.intern_atom(name), X.AnyPropertyType)
        return list(value.value) if value else []

    def managed(self, title):
        """The windows titled so that the window manager manages."""
        return [w for w in map(lambda i: self.x.create_resource_object("window", i), self.prop(self.root, "_NET_CLIENT_LIST"))
                if w.get_wm_name() == title]

    def active(self):
        return (self.prop(self.root, "_NET_ACTIVE_WINDOW") or [0])[0]

    def now(self):
        """The X server's time, as a launcher takes it: from a change to a window of its own."""
        own = self.root.create_window(0, 0, 1, 1, 0, self.x.screen().root_depth, event_mask=X.PropertyChangeMask)
        own.change_property(Xatom.WM_NAME, Xatom.STRING, 8, b"now")
        while (e := self.x.next_event()).type != X.PropertyNotify or e.window.id != own.id:
            pass
        own.destroy()
        return e.time

    def use_another(self, title="another", seconds=10):
        """Another program's window over the whole screen, activated from a task list and used: the user's last
        action."""
        other = (self.managed(title) or [self.root.create_window(0, 0, 1024, 768, 0, self.x.screen().root_depth)])[0]
        other.set_wm_name(title)
        def remap():  # a window manager still starting may miss a window mapped then
            other.unmap()
            other.map()
            return any(time.sleep(0.05) or self.managed(title) for _ in range(40))
        wait(remap, "the other window managed", seconds)
        now, active = self.now(), self.x.intern_atom("_NET_ACTIVE_WINDOW")
        self.root.send_event(protocol.event.ClientMessage(window=other, client_type=active, data=(32, [2, now, 0, 0, 0])),
                             event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
        other.change_property(self.x.intern_atom("_NET_WM_USER_TIME"), Xatom.CARDINAL, 32, [now])
        wait(lambda: self.active() == other.id, "the other window active")

    def startups_completed(self):
        """The ids of the "remove" start-up notices sent to the root window so far."""
        parts = {self.x.intern_atom("_NET_STARTUP_INFO_BEGIN"), self.x.intern_atom("_NET_STARTUP_INFO")}
        while self.x.pending_events():  # a notice comes in parts of 20 bytes, the last one padded with NULs
            e = self.x.next_event()
            if e.type == X.ClientMessage and e.client_type in parts:
                self.notices += bytes(e.data[1])
        return re.findall(r'remove: ID="?([^"\s\0]+)', self.notices.decode(errors="replace"))

    def ask_to_close(self, w):
        protocols, delete = self.x.intern_atom("WM_PROTOCOLS"), self.x.intern_atom("WM_DELETE_WINDOW")
        w.send_event(protocol.event.ClientMessage(window=w, client_type=protocols,
                                                  data=(32, [delete, X.CurrentTime, 0, 0, 0])))
        self.x.sync()

    def board(self, w):
        """The board's rectangle on screen: 10 px from the inner area's sides and bottom."""
        g = w.get_geometry()
        return g.x + 10, g.y + g.height - 10 - 355, g.width - 20, 355

    def pixel(self, x, y):
        return tuple(self.root.get_image(x, y, 1, 1, X.ZPixmap, 0xFFFFFFFF).data[2::-1])

    def peg(self, board, p):
        return board[0] + PEGS[p][0] * board[2] // 6, board[1] + PEGS[p][1] * board[3] // 6

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True)

    def drag(self, board, src, dst):
        (fx, fy), (tx, ty) = self.peg(board, src), self.peg(board, dst)
        self.xdotool("mousemove", fx, fy, "mousedown", 1, "mousemove", (fx + tx) // 2, (fy + ty) // 2,
                     "mousemove", tx, ty, "mouseup", 1)


def end(p):
    """Ends p, if it still runs, and anything it left behind."""
    with contextlib.suppress(ProcessLookupError):
        os.killpg(p.pid, 9)
    p.wait()


def said(p):
    """The lines p wrote to standard error, once it and anything it left behind have ended."""
    end(p)
    return p.stderr.read().splitlines()


def ended(p, seconds=10):
    try:
        return p.wait(seconds)
    except subprocess.TimeoutExpired:
        raise AssertionError("process %d still runs after %d s" % (p.pid, seconds))
