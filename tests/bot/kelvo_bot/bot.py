"""The bot: plays the island from the menu with real keys and mouse only,
through the e2e harness (a private X server, xdotool), reading the game's
log to know where the hero is and what happens, and writing its report
as it goes.

No test keys, no teleports, no changed world: what a player could do."""

import time

from kelvo_harness import HarnessError, KelvoGame, Player, pause, screen

from .log_patterns import GameLog
from .route import STAGES
from .steering import Detours, Steering, StuckWatch, Waypoints, heading_to, turn_needed

# A position line comes at least once a game second; game time runs at a
# fraction of the clock's on a loaded machine.
POSITION_TIMEOUT = 30
# The answers the bot gives, by question: the first choice, except the
# question asked on later visits, where the last one ends the talk.
ANSWERS = {1: 1, 2: 1, 3: 4, 4: 1}
# Throws without a hurt enemy and with none attacking before the bot stops
# fighting and walks on (enemies that cannot reach him).
IDLE_THROWS = 8
# A click while the last throw's swing still runs is not taken: the bot
# clicks again after so many seconds without a ball, so many times.
SWING_WAIT = 4
THROW_CLICKS = 5
# A ball that misses flies on for many seconds: the next throw does not
# wait for it (a ball at the feet of an enemy striking him hits at once).
HIT_WAIT = 2
# Looking down from the aim camera: the balls land at the hero's feet, where
# the enemies strike him (the e2e enemy test aims the same way).
LOOK_DOWN_STEPS = 12
LOOK_DOWN_PIXELS = 40
MOVE_KEYS = ("w", "a", "s", "d", "space")
# How near a walk's last point he goes when arriving at its usual radius
# did not bring the stage's goal.
CLOSE_ARRIVAL = 2.0


class BotError(HarnessError):
    """The bot cannot go on: stuck for good, a stage that never ends."""


class GameOver(Exception):
    pass


