#!/usr/bin/env python3
"""Soak: N cycles of menu -> game (intro skipped, a short walk) -> menu ->
credits -> menu -> level editor -> menu in one game process, with real X
input under a private Xvfb. In the editor the island's scene is loaded from
the scene window, a rock is dragged, and the editor is left discarding the
change (the scene file stays as it was); the small world gets a rock of its
own in front of the editor's start camera for the same steps.
After every return to the menu the game logs its object census
("ObjectCounts: ...") and resident memory ("ResidentMemory: N kB"); this
prints both per cycle and, at the end, the memory growth after the warm-up
cycles and every count that changed between cycles.

    python3 tests/e2e/soak.py 50            # on the island
    python3 tests/e2e/soak.py 5 --small-world

Exit code 0 when every count came back after each cycle (after the first
cycle, which fills the caches) and the growth stays within --max-growth-mb.
"""

import argparse
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from kelvo_harness import KelvoGame, Player, SMALL_WORLD, pause, screen  # noqa: E402
from kelvo_harness.navigation import STEP_TIMEOUT  # noqa: E402

COUNTS_PREFIX = "ObjectCounts: "
MEMORY_PREFIX = "ResidentMemory: "
WALK_SECONDS = 1.0
# Cycles that may still fill caches (first loads of meshes, sounds, pictures).
WARM_UP_CYCLES = 2

class EditorVisit:
    """What the editor visit loads and drags: a scene of the scene window's
    list, an entity in it and where the editor's start camera shows it."""

    def __init__(self, scene, entity, on_screen):
        self.scene = scene
        self.entity = entity
        self.on_screen = on_screen

    @property
    def dragged_to(self):
        return (self.on_screen[0] + 60, self.on_screen[1] + 10)


# A rock the editor's start camera sees on the island.
ISLAND_VISIT = EditorVisit("world.qormscene", "hollow_rock_14", (620, 640))
# The small world has nothing in that view: a rock is added where the camera
# at (0, 200, 0), looking along -Z with 45 degrees of view, shows it below the
# middle (12 units down at 50 ahead is 0.58 of the half height).
SMALL_WORLD_ROCK = ("soak_rock", "rock_large.mesh", (0, 188, -50))
SMALL_WORLD_VISIT = EditorVisit("world.qormscene", "soak_rock", (512, 384 + int(0.58 * 384)))


def add_small_world_rock(game):
    name, mesh, position = SMALL_WORLD_ROCK
    game.world.add_entity(name, mesh, "", position, scale=(3, 3, 3))


def parse_counts(line):
    """{"entities": 0, ...} from an "ObjectCounts: name=value ..." line."""
    counts = {}
    for field in line[len(COUNTS_PREFIX):].split():
        name, value = field.split("=")
        counts[name] = int(value)
    return counts


class Soak:
    def __init__(self, game, editor_visit):
        self.game = game
        self.editor_visit = editor_visit
        self.player = Player(game)
        self.counts = []
        self.memory_kb = []
        self.heap_kb = []
        self.last_heap_kb = None

    def census_after(self, menu_entered):
        """The census and memory the menu logged after entering at that index."""
        game = self.game
        counts_line = game.wait_for_log(COUNTS_PREFIX, after=menu_entered)
        counts = parse_counts(game.log_lines()[counts_line])
        memory_line = game.wait_for_log(MEMORY_PREFIX, after=counts_line)
        # "ResidentMemory: N kB, heap in use M kB"
        fields = game.log_lines()[memory_line].split()
        self.last_heap_kb = int(fields[6])
        return counts, int(fields[1])

    def start(self, wrapper=None):
        entered = self.player.open_menu(wrapper=wrapper)
        counts, memory_kb = self.census_after(entered)
        return counts, memory_kb

    def cycle(self, visits=("game", "credits", "editor")):
        player = self.player
        entered = None
        if "game" in visits:
            player.into_game(skip_intro=True)
            player.hold(["w"], WALK_SECONDS)
            entered = player.back_to_menu()
        if "credits" in visits:
            player.into_credits()
            entered = player.back_to_menu()
        if "editor" in visits:
            entered = self.drag_a_rock(player.into_editor())
        counts, memory_kb = self.census_after(entered)
        self.counts.append(counts)
        self.memory_kb.append(memory_kb)
        self.heap_kb.append(self.last_heap_kb)
        return counts, memory_kb

    def drag_a_rock(self, editor_entered):
        """Loads the visit's scene in the editor, drags its rock and leaves
        without saving; returns the menu's entry."""
        game, player, visit = self.game, self.player, self.editor_visit
        player.load_scene_in_editor(editor_entered, visit.scene, timeout=3 * STEP_TIMEOUT)
        game.click(*screen.EDITOR_CONTROLS["message ok"])
        pause(1.0)
        before = game.log_end()
        game.click(*visit.on_screen)
        game.wait_for_log("LevelEditWnd: chose '%s'" % visit.entity, timeout=STEP_TIMEOUT, after=before + 1)
        before = game.log_end()
        game.drag(visit.on_screen, visit.dragged_to)
        game.wait_for_log("RayPickingScript: drag ended on '%s'" % visit.entity, timeout=STEP_TIMEOUT,
                          after=before + 1)
        return player.leave_editor_discarding()

    def changed_counts(self):
        """[(cycle, name, before, after)] for every count that differs from the
        cycle before, from the second cycle on."""
        changes = []
        for index in range(1, len(self.counts)):
            before, after = self.counts[index - 1], self.counts[index]
            for name in sorted(set(before) | set(after)):
                if before.get(name) != after.get(name):
                    changes.append((index + 1, name, before.get(name), after.get(name)))
        return changes

    def growth_mb(self, warm_up=WARM_UP_CYCLES):
        """Resident memory growth from the end of the warm-up cycles to the end."""
        return _growth_mb(self.memory_kb, warm_up)

    def heap_growth_mb(self, warm_up=WARM_UP_CYCLES):
        return _growth_mb(self.heap_kb, warm_up)


