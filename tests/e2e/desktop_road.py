#!/usr/bin/env python3
"""A student's road through the program on a real desktop.

Xvfb with openbox, the program on its X11 platform in an empty folder, keys
pressed through the X server's test extension, and the program's own voice
into the null sink of the sound server desktop_road.sh started. Every window
on the way is found by its title and photographed from the server's frame
buffer into the screenshot folder.

The answers come from what the program writes anyway: each answer lands in
the answer log with the fact it answered, so a fact missed at the first try
is answered right when it is asked again; a new fact is guessed (the road
reads no pixels to learn it).

Usage: desktop_road.py <program> <screenshot folder>
Exit 0 when the road holds, 1 with the reasons when not, 77 when the X
server cannot start.
"""

import csv
import datetime
import glob
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

# ROAD_SCREEN=1920x1080 (with QT_SCALE_FACTOR) walks the road on a larger screen.
SCREEN = tuple(int(side) for side in os.environ.get("ROAD_SCREEN", "1024x768").split("x"))
STUDENT = "Ann Lee"
ADDEND = 7  # the fact family chosen: "+7"
# Seconds the drill window waits after a right and after a wrong answer
# before the next fact; keys typed in that time are thrown away.
RIGHT_PAUSE, WRONG_PAUSE = 1.0, 2.0


class RoadError(Exception):
    pass


def wait_for(what, probe, timeout=20.0, step=0.05):
    """Calls probe until it gives something true; its last value, or RoadError."""
    end = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > end:
            raise RoadError(f"waited {timeout:.0f} s in vain for {what}")
        time.sleep(step)


