#!/usr/bin/env python3
"""A class's answer log that looks like a real term, for looking at the grid
and the class view: STUDENTS students practise the multiplication families
two or three days a week for WEEKS weeks up to END, each learning at a pace of
their own, so the class shows every level. One student drills 0 to 9 only;
one has a computer whose clock runs a year ahead; one is drawn a fact again,
as a first try, in the drill that missed it.

Usage: bench/fluency_classlog.py DIR [--students 24] [--weeks 10] [--end 2026-12-04] [--seed 7]
"""

import argparse
import datetime
import os
import random

HEADER = ("id,drill,sequence,time,student,operation,left,right,expected,given,first_try,correct,ms,"
          "ms_after_reading,format,range,version,computer")
NAMES = ["Ann Lee", "Ben Cho", "Cy Diaz", "Dora Eke", "Eli Fox", "Fay Gill", "Gus Hale", "Hana Ito", "Ivo Jung",
         "Jade Kim", "Kai Lund", "Lia Moss", "Max Nagy", "Nia Ortiz", "Oli Park", "Pia Quinn", "Raj Rao", "Sam Shaw",
         "Tia Tran", "Uma Vos", "Vic Wolf", "Wes Xu", "Yara Young", "Zed Zorn", "Ada Ames", "Bo Birch", "Cam Cole",
         "Dev Dunn", "Eva Eddy", "Finn Ford"]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--students", type=int, default=24)
    parser.add_argument("--weeks", type=int, default=10)
    parser.add_argument("--end", default="2026-12-04")
    parser.add_argument("--seed", type=int, default=7)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    os.makedirs(args.folder, exist_ok=True)
    end = datetime.date.fromisoformat(args.end)
    first = end - datetime.timedelta(weeks=args.weeks)
    tz = datetime.timezone(datetime.timedelta(hours=1))
    for s, name in enumerate(NAMES[:args.students]):
        pace = 0.25 + 0.75 * (s * 7 % args.students) / args.students
        top = 9 if s == 2 else 12
        mastery = {}
        lines = {}
        day = first
        drill = 0
        while day <= end:
            if day.weekday() < 5 and rng.random() < 0.55:
                drill += 1
                computer = "ROOM4-PC%d" % (1 + (s + drill) % 3)
                ahead = s == 1 and computer == "ROOM4-PC3"
                when = datetime.datetime.combine(day, datetime.time(9 + drill % 5, 0), tz)
                if ahead:
                    when = when.replace(year=when.year + 1)
                family = rng.choice([f for f in range(2, top + 1) if f <= 2 + drill * pace * 1.2 or f in (2, 5, 10)])
                drill_id = "%s-%d" % (name.replace(" ", ""), drill)
                sequence = 0
                missed = []
                values = [rng.randint(0, top) for _ in range(20)]
                if s == 3 and drill == 5:
                    values[12] = values[3]  # drawn again later in the drill
                for value in values:
                    m = mastery.get((family, value), 0.0)
                    right = rng.random() < 0.6 + 0.4 * m
                    if (family, value) in missed:
                        right = True
                    ms = int(900 + (1 - m) * 3500 * rng.random() + 300 * rng.random())
                    for first_try, correct in ([(True, right)] if right else [(True, False), (False, True)]):
                        sequence += 1
                        when += datetime.timedelta(seconds=4 + ms // 1000)
                        answer = value * family
                        given = answer if correct else answer + rng.choice([-family, family, 1])
                        line = ",".join(str(x) for x in [
                            "%s-%d" % (drill_id, sequence), drill_id, sequence,
                            when.isoformat(timespec="milliseconds"), name, "Multiplication", value, family, answer,
                            given, int(first_try), int(correct), ms if first_try else 2500, "", "H",
                            "0->9" if top == 9 else "0->12", "7.1", computer])
                        lines.setdefault(computer, []).append(line)
                    if not right:
                        missed.append((family, value))
                    mastery[(family, value)] = min(1.0, m + pace * (0.5 if right else 0.2))
            day += datetime.timedelta(days=1)
        for computer, rows in lines.items():
            path = os.path.join(args.folder, "%s@%s.csv" % (name, computer))
            with open(path, "w", newline="") as f:
                f.write("\r\n".join([HEADER] + rows) + "\r\n")


if __name__ == "__main__":
    main()
