#!/usr/bin/env python3
"""The fluency grid and the class export over a big answer log, on the real
program, measured from outside it.

Writes a log folder of about MB megabytes (30 students on 5 computers unless
told otherwise, drills named as the program names them) with
bench_fluencygrid, then runs the program under its own Xvfb server and
openbox, goes the teacher's way to the grid with xdotool (the access code, the
password, "Fluency Grid" on the Utility Menu's menu bar) and reports:

- open: from the click on "Fluency Grid" to its window shown, and to the grid
  read (the program falls quiet: under 2 % of a core over 400 ms), the first
  time (no summaries beside the log: they are made then) and again in a new
  run of the program (the summaries made by the first open and the export);
- export: from Enter in the file dialog to the "Class Exported" box;
- resident memory (VmRSS, /proc/PID/status, every 10 ms): before the click,
  the most during the reading and during the export;
- a Quit during the reading: from the click on the grid window's Quit to the
  "Quit Program" box, and from "y" to the end of the process; the same box
  with nothing going on, answered No, for comparison;
- a Quit during an export: the same, and whether a file, whole or half, was
  left behind.

Usage: bench/fluency_biglog.py [--build DIR] [--mb 200] [--students 30]
       [--computers 5] [--log DIR (kept, and reused when it exists)]
       [--maker PATH (bench_fluencygrid, default the build's)]
"""

import argparse
import ctypes
import ctypes.util
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TICK = os.sysconf("SC_CLK_TCK")


def now():
    return time.monotonic()


