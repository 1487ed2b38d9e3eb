"""The way through the island, as data: the legs the hero walks, each a
list of (x, z) waypoints on the ground, and the stages of the quest in
order, each with its leg, what the bot does there and the log event that
says it is done.

The legs follow the level's walkways (tools/level/island.py: the paths
from the beach, the pass into the spiders' hollow and the hollow's floor
under the first cut-scene's flight), checked with the game's own terrain
and collision by the bot's runs."""

BEACH_TO_HUT = [(-474, -46), (-450, -38), (-420, -42), (-395, -48), (-350, -42), (-315, -38), (-291, -32)]
HUT_TO_CAVE = [(-255, -70), (-215, -120), (-170, -170), (-130, -205), (-105, -235), (-92, -262), (-85, -279)]
# Through the pass and across the hollow to the spiders' nest, then the
# queen's lair at its far end.
PASS_TO_NEST = [(-80, -290), (-62, -320), (-34, -349), (20, -395), (75, -415)]
NEST_TO_QUEEN = [(120, -420), (250, -420), (400, -440), (455, -455)]
QUEEN_TO_HUT = list(reversed(HUT_TO_CAVE + PASS_TO_NEST + NEST_TO_QUEEN[:-1])) + [(-291, -32)]
# The final talk leaves the hero by the well; the ravine behind it leads
# down into the valley of the dead and on to the ship's shore.
WELL_TO_VALLEY = [(345, 222), (338, 250), (340, 272), (345, 285), (325, 330)]
VALLEY_TO_SHIP = [(270, 370), (200, 400), (120, 420), (30, 440), (-70, 455), (-170, 465), (-260, 475),
                  (-340, 488), (-400, 500), (-428, 504)]


class Goal:
    """What ends a stage, asked of the GameLog (log_patterns.py) with the
    log's mark from the stage's start: a trigger entered in an earlier stage
    does not end this one."""

    def __init__(self, describe, reached):
        self.describe = describe
        self._reached = reached

    def reached(self, log, mark=None):
        return self._reached(log, mark or {})


def _since(log, mark, name):
    return getattr(log, name)[mark.get(name, 0):]


def entered(trigger):
    return Goal("entered '%s'" % trigger, lambda log, mark: trigger in _since(log, mark, "entered"))


def left(trigger):
    return Goal("left '%s'" % trigger, lambda log, mark: trigger in _since(log, mark, "left"))


def removed(trigger):
    return Goal("'%s' removed" % trigger, lambda log, mark: trigger in _since(log, mark, "removed_triggers"))


def cut_scene_over(name):
    return Goal("%s over" % name, lambda log, mark: name in _since(log, mark, "cut_scenes_done"))


def killed(prefix, count):
    """Kills count over the whole game: enemies killed on the way count."""
    return Goal("%d %s killed" % (count, prefix),
                lambda log, mark: sum(1 for name in log.killed if name.startswith(prefix)) >= count)


# The last talk ends behind a fade at the well: the old man is gone, and
# the hero is the player's again once the picture is back.
OLDMAN_GONE = Goal("the old man gone", lambda log, mark: log.oldman_gone)
OUTRO_STARTED = Goal("outro started", lambda log, mark: log.outro)
BACK_IN_MENU = Goal("back in the menu", lambda log, mark: log.outro and log.back_in_menu)


class Stage:
    """One stage of the playthrough.
    leg: waypoints to walk (may be empty); action: "walk" (fighting whoever
    wakes on the way), "talk" (stand in the old man's trigger, answer his
    questions), "fight" (stand and kill the enemies that come), "watch"
    (keys off, wait); goal: what ends it; needs_quest: the old man's script
    must be in the game."""

    def __init__(self, name, goal, leg=(), action="walk", needs_quest=False, timeout=600):
        self.name = name
        self.goal = goal
        self.leg = list(leg)
        self.action = action
        self.needs_quest = needs_quest
        self.timeout = timeout


SPIDERS = 8
ZOMBIES = 6

STAGES = [
    Stage("old man", entered("oldman_trigger"), BEACH_TO_HUT),
    # The first talk, its questions answered by clicks: its end opens the cave.
    Stage("cave open", removed("spider_eingang_lock"), action="talk", needs_quest=True),
    Stage("cave", cut_scene_over("CutScene1"), HUT_TO_CAVE, needs_quest=True),
    Stage("spiders", killed("spider_0", SPIDERS), PASS_TO_NEST, action="fight", needs_quest=True),
    Stage("queen", killed("spider_queen", 1), NEST_TO_QUEEN, action="fight", needs_quest=True),
    Stage("final talk", OLDMAN_GONE, QUEEN_TO_HUT, action="talk", needs_quest=True, timeout=900),
    Stage("well", entered("brunnen_eingang"), WELL_TO_VALLEY[:3], needs_quest=True),
    Stage("valley", killed("zombie_0", ZOMBIES), WELL_TO_VALLEY[3:] + VALLEY_TO_SHIP[:3], action="fight",
          needs_quest=True),
    Stage("ship", OUTRO_STARTED, VALLEY_TO_SHIP[3:], needs_quest=True),
    Stage("outro", BACK_IN_MENU, action="watch", needs_quest=True, timeout=400),
]

# Without the old man's script the locks stay: the survey walks what is
# open, up to each lock, to check the legs with the game's own ground.
HUT_TO_WELL = [(-240, 5), (-170, 35), (-90, 60), (-10, 75), (80, 85), (170, 110), (250, 145), (300, 160),
               (335, 175), (349, 196)]
LOCK_TO_HUT = [(-130, -205), (-170, -170), (-215, -120), (-255, -70), (-291, -32)]
SURVEY = [
    Stage("old man", entered("oldman_trigger"), BEACH_TO_HUT),
    Stage("cave lock", entered("spider_eingang_lock"), HUT_TO_CAVE),
    Stage("back at the hut", entered("oldman_trigger"), LOCK_TO_HUT),
    Stage("well lock", entered("brunnen_eingang_lock"), HUT_TO_WELL + WELL_TO_VALLEY[:2]),
]

# The stage the suite plays from the menu: to the old man and through his
# first talk, which opens the cave.
SUITE_LAST_STAGE = "cave open"


def stages_until(last):
    names = [stage.name for stage in STAGES]
    if last not in names:
        raise ValueError("no stage '%s' (stages: %s)" % (last, ", ".join(names)))
    return STAGES[:names.index(last) + 1]
