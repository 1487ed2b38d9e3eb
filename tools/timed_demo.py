#!/usr/bin/env python3
"""The timed demo from the command line (see the README's "Timed demo").

  timed_demo.py run [--reference] [demo switches...]
      one run of "kelvo --demo" under a private X server (1024 x 768) in a
      temporary copy of run/; prints the figures and keeps the result file
      and the pictures of the places in build/timed_demo/
  timed_demo.py compare BEFORE AFTER
      the ratio AFTER / BEFORE of every figure of two result files
  timed_demo.py alternate [--rounds N] [demo switches...]
      terrain and sky alone, then the whole island, N times in turn (the
      machine's load changes less between neighbours than between two long
      runs); every figure, the ratios of each pair and the goals

Exit code 1 when a run fails (or, for alternate, a goal is missed).
"""

import argparse
import os
import shutil
import statistics
import sys

SOURCE_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(SOURCE_DIR, "tests", "e2e"))

OUT_DIR = os.path.join(SOURCE_DIR, "build", "timed_demo")
NUMBERS = ("frames", "min_ms", "median_ms", "p95_ms", "max_ms", "median_fps", "slowest_fps", "median_triangles")
# Whole island against terrain and sky alone, and the frame rates.
GOAL_MEDIAN_RATIO = 1.5
GOAL_P95_RATIO = 2.0
GOAL_MEDIAN_FPS = 20.0
GOAL_SLOWEST_FPS = 10.0


def read_figures(path):
    """The result file as a dict: numbers as floats, other lines as text."""
    figures = {}
    with open(path) as source:
        for line in source:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            key, _, value = line.partition(" ")
            if key in NUMBERS:
                figures[key] = float(value)
            else:
                figures[key] = value
    return figures


def ratios(before, after):
    return {key: (after[key] / before[key] if before.get(key) else float("nan"))
            for key in NUMBERS if key in before and key in after}


def run_demo(switches, name, timeout):
    """Runs the demo once; returns the path of its result file."""
    from kelvo_harness.process import KelvoGame
    os.makedirs(OUT_DIR, exist_ok=True)
    result = os.path.join(OUT_DIR, name + ".txt")
    shots = os.path.join(OUT_DIR, name)
    shutil.rmtree(shots, ignore_errors=True)
    os.makedirs(shots)
    if os.path.exists(result):
        os.remove(result)
    game = KelvoGame("timed-demo")
    try:
        game.start(arguments=["--demo", "--result", result, "--shots", shots] + list(switches),
                   extra_env={"ALSOFT_DRIVERS": "null"})
        code = game.wait_exit(timeout=timeout)
        if code != 0 or not os.path.exists(result):
            raise SystemExit("the demo failed (exit code %s); log tail:\n%s\n%s"
                             % (code, game.log_tail(), game.stderr()))
        shutil.copy(game.path("kelvo.log"), os.path.join(OUT_DIR, name + ".log"))
    finally:
        game.cleanup()
    return result


def print_figures(title, figures):
    print("%s (load %s):" % (title, figures.get("load_average", "?")))
    for key in NUMBERS:
        if key in figures:
            print("  %-17s %10.2f" % (key, figures[key]))
    for rank in range(1, 6):
        key = "slowest_%d" % rank
        if key in figures:
            print("  %-17s %s" % (key, figures[key]))


def print_ratios(title, values):
    print(title)
    for key, value in values.items():
        print("  %-17s %8.3f" % (key, value))


def command_run(options, switches):
    name = options.name or ("reference" if "--reference" in switches else "island")
    figures = read_figures(run_demo(switches, name, options.timeout))
    print_figures(name, figures)
    return 0


def command_compare(options, _):
    before, after = read_figures(options.before), read_figures(options.after)
    print("before: %s (load %s)" % (before.get("parts"), before.get("load_average")))
    print("after:  %s (load %s)" % (after.get("parts"), after.get("load_average")))
    print_ratios("ratio after / before:", ratios(before, after))
    return 0


def command_alternate(options, switches):
    pairs = []
    for round_number in range(1, options.rounds + 1):
        reference = read_figures(run_demo(["--reference"] + switches, "reference_%d" % round_number,
                                          options.timeout))
        island = read_figures(run_demo(switches, "island_%d" % round_number, options.timeout))
        print_figures("round %d, terrain and sky only" % round_number, reference)
        print_figures("round %d, the whole island" % round_number, island)
        print_ratios("round %d, island / reference:" % round_number, ratios(reference, island))
        pairs.append((reference, island))
    median_ratio = statistics.median(island["median_ms"] / reference["median_ms"] for reference, island in pairs)
    p95_ratio = statistics.median(island["p95_ms"] / reference["p95_ms"] for reference, island in pairs)
    median_fps = statistics.median(island["median_fps"] for _, island in pairs)
    slowest_fps = min(island["slowest_fps"] for _, island in pairs)
    goals = [
        ("median frame, island / reference", median_ratio, "<=", GOAL_MEDIAN_RATIO),
        ("95th percentile, island / reference", p95_ratio, "<=", GOAL_P95_RATIO),
        ("median frames a second, island", median_fps, ">=", GOAL_MEDIAN_FPS),
        ("slowest frame's rate, island", slowest_fps, ">=", GOAL_SLOWEST_FPS),
    ]
    missed = 0
    print("goals over %d rounds (medians of the rounds; the slowest frame of all):" % len(pairs))
    for what, value, relation, goal in goals:
        met = value <= goal if relation == "<=" else value >= goal
        missed += not met
        print("  %-38s %7.2f  goal %s %.1f  %s" % (what, value, relation, goal, "met" if met else "MISSED"))
    return 1 if missed else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    run = commands.add_parser("run", help="one run of the demo")
    run.add_argument("--timeout", type=float, default=900)
    run.add_argument("--name", help="of the result file and picture folder (default: island or reference)")
    compare = commands.add_parser("compare", help="ratios of two result files")
    compare.add_argument("before")
    compare.add_argument("after")
    alternate = commands.add_parser("alternate", help="reference and island in turn")
    alternate.add_argument("--rounds", type=int, default=3)
    alternate.add_argument("--timeout", type=float, default=900)
    for command in (run, alternate):
        command.add_argument("--executable", help="the game to run (default build/kelvo); to measure a build "
                             "kept from before a change")
    options, switches = parser.parse_known_args()
    if getattr(options, "executable", None):
        os.environ["KELVO_EXECUTABLE"] = os.path.abspath(options.executable)
    if options.command == "compare" and switches:
        parser.error("compare takes two result files only")
    handler = {"run": command_run, "compare": command_compare, "alternate": command_alternate}[options.command]
    return handler(options, switches)


if __name__ == "__main__":
    sys.exit(main())