class Program:
    def __init__(self, build, work, env):
        self.proc = subprocess.Popen([os.path.join(build, "plovista")], cwd=work, env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.pid = self.proc.pid
        self.peak = 0

    def alive(self):
        return self.proc.poll() is None

    def rss_mb(self):
        try:
            with open(f"/proc/{self.pid}/status") as status:
                for line in status:
                    if line.startswith("VmRSS:"):
                        return int(line.split()[1]) / 1024.0
        except OSError:
            pass
        return 0.0

    def cpu_ticks(self):
        try:
            with open(f"/proc/{self.pid}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
            return int(fields[11]) + int(fields[12])
        except OSError:
            return 0

    def end(self):
        if self.alive():
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(3)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


class Display:
    """The managed windows and their titles straight from the X server (the
    window manager's _NET_CLIENT_LIST), so a poll costs no process of its own."""

    def __init__(self, name):
        self.x = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XInternAtom.restype = ctypes.c_ulong
        self.x.XStringToKeysym.restype = ctypes.c_ulong
        self.xtst = ctypes.cdll.LoadLibrary(ctypes.util.find_library("Xtst"))
        # A window may go between the listing and the reading of its title.
        handler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
        self.ignore = handler(lambda display, event: 0)
        self.x.XSetErrorHandler(self.ignore)
        self.dpy = ctypes.c_void_p(self.x.XOpenDisplay(name.encode()))
        if not self.dpy:
            raise RuntimeError(f"cannot open display {name}")
        self.root = ctypes.c_ulong(self.x.XDefaultRootWindow(self.dpy))
        self.clients = ctypes.c_ulong(self.x.XInternAtom(self.dpy, b"_NET_CLIENT_LIST", False))

    def click(self, win, x, y):
        """A click at (x, y) of the window, sent from here (XTest)."""
        rx, ry, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        self.x.XTranslateCoordinates(self.dpy, ctypes.c_ulong(int(win)), self.root, x, y, ctypes.byref(rx),
                                     ctypes.byref(ry), ctypes.byref(child))
        self.xtst.XTestFakeMotionEvent(self.dpy, -1, rx.value, ry.value, 0)
        self.xtst.XTestFakeButtonEvent(self.dpy, 1, True, 0)
        self.xtst.XTestFakeButtonEvent(self.dpy, 1, False, 0)
        self.x.XFlush(self.dpy)

    def key(self, letter):
        code = self.x.XKeysymToKeycode(self.dpy, ctypes.c_ulong(self.x.XStringToKeysym(letter.encode())))
        self.xtst.XTestFakeKeyEvent(self.dpy, code, True, 0)
        self.xtst.XTestFakeKeyEvent(self.dpy, code, False, 0)
        self.x.XFlush(self.dpy)

    def titles(self):
        kind, fmt = ctypes.c_ulong(), ctypes.c_int()
        count, after = ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ulong)()
        got = self.x.XGetWindowProperty(self.dpy, self.root, self.clients, 0, 4096, False, 33, ctypes.byref(kind),
                                        ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                                        ctypes.byref(data))
        found = {}
        if got != 0 or not data:
            return found
        for i in range(count.value):
            name = ctypes.c_char_p()
            if self.x.XFetchName(self.dpy, ctypes.c_ulong(data[i]), ctypes.byref(name)) and name.value is not None:
                found[name.value.decode("latin-1")] = str(data[i])
                self.x.XFree(name)
        self.x.XFree(data)
        return found


DISPLAY = None


def xdotool(*args, check=True):
    done = subprocess.run(["xdotool", *args], capture_output=True, text=True)
    if check and done.returncode != 0:
        raise RuntimeError(f"xdotool {' '.join(args)}: {done.stderr.strip()}")
    return done.stdout.strip()


def window(title):
    return DISPLAY.titles().get(title)


def wait_for(what, limit, program=None, step=0.01):
    """Polls what() until it gives something; samples memory meanwhile."""
    until = now() + limit
    while now() < until:
        got = what()
        if got:
            return got
        if program:
            program.peak = max(program.peak, program.rss_mb())
        time.sleep(step)
    raise RuntimeError(f"timed out after {limit} s")


def wait_quiet(program, limit=600.0, window_s=0.4, share=0.02):
    """Waits until the program uses under `share` of a core over `window_s`;
    returns the time its last busy sample ended."""
    samples = []
    last_busy = now()
    until = now() + limit
    while now() < until:
        t, ticks = now(), program.cpu_ticks()
        program.peak = max(program.peak, program.rss_mb())
        samples.append((t, ticks))
        while samples and samples[0][0] < t - window_s:
            samples.pop(0)
        if len(samples) >= 2 and samples[-1][1] != samples[-2][1]:
            last_busy = t
        span = samples[-1][0] - samples[0][0]
        if span >= window_s * 0.9 and (samples[-1][1] - samples[0][1]) / TICK < share * span:
            return last_busy
        time.sleep(0.01)
    raise RuntimeError("never fell quiet")


def click(win, x, y):
    """Clicks; returns the time the click was sent."""
    DISPLAY.click(win, x, y)
    return now()


def teacher_to_utility_menu(program):
    start = wait_for(lambda: window("Brevandi Plovista"), 30)
    wait_quiet(program)
    xdotool("windowactivate", "--sync", start)
    time.sleep(0.3)
    xdotool("type", "--delay", "50", "kq")
    xdotool("key", "Return")
    time.sleep(1.0)
    xdotool("type", "--delay", "50", "maple")
    menu = wait_for(lambda: window("Utility Menu"), 10)
    wait_quiet(program)
    return menu


# Where the menu bar commands stand, from the windows' top left, at the
# program's fonts under this Xvfb (Help, Quit, then the Utility Menu's own).
FLUENCY_GRID_COMMAND = (120, 9)
QUIT_COMMAND = (60, 9)


def open_grid(program, menu):
    program.peak = program.rss_mb()
    before = program.peak
    clicked = click(menu, *FLUENCY_GRID_COMMAND)
    grid = wait_for(lambda: window("Fluency Grid"), 600, program)
    shown = now()
    read = wait_quiet(program)
    return grid, {"window": shown - clicked, "read": max(read, shown) - clicked, "before": before,
                  "peak": program.peak}


def start_export(grid, path):
    xdotool("windowactivate", "--sync", grid)
    xdotool("key", "alt+e")
    dialog = wait_for(lambda: window("Export Class"), 20)
    xdotool("windowactivate", "--sync", dialog)
    time.sleep(0.5)
    xdotool("key", "ctrl+a")
    xdotool("type", "--delay", "10", path)
    started = now()
    xdotool("key", "Return")
    return started


def quit_now(program, grid, since):
    """Quit from the grid's menu bar while it works: the time to the box from
    the click and from `since`, then from 'y' to the end of the process; None
    when the export ended first (a window that was not free takes the click
    only after it)."""
    clicked = click(grid, *QUIT_COMMAND)
    box = wait_for(lambda: window("Quit Program") or ("ended" if window("Class Exported") else None), 1800, program,
                   step=0.005)
    asked = now()
    if box == "ended":
        return None
    xdotool("windowactivate", "--sync", box)
    DISPLAY.key("y")
    answered = now()
    wait_for(lambda: not program.alive(), 600, step=0.005)
    return asked - clicked, asked - since, now() - answered


def session(args, env, log, dir_):
    work = os.path.join(dir_, "work")
    results = {}

    def fresh_program():
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
        os.symlink(log, os.path.join(work, "Log"))
        return Program(args.build, work, env)

    # A first run writes the settings.
    first = fresh_program()
    wait_for(lambda: window("Brevandi Plovista"), 30)
    time.sleep(1)
    first.end()

    def run_in(work_kept):
        os.makedirs(work_kept, exist_ok=True)
        return Program(args.build, work_kept, env)

    # 1. The grid opened and read, then the class exported, with no summaries
    # beside the log to begin with.
    shutil.rmtree(os.path.join(log, ".summary"), ignore_errors=True)
    program = run_in(work)
    menu = teacher_to_utility_menu(program)
    grid, opened = open_grid(program, menu)
    results["open"] = opened
    # The same Quit with nothing going on, answered No: what the box takes
    # on this machine at all.
    clicked = click(grid, *QUIT_COMMAND)
    box = wait_for(lambda: window("Quit Program"), 60, step=0.005)
    results["quit_idle"] = now() - clicked
    xdotool("windowactivate", "--sync", box)
    DISPLAY.key("n")
    wait_for(lambda: not window("Quit Program"), 60)
    wait_quiet(program)
    target = os.path.join(work, "class.csv")
    program.peak = program.rss_mb()
    before = program.peak
    started = start_export(grid, target)
    wait_for(lambda: window("Class Exported") or window("Class Not Exported"), 1800, program)
    results["export"] = {"time": now() - started, "before": before, "peak": program.peak,
                         "ok": window("Class Exported") is not None,
                         "bytes": os.path.getsize(target) if os.path.exists(target) else 0}
    program.end()

    # 1b. The grid again, in a new run: with the summaries.
    program = run_in(work)
    menu = teacher_to_utility_menu(program)
    _, results["open_again"] = open_grid(program, menu)
    program.end()

    # 2. Quit while the grid is read.
    program = run_in(work)
    menu = teacher_to_utility_menu(program)
    opened = click(menu, *FLUENCY_GRID_COMMAND)
    grid = wait_for(lambda: window("Fluency Grid"), 600, program)
    results["quit_reading"] = quit_now(program, grid, opened)
    program.end()

    # 3. Quit during an export.
    program = run_in(work)
    menu = teacher_to_utility_menu(program)
    grid, _ = open_grid(program, menu)
    target = os.path.join(work, "quit.csv")
    started = start_export(grid, target)
    time.sleep(0.3)
    results["quit_export"] = quit_now(program, grid, started)
    left = [name for name in os.listdir(work) if name.startswith("quit.csv")]
    results["left_behind"] = left
    program.end()
    return results


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build-bench")
    parser.add_argument("--mb", type=int, default=200)
    parser.add_argument("--students", type=int, default=30)
    parser.add_argument("--computers", type=int, default=5)
    parser.add_argument("--log")
    parser.add_argument("--maker")
    args = parser.parse_args()
    args.build = os.path.abspath(args.build)
    maker = args.maker or os.path.join(args.build, "bench", "bench_fluencygrid")
    dir_ = tempfile.mkdtemp()
    log = os.path.abspath(args.log) if args.log else os.path.join(dir_, "log")
    quiet = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    try:
        if not os.path.isdir(log):
            sample = os.path.join(dir_, "sample")
            subprocess.run([maker, "--make", sample, "20000", str(args.students), str(args.computers)], check=True,
                           env=quiet, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            size = sum(os.path.getsize(os.path.join(sample, f)) for f in os.listdir(sample))
            answers = args.mb * 1_000_000 * 20000 // size
            subprocess.run([maker, "--make", log, str(answers), str(args.students), str(args.computers)], check=True,
                           env=quiet, stderr=subprocess.DEVNULL)
        logs = [f for f in os.listdir(log) if f.endswith(".csv")]
        size = sum(os.path.getsize(os.path.join(log, f)) for f in logs)
        print(f"log: {size / 1e6:.0f} MB in {len(logs)} files")

        xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        display = ":" + xvfb.stdout.readline().decode().strip()
        env = {k: v for k, v in os.environ.items() if k != "QT_QPA_PLATFORM"}
        env["DISPLAY"] = display
        os.environ["DISPLAY"] = display
        global DISPLAY
        DISPLAY = Display(display)
        manager = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1)
        try:
            r = session(args, env, log, dir_)
        finally:
            manager.terminate()
            manager.wait()
            xvfb.terminate()
            xvfb.wait()
        o, e = r["open"], r["export"]
        print(f"open: window after {o['window'] * 1000:.0f} ms, grid read after {o['read'] * 1000:.0f} ms; "
              f"resident {o['before']:.1f} MB before, at most {o['peak']:.1f} MB (+{o['peak'] - o['before']:.1f} MB)")
        a = r["open_again"]
        print(f"open again with the summaries: window after {a['window'] * 1000:.0f} ms, grid read after "
              f"{a['read'] * 1000:.0f} ms; resident {a['before']:.1f} MB before, at most {a['peak']:.1f} MB "
              f"(+{a['peak'] - a['before']:.1f} MB)")
        print(f"export: {'done' if e['ok'] else 'FAILED'} in {e['time']:.1f} s ({e['bytes'] / 1e6:.1f} MB); "
              f"resident {e['before']:.1f} MB before, at most {e['peak']:.1f} MB (+{e['peak'] - e['before']:.1f} MB)")
        print(f"quit with nothing going on: box {r['quit_idle'] * 1000:.0f} ms after the click")
        asked, since, ended = r["quit_reading"]
        print(f"quit while reading: box {asked * 1000:.0f} ms after the click on Quit ({since * 1000:.0f} ms after "
              f"the one on Fluency Grid), process ended {ended * 1000:.0f} ms after the answer")
        if r["quit_export"] is None:
            print("quit while exporting: the window took the click only after the export, which was done")
        else:
            asked, since, ended = r["quit_export"]
            print(f"quit while exporting: box {asked * 1000:.0f} ms after the click on Quit ({since * 1000:.0f} ms "
                  f"after the export began), process ended {ended * 1000:.0f} ms after the answer")
        print(f"left behind by the quit export: {', '.join(r['left_behind']) or 'nothing'}")
    finally:
        shutil.rmtree(dir_, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
