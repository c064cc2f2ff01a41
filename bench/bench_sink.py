#!/usr/bin/env python3
"""The program's speech as a child hears it, measured at the sound server's sink.

The real program on a real desktop (Xvfb, openbox; tests/e2e/desktop_road.py
drives it), one speaker switched on (Peedy or the plain voice), a drill of
the "+7" family answered by key presses a set time after each fact goes up.
The sink's monitor is recorded all along; the answer log gives each answer's
time and how long after its fact it came, so each fact's painting is placed
in the recording. Only facts asked for the first time count: one asked again
after a miss is read after its correction. From there:
- fact painted to first sound: the first 10 ms frame above a whisper after
  the fact went up (sound already under way then, earlier speech, is
  waited out first);
- the words: the fact's reading, from that first sound to the next quiet of
  a quarter second, is given to pocketsphinx (its own English model, no
  grammar) and scored against the words the program reads for the fact.

Usage: bench_sink.py <program> <peedy|voice> <seconds from fact to answer> [facts, default 30]
Prints one line of figures; 77 when the desktop or the sound server cannot
start (run through bench_sink.sh, which starts the sound server).
"""

import datetime
import os
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import desktop_road as road  # noqa: E402

RATE = 16000
FRAME = RATE // 100  # 10 ms
# A frame's peak above this is sound: the sink is digital silence between
# texts, and a quiet "f" or "th" starting a word stays near the synthesiser's
# own noise floor.
WHISPER = 64
LEAD_IN = 5  # frames kept before the first loud one, for a word's soft start
UTTERANCE_GAP = 25  # frames of quiet that end an utterance
MODEL = "/usr/share/pocketsphinx/model/en-us"
SMALL = ["zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten", "eleven",
         "twelve", "thirteen", "fourteen", "fifteen", "sixteen"]


def loud_frames(raw):
    count = len(raw) // 2 // FRAME
    samples = struct.unpack(f"<{count * FRAME}h", raw[:count * FRAME * 2])
    return [max(abs(s) for s in samples[i * FRAME:(i + 1) * FRAME]) > WHISPER for i in range(count)]


def errors(said, heard):
    row = list(range(len(heard) + 1))
    for i, word in enumerate(said, 1):
        previous, row = row, [i]
        for j, other in enumerate(heard, 1):
            row.append(min(previous[j] + 1, row[j - 1] + 1, previous[j - 1] + (word != other)))
    return row[-1]


def settings(folder, peedy, facts):
    for name, on in (("PShow", peedy), ("TTS", not peedy), ("Vista", True)):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(b"True\r\n" if on else b"False\r\n")
    with open(os.path.join(folder, "Facts"), "wb") as f:
        f.write(b" %d \r\n" % facts)


def drill(program, desktop, folder, answer_after, facts):
    raw_path = os.path.join(desktop.scratch, "sink.raw")
    recording = open(raw_path, "wb")
    parec = desktop.spawn(["parec", "--device=capture.monitor", "--format=s16le", f"--rate={RATE}",
                           "--channels=1", "--raw", "--latency-msec=10"], stdout=recording)
    desktop.run(["xdotool", "mousemove", str(road.SCREEN[0] - 1), str(road.SCREEN[1] - 1)])
    env = dict(desktop.env, QT_QPA_PLATFORM="xcb")
    plovista = desktop.spawn([program], cwd=folder, env=env)
    desktop.wait_window("Brevandi Plovista", 60)
    desktop.keys("shift+Tab", "space")
    desktop.wait_window("Quit Program")
    desktop.keys("n")
    desktop.wait_window("Brevandi Plovista")
    desktop.type(road.STUDENT, "Return")
    desktop.wait_window("Main Menu", 60)
    desktop.keys("Up", "Return")
    menu = desktop.wait_window("Addition Menu")
    desktop.keys("Tab", "space", "Tab", "Tab", "space", "shift+Tab", "space", "Tab", "Tab", "Right")
    desktop.wait_painted(menu)
    desktop.keys("Return")
    window = desktop.wait_window("Vertical Mode,  Range: 0 --> 9")
    desktop.wait_painted(window)
    time.sleep(3)  # the greeting, if any, is over
    desktop.keys("Return")  # Start
    log = road.AnswerLog(folder)
    rows = []
    for _ in range(4 * facts):
        rows = log.answers()
        if len([r for r in rows if r["first_try"] == "1"]) == facts:
            break
        firsts = [r for r in rows if r["first_try"] == "1"]
        if rows and rows[-1]["correct"] == "0":
            typed = int(rows[-1]["expected"])
        else:
            hit = {int(r["left"]) for r in firsts if r["correct"] == "1"}
            typed = min((set(range(10)) - hit) or {0}) + road.ADDEND
        time.sleep(answer_after)
        desktop.type(str(typed), "Return")
        new = log.wait_beyond(len(rows), timeout=3.0)
        if new:
            time.sleep(road.RIGHT_PAUSE if new[len(rows)]["correct"] == "1" else road.WRONG_PAUSE)
    time.sleep(3)
    stopped = datetime.datetime.now()
    parec.terminate()
    parec.wait()
    plovista.kill()
    recording.close()
    with open(raw_path, "rb") as f:
        raw = f.read()
    # The recording ends now: its start is its length before.
    began = stopped - datetime.timedelta(seconds=len(raw) / 2 / RATE)
    return raw, began, rows


