#!/usr/bin/env python3
"""Turns the outputs of every benchmark into the measurements table of docs/measurements.md.

Usage: benchtable.py RESULTS_DIR MEASUREMENTS_MD

RESULTS_DIR holds, for each benchmark NAME run by scripts/bench, NAME.out (what
it printed), NAME.status (its exit status) and, for the Google Benchmark
programs, NAME.json. A benchmark that exited with a failure, reported an error
or printed no figure where one was expected gets "FAILED" and the reason in
its row, never a figure. The table replaces what stands between the two
marker lines of that file.
"""

import json
import re
import sys
from pathlib import Path

BEGIN = "<!-- measurements: written by scripts/bench -->"
END = "<!-- end of measurements -->"


class Failed(Exception):
    """A benchmark whose runs failed: the row says why instead of a figure."""


class Results:
    def __init__(self, folder):
        self.folder = Path(folder)

    def output(self, name):
        """What the benchmark printed; Failed when it did not end well."""
        out = self.folder / f"{name}.out"
        status = self.folder / f"{name}.status"
        if not out.exists() or not status.exists():
            raise Failed("not run")
        text = out.read_text(errors="replace")
        code = status.read_text().strip()
        if code != "0":
            raise Failed(first_failure(text) or f"exit status {code}")
        return text

    def google(self, name):
        """The runs of a Google Benchmark program, by name."""
        self.output(name)
        path = self.folder / f"{name}.json"
        try:
            runs = json.loads(path.read_text())["benchmarks"]
        except (OSError, ValueError, KeyError):
            raise Failed("no results written")
        for run in runs:
            if run.get("error_occurred"):
                raise Failed(f"{run['name']}: {run.get('error_message', 'error')}")
        return {run["name"]: run for run in runs}


def first_failure(text):
    for line in text.splitlines():
        if re.search(r"FAILED|[Ee]rror|cannot|no sound within|did not end|not focused", line):
            return line.strip()
    return None


def find(pattern, text, what):
    match = re.search(pattern, text, re.MULTILINE)
    if not match:
        raise Failed(f"no figure for {what} in its output")
    return [float(g) for g in match.groups()]


def run_named(runs, name):
    """The run of that name, whatever the library added after it ("/manual_time")."""
    for full, run in runs.items():
        if full == name or full.startswith(name + "/"):
            return run
    raise Failed(f"{name} did not run")


def ms(value):
    return f"{value:.2f}" if value < 1 else f"{value:.1f}"


def no_failures(text, pattern, what):
    found = re.search(pattern, text, re.MULTILINE)
    if found:
        raise Failed(f"{what}: {found.group(0).strip()}")


# Each row: what is measured, how its figure is made from the results, the
# target, and whether the figure meets it (None where the target is not a
# number to compare with).


def startup(r):
    text = r.output("startup")
    plovista_ms, plovista_kb = find(r"^plovista\s+median ([\d.]+) ms, (\d+) kB", text, "the start screen")
    minimal_ms, minimal_kb = find(r"^minimal\s+median ([\d.]+) ms, (\d+) kB", text, "the minimal window")
    return plovista_ms, plovista_kb / 1024, minimal_ms, minimal_kb / 1024


def row_startup_time(r):
    p, _, m, _ = startup(r)
    # The median of the ratios within the rounds, not the ratio of the medians.
    ratio, = find(r"^ratio\s+([\d.]+) times$", r.output("startup"), "the ratio")
    return f"{p:.1f} ms, against {m:.1f} ms for a minimal Qt Widgets window ({ratio:.3f} times)", ratio <= 1.3


def row_startup_rounds(r, first):
    """The median of the ratios within the interleaved rounds, with their interquartile range."""
    text = r.output("startup")
    if first:
        ratio, low, high, rounds = find(r"^first\s+ratio ([\d.]+) times, spread ([\d.]+)-([\d.]+) times "
                                        r"\(interquartile range, (\d+) rounds\)", text, "the first runs' ratio")
    else:
        ratio, = find(r"^ratio\s+([\d.]+) times$", text, "the later runs' ratio")
        low, high, rounds = find(r"^spread\s+([\d.]+)-([\d.]+) times \(interquartile range, (\d+) rounds\)", text,
                                 "the later runs' spread")
    return f"{ratio:.3f} times ({low:.3f}-{high:.3f}), {rounds:.0f} rounds", ratio <= 1.25


