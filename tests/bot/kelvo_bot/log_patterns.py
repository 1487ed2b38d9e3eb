"""Every log line the bot reads, in one table, and the game as the log tells
it (GameLog).

The quest's lines come from the old man's script; their exact words may
change: only QUEST_PATTERNS below need adjusting when they do."""

import re

_NUMBER = r"(-?[\d.]+(?:e[-+]?\d+)?)"
_VECTOR = r"\(%s, %s, %s\)" % (_NUMBER, _NUMBER, _NUMBER)

# (event, pattern): the first pattern that matches a line names its event;
# the groups are the event's values.
PLAY_PATTERNS = [
    ("hero_at", r"PlayerScript: hero at %s(?: heading %s)?" % (_VECTOR, _NUMBER)),
    # The game puts him somewhere (the old man's talks, behind a fade).
    ("hero_placed", r"PlayerScript: placed at %s" % _VECTOR),
    ("refused", r"PlayerScript: refusal (\S+)"),
    ("aim_mode", r"PlayerScript: aim mode (entered|left)"),
    ("trigger_entered", r"GeometricTrigger: entered '([^']+)'"),
    ("trigger_left", r"GeometricTrigger: left '([^']+)'"),
    ("enemy_home", r"StandartEnemyScript: (\S+) waits at %s" % _VECTOR),
    ("hero_struck", r"StandartEnemyScript: (\S+) strikes the hero, hero health %s" % _NUMBER),
    ("enemy_hurt", r"StandartEnemyScript: (\S+) hurt, health %s" % _NUMBER),
    ("enemy_mode", r"StandartEnemyScript: (\S+) (woke|chasing|attacking|going home|at home|died|removed)$"),
    ("ball_launched", r"EnergieBallScript: ball (\d+) launched"),
    ("ball_hit", r"EnergieBallScript: ball (\d+) hit (.*) at %s" % _VECTOR),
    ("play_entered", r"___PLAYSTATE::ENTER___"),
    ("play_left", r"___PLAYSTATE::EXIT___"),
    ("intro_finished", r"PlayState: intro finished"),
    ("game_over", r"PlayState: game over"),
    ("outro_started", r"PlayState: outro started"),
    ("outro_picture", r"PlayState: outro picture (\S+)"),
    ("menu_entered", r"___MENUSTATE::ENTER___"),
    ("cut_scene", r"CameraScript: (CutScene\d) (started|stopped)"),
    ("gui_mode", r"GUIScript: GUI mode (on|off)"),
]
QUEST_PATTERNS = [
    ("quest_step", r"OldmanScript: stage (\d+) step (\d+)$"),
    ("quest_stage", r"OldmanScript: stage (\d+)$"),
    ("talking", r"OldmanScript: talking, stage (\d+) step (\d+)$"),
    ("talk_paused", r"OldmanScript: paused: (.*), at stage (\d+) step (\d+)$"),
    ("talk_over", r"OldmanScript: conversation over, stage (\d+)$"),
    ("quest_line", r"OldmanScript: line '(\w+)'"),
    ("question_shown", r"OldmanScript: question (\d) shown"),
    ("question_answered", r"OldmanScript: question (\d) answered (\d), code (\d+)"),
    ("trigger_removed", r"OldmanScript: removed '([^']+)'"),
    ("at_the_well", r"OldmanScript: at the well$"),
    ("oldman_gone", r"OldmanScript: gone$"),
    # "Subtitle: on" and "off" are the player's switch (U), not a line.
    ("subtitle", r"Subtitle: (?!on$|off$)(\w+)$"),
]
PATTERNS = [(event, re.compile(pattern)) for event, pattern in PLAY_PATTERNS + QUEST_PATTERNS]


def parse(line):
    """(event, groups) of the first pattern the line matches, or None."""
    for event, pattern in PATTERNS:
        match = pattern.search(line)
        if match:
            return event, match.groups()
    return None


class HeroSample:
    """Where the hero was at one log line, and which way he faced (degrees,
    growing to the left, 0 = east; None from a game that does not log it)."""

    def __init__(self, x, y, z, heading, index):
        self.x, self.y, self.z = x, y, z
        self.heading = heading
        self.index = index

    @property
    def ground(self):
        return (self.x, self.z)


