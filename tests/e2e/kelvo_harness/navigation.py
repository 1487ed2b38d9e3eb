"""The top layer: what a player does, step by step, each step waiting for
the log line that says the game has got there (never for the clock).

    player = Player(KelvoGame("credits"))
    player.open_menu()
    player.into_credits()
    player.back_to_menu()
    player.quit()
"""

import math
import subprocess
import time

from . import screen
from .images import image_difference
from .process import HarnessError, pause, wait_until

# Time limits for one step; frames are slow on a loaded machine.
STEP_TIMEOUT = 60


class Player:
    def __init__(self, game):
        self.game = game

    # --- the menu ------------------------------------------------------------

    def open_menu(self, **start_options):
        """Starts the game and waits until the menu has faded in.
        Returns the log index of the menu's entry."""
        game = self.game
        game.start(**start_options)
        return self._menu_shown(0)

    def _menu_shown(self, after):
        entered = self.game.wait_for_log(screen.MENU_ENTER, timeout=STEP_TIMEOUT, after=after)
        self.game.find_window()
        self.game.wait_for_log(screen.FADED_IN, timeout=STEP_TIMEOUT, after=entered)
        return entered

    def click_menu(self, button):
        """Clicks one of the menu's buttons by name ("start", "credits", ...)."""
        self.game.click(*screen.MENU_BUTTONS[button])

    def open_options(self):
        before = self.game.log_end()
        self.click_menu("options")
        self.game.wait_for_log(screen.OPTIONS_SHOWN, timeout=STEP_TIMEOUT, after=before)

    def choose_texture_filter(self, item):
        """Opens the options' texture filter list and clicks an item (a name
        of screen.OPTIONS_CONTROLS) once the list has dropped down."""
        game = self.game
        closed = game.screenshot("filter_list_closed.png")
        game.click(*screen.OPTIONS_CONTROLS["texture filter list"])
        wait_until(lambda: image_difference(closed, game.screenshot("filter_list.png"),
                                            crop=screen.TEXTURE_FILTER_DROP_DOWN) > 0.02,
                   STEP_TIMEOUT, lambda: "the texture filter list never dropped down")
        game.click(*screen.OPTIONS_CONTROLS[item])

    # --- into the game, the credits, and back ------------------------------------

    def into_game(self, skip_intro=True):
        """From the menu into the world; with skip_intro, space is pressed at
        the first picture and the world is shown when this returns.
        Returns the log index of the play state's entry."""
        game = self.game
        before = game.log_end()
        self.click_menu("start")
        entered = game.wait_for_log(screen.PLAY_ENTER, timeout=STEP_TIMEOUT, after=before)
        if skip_intro:
            self.skip_intro(entered)
        return entered

    def skip_intro(self, entered):
        game = self.game
        game.wait_for_log(screen.FIRST_INTRO_PICTURE, timeout=STEP_TIMEOUT, after=entered)
        game.key("space")
        # The last step of the fade into the world comes in the same frame.
        game.wait_for_log(screen.INTRO_FINISHED, timeout=STEP_TIMEOUT, after=entered)

    def into_credits(self):
        """From the menu into the credits, once they have faded in.
        Returns the log index of the credits' entry."""
        game = self.game
        before = game.log_end()
        self.click_menu("credits")
        entered = game.wait_for_log(screen.CREDITS_ENTER, timeout=STEP_TIMEOUT, after=before)
        game.wait_for_log(screen.FADED_IN, timeout=STEP_TIMEOUT, after=entered)
        return entered

    def into_editor(self):
        """Space in the menu: into the level editor, once it has faded in and
        run its first frame. Returns the log index of the editor's entry."""
        game = self.game
        before = game.log_end()
        game.key("space")
        entered = game.wait_for_log(screen.EDITOR_ENTER, timeout=STEP_TIMEOUT, after=before)
        game.wait_for_log(screen.EDITOR_EDIT_MODE, timeout=STEP_TIMEOUT, after=entered)
        game.wait_for_log(screen.FADED_IN, timeout=STEP_TIMEOUT, after=entered)
        return entered

    def back_to_menu(self):
        """Escape from the game, the credits or the editor; waits until the menu has faded
        in again and returns the log index of its entry."""
        before = self.game.log_end()
        self.game.key("Escape")
        return self._menu_shown(before)

    # --- in the level editor ----------------------------------------------------------

    def editor_click(self, control, line):
        """Clicks a control of the editor's windows (a name of
        screen.EDITOR_CONTROLS) and waits for the line it logs."""
        game = self.game
        before = game.log_end()
        game.click(*screen.EDITOR_CONTROLS[control])
        return game.wait_for_log(line, timeout=STEP_TIMEOUT, after=before + 1)

    def type_rotation_y(self, name, degrees):
        """Types whole degrees into the scene window's "rotation y" field of
        the chosen entity and waits until the entity has turned; returns the
        log index of that line."""
        game = self.game
        game.click(*screen.EDITOR_CONTROLS["rotation y"])
        pause(0.5)
        game.key("End")
        game.key(*(["BackSpace"] * 8))
        before = game.log_end()
        game.key(*list(degrees), "Return")
        return game.wait_for_log("LevelEditWnd: '%s' turned to (0.00, %s.00, 0.00) degrees" % (name, degrees),
                                 timeout=STEP_TIMEOUT, after=before + 1)

    def load_scene_in_editor(self, entered, scene, timeout=STEP_TIMEOUT):
        """Chooses a scene in the scene window's list and loads it by clicks;
        waits for the load and leaves the message box open (its OK lies over
        the view: closing it is the caller's step). entered: the editor's
        entry in the log."""
        game = self.game
        game.wait_for_log(screen.EDITOR_SCENE_FILES, timeout=STEP_TIMEOUT, after=entered)
        files = game.matched_line.split(screen.EDITOR_SCENE_FILES, 1)[1].split(", ")
        if scene not in files:
            raise HarnessError("'%s' is not in the editor's scene list: %s" % (scene, files))
        first_x, first_y = screen.EDITOR_SCENE_LIST_FIRST_ITEM
        game.click(first_x, int(first_y + files.index(scene) * screen.EDITOR_SCENE_LIST_ITEM_HEIGHT))
        pause(0.5)
        before = game.log_end()
        game.click(*screen.EDITOR_CONTROLS["load"])
        return game.wait_for_log(screen.editor_scene_loaded(scene), timeout=timeout, after=before + 1)

    def ok_message(self):
        """OK on the editor's message box. The click closes it and must pick
        nothing in the view behind it."""
        game = self.game
        before = game.log_end()
        game.click(*screen.EDITOR_CONTROLS["message ok"])
        pause(1.5)
        picked = [line for line in game.log_lines()[before + 1:] if "RayPickingScript: picked" in line]
        if picked:
            raise HarnessError("the click on the message box picked through it: %s" % picked)

    def leave_editor_discarding(self):
        """Escape in the editor with unsaved work: the question comes, and
        discard leaves for the menu without writing. Returns the menu's entry."""
        game = self.game
        before = game.log_end()
        game.key("Escape")
        game.wait_for_log(screen.EDITOR_ASKED_BEFORE_LEAVING, timeout=STEP_TIMEOUT, after=before + 1)
        before = game.log_end()
        game.click(*screen.EDITOR_CONTROLS["question discard"])
        return self._menu_shown(before)

    def quit(self, timeout=30):
        """Escape in the menu: the game fades out and ends. Returns its exit
        code. A key pressed while the window is still being mapped can be
        lost, so escape is pressed again while the game runs on."""
        game = self.game

        def ended():
            game.key("Escape")
            try:
                game.process.wait(timeout=5)
                return True
            except subprocess.TimeoutExpired:
                return False

        wait_until(ended, timeout, lambda: "kelvo did not quit; log tail:\n%s" % game.log_tail(), interval=0)
        return game.wait_exit(timeout=1)

    # --- in the world --------------------------------------------------------------

    def hold(self, keys, seconds):
        """Holds keys down together for a while, as a player walks or turns."""
        for key in keys:
            self.game.key_down(key)
        pause(seconds)
        for key in reversed(keys):
            self.game.key_up(key)

    def press(self, *keys):
        self.game.key(*keys)

    def raise_if_ended(self):
        if not self.game.is_running():
            raise HarnessError("kelvo ended; log tail:\n%s" % self.game.log_tail())

    # --- steering by the logged positions ---------------------------------------------

    def hero_position(self, after):
        """The first hero position logged after the log index, and its index."""
        index = self.game.wait_for_log(screen.HERO_AT, after=after + 1, timeout=STEP_TIMEOUT)
        match = screen.HERO_POSITION.search(self.game.matched_line)
        return tuple(float(v) for v in match.groups()), index

    def walk_to(self, target, arrived, heading, timeout=180, reach=3.0):
        """Walks the hero to the ground point target (x, z) with real keys,
        steered by his logged positions: he turns on the spot (A or D alone)
        until he faces it, then walks. heading is the way he faces (x, z) at
        the start. Ends when arrived(position) says so or he is within reach.
        Returns the positions logged on the way."""
        game = self.game
        path = []
        walking = False
        turn_key = None
        deadline = time.time() + timeout
        here, _ = self.hero_position(game.log_end())
        previous = here
        try:
            while time.time() < deadline:
                path.append(here)
                if arrived(here) or math.dist((here[0], here[2]), target) < reach:
                    return path
                moved = math.dist(here, previous) > 0.5
                if moved:
                    dx, dz = here[0] - previous[0], here[2] - previous[2]
                    length = math.hypot(dx, dz)
                    heading = (dx / length, dz / length)
                elif walking and turn_key:
                    # Walking into something: the last turn fell short
                    # (how far a held key turns him depends on the frame
                    # rate); on the same way a little further.
                    game.key_up("w")
                    walking = False
                    self.hold([turn_key], 1.0)
                    here, _ = self.hero_position(game.log_end())
                previous = here
                tx, tz = target[0] - here[0], target[1] - here[2]
                length = math.hypot(tx, tz) or 1.0
                tx, tz = tx / length, tz / length
                cross = heading[0] * tz - heading[1] * tx
                error = math.degrees(math.acos(max(-1.0, min(1.0, heading[0] * tx + heading[1] * tz))))
                if error > 12.0:
                    if walking:
                        game.key_up("w")
                        walking = False
                    # A turns his facing from east (+x) towards -z; about 30
                    # degrees a game second, slower by the clock under load.
                    turn_key = "a" if cross < 0 else "d"
                    self.hold([turn_key], min(2.0, error / 40.0))
                    heading = (tx, tz)
                elif not walking:
                    game.key_down("w")
                    walking = True
                here, _ = self.hero_position(game.log_end())
        finally:
            if walking:
                game.key_up("w")
        raise HarnessError("the hero never reached (%.0f, %.0f); path: %s"
                           % (target[0], target[1], " ".join("(%.0f %.0f)" % (p[0], p[2]) for p in path)))
