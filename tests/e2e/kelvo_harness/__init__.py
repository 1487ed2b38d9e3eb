"""End-to-end harness: runs the real kelvo the way a player does, in layers.

- process: the game's process, its X server, log, X input, screenshots and
  the captured sound (KelvoGame);
- worlds: test worlds and changes to a copy of one (WorldCopy, SMALL_WORLD);
- navigation: a player's steps, each waiting for its log line (Player);
- screen: button positions and the log lines waited for, in one place;
- images and sound: measurements on screenshots and on the captured sound.

Environment (set by CTest): KELVO_EXECUTABLE, KELVO_SOURCE_DIR.
Set KELVO_KEEP_E2E=1 to keep the working directories for a look afterwards.
"""

from .images import changed_share, channel_means, image_difference, image_statistics  # noqa: F401
from .navigation import Player  # noqa: F401
from .process import SOURCE_DIR, HarnessError, KelvoGame, pause, wait_until  # noqa: F401
from .worlds import SMALL_WORLD, WorldCopy  # noqa: F401
from . import screen  # noqa: F401