class GameLog:
    """The game as its log tells it, read line by line: the hero's last
    position, his health, the enemies awake and killed, the triggers he is
    in, the quest's last step and open question, and how the play ended.
    feed() takes lines in order; one GameLog follows one visit of the play
    state (new_game() starts over)."""

    FULL_HEALTH = 100.0
    AWAKE = ("woke", "chasing", "attacking")

    def __init__(self):
        self.homes = {}
        self.new_game()

    def new_game(self):
        self.hero = None
        self.path = []
        self.health = self.FULL_HEALTH
        self.enemy_modes = {}
        self.killed = []
        self.inside = set()
        self.entered = []
        self.left = []
        self.cut_scenes_done = []
        self.quest_step = None
        self.open_question = None
        self.answered = []
        self.removed_triggers = []
        self.subtitles = []
        self.talking = False
        self.at_the_well = False
        self.oldman_gone = False
        self.game_over = False
        self.game_over_at = None
        self.outro = False
        self.back_in_menu = False
        self.aiming = False
        self.gui_mode = False
        self.cut_scene = None
        self.refusals = 0

    def mark(self):
        """Where the lists of events stand now (see route.Goal)."""
        return {name: len(getattr(self, name))
                for name in ("entered", "left", "removed_triggers", "cut_scenes_done", "killed")}

    def feed(self, line, index=None):
        parsed = parse(line)
        if not parsed:
            return None
        event, values = parsed
        handler = getattr(self, "_on_" + event, None)
        if handler:
            handler(values, index)
        return event

    # --- one handler an event --------------------------------------------------

    def _on_hero_at(self, values, index):
        x, y, z = (float(v) for v in values[:3])
        heading = float(values[3]) if values[3] is not None else None
        self.hero = HeroSample(x, y, z, heading, index)
        self.path.append((x, z))

    def _on_refused(self, values, index):
        self.refusals += 1

    def _on_aim_mode(self, values, index):
        self.aiming = values[0] == "entered"

    def _on_trigger_entered(self, values, index):
        self.inside.add(values[0])
        self.entered.append(values[0])

    def _on_trigger_left(self, values, index):
        self.inside.discard(values[0])
        self.left.append(values[0])

    def _on_enemy_home(self, values, index):
        self.homes[values[0]] = tuple(float(v) for v in values[1:4])

    def _on_hero_struck(self, values, index):
        self.health = float(values[1])

    def _on_enemy_mode(self, values, index):
        name, mode = values
        self.enemy_modes[name] = mode
        if mode == "died" and name not in self.killed:
            self.killed.append(name)

    def _on_game_over(self, values, index):
        self.game_over = True
        self.game_over_at = index

    def _on_outro_started(self, values, index):
        self.outro = True

    def _on_menu_entered(self, values, index):
        self.back_in_menu = True

    def _on_cut_scene(self, values, index):
        if values[1] == "started":
            self.cut_scene = values[0]
        else:
            self.cut_scene = None
            self.cut_scenes_done.append(values[0])

    def _on_gui_mode(self, values, index):
        self.gui_mode = values[0] == "on"

    def _on_quest_step(self, values, index):
        self.quest_step = (values[0], int(values[1]))

    def _on_quest_stage(self, values, index):
        self.quest_step = (values[0], 0)

    def _on_talking(self, values, index):
        self.talking = True
        self.quest_step = (values[0], int(values[1]))

    def _on_talk_paused(self, values, index):
        self.talking = False
        self.open_question = None

    def _on_talk_over(self, values, index):
        self.talking = False
        self.open_question = None

    def _on_at_the_well(self, values, index):
        self.at_the_well = True

    def _on_oldman_gone(self, values, index):
        self.oldman_gone = True

    def _on_question_shown(self, values, index):
        self.open_question = int(values[0])

    def _on_question_answered(self, values, index):
        self.answered.append((int(values[0]), int(values[1])))
        self.open_question = None

    def _on_trigger_removed(self, values, index):
        self.removed_triggers.append(values[0])

    def _on_subtitle(self, values, index):
        self.subtitles.append(values[0])

    # --- questions about the game -------------------------------------------------

    def awake_enemies(self):
        return sorted(name for name, mode in self.enemy_modes.items() if mode in self.AWAKE)

    def is_attacked(self):
        return any(mode == "attacking" for mode in self.enemy_modes.values())