def row_startup_memory(r):
    _, p, _, m = startup(r)
    return f"{p:.1f} MB, against {m:.1f} MB (+{p - m:.1f} MB)", p - m <= 15


def row_startup_settled(r):
    _, _, _, m = startup(r)
    kb, = find(r"^settled\s+median [\d.]+ ms, (\d+) kB", r.output("startup"), "the program settled")
    settled = kb / 1024
    return f"{settled:.1f} MB, against {m:.1f} MB for the minimal window (+{settled - m:.1f} MB)", settled - m <= 45


def row_drill(r):
    runs = r.google("drill")
    names = ["EnterToFeedbackVisible/right:1", "EnterToFeedbackVisible/right:0",
             "EnterToNextFactPainted/right:1", "EnterToNextFactPainted/right:0"]
    times = [run_named(runs, n)["real_time"] for n in names]
    worst = max(times)
    return (f"right {ms(times[0])} ms, wrong {ms(times[1])} ms / right {ms(times[2])} ms, "
            f"wrong {ms(times[3])} ms"), worst < 16


def synthesiser(text, wanted, what):
    """Failed unless every run of the benchmark spoke with the synthesiser wanted."""
    used = set(re.findall(r"synthesiser: (.+)$", text, re.MULTILINE))
    if used != {wanted}:
        raise Failed(f"{what} spoke with {' and '.join(sorted(used)) or 'no synthesiser'}, not the {wanted}")


def speech_sections(r, name="speech", wanted="espeak-ng"):
    """The two runs into the null sink: offscreen and under Xvfb."""
    text = r.output(name)
    no_failures(text, r"^.*(no sound within|did not end|cannot load).*$", "a call")
    synthesiser(text, wanted, "the speech benchmark")
    if "== null sink, offscreen" not in text:
        raise Failed("no sound server")
    offscreen, xvfb = text.split("== null sink, offscreen", 1)[1].split("== null sink, Xvfb", 1)
    return offscreen, xvfb


def row_speech(r, speaker):
    sink, _ = speech_sections(r)
    fact, = find(rf"^{speaker} fact after stop: handed to sink\s+median\s+([\d.]+) ms", sink, f"{speaker} fact")
    greeting, = find(rf"^{speaker} greeting after stop: handed to sink\s+median\s+([\d.]+) ms", sink,
                     f"{speaker} greeting")
    return f"{fact:.2f} ms / {greeting:.2f} ms", fact < 15 and greeting < 30


def row_animation(r):
    sink, _ = speech_sections(r)
    frames, cpu = find(r"^Peedy playing his six animations in turn\s+([\d.]+) frames/s\s+([\d.]+) %", sink,
                       "Peedy animating")
    return f"{frames:.0f} frames/s, {cpu:.1f} % of one core", frames >= 15 and cpu < 5


def spread(values, digits):
    """"a-b" from the lowest to the highest, or one figure when they agree."""
    low, high = f"{min(values):.{digits}f}", f"{max(values):.{digits}f}"
    return low if low == high else f"{low}-{high}"


def row_speech_natural(r, speaker):
    sections = speech_sections(r, "speech-natural", "natural voice")
    facts, greetings = [], []
    for where, sink in zip(["offscreen", "Xvfb"], sections):
        facts += find(rf"^{speaker} fact after stop: handed to sink\s+median\s+([\d.]+) ms", sink,
                      f"{speaker} fact, {where}")
        greetings += find(rf"^{speaker} greeting after stop: handed to sink\s+median\s+([\d.]+) ms", sink,
                          f"{speaker} greeting, {where}")
    return f"{spread(facts, 1)} ms / {spread(greetings, 0)} ms", max(facts) < 100