# Cycles whose median stands for one end of the run. A single census can
# catch a few megabytes that are in use only at that moment (a sound being
# streamed, a garbage collection not yet run) and gone by the next cycle;
# the median of a few cycles at each end shows what stays.
ENDS_CYCLES = 5


def _growth_mb(kilobytes, warm_up):
    """Growth from the cycles right after the warm-up to the last cycles:
    the medians of up to ENDS_CYCLES cycles at each end."""
    settled = kilobytes[warm_up - 1:]
    if len(settled) < 2:
        return 0.0
    width = max(1, min(ENDS_CYCLES, len(settled) // 2))
    return (statistics.median(settled[-width:]) - statistics.median(settled[:width])) / 1024.0


def format_counts(counts):
    return " ".join("%s=%d" % item for item in sorted(counts.items()))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("cycles", type=int, help="number of cycles")
    parser.add_argument("--small-world", action="store_true", help="play the small test world, not the island")
    parser.add_argument("--max-growth-mb", type=float, default=5.0,
                        help="allowed growth after %d warm-up cycles (default 5)" % WARM_UP_CYCLES)
    parser.add_argument("--only", choices=("game", "credits", "editor"),
                        help="visit only the game, the credits or the editor in each cycle (to tell growths apart)")
    parser.add_argument("--keep", action="store_true", help="keep the working directory")
    parser.add_argument("--wrapper", help="a command to start the game through, such as "
                        "\"heaptrack -o /tmp/kelvo-heap\" to see what a growth is made of")
    arguments = parser.parse_args()

    game = KelvoGame("soak", world=SMALL_WORLD if arguments.small_world else None)
    if arguments.small_world:
        add_small_world_rock(game)
    soak = Soak(game, SMALL_WORLD_VISIT if arguments.small_world else ISLAND_VISIT)
    try:
        counts, memory_kb = soak.start(arguments.wrapper.split() if arguments.wrapper else None)
        print("menu    rss %7.1f MB  %s" % (memory_kb / 1024.0, format_counts(counts)), flush=True)
        started = time.time()
        for number in range(1, arguments.cycles + 1):
            counts, memory_kb = soak.cycle((arguments.only,) if arguments.only else ("game", "credits", "editor"))
            print("cycle %3d rss %7.1f MB heap %7.1f MB  %.0f s  %s"
                  % (number, memory_kb / 1024.0, soak.heap_kb[-1] / 1024.0, time.time() - started,
                     format_counts(counts)), flush=True)
        print("exit code %d" % soak.player.quit())
    finally:
        if arguments.keep:
            print("working directory: %s" % game.root)
        else:
            game.cleanup()

    changes = soak.changed_counts()
    for cycle, name, before, after in changes:
        print("count changed in cycle %d: %s %s -> %s" % (cycle, name, before, after))
    growth = soak.growth_mb()
    print("growth after %d warm-up cycles: %.1f MB over %d cycles (heap in use: %.1f MB; medians of up to %d "
          "cycles at each end; last cycle against cycle %d: %.1f MB)"
          % (WARM_UP_CYCLES, growth, max(0, len(soak.memory_kb) - WARM_UP_CYCLES), soak.heap_growth_mb(),
             ENDS_CYCLES, WARM_UP_CYCLES, (soak.memory_kb[-1] - soak.memory_kb[WARM_UP_CYCLES - 1]) / 1024.0
             if len(soak.memory_kb) >= WARM_UP_CYCLES else 0.0))
    return 0 if not changes and growth <= arguments.max_growth_mb else 1


if __name__ == "__main__":
    sys.exit(main())
