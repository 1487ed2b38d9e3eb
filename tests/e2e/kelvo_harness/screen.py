"""What the game shows and logs, in one place: the window, the positions of
the menu's controls and the log lines the navigation waits for."""

import re

WINDOW_TITLE = "KELVO"
SCREEN = "1024x768x24"

# Window coordinates of the menu's controls in the 1024 x 768 window.
MENU_BUTTONS = {
    "start": (225, 316),
    "options": (225, 385),
    "credits": (225, 454),
    "quit": (225, 523),
}
OPTIONS_CONTROLS = {
    "texture filter list": (925, 443),
    "anisotropic 8x": (745, 534),
}
# Where the texture filter list drops down (ImageMagick geometry WxH+X+Y).
TEXTURE_FILTER_DROP_DOWN = "200x60+700+500"

# The level editor's scene window ("leveledit_wnd") and boxes, 1024 x 768.
EDITOR_SCENE_LIST_FIRST_ITEM = (60, 131)
EDITOR_SCENE_LIST_ITEM_HEIGHT = 15.5
EDITOR_CONTROLS = {
    "load": (43, 252),
    "save": (103, 252),
    "new": (167, 252),
    "rotation y": (157, 509),
    "message ok": (512, 439),
    "question ok": (377, 439),
    "question discard": (512, 439),
    "question cancel": (647, 439),
}

# State markers.
CHANGE_STATE = "___CHANGE STATE___"
MENU_ENTER = "___MENUSTATE::ENTER___"
PLAY_ENTER = "___PLAYSTATE::ENTER___"
PLAY_EXIT = "___PLAYSTATE::EXIT___"
CREDITS_ENTER = "___CREDITSTATE::ENTER___"
CREDITS_EXIT = "___CREDITSTATE::EXIT___"
EDITOR_ENTER = "___LEVELEDITOR::ENTER___"
EDITOR_EXIT = "___LEVELEDITOR::EXIT___"
MAIN_END = "___Main End.___"
SHUTDOWN_COMPLETE = "___KELVO shutdown complete.___"
SHUTDOWN_MARKERS = [MAIN_END, SHUTDOWN_COMPLETE]

# Transitions that end without a marker.
FADED_IN = "SceneFader: faded in"
FADED_OUT = "SceneFader: faded out"
OPTIONS_SHOWN = "MenuState: options shown"
FIRST_INTRO_PICTURE = "intro picture KELVO/PRETITEL"
INTRO_SKIPPED = "PlayState: intro skipped"
INTRO_FINISHED = "PlayState: intro finished"
FADED_INTO_SCENE = "IntroFader: faded into the scene"
BARS_IN = "CineFader: bars in"
BARS_OUT = "CineFader: bars out"
# The editor's first frame has run: its control script published the mode.
EDITOR_EDIT_MODE = "LevelEditControllScript: mode 1"
EDITOR_MOUSE_LOOK_MODE = "LevelEditControllScript: mode 0"
EDITOR_CAMERA_STOPPED = "EditCameraScript: stopped at"
EDITOR_SCENE_FILES = "LevelEditWnd: scene files: "
EDITOR_ASKED_BEFORE_LEAVING = "before leave the editor"


def editor_scene_loaded(scene):
    return "LevelEditWnd: loaded '%s'" % scene


# The hero's position, logged once a game second while he may move.
HERO_AT = "PlayerScript: hero at"
HERO_POSITION = re.compile(r"PlayerScript: hero at \(([-\d.]+), ([-\d.]+), ([-\d.]+)\)")

# The old man's dialogue window: the answer lines in the 1024 x 768 window.
ANSWER_LINES = {1: (512, 509), 2: (512, 559), 3: (512, 609), 4: (512, 659)}
# The subtitle's band, above the lower cinematic bar (WxH+X+Y).
SUBTITLE_BAND = "840x100+92+584"
# The upper cinematic bar, and the view's upper third below it.
TOP_BAR = "1024x70+0+0"
TOP_THIRD = "1024x180+0+80"


def picture_shown(material):
    """The log line of a story picture fully shown (e.g. "KELVO/TITEL")."""
    return "IntroFader: picture %s shown" % material
