#!/usr/bin/env python3
"""Plays KELVO from the menu with real keys and mouse under a private X
server and writes a report as it goes.

    python3 tests/bot/play.py                      # the whole playthrough
    python3 tests/bot/play.py --until "old man"    # up to one stage
    python3 tests/bot/play.py --list               # the stages
    python3 tests/bot/play.py --survey             # the ways open without the old man, to each lock

Exit code 0 when the last stage asked for was reached."""

import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))

from kelvo_harness import HarnessError  # noqa: E402
from kelvo_harness.process import EXECUTABLE  # noqa: E402
from kelvo_bot.bot import Bot  # noqa: E402
from kelvo_bot.report import Report  # noqa: E402
from kelvo_bot.route import STAGES, SURVEY, stages_until  # noqa: E402


def main():
    build = os.path.dirname(os.path.abspath(EXECUTABLE))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--until", default=STAGES[-1].name, help="the last stage to play (default: the outro)")
    parser.add_argument("--report", default=os.path.join(build, "bot_report"), help="the report's folder")
    parser.add_argument("--attempts", type=int, default=3, help="games before the bot gives up (default 3)")
    parser.add_argument("--map", default=os.path.join(build, "tests", "island", "island_map.png"),
                        help="the island's map from above (the island test's island_map.png)")
    parser.add_argument("--list", action="store_true", help="print the stages and end")
    parser.add_argument("--survey", action="store_true",
                        help="walk the ways open without the old man's talks: the hut, the cave's lock, the well's lock")
    args = parser.parse_args()
    if args.list:
        for stage in STAGES:
            print("%-12s %-6s %s%s" % (stage.name, stage.action, stage.goal.describe,
                                       "  (needs the old man's script)" if stage.needs_quest else ""))
        return 0
    try:
        stages = SURVEY if args.survey else stages_until(args.until)
    except ValueError as error:
        parser.error(str(error))
    report = Report(args.report)
    bot = Bot(report, attempts=args.attempts)
    try:
        finished = bot.play(stages, map_source=args.map)
    except HarnessError as error:
        print("bot stopped: %s" % error, file=sys.stderr)
        finished = False
    finally:
        bot.game.cleanup()
    print("report: %s" % os.path.join(report.folder, "report.md"))
    return 0 if finished else 1


if __name__ == "__main__":
    sys.exit(main())