def row_animation_natural(r):
    frames, cpu = [], []
    for where, sink in zip(["offscreen", "Xvfb"], speech_sections(r, "speech-natural", "natural voice")):
        f, c = find(r"^Peedy speaking the greeting \(beak moving\)\s+([\d.]+) frames/s\s+([\d.]+) %", sink,
                    f"Peedy speaking, {where}")
        frames.append(f)
        cpu.append(c)
    return f"{spread(frames, 0)} frames/s, {spread(cpu, 0)} % of one core", min(frames) >= 15


def speechlag(r, name="speechlag", wanted="espeak-ng", runs=(("voice", "before"), ("voice", "now"))):
    text = r.output(name)
    no_failures(text, r"^FAILED.*$", "a run")
    synthesiser(text, wanted, "the quick student's benchmark")
    parts = {}
    for block in re.split(r"^(?=\w+, (?:queue kept|waiting texts dropped))", text, flags=re.MULTILINE):
        head = re.match(r"(\w+), (queue kept|waiting texts dropped)", block)
        if head:
            parts[(head.group(1), "before" if head.group(2) == "queue kept" else "now")] = block
    for key in runs:
        if key not in parts:
            raise Failed(f"no run of the {key[0]}, {key[1]}")
    return parts


def row_speechlag_natural(r):
    now = speechlag(r, "speechlag-natural", "natural voice", (("voice", "now"),))[("voice", "now")]
    median, most, heard = find(r"fact on screen to its reading heard: median ([\d.]+) s, max ([\d.]+) s, "
                               r"last fact [\d.]+ s \((\d+) readings\)", now, "the readings")
    dropped, = find(r"dropped or cut before they began \d+ \((\d+) of them readings\)", now, "the readings dropped")
    return (f"median {median:.2f} s, at most {most:.2f} s; {dropped:.0f} of {heard + dropped:.0f} readings "
            "dropped"), None


def row_speechlag_readings(r):
    parts = speechlag(r)
    pattern = r"fact on screen to its reading heard: median ([\d.]+) s, max ([\d.]+) s, last fact ([\d.]+) s"
    b_median, _, b_last = find(pattern, parts[("voice", "before")], "the readings before")
    n_median, n_max, _ = find(pattern, parts[("voice", "now")], "the readings now")
    asked, heard = find(r"texts asked (\d+), heard (\d+)", parts[("voice", "now")], "the texts heard")
    return (f"before: median {b_median:.1f} s, {b_last:.1f} s at the last fact; now: median {n_median:.1f} s, "
            f"at most {n_max:.1f} s; {heard:.0f} of {asked:.0f} texts heard"), None


def row_speechlag_corrections(r):
    parts = speechlag(r)
    pattern = r"wrong answer to its correction heard: median ([\d.]+) s, max ([\d.]+) s"
    b_median, b_max = find(pattern, parts[("voice", "before")], "the corrections before")
    n_median, n_max = find(pattern, parts[("voice", "now")], "the corrections now")
    return f"before: median {b_median:.1f} s, at most {b_max:.1f} s; now: median {n_median:.1f} s, at most {n_max:.1f} s", None


def intelligibility(r):
    """Word error rates in per cent: {(synthesiser, speaker): (any sequence, facts held to their shape)}."""
    text = r.output("intelligibility")
    no_failures(text, r"^FAILED.*$", "the recogniser")
    if re.search(r"^natural voice\s+not available", text, re.MULTILINE):
        raise Failed("the natural voice is not installed")
    rates = {}
    for line in re.finditer(r"^(natural voice|espeak-ng), (voice|Peedy)\s+([\d.]+) % \([^)]*\)\s+([\d.]+) %",
                            text, re.MULTILINE):
        rates[(line.group(1), line.group(2))] = (float(line.group(3)), float(line.group(4)))
    for key in [(s, p) for s in ["natural voice", "espeak-ng"] for p in ["voice", "Peedy"]]:
        if key not in rates:
            raise Failed(f"no word error rate for {key[0]}, {key[1]}")
    return rates