class Desktop:
    def __init__(self, scratch, shots):
        self.scratch = scratch
        self.shots = shots
        self.shots_taken = 0
        self.fbdir = os.path.join(scratch, "fb")
        os.mkdir(self.fbdir)
        self.children = []
        self.env = dict(os.environ)
        for name in ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "SESSION_MANAGER"):
            self.env.pop(name, None)
        home = os.path.join(scratch, "home")
        os.mkdir(home)
        self.env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"))

    def start_x(self):
        """A server on the first display number free here; exit 77 when none starts.

        The number is chosen, not asked for with -displayfd, so the server
        takes its lock file like every other server on the machine. Without
        -noreset the server starts afresh whenever its last client leaves
        (each xprop here), and refuses whoever comes in that moment."""
        log = "every display number from 200 to 239 is taken"
        for number in range(200, 240):
            if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            server = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24", "-fbdir", self.fbdir,
                 "-nolisten", "tcp", "-noreset"],
                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, start_new_session=True)
            self.children.append(server)
            self.env["DISPLAY"] = f":{number}"
            try:
                wait_for("the X server", lambda: server.poll() is not None or self.run(
                    ["xprop", "-root", "-len", "0"], check=False), 30)
            except RoadError:
                pass
            if server.poll() is None and self.run(["xprop", "-root", "-len", "0"], check=False):
                return
            self.stop()
            self.children.clear()
            log = server.stderr.read().decode(errors="replace")[-1000:]
        print(f"SKIP: Xvfb did not start\n{log}")
        sys.exit(77)

    def start_window_manager(self):
        log = open(os.path.join(self.scratch, "openbox.log"), "wb")
        openbox = self.spawn(["openbox", "--sm-disable"], stdout=log, stderr=subprocess.STDOUT)
        try:
            wait_for("openbox to manage the screen", lambda: openbox.poll() is not None or "window id" in self.run(
                ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False))
        finally:
            log.close()
        if openbox.poll() is not None:
            with open(log.name, errors="replace") as f:
                raise RoadError(f"openbox ended at once: {f.read()[-1000:]}")

    def spawn(self, argv, **kw):
        child = subprocess.Popen(argv, env=kw.pop("env", self.env), start_new_session=True, **kw)
        self.children.append(child)
        return child

    def run(self, argv, check=True):
        """The command's output; with check false, empty when it failed."""
        done = subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=30)
        if done.returncode != 0:
            if check:
                raise RoadError(f"{' '.join(argv)} failed: {done.stderr.strip()}")
            return ""
        return done.stdout

    def stop(self):
        for child in reversed(self.children):
            if child.poll() is None:
                try:
                    os.killpg(child.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
                try:
                    child.wait(5)
                except subprocess.TimeoutExpired:
                    os.killpg(child.pid, signal.SIGKILL)
                    child.wait()

    # Windows, by their titles.
    def windows_titled(self, title):
        pattern = "^" + re.sub(r"([][.*+?(){}|^$\\])", r"\\\1", title) + "$"
        out = self.run(["xdotool", "search", "--onlyvisible", "--name", pattern], check=False)
        return [int(w) for w in out.split()]

    def active_window(self):
        out = self.run(["xdotool", "getactivewindow"], check=False).strip()
        return int(out) if out.isdigit() else None

    def wait_window(self, title, timeout=30.0):
        """The window's id once it is on the screen and has the keyboard."""
        def up():
            for window in self.windows_titled(title):
                if self.active_window() == window:
                    return window
            return None
        try:
            return wait_for(f'the window "{title}" with the keyboard', up, timeout)
        except RoadError:
            self.shot("failed-" + re.sub(r"\W+", "-", title))
            raise

    def geometry(self, window):
        out = self.run(["xdotool", "getwindowgeometry", "--shell", str(window)])
        values = dict(line.split("=", 1) for line in out.split())
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def keys(self, *keys):
        self.run(["xdotool", "key", "--delay", "40", *keys])

    def type(self, text, *then):
        """Types the text, then presses the keys given."""
        self.run(["xdotool", "type", "--delay", "40", text])  # takes every argument left as text
        if then:
            self.keys(*then)

    # The screen, as the X server holds it.
    def frame(self):
        with open(os.path.join(self.fbdir, "Xvfb_screen0"), "rb") as f:
            data = f.read()
        header = struct.unpack(">25I", data[:100])
        size, width, height, bits, stride, colours = header[0], header[4], header[5], header[11], header[12], header[19]
        if bits != 32:
            raise RoadError(f"the frame buffer has {bits} bits a pixel, not 32")
        start = size + 12 * colours
        return Image(width, height, 4, stride, data[start:start + stride * height])

    def wait_painted(self, window, timeout=15.0):
        """Waits until the window's pixels hold still and show more than a plain colour."""
        box = self.geometry(window)
        last = [None]

        def settled():
            region = self.frame().region(*box)
            same = region == last[0]
            last[0] = region
            return same and len(set(region[i:i + 3] for i in range(0, len(region), 3))) > 4
        wait_for("the window to be painted", settled, timeout, step=0.25)

    def shot(self, name):
        """The whole screen into the screenshot folder as NN-name.png."""
        self.shots_taken += 1
        path = os.path.join(self.shots, f"{self.shots_taken:02d}-{name}.png")
        fb = os.path.join(self.fbdir, "Xvfb_screen0")
        with open(path, "wb") as out:
            xwd = subprocess.Popen(["xwdtopnm", fb], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            subprocess.run(["pnmtopng"], stdin=xwd.stdout, stdout=out, stderr=subprocess.DEVNULL, check=True)
            xwd.stdout.close()
            xwd.wait()
        return path


class Image:
    def __init__(self, width, height, depth, stride, pixels):
        self.width, self.height, self.depth, self.stride, self.pixels = width, height, depth, stride, pixels

    def region(self, x, y, w, h):
        """The box's pixels as RGB-sized triples (channel order left as stored)."""
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + w), min(self.height, y + h)
        rows = []
        for row in range(y0, y1):
            line = self.pixels[row * self.stride + x0 * self.depth:row * self.stride + x1 * self.depth]
            if self.depth == 4:
                line = b"".join(line[i:i + 3] for i in range(0, len(line), 4))
            rows.append(line)
        return b"".join(rows)


def read_ppm(path):
    """An Image from a PNG file, through pngtopnm."""
    data = subprocess.run(["pngtopnm", path], capture_output=True, check=True).stdout
    fields = []
    at = 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise RoadError(f"{path} is not an 8-bit colour image")
    width, height = int(fields[1]), int(fields[2])
    return Image(width, height, 3, width * 3, data[at + 1:])


class AnswerLog:
    """The answers the program has written to Log/, as dictionaries."""

    def __init__(self, folder):
        self.folder = os.path.join(folder, "Log")

    def answers(self):
        rows = []
        for path in sorted(glob.glob(os.path.join(self.folder, "*.csv"))):
            with open(path, newline="", encoding="utf-8") as f:
                # A line the log's thread is still writing has no line end yet.
                text = f.read()
            whole = text[:text.rfind("\n") + 1]
            rows += list(csv.DictReader(whole.splitlines()))
        return rows

    def wait_beyond(self, count, timeout):
        try:
            return wait_for("the answer in the log", lambda: len(self.answers()) > count and self.answers(), timeout)
        except RoadError:
            return None


def answer_the_drill(desktop, log, on_first_miss):
    """Answers the ten "+7" facts by typing; returns the answers logged.

    The first answer is one no fact of the family has (a sure miss); a new
    fact after it is guessed among the values not yet answered right (a miss
    or a hit), and a missed fact is answered right when it is asked again.
    Keys typed while the window pauses after an answer are thrown away: then
    no answer reaches the log and the answer is typed again."""
    pause = 0.0
    for _ in range(40):
        rows = log.answers()
        firsts = [r for r in rows if r["first_try"] == "1"]
        if len(firsts) == 10:  # a miss of the last fact is not asked again
            return rows
        if rows and rows[-1]["correct"] == "0":
            typed = int(rows[-1]["expected"])
        elif not rows:
            typed = 1
        else:
            hit = {int(r["left"]) for r in firsts if r["correct"] == "1"}
            typed = min(set(range(10)) - hit) + ADDEND
        time.sleep(pause + 0.2)
        desktop.type(str(typed), "Return")
        new = log.wait_beyond(len(rows), timeout=3.0)
        if not new:
            pause = 0.0  # lost in the pause, which is over by now
            continue
        right = new[len(rows)]["correct"] == "1"
        pause = RIGHT_PAUSE if right else WRONG_PAUSE
        if not rows:
            on_first_miss()
    raise RoadError(f"the drill did not end after 40 answers typed; the log: {log.answers()}")


def heard_seconds(raw, rate):
    """Seconds of the recording louder than a whisper, in 20 ms frames."""
    frame = rate // 50
    loud = 0
    for at in range(0, len(raw) // 2 - frame, frame):
        samples = struct.unpack(f"<{frame}h", raw[2 * at:2 * (at + frame)])
        if max(abs(s) for s in samples) > 1000:
            loud += 1
    return loud / 50


def road(program, desktop, folder, failures):
    def window(title, name, timeout=30.0):
        w = desktop.wait_window(title, timeout)
        desktop.wait_painted(w)
        return w, name

    shots = []

    def shoot(w_name, suffix=""):
        w, name = w_name
        shots.append((desktop.shot(name + suffix), desktop.geometry(w)))

    rate = 16000
    recording = open(os.path.join(desktop.scratch, "sink.raw"), "wb")
    desktop.spawn(["parec", "--device=capture.monitor", "--format=s16le", f"--rate={rate}", "--channels=1",
                   "--raw"], stdout=recording)

    # The pointer out of the way, in the corner no window covers.
    desktop.run(["xdotool", "mousemove", str(SCREEN[0] - 1), str(SCREEN[1] - 1)])
    env = dict(desktop.env, QT_QPA_PLATFORM="xcb")
    started = time.monotonic()
    plovista = desktop.spawn([program], cwd=folder, env=env)

    company = window("Brevandi Plovista", "Company")
    shoot(company)
    # Quit, then No: the keyboard goes back to the name box, so the name's
    # blank does not press Quit again nor its Enter answer Yes.
    desktop.keys("shift+Tab", "space")
    window("Quit Program", "QuitBox")
    desktop.keys("n")
    desktop.wait_window("Brevandi Plovista")
    desktop.type(STUDENT, "Return")

    main_menu = window("Main Menu", "MainMenu")
    shoot(main_menu)
    desktop.keys("Up", "Return")  # Multiplication up to Addition

    menu = desktop.wait_window("Addition Menu")
    # Vertical; 0 --> 12, then back to 0 --> 9; the fact family +7.
    desktop.keys("Tab", "space", "Tab", "Tab", "space", "shift+Tab", "space", "Tab", "Tab", "Right")
    desktop.wait_painted(menu)
    shoot((menu, "ChooseMenuMF"))
    desktop.keys("Return")

    drill = window("Vertical Mode,  Range: 0 --> 9", "FactsProblems")
    shoot(drill, "-start")
    desktop.keys("Return")  # Start

    log = AnswerLog(folder)

    def corrected():
        # The first miss: its correction beside the fact asked again.
        desktop.wait_painted(drill[0])
        shoot(drill, "-corrected")
    answers = answer_the_drill(desktop, log, corrected)
    time.sleep(WRONG_PAUSE)
    desktop.wait_painted(drill[0])
    shoot(drill, "-done")
    firsts = [r for r in answers if r["first_try"] == "1"]
    first_right = sum(1 for r in firsts if r["correct"] == "1")
    values = [int(r["left"]) for r in firsts]
    for r in answers:
        if (int(r["expected"]) != int(r["left"]) + ADDEND or r["right"] != str(ADDEND) or r["student"] != STUDENT
                or r["format"] != "V" or r["range"] != "0->9"):
            failures.append(f"an answer logged for another drill or student: {r}")

    # "Get Score" takes Enter once the last answer's pause is over; Enters
    # hammered at it, 60 ms apart, go no further than the score.
    score = None
    for _ in range(5):
        desktop.run(["xdotool", "key", "--delay", "60", "Return", "Return", "Return"])
        try:
            score = window("Your Score", "ScoreForm", timeout=5.0)
            break
        except RoadError:
            continue
    if score is None:
        raise RoadError('"Your Score" never came up')
    shoot(score)
    if desktop.active_window() != score[0]:
        failures.append("Enters hammered at Get Score went past the score screen")

    time.sleep(0.5)  # the score seen
    desktop.keys("Return")  # Continue: the next drill's menu
    menu = window("Addition Menu", "ChooseMenuMF")
    desktop.keys("alt+F4")  # its close box: back to the Main Menu
    window("Main Menu", "MainMenu")
    desktop.keys("Down", "Down", "Return")  # Addition, Multiplication, View Records
    records = window("Current Records", "RecordsForm")
    shoot(records)
    desktop.keys("alt+F4")
    main_menu = window("Main Menu", "MainMenu")
    desktop.keys("alt", "Right", "Return")  # the menu bar's Quit
    box = window("Quit Program", "QuitBox")
    shoot(box)
    desktop.keys("y")
    try:
        code = plovista.wait(20)
    except subprocess.TimeoutExpired:
        raise RoadError("the program did not end after Yes to the quit box")
    took = time.monotonic() - started
    if code != 0:
        failures.append(f"the program ended with {code}")

    # The record of the drill, the last line of "Madtr".
    with open(os.path.join(folder, "Madtr"), "rb") as f:
        madtr = f.read()
    last = madtr.split(b"\r\n")[-2] + b"\r\n" if madtr.endswith(b"\r\n") else madtr
    pattern = (rb"(\d\d/\d\d/\d\d)   Ann Lee         \+7     V   0->9   10  (\d+)\|100 +\d*\.?\d+\|5\.0 +"
               rb"\d*\.?\d+ +\r\n")
    found = re.fullmatch(pattern, last)
    if not found:
        failures.append(f'the last line of "Madtr" is not the drill\'s record: {last!r}')
    else:
        days = {(datetime.date.today() - datetime.timedelta(d)).strftime("%m/%d/%y").encode() for d in (0, 1)}
        if found.group(1) not in days:
            failures.append(f"the record is dated {found.group(1)!r}")
        if int(found.group(2)) != first_right * 10:
            failures.append(f"the record says {found.group(2)} percent; {first_right} of 10 were right at first")

    # What the sink was given: speech, not silence.
    recording.flush()
    time.sleep(0.5)
    with open(recording.name, "rb") as f:
        raw = f.read()
    heard = heard_seconds(raw, rate)
    if heard < 3.0:
        failures.append(f"only {heard:.1f} s of sound reached the sink in {len(raw) / 2 / rate:.0f} s")

    # Every screenshot is there and shows its window, not a plain colour.
    for path, (x, y, w, h) in shots:
        image = read_ppm(path)
        region = image.region(x, y, w, h)
        colours = len(set(region[i:i + 3] for i in range(0, len(region), 3)))
        if (image.width, image.height) != SCREEN or colours < 8:
            failures.append(f"{os.path.basename(path)} is blank ({colours} colours in the window)")

    print(f"{len(shots)} screenshots in {desktop.shots}; {first_right} of 10 right at the first try "
          f"({len(answers)} answers, facts {values}); {heard:.1f} s of sound at the sink; "
          f"the program ran {took:.1f} s")


def main():
    program, shots = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    shutil.rmtree(shots, ignore_errors=True)
    os.makedirs(shots)
    scratch = tempfile.mkdtemp(prefix="plovista-road-")
    folder = os.path.join(scratch, "student")
    os.mkdir(folder)
    desktop = Desktop(scratch, shots)
    failures = []
    try:
        desktop.start_x()
        desktop.start_window_manager()
        road(program, desktop, folder, failures)
    except (RoadError, OSError) as error:
        failures.append(str(error))
    finally:
        desktop.stop()
        shutil.rmtree(scratch, ignore_errors=True)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