def measure(raw, began, rows, scratch):
    loud = loud_frames(raw)
    latencies, said_words, wrong_words, heard_whole = [], 0, 0, 0
    for row in rows:
        if row["first_try"] != "1":
            continue  # a fact asked again comes after its correction: not a fact going up
        answered = datetime.datetime.fromisoformat(row["time"].replace("Z", ""))
        if answered.tzinfo is not None:
            answered = answered.astimezone().replace(tzinfo=None)
        shown = answered - datetime.timedelta(milliseconds=int(row["ms"]))
        at = int((shown - began).total_seconds() * 100)
        if at < 0 or at >= len(loud):
            continue
        first = at
        while first < len(loud) and loud[first] and first - at < 500:
            first += 1  # earlier speech still heard: waited out
        while first < len(loud) and not loud[first]:
            first += 1
        if first >= len(loud):
            continue
        latencies.append((first - at) * 10)
        end, quiet = first, 0
        while end < len(loud) and quiet < UTTERANCE_GAP:
            quiet = quiet + 1 if not loud[end] else 0
            end += 1
        piece = os.path.join(scratch, f"piece{len(latencies):02d}")
        with open(piece + ".raw", "wb") as f:
            start = max(at, first - LEAD_IN)
            f.write(b"\0" * (RATE // 5 * 2) + raw[start * FRAME * 2:end * FRAME * 2] + b"\0" * (RATE // 5 * 2))
        said = [SMALL[int(row["left"])], "plus", SMALL[int(row["right"])]]
        heard = subprocess.run(["pocketsphinx_batch", "-adcin", "yes", "-cepdir", scratch, "-cepext", ".raw",
                                "-ctl", "/dev/stdin", "-hyp", "/dev/stdout", "-hmm", MODEL + "/en-us", "-dict",
                                MODEL + "/cmudict-en-us.dict", "-lm", MODEL + "/en-us.lm.bin", "-logfn",
                                "/dev/null"], input=os.path.basename(piece) + "\n", capture_output=True,
                               text=True).stdout.rsplit("(", 1)[0].lower().split()
        said_words += len(said)
        wrong_words += errors(said, heard)
        heard_whole += heard[:3] == said
        print(f"  {' '.join(said):24} heard {' '.join(heard):32} first sound {(first - at) * 10} ms")
    return latencies, said_words, wrong_words, heard_whole


def main():
    program, speaker, answer_after = os.path.abspath(sys.argv[1]), sys.argv[2], float(sys.argv[3])
    facts = int(sys.argv[4]) if len(sys.argv) > 4 else 30
    scratch = tempfile.mkdtemp(prefix="plovista-sink-")
    folder = os.path.join(scratch, "student")
    os.mkdir(folder)
    settings(folder, speaker == "peedy", facts)
    desktop = road.Desktop(scratch, scratch)
    try:
        try:
            desktop.start_x()
        except road.RoadError as error:
            print("SKIP:", error)
            return 77
        desktop.start_window_manager()
        raw, began, rows = drill(program, desktop, folder, answer_after, facts)
        latencies, said, wrong, whole = measure(raw, began, rows, scratch)
    except (road.RoadError, OSError) as error:
        print("FAILED:", error)
        return 1
    finally:
        desktop.stop()
        shutil.rmtree(scratch, ignore_errors=True)
    if len(latencies) < 5:
        print(f"FAILED: only {len(latencies)} facts placed in the recording")
        return 1
    ordered = sorted(latencies)
    p95 = ordered[min(len(ordered) - 1, round(0.95 * (len(ordered) - 1)))]
    with open("/proc/loadavg") as f:
        load = f.read().split()[0]
    print(f"sink {speaker}, answer {answer_after:.1f} s after the fact: {len(latencies)} facts; "
          f"fact painted to first sound median {statistics.median(latencies):.0f} ms, 95th percentile {p95} ms; "
          f"reading word error rate {100 * wrong / said:.1f} % ({wrong} of {said}); "
          f"{whole} readings heard whole; load average {load}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