def sink(r):
    """The drills measured at the sink: {(speaker, seconds to answer): (median ms, p95 ms, WER %, load)}."""
    text = r.output("sink")
    no_failures(text, r"^FAILED.*$", "the drill at the sink")
    runs = {}
    for line in re.finditer(r"^sink (peedy|voice), answer ([\d.]+) s after the fact: \d+ facts; fact painted to "
                            r"first sound median ([\d.]+) ms, 95th percentile ([\d.]+) ms; reading word error rate "
                            r"([\d.]+) %.*load average ([\d.]+)", text, re.MULTILINE):
        runs[(line.group(1), float(line.group(2)))] = tuple(float(line.group(i)) for i in range(3, 7))
    for key in [(p, a) for p in ["voice", "peedy"] for a in [2.5, 1.6]]:
        if key not in runs:
            raise Failed(f"no figures for {key[0]} answering after {key[1]} s")
    return runs


def row_sink_words(r):
    runs = sink(r)
    voice, peedy = runs[("voice", 2.5)][2], runs[("peedy", 2.5)][2]
    return (f"{rate(voice)} / {rate(peedy)} (load {runs[('voice', 2.5)][3]:.1f} / {runs[('peedy', 2.5)][3]:.1f})",
            peedy <= 1.5 * max(voice, 1.0))


def row_sink_first_sound(r):
    runs = sink(r)
    cells = [f"{p} after {a} s: {runs[(p, a)][0]:.0f} / {runs[(p, a)][1]:.0f} ms" for p in ["voice", "peedy"]
             for a in [2.5, 1.6]]
    return "; ".join(cells), all(runs[k][0] < 100 and runs[k][1] < 150 for k in runs)


def rate(value):
    return f"{value:.0f} %" if value >= 100 else f"{value:.1f} %"


def row_intelligibility(r, grammar):
    rates = intelligibility(r)
    figure = "; ".join(f"{s} {rate(rates[(s, 'voice')][grammar])} / {rate(rates[(s, 'Peedy')][grammar])}"
                       for s in ["natural voice", "espeak-ng"])
    if grammar == 0:
        return figure, None
    natural = [rates[("natural voice", p)][1] for p in ["voice", "Peedy"]]
    espeak = [rates[("espeak-ng", p)][1] for p in ["voice", "Peedy"]]
    return figure, max(natural) <= 8 and all(e >= 4 * n for e, n in zip(espeak, natural))


def row_append(r):
    runs = r.google("record")
    small = run_named(runs, "BM_AppendRecord/10")["cpu_time"]
    large = run_named(runs, "BM_AppendRecord/100000")["cpu_time"]
    # "The same" within the noise of a shared machine.
    return f"{small:.1f} µs / {large:.1f} µs", large <= 1.5 * small


def row_viewer(r, lines):
    runs = r.google("recordsview")
    run = run_named(runs, f"BM_OpenRecordsViewer/{lines}/iterations:5")
    time, peak = run["real_time"], run["peak_rss_MB"]
    return f"{time:.0f} ms, peak {peak:.0f} MB (the file {run['file_MB']:.0f} MB)", time < 300 and peak < 100


def row_worksheet(r):
    text = r.output("worksheet")
    medians = [float(m) for m in re.findall(r"copies to PDF: median ([\d.]+) ms", text)]
    if len(medians) != 5:
        raise Failed(f"{len(medians)} of the 5 kinds printed")
    return f"{min(medians):.0f}-{max(medians):.0f} ms", max(medians) < 2000


def row_answerlog(r):
    text = r.output("answerlog")
    pattern = r"^{}\s+\d+ calls\s+p50\s+[\d.]+ us\s+p99\s+([\d.]+) us"
    handed, = find(pattern.format(re.escape("hand one answer to the writer (the drill window)")), text, "the hand-over")
    appended, = find(pattern.format(re.escape("append one answer (the writer's thread)")), text, "the append")
    return f"{handed:.1f} µs / {appended:.1f} µs", max(handed, appended) < 1000


def fluencygrid(r):
    text = r.output("fluencygrid")
    return text, find(r"first \(summaries made\) ([\d.]+) ms; with summaries: median ([\d.]+) ms.*after one more "
                      r"drill ([\d.]+) ms; resident before ([\d.]+) MB, peak ([\d.]+) MB", text, "the grid")


def row_fluencygrid(r):
    _, (first, median, grown, before, peak) = fluencygrid(r)
    return (f"{median:.0f} ms, after one more drill {grown:.0f} ms; peak {peak:.0f} MB (+{peak - before:.0f} MB)",
            median < 300 and grown < 300 and peak - before < 100)