class Bot:
    def __init__(self, report, attempts=3, game_name="bot", world=None):
        """world: a test world to play instead of the island (the harness's
        KelvoGame world; game.world can be changed before play)."""
        self.report = report
        self.attempts = attempts
        self.game = KelvoGame(game_name, world=world)
        self.player = Player(self.game)
        self.log = GameLog()
        self.read = 0
        self.held = set()
        self.whole_path = []

    # --- the log ----------------------------------------------------------------

    def poll(self):
        """Reads the lines logged since the last poll into the GameLog."""
        lines = self.game.log_lines()
        for index in range(self.read, len(lines)):
            event = self.log.feed(lines[index], index)
            if event == "hero_at":
                self.whole_path.append(self.log.hero.ground)
            elif event == "hero_placed" or event == "play_entered":
                # Not walked: no line to the next position on the map.
                self.whole_path.append(None)
        self.read = len(lines)

    def next_position(self):
        """Waits for the next position line and returns it; None when the
        hero is taken from the player meanwhile (a cut-scene, a question),
        since a frozen hero logs no positions."""
        last = self.log.hero.index if self.log.hero else -1
        deadline = time.time() + POSITION_TIMEOUT
        while True:
            self.poll()
            if self.hero_taken():
                return None
            if self.log.hero and self.log.hero.index != last:
                if self.log.hero.heading is None:
                    raise BotError("the game logs the hero's position without his heading")
                return self.log.hero
            self.check_running()
            if self.log.game_over:
                raise GameOver()
            if time.time() > deadline:
                raise BotError("no position of the hero for %ss" % POSITION_TIMEOUT)
            pause(0.02)

    def hero_taken(self):
        return bool(self.log.cut_scene or self.log.gui_mode or self.log.open_question or self.log.talking)

    def check_running(self):
        if not self.game.is_running():
            raise BotError("kelvo ended; log tail:\n%s" % self.game.log_tail())

    def wait_a_little(self):
        self.poll()
        self.check_running()
        if self.log.game_over:
            raise GameOver()
        pause(0.2)

    # --- keys and mouse ------------------------------------------------------------

    def hold(self, keys):
        """Holds exactly these keys (of MOVE_KEYS) down."""
        keys = set(keys)
        for key in sorted(self.held - keys):
            self.game.key_up(key)
        for key in sorted(keys - self.held):
            self.game.key_down(key)
        self.held = keys

    def release(self):
        self.hold(())

    # --- the game -------------------------------------------------------------------

    def play(self, stages, map_source=None):
        """Plays the stages in order from the menu, starting a fresh game
        after a game over (up to the attempts). Returns True when the last
        stage was reached."""
        try:
            for attempt in range(1, self.attempts + 1):
                try:
                    self.start_game(attempt)
                    for stage in stages:
                        self.run_stage(stage)
                    self.report.finish("finished: %s reached" % stages[-1].name, self.whole_path, map_source)
                    return True
                except GameOver:
                    self.release()
                    self.reached("game over")
                    self.wait_for_menu()
            self.report.finish("lost %d games" % self.attempts, self.whole_path, map_source)
            return False
        except HarnessError as error:
            self.report.note(str(error).splitlines()[0])
            self.report.finish("stopped: %s" % str(error).splitlines()[0], self.whole_path, map_source)
            raise
        finally:
            if self.game.is_running():
                self.release()

    def start_game(self, attempt):
        self.report.new_game(attempt, "first game" if attempt == 1 else "the hero died in game %d" % (attempt - 1))
        if attempt == 1:
            self.player.open_menu()
        self.poll()
        self.reached("menu")
        self.log.new_game()
        self.player.into_game(skip_intro=True)
        self.next_position()
        self.reached("island")

    def reached(self, stage):
        """Into the report, with the time the stage was reached (grabbing the
        screenshot takes seconds on a loaded machine)."""
        reached_at = time.time()
        self.report.stage(stage, self.log, self.game.screenshot("stage.png"), reached_at=reached_at)

    def wait_for_menu(self):
        # The game-over pictures come first, then the menu.
        entered = self.game.wait_for_log(screen.MENU_ENTER, timeout=300, after=self.log.game_over_at or 0)
        self.game.wait_for_log(screen.FADED_IN, timeout=60, after=entered)
        self.poll()

    def run_stage(self, stage):
        deadline = time.time() + stage.timeout
        waypoints = Waypoints(stage.leg)
        steering = Steering()
        stuck = StuckWatch()
        detours = Detours()
        idle_throws = 0
        mark = self.log.mark()
        while not stage.goal.reached(self.log, mark):
            if time.time() > deadline:
                raise BotError("stage '%s' not done within %ss (%s); log tail:\n%s"
                               % (stage.name, stage.timeout, stage.goal.describe, self.game.log_tail()))
            if self.hero_taken():
                # A cut-scene or a talk: the hero is not ours; keys held now
                # would still count once he is.
                if self.log.cut_scene:
                    self.leave_aim_mode()
                self.release()
                if self.log.open_question:
                    self.answer(self.log.open_question)
                self.wait_a_little()
                continue
            if self.log.is_attacked() or not self.log.awake_enemies():
                idle_throws = 0
            awake = self.log.awake_enemies()
            wants_fight = stage.action == "fight" or (stage.action != "watch" and self.log.is_attacked())
            if awake and wants_fight and idle_throws < IDLE_THROWS:
                idle_throws = 0 if self.throw() else idle_throws + 1
                stuck.reset()
                continue
            self.leave_aim_mode()
            if waypoints.done() and stage.action == "walk" and stage.leg:
                # The leg's end was reached at the edge of its arrival
                # radius, outside the trigger the stage waits for (the old
                # man's is 7 units wide): on to the point itself.
                waypoints = Waypoints(stage.leg[-1:], radius=CLOSE_ARRIVAL)
            if waypoints.done():
                self.release()
                self.wait_a_little()
                continue
            self.steer(waypoints, steering, stuck, detours)
        self.release()
        self.reached(stage.name)

    def steer(self, waypoints, steering, stuck, detours):
        hero = self.next_position()
        if hero is None:
            self.release()
            return
        reached = waypoints.reached
        target = waypoints.update(hero.ground)
        if waypoints.reached != reached:
            detours.reset()
        if target is None:
            self.release()
            return
        kind, key = steering.decide(hero.heading, heading_to(hero.ground, target))
        if kind == "turn":
            self.hold((key,))
            stuck.reset()
            return
        self.hold(("w", "space") + ((key,) if key else ()))
        stuck.running_at(hero.ground)
        if stuck.stuck():
            detour = detours.next()
            if detour is None:
                raise BotError("stuck at (%.0f, %.0f) on the way to (%.0f, %.0f): every detour tried"
                               % (hero.x, hero.z, target[0], target[1]))
            self.report.note("stuck at (%.0f, %.0f) on the way to (%.0f, %.0f): detour %+.0f degrees"
                             % (hero.x, hero.z, target[0], target[1], detour[0]))
            self.detour(heading_to(hero.ground, target) + detour[0], detour[1])
            stuck.reset()

    def detour(self, heading, samples):
        """Turns to the heading and runs that many position lines."""
        steering = Steering()
        ran = 0
        while ran < samples:
            hero = self.next_position()
            if hero is None:
                break
            kind, key = steering.decide(hero.heading, heading)
            if kind == "turn":
                self.hold((key,))
            else:
                self.hold(("w", "space") + ((key,) if key else ()))
                ran += 1
        self.release()

    # --- fighting ---------------------------------------------------------------------

    def enter_aim_mode(self):
        if self.log.aiming:
            return
        self.release()
        # From the top of the window, so that the look down below is not cut
        # short at the screen's lower edge.
        width, _ = self.game.window_geometry()
        self.game.mouse_move(width // 2, 0)
        before = self.game.log_end()
        self.game.key("Tab")
        self.game.wait_for_log("CameraScript: aim camera arrived", timeout=60, after=before)
        for _ in range(LOOK_DOWN_STEPS):
            self.game._xdotool("mousemove_relative", "--", "0", str(LOOK_DOWN_PIXELS))
            pause(0.1)
        self.poll()

    def leave_aim_mode(self):
        if not self.log.aiming:
            return
        before = self.game.log_end()
        self.game.key("Tab")
        self.game.wait_for_log("PlayerScript: aim mode left", timeout=60, after=before)
        self.poll()

    def throw(self):
        """One ball at the hero's feet; True when an enemy was hurt or is
        attacking meanwhile."""
        self.enter_aim_mode()
        hurt_before = len(self.log.killed), self.game.count(" hurt, health ")
        launched = None
        for _ in range(THROW_CLICKS):
            before = self.game.log_end()
            # Not a click at the middle: the move there would undo the look down.
            self.game.click_in_place()
            try:
                launched = self.game.wait_for_log(" launched, weapon ", timeout=SWING_WAIT, after=before)
                break
            except HarnessError:
                # Clicked while the last swing still ran: not taken.
                self.check_running()
                self.poll()
                if self.log.game_over:
                    raise GameOver()
        if launched is not None:
            try:
                self.game.wait_for_log(" hit ", timeout=HIT_WAIT, after=launched)
            except HarnessError:
                self.check_running()
        self.poll()
        if self.log.game_over:
            raise GameOver()
        return (len(self.log.killed), self.game.count(" hurt, health ")) != hurt_before or self.log.is_attacked()

    # --- talking --------------------------------------------------------------------------

    def answer(self, question):
        choice = ANSWERS.get(question, 1)
        before = self.game.log_end()
        self.game.click(*screen.ANSWER_LINES[choice])
        pause(0.5)
        self.poll()
        if self.log.open_question == question and self.game.log_end() == before:
            # The click came before the answers were shown; the next poll tries again.
            pause(0.5)
