#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Idle cost, start-up time and peak memory of the game in a real X server,
# each beside the same measure of a bare main window built in the same tree.
#
#   bench/idle.py PEGMARCH BARE_WINDOW [--seconds 20] [--starts 5]
#
# Idle: the game filling a 1920x1080 screen, CPU time over the given seconds,
# with the board only and then after Ctrl+F4 (the closing text stays up and
# changes colour every frame). Start-up: from the process's start to the first
# frame on screen. Memory: peak resident size once the first frame is up, and
# after the idle runs filling the screen. The bare window ticks as the game does,
# so its idle cost is the floor of a 10 Hz tick.
import argparse, os, shutil, signal, statistics, subprocess, sys, tempfile, time

from Xlib import X, display as xdisplay

TITLE = "Ostrel 'Pegmarch' 1.3.3"
BARE_TITLE = "bare window"
CLK = os.sysconf('SC_CLK_TCK')


def start_xvfb(size):
    for attempt in range(10):  # one that has just ended may still hold its display
        r, w = os.pipe()
        proc = subprocess.Popen(['Xvfb', '-displayfd', str(w), '-nolisten', 'tcp', '-noreset',
                                 '-screen', '0', size + 'x24'], pass_fds=(w,),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        number = os.read(r, 16).decode().strip()
        os.close(r)
        if number:
            return proc, ':' + number
        proc.wait()
        time.sleep(0.5)
    raise SystemExit('Xvfb did not start')


def find_window(d, title):
    def walk(win):
        try:
            name = win.get_wm_name()
            attrs = win.get_attributes()
            if name == title and attrs.map_state == X.IsViewable:
                return win
            for child in win.query_tree().children:
                found = walk(child)
                if found:
                    return found
        except Exception:
            return None
        return None
    return walk(d.screen().root)


def cpu_seconds(pid):
    fields = open(f'/proc/{pid}/stat').read().rsplit(')', 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLK  # utime + stime


def peak_rss_kb(pid):
    for line in open(f'/proc/{pid}/status'):
        if line.startswith('VmHWM:'):
            return int(line.split()[1])
    return 0


def painted(d, win, want_cyan):
    """True once the window shows its first frame: the game's cyan peg dot, or
    the bare window's background instead of the unpainted black."""
    g = win.get_geometry()
    img = win.get_image(0, 0, g.width, g.height, X.ZPixmap, 0xffffffff)
    data = img.data
    if want_cyan:
        # BGRX pixels: cyan is blue 255, green 255, red 0. Searched at C speed, so
        # that looking does not add to the game's time more than to the bare window's.
        i = data.find(b'\xff\xff\x00')
        while i != -1:
            if i % 4 == 0:
                return True
            i = data.find(b'\xff\xff\x00', i + 1)
        return False
    mid = (g.height // 2 * g.width + g.width // 2) * 4
    return data[mid:mid + 3] != b'\x00\x00\x00'


def start(binary, env):
    return subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def first_frame(binary, title, want_cyan, env, d):
    t0 = time.monotonic()
    proc = start(binary, env)
    win = None
    while time.monotonic() - t0 < 20:
        win = win or find_window(d, title)
        if win is not None and painted(d, win, want_cyan):
            elapsed = time.monotonic() - t0
            time.sleep(1.0)
            rss = peak_rss_kb(proc.pid)
            stop(proc)
            return elapsed, rss
        time.sleep(0.002)
    stop(proc)
    raise SystemExit(f'{binary}: no first frame within 20 s')


def stop(proc):
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(5)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def fill_screen(win, d):
    win.configure(x=0, y=0, width=d.screen().width_in_pixels, height=d.screen().height_in_pixels)
    d.sync()


def idle_percent(pid, seconds):
    c0, t0 = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return 100.0 * (cpu_seconds(pid) - c0) / (time.monotonic() - t0)


def wait_window(d, title):
    for _ in range(2000):
        w = find_window(d, title)
        if w is not None:
            return w
        time.sleep(0.005)
    raise SystemExit(f'no window "{title}"')


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('pegmarch')
    ap.add_argument('bare')
    ap.add_argument('--seconds', type=float, default=20)
    ap.add_argument('--starts', type=int, default=5)
    args = ap.parse_args()

    xvfb, disp = start_xvfb('1920x1080')
    runtime = tempfile.mkdtemp(prefix='pegmarch-idle-')
    os.chmod(runtime, 0o700)
    env = dict(os.environ, DISPLAY=disp, XDG_RUNTIME_DIR=runtime,
               DBUS_SESSION_BUS_ADDRESS=f'unix:path={runtime}/bus')
    for var in ('QT_QPA_PLATFORM', 'WAYLAND_DISPLAY', 'QT_SCALE_FACTOR'):
        env.pop(var, None)
    # A session bus, as a desktop session has: the game keeps its one copy there.
    bus = subprocess.Popen(['dbus-daemon', '--session', '--nofork', '--address=' + env['DBUS_SESSION_BUS_ADDRESS']],
                           env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while not os.path.exists(f'{runtime}/bus'):
        time.sleep(0.01)
    ok = True
    try:
        d = xdisplay.Display(disp)

        # Start-up and memory: the median of several starts, alternating the two.
        game_t, game_m, bare_t, bare_m = [], [], [], []
        for _ in range(args.starts):
            t, m = first_frame(args.pegmarch, TITLE, True, env, d)
            game_t.append(t), game_m.append(m)
            t, m = first_frame(args.bare, BARE_TITLE, False, env, d)
            bare_t.append(t), bare_m.append(m)
        gt, bt = statistics.median(game_t), statistics.median(bare_t)
        gm, bm = statistics.median(game_m), statistics.median(bare_m)

        # Idle, filling the screen.
        game = start(args.pegmarch, env)
        win = wait_window(d, TITLE)
        fill_screen(win, d)
        time.sleep(2)
        board = idle_percent(game.pid, args.seconds)
        subprocess.run(['xdotool', 'windowfocus', '--sync', str(win.id)], env=env, check=False)
        subprocess.run(['xdotool', 'key', 'ctrl+F4'], env=env, check=True)
        time.sleep(1)
        text = idle_percent(game.pid, args.seconds)
        peak = peak_rss_kb(game.pid)
        stop(game)

        bare = start(args.bare, env)
        bwin = wait_window(d, BARE_TITLE)
        fill_screen(bwin, d)
        time.sleep(2)
        bare_idle = idle_percent(bare.pid, args.seconds)
        stop(bare)

        print(f"{'measure':<34} {'game':>10} {'bare window':>12} {'ratio':>7} {'target':>10}")
        rows = [
            ('start-up to first frame (ms)', gt * 1000, bt * 1000, gt / bt, 1.3),
            ('peak resident memory (MB)', gm / 1024, bm / 1024, gm / bm, 1.3),
        ]
        print(f"{'peak resident memory, filling the screen (MB)':<46} {peak / 1024:>10.1f}")
        for name, g, b, r, target in rows:
            good = r <= target
            ok &= good
            print(f"{name:<34} {g:>10.1f} {b:>12.1f} {r:>7.2f} {'<= ' + str(target):>10} {'' if good else 'MISSED'}")
        for name, g, target in (('idle CPU, board only (% of a core)', board, 1.0),
                                ('idle CPU, closing text (% of a core)', text, 3.75)):
            good = g <= target
            ok &= good
            print(f"{name:<34} {g:>10.2f} {bare_idle:>12.2f} {'':>7} {'<= ' + str(target) + ' %':>10} "
                  f"{'' if good else 'MISSED'}")
        print('all targets hold' if ok else 'some targets missed')
    finally:
        for p in (bus, xvfb):
            p.terminate()
            p.wait()
        shutil.rmtree(runtime, ignore_errors=True)
    sys.exit(0 if ok else 1)


if __name__ == '__main__':
    main()