def row_fluencygrid_first(r):
    _, (first, _, _, _, _) = fluencygrid(r)
    return f"{first:.0f} ms", first < 10000


def row_fluencyclass(r):
    text, _ = fluencygrid(r)
    making, kept, peak = find(r"grids and weeks: ([\d.]+) ms making the summaries, ([\d.]+) ms with them; "
                              r"peak ([\d.]+) MB", text, "the class")
    return f"{kept:.0f} ms with the summaries, {making:.0f} ms making them; peak {peak:.0f} MB", None


def practice(r):
    text = r.output("practice")
    number = r"\s+([\d.]+)\s+([\d.]+)"
    found = {
        "minutes": find(r"^minutes practised to week 12" + number, text, "the minutes"),
        "per_minute": find(r"^automatic facts gained per minute" + number, text, "the facts per minute"),
        "weeks": re.search(r"^weeks for the median child to know all\s+\S+\s+(\S+)", text, re.MULTILINE),
        "retention": find(r"^still fluent 30 days after week 12\s+([\d.]+)%\s+([\d.]+)%", text, "the retention"),
        "longest": find(r"^longest session \(minutes\)" + number, text, "the longest session"),
    }
    return found


def row_practice_per_minute(r):
    f = practice(r)
    (drills, daily), (m_drills, m_daily) = f["per_minute"], f["minutes"]
    ratio = daily / drills if drills > 0 else 0
    return (f"drills {drills:.3f}, Daily Practice {daily:.3f} ({ratio:.2f} times; {m_drills:.0f} and {m_daily:.0f} "
            f"minutes to week 12)", ratio >= 2)


def row_practice_weeks(r):
    match = practice(r)["weeks"]
    if not match:
        raise Failed("no figure for the weeks in its output")
    weeks = match.group(1)
    return (f"{weeks} weeks" if weeks != "never" else "never"), weeks != "never" and float(weeks) <= 12


def row_practice_retention(r):
    _, daily = practice(r)["retention"]
    return f"{daily:.1f} %", daily >= 90


def row_practice_longest(r):
    _, daily = practice(r)["longest"]
    return f"{daily:.1f} min", daily <= 10


