#!/usr/bin/python3
"""Prints one table from the JSON files of a benchmark run: every figure with
its floor and the ratio figure/floor, by wall-clock time.

A benchmark `X_floor/args` is the floor of the figure `X/args` of the same
program (the same arguments, or none on both). A figure without a floor shows
"-" for the floor and the ratio; a floor whose figure did not run is listed as
a row of its own. Run options the library adds to a name (min_time:,
iterations:) are left out. With repetitions, the median of each is used.

Usage: table.py RESULT.json...
"""

import json
import os
import sys

FLOOR = "_floor"
SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def family_and_args(name):
    family, slash, args = name.partition("/")
    return family, slash + args


def shown(name):
    """The name without the run options the library appends to it."""
    parts = name.split("/")
    return "/".join(p for p in parts if not p.startswith(("min_time:", "iterations:")))


def floor_name(name):
    family, args = family_and_args(name)
    return family + FLOOR + args


def is_floor(name):
    return family_and_args(name)[0].endswith(FLOOR)


def figure_name(floor):
    family, args = family_and_args(floor)
    return family[: -len(FLOOR)] + args


def results(path):
    """The program's name and its results in run order: name -> seconds, or
    the error message of a benchmark that failed."""
    with open(path, encoding="utf-8") as f:
        run = json.load(f)
    program = os.path.basename(run["context"]["executable"])
    measured = {}
    medians = {}
    for b in run["benchmarks"]:
        name = shown(b.get("run_name", b["name"]))
        if b.get("error_occurred"):
            measured[name] = "error: " + b.get("error_message", "")
            continue
        seconds = b["real_time"] * SECONDS[b["time_unit"]]
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                medians[name] = seconds
        else:
            measured.setdefault(name, seconds)
    measured.update(medians)
    return program, measured


def duration(value):
    if value is None:
        return "-"
    if isinstance(value, str):
        return value
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("us", 1e-6)):
        if value >= scale:
            break
    else:
        unit, scale = "ns", 1e-9
    shown = value / scale
    digits = 0 if shown >= 100 else (1 if shown >= 10 else 2)
    return f"{shown:.{digits}f} {unit}"


def rows(paths):
    table = []
    for path in paths:
        program, measured = results(path)
        for name, value in measured.items():
            if is_floor(name):
                if figure_name(name) in measured:
                    continue
                floor = None
            else:
                floor = measured.get(floor_name(name))
            ratio = "-"
            if isinstance(value, float) and isinstance(floor, float) and floor > 0:
                ratio = f"{value / floor:.2f}"
            table.append((program, name, duration(value), duration(floor), ratio))
    return table


def main(paths):
    if not paths:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    header = ("program", "benchmark", "time", "floor", "ratio")
    body = rows(paths)
    widths = [max(len(r[i]) for r in [header] + body) for i in range(len(header))]
    left = (True, True, False, False, False)

    def line(cells):
        return "  ".join(
            c.ljust(w) if l else c.rjust(w) for c, w, l in zip(cells, widths, left)
        ).rstrip()

    print(line(header))
    print(line(["-" * w for w in widths]))
    program = None
    for r in body:
        # The program is named on its first row only.
        print(line(("" if r[0] == program else r[0],) + r[1:]))
        program = r[0]
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