ROWS = [
    ("Start screen first painted, from the program's exec (seen by the X server)", row_startup_time, "within 1.3 times"),
    ("The same, the program's time over the minimal window's within each interleaved round: median (interquartile "
     "range), a later run", lambda r: row_startup_rounds(r, False), "at most 1.25"),
    ("The same, the program's first run (a fresh working folder each round)", lambda r: row_startup_rounds(r, True),
     "at most 1.25"),
    ("Resident memory at that point", row_startup_memory, "within 15 MB"),
    ("Enter to the feedback painted / to the next fact painted", row_drill, "under 16 ms"),
    ("`PeedySays` to the first sound handed to the sink, espeak-ng: fact / greeting", lambda r: row_speech(r, "PeedySays"),
     "15 ms / 30 ms"),
    ("`VoiceSays` to the first sound handed to the sink, espeak-ng: fact / greeting", lambda r: row_speech(r, "VoiceSays"),
     "15 ms / 30 ms"),
    ("A quick student with espeak-ng (a new fact every 1.6 s, 20 facts, 3 missed): new fact on screen to the voice's reading "
     "of it at the sink", row_speechlag_readings, "never more than one sentence behind"),
    ("The same: wrong answer to the voice's correction at the sink", row_speechlag_corrections, "—"),
    ("Peedy animating", row_animation, "15 frames/s, under 5 %"),
    ("Appending a record to a 10-line / 100,000-line \"Madtr\"", row_append, "the same at any size"),
    ("Records viewer on 100,000 records", lambda r: row_viewer(r, 100000), "under 300 ms, under 100 MB"),
    ("Records viewer on 1,000,000 records", lambda r: row_viewer(r, 1000000), "under 300 ms, under 100 MB"),
    ("Generating and printing 50 worksheets to a PDF file", row_worksheet, "under 2 s"),
    ("One answer into a log of 100,000 lines, 99th percentile: handed over by the drill window / appended by "
     "the log's own thread", row_answerlog, "under 1 ms"),
    ("One student's fluency grid from 6,000,000 logged answers (30 students on 5 computers, 200,000 each), read "
     "and painted with the summaries beside the log", row_fluencygrid, "under 300 ms, under 100 MB added"),
    ("The same the first time (no summaries: they are made)", row_fluencygrid_first, "under 10 s"),
    ("The same folder: the 30 students' logs, each operation's grid and weeks of known facts (what the class "
     "needs), in the benchmark's process", row_fluencyclass, "—"),
    ("Simulated class (`bench_practice`: 1,000 children, 100 multiplication facts, 3 sessions a week): facts made "
     "automatic per minute practised to week 12", row_practice_per_minute, "Daily Practice at least 2 times the drills"),
    ("The same: weeks until the median child knows every fact with Daily Practice", row_practice_weeks, "within 12"),
    ("The same: facts known at week 12 still fluent 30 days later, Daily Practice", row_practice_retention,
     "at least 90 %"),
    ("The same: the longest Daily Practice session", row_practice_longest, "at most 10 min"),
    ("Resident memory once start-up has settled (the speech engine loaded, Peedy switched on and his greeting "
     "made)", row_startup_settled, "within 45 MB"),
    ("At the sound server's sink, the real program driven by key presses (a fact answered 2.5 s after it goes "
     "up): its reading's word error rate by pocketsphinx with no grammar, plain voice / Peedy",
     row_sink_words, "Peedy at most 1.5 times the plain voice"),
    ("The same, fact painted to its first sound at the sink, median / 95th percentile: answered after 2.5 s and "
     "after 1.6 s", row_sink_first_sound, "under 100 ms / under 150 ms"),
    ("In-process: the program's speech as synthesised, understood by an offline recogniser (pocketsphinx; the "
     "drill's corrections and the feedback, praise and comment texts): word error rate, plain voice / Peedy, facts "
     "held to their shape",
     lambda r: row_intelligibility(r, 1), "natural voice 8 % or less, 4 times fewer errors than espeak-ng"),
    ("The same with any sequence of the words allowed", lambda r: row_intelligibility(r, 0), "—"),
    ("In-process: `PeedySays` to the first sound handed to the sink, natural voice: fact / greeting",
     lambda r: row_speech_natural(r, "PeedySays"), "fact under 100 ms"),
    ("In-process: `VoiceSays` to the first sound handed to the sink, natural voice: fact / greeting",
     lambda r: row_speech_natural(r, "VoiceSays"), "fact under 100 ms"),
    ("A quick student, with the natural voice: new fact to the voice's reading", row_speechlag_natural,
     "never more than one sentence behind"),
    ("Peedy saying the greeting over and over with the natural voice (its synthesis included)",
     row_animation_natural, "15 frames/s"),
]


def table(results):
    lines = ["| What | Figure | Target | Met |", "|---|---|---|---|"]
    for what, make, target in ROWS:
        try:
            figure, met = make(results)
            met_text = "—" if met is None else ("yes" if met else "**no**")
        except Failed as failure:
            figure, met_text = f"**FAILED**: {str(failure).replace('|', '/')}", "—"
        lines.append(f"| {what} | {figure} | {target} | {met_text} |")
    # When and how busy the machine was: other work running alongside slows
    # every figure.
    when = results.folder / "date"
    load = results.folder / "loadavg"
    if when.exists() and load.exists():
        lines += ["", f"Written by `scripts/bench` on {when.read_text().strip()}, at a load average of "
                      f"{load.read_text().split()[0]} when it began."]
    return "\n".join(lines)


def main():
    results, readme = Results(sys.argv[1]), Path(sys.argv[2])
    text = readme.read_text()
    if BEGIN not in text or END not in text:
        sys.exit(f"{readme}: the marker lines are missing")
    before, rest = text.split(BEGIN, 1)
    _, after = rest.split(END, 1)
    made = table(results)
    readme.write_text(f"{before}{BEGIN}\n{made}\n{END}{after}")
    print(made)


if __name__ == "__main__":
    main()
