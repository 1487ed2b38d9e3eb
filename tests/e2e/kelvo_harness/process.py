"""The lowest layer: the game's process, its private X server, its log, real
X input, screenshots and the captured sound.

Each KelvoGame gets its own temporary working directory (a copy of run/ with
the media reachable at ../media), its own X server and its own OpenAL Soft
configuration whose wave-file output lands in that directory.

While the game runs, a watcher thread reads the log as it grows and notes,
for every line, how much sound had been captured when the line appeared:
tests wait on log lines (never on the clock) and can find in the capture
what the game played between two of them.
"""

import array
import atexit
import math
import os
import re
import shutil
import signal
import struct
import subprocess
import tempfile
import threading
import time

from . import screen

SOURCE_DIR = os.environ.get(
    "KELVO_SOURCE_DIR",
    os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "..")))
EXECUTABLE = os.environ.get("KELVO_EXECUTABLE", os.path.join(SOURCE_DIR, "build", "kelvo"))

LOG_FILE = "kelvo.log"

# The runtime files a player's run/ folder holds in the repository.
RUNTIME_FILES = ("resources.cfg", "message.lua")

# Media folders the game writes into are copied, so a test never changes
# the tracked files; everything else is linked.
WRITABLE_MEDIA = ("xmlScenes",)

_LOG_LINE = re.compile(r"^\d\d:\d\d:\d\d: ?(.*)$")

# How often the watcher looks at the log and the capture: the capture time
# noted for a line is late by at most this.
WATCH_INTERVAL = 0.01

# Input pacing: a key held this long and a pause after it, so that the
# game's buffered input sees press and release as a player's.
KEY_HOLD = 0.05
AFTER_INPUT = 0.05


class HarnessError(AssertionError):
    pass


def pause(seconds):
    """The harness's one way of letting time pass (input pacing, holding a
    key, polling); waits for the game go through wait_until or the log."""
    time.sleep(seconds)


def wait_until(condition, timeout, describe, interval=0.1):
    """Polls condition() until it returns something true, and returns that.
    describe() says what was waited for when the time runs out."""
    deadline = time.time() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.time() > deadline:
            raise HarnessError("waited %ss in vain: %s" % (timeout, describe()))
        pause(interval)


_running_servers = set()


@atexit.register
def _stop_leftover_servers():
    # A test that died half-way must not leave its X server behind.
    for server in list(_running_servers):
        server.stop()


class XServer:
    """A private Xvfb; its display number is chosen by the server itself."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen.SCREEN, "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        # The read blocks until the server writes its number or ends.
        while not number.endswith(b"\n"):
            chunk = os.read(read_end, 16)
            if not chunk:
                os.close(read_end)
                self.stop()
                raise HarnessError("Xvfb ended before reporting a display")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        _running_servers.add(self)

    def stop(self):
        _running_servers.discard(self)
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class WaveFormat:
    """Where the samples of a WAV file start and how they are laid out.
    OpenAL Soft writes the extensible header, which Python's wave module
    before 3.12 cannot read, so the RIFF chunks are walked here."""

    def __init__(self, data):
        if data[0:4] != b"RIFF" or data[8:12] != b"WAVE":
            raise HarnessError("not a WAV file")
        at = 12
        self.channels = self.rate = self.width = self.data_offset = None
        self.data_size = None
        while at + 8 <= len(data):
            chunk, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
            body = data[at + 8:at + 8 + size]
            if chunk == b"fmt ":
                self.channels, self.rate = struct.unpack("<HI", body[2:8])
                self.width = struct.unpack("<H", body[14:16])[0] // 8
            elif chunk == b"data":
                self.data_offset = at + 8
                # The writer patches the size only when it closes the file.
                self.data_size = None if size in (0, 0xFFFFFFFF) else size
                break
            at += 8 + size + (size & 1)
        if self.channels is None or self.data_offset is None:
            raise HarnessError("WAV file without format or data chunk")

    @property
    def frame_bytes(self):
        return self.channels * self.width

    def frames(self, data):
        end = len(data) if self.data_size is None else self.data_offset + self.data_size
        frames = data[self.data_offset:end]
        return frames[:len(frames) - len(frames) % self.frame_bytes]


class LogWatcher(threading.Thread):
    """Reads the game's log as it grows; each line is kept with the seconds
    of sound captured when it was first seen (None before the capture)."""

    def __init__(self, log_path, capture_path, process):
        super().__init__(daemon=True)
        self.log_path = log_path
        self.capture_path = capture_path
        self.process = process
        self.lines = []
        self.capture_times = []
        self.changed = threading.Condition()
        self._stopping = False
        self._offset = 0
        self._partial = b""
        self._format = None

    def capture_seconds(self):
        """Seconds of sound captured so far, or None before the device opened."""
        try:
            size = os.path.getsize(self.capture_path)
        except OSError:
            return None
        if self._format is None:
            if size < 64:
                return None
            with open(self.capture_path, "rb") as captured:
                try:
                    self._format = WaveFormat(captured.read(256))
                except HarnessError:
                    return None
        frames = max(0, size - self._format.data_offset) // self._format.frame_bytes
        return frames / float(self._format.rate)

    def _read_new_lines(self):
        try:
            with open(self.log_path, "rb") as log:
                log.seek(self._offset)
                data = log.read()
        except OSError:
            return []
        self._offset += len(data)
        data = self._partial + data
        *complete, self._partial = data.split(b"\n")
        found = []
        for raw in complete:
            text = raw.decode("utf-8", "replace").rstrip("\r")
            match = _LOG_LINE.match(text)
            found.append(match.group(1) if match else text)
        return found

    def run(self):
        while True:
            ended = self.process.poll() is not None or self._stopping
            now = self.capture_seconds()
            new = self._read_new_lines()
            with self.changed:
                if new:
                    self.lines.extend(new)
                    self.capture_times.extend([now] * len(new))
                self.changed.notify_all()
            if ended:
                # One last read after the end: the log's closing lines.
                new = self._read_new_lines()
                with self.changed:
                    self.lines.extend(new)
                    self.capture_times.extend([now] * len(new))
                    self.changed.notify_all()
                return
            pause(WATCH_INTERVAL)

    def stop(self):
        self._stopping = True
        self.join(timeout=5)


class KelvoGame:
    def __init__(self, name="kelvo", world=None):
        """world: a folder holding "world.qormscene" and "paginglandscape2.cfg"
        to play instead of the island (see worlds.py)."""
        self.root = tempfile.mkdtemp(prefix="kelvo-e2e-%s-" % name)
        self.run_dir = os.path.join(self.root, "run")
        self.media_dir = os.path.join(self.root, "media")
        self.audio_file = os.path.join(self.root, "audio.wav")
        self.alsoft_conf = os.path.join(self.root, "alsoft.conf")
        self.process = None
        self.xserver = None
        self.window = None
        self.watcher = None
        self.matched_line = None
        self.stdout_path = os.path.join(self.root, "stdout.txt")
        self.stderr_path = os.path.join(self.root, "stderr.txt")
        self._prepare()
        self.world = None
        if world:
            from .worlds import WorldCopy
            self.world = WorldCopy(self, world)

    # --- working directory -------------------------------------------------

    def _prepare(self):
        os.makedirs(self.run_dir)
        for name in RUNTIME_FILES:
            shutil.copy(os.path.join(SOURCE_DIR, "run", name), self.run_dir)
        os.makedirs(self.media_dir)
        source_media = os.path.join(SOURCE_DIR, "media")
        for entry in sorted(os.listdir(source_media)):
            source = os.path.join(source_media, entry)
            target = os.path.join(self.media_dir, entry)
            if entry in WRITABLE_MEDIA and os.path.isdir(source):
                shutil.copytree(source, target)
            else:
                os.symlink(source, target)
        with open(self.alsoft_conf, "w") as conf:
            # 16-bit samples: the wave writer would otherwise write floats.
            conf.write("[general]\ndrivers=wave\nsample-type=int16\n\n[wave]\nfile=%s\n" % self.audio_file)

    def path(self, *parts):
        """A path inside the game's working directory."""
        return os.path.join(self.run_dir, *parts)

    def scene_path(self, name):
        """A scene file in the game's own copy of the scene folder (tests
        write and read scenes there, never in the tracked folder)."""
        return os.path.join(self.media_dir, "xmlScenes", name)

    def write_scene(self, name, text):
        with open(self.scene_path(name), "w") as out:
            out.write(text)
        return self.scene_path(name)

    def read_scene(self, name):
        with open(self.scene_path(name)) as source:
            return source.read()

    def write_file(self, name, text, binary=False):
        mode = "wb" if binary else "w"
        with open(self.path(name), mode) as out:
            out.write(text)

    def read_file(self, name, binary=False):
        with open(self.path(name), "rb" if binary else "r", errors=None if binary else "replace") as source:
            return source.read()

    def remove_file(self, name):
        if os.path.exists(self.path(name)):
            os.remove(self.path(name))

    # --- running -------------------------------------------------------------

    def start(self, display=True, extra_env=None, wrapper=None, log_on_stderr=False, arguments=()):
        """Starts the game, under a private X server unless display is False.
        arguments: the game's command line (the timed demo's switches).
        wrapper: a command the game is started through (its last argument
        is the game's path). log_on_stderr: the game cannot write its log
        and writes the lines to standard error, which is watched instead.
        A game object can be started again after the previous run ended."""
        self.stop()
        self.window = None
        # A restarted game must not be judged by the previous run's log: a
        # wait would find the old lines before the new game has written any.
        self.remove_file(LOG_FILE)
        if os.path.exists(self.audio_file):
            os.remove(self.audio_file)
        env = dict(os.environ)
        env.pop("DISPLAY", None)
        env["ALSOFT_CONF"] = self.alsoft_conf
        if display:
            self.xserver = XServer()
            env["DISPLAY"] = self.xserver.display
        if extra_env:
            env.update(extra_env)
        self.env = env
        with open(self.stdout_path, "w") as out, open(self.stderr_path, "w") as err:
            command = list(wrapper or []) + [EXECUTABLE] + list(arguments)
            self.process = subprocess.Popen(command, cwd=self.run_dir, env=env, stdout=out, stderr=err)
        log_path = self.stderr_path if log_on_stderr else self.path(LOG_FILE)
        self.watcher = LogWatcher(log_path, self.audio_file, self.process)
        self.watcher.start()
        return self

    def is_running(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, timeout=30):
        try:
            code = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError("kelvo did not end within %ss; log tail:\n%s"
                               % (timeout, self.log_tail()))
        self.watcher.join(timeout=5)
        return code

    def stop(self):
        """Ends the game (if still running) and its X server."""
        if self.process is not None and self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        if self.watcher:
            self.watcher.stop()
        if self.xserver:
            self.xserver.stop()
            self.xserver = None

    def cleanup(self):
        self.stop()
        if os.environ.get("KELVO_KEEP_E2E"):
            print("kept e2e folder: %s" % self.root)
        else:
            shutil.rmtree(self.root, ignore_errors=True)

    # --- the log -------------------------------------------------------------

    def log_lines(self):
        """The log's lines so far, without their time stamps."""
        if self.watcher is None:
            return []
        with self.watcher.changed:
            return list(self.watcher.lines)

    def log_tail(self, count=30):
        return "\n".join(self.log_lines()[-count:])

    def log_end(self):
        """The index of the log's last line so far: waits `after` it see only
        what comes from now on."""
        return len(self.log_lines()) - 1

    def count(self, text):
        return sum(1 for line in self.log_lines() if text in line)

    def wait_for_log(self, text, timeout=60, after=0):
        """Waits until a log line (from index `after` on) contains text.
        Returns that line's index; the line is kept in matched_line."""
        deadline = time.time() + timeout
        watcher = self.watcher
        with watcher.changed:
            while True:
                for index in range(max(after, 0), len(watcher.lines)):
                    if text in watcher.lines[index]:
                        self.matched_line = watcher.lines[index]
                        return index
                if not watcher.is_alive():
                    raise HarnessError("kelvo ended before logging %r; log tail:\n%s"
                                       % (text, "\n".join(watcher.lines[-30:])))
                left = deadline - time.time()
                if left <= 0:
                    raise HarnessError("no log line %r within %ss; log tail:\n%s"
                                       % (text, timeout, "\n".join(watcher.lines[-30:])))
                watcher.changed.wait(min(left, 1.0))

    def markers(self):
        """The program's marker lines ("___...___") in order."""
        return [line for line in self.log_lines() if line.startswith("___") and line.endswith("___")]

    def stderr(self):
        with open(self.stderr_path, errors="replace") as err:
            return err.read()

    # --- X input ---------------------------------------------------------------

    def _xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        if check and result.returncode != 0:
            raise HarnessError("xdotool %s failed: %s" % (" ".join(map(str, args)), result.stderr))
        return result.stdout

    def find_window(self, timeout=30):
        def found():
            ids = self._xdotool("search", "--name", screen.WINDOW_TITLE, check=False).split()
            if not ids and not self.is_running():
                raise HarnessError("kelvo ended before showing its window; log tail:\n%s" % self.log_tail())
            return ids

        self.window = wait_until(found, timeout, lambda: "no window titled %s; log tail:\n%s"
                                 % (screen.WINDOW_TITLE, self.log_tail()), interval=0.2)[0]
        self._xdotool("windowfocus", self.window, check=False)
        return self.window

    def _ensure_window(self):
        if self.window is None:
            self.find_window()
        self._xdotool("windowfocus", self.window, check=False)

    def key(self, *keys, hold=KEY_HOLD):
        """Presses and releases each key (X keysym names, e.g. Escape, space)."""
        self._ensure_window()
        for name in keys:
            self._xdotool("keydown", name)
            pause(hold)
            self._xdotool("keyup", name)
            pause(AFTER_INPUT)

    def key_down(self, name):
        self._ensure_window()
        self._xdotool("keydown", name)

    def key_up(self, name):
        self._ensure_window()
        self._xdotool("keyup", name)

    def mouse_move(self, x, y):
        """Moves the pointer to window coordinates."""
        self._ensure_window()
        self._xdotool("mousemove", "--window", self.window, x, y)

    def click(self, x, y, button=1):
        self.mouse_move(x, y)
        pause(AFTER_INPUT)
        self._xdotool("mousedown", button)
        pause(KEY_HOLD)
        self._xdotool("mouseup", button)

    def click_in_place(self, button=1):
        """A click where the pointer is: in the game's aim mode any move of
        the pointer, the one to a click's place too, turns the view."""
        self._ensure_window()
        self._xdotool("mousedown", button)
        pause(KEY_HOLD)
        self._xdotool("mouseup", button)

    def drag(self, start, end, steps=8, step_pause=0.25):
        """Holds the left button at start and moves to end in steps (a frame
        or more each at this machine's frame rates), then lets go."""
        self.mouse_move(*start)
        pause(AFTER_INPUT)
        self._xdotool("mousedown", 1)
        pause(step_pause)
        for step in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * step // steps
            y = start[1] + (end[1] - start[1]) * step // steps
            self._xdotool("mousemove", "--window", self.window, x, y)
            pause(step_pause)
        self._xdotool("mouseup", 1)
        pause(AFTER_INPUT)

    def window_geometry(self):
        self._ensure_window()
        output = self._xdotool("getwindowgeometry", self.window)
        match = re.search(r"Geometry: (\d+)x(\d+)", output)
        return (int(match.group(1)), int(match.group(2))) if match else None

    def screenshot(self, name="screenshot.png"):
        """Grabs the game window as the X server shows it; returns the path."""
        self._ensure_window()
        target = os.path.join(self.root, name)
        subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", self.window, target],
                       check=True, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        return target

    # --- sound -------------------------------------------------------------------

    def capture_time(self, line_index):
        """Seconds of sound captured when the log line was first seen."""
        with self.watcher.changed:
            seconds = self.watcher.capture_times[line_index]
        if seconds is None:
            raise HarnessError("log line %d came before the sound device opened" % line_index)
        return seconds

    def capture_now(self):
        """Seconds of sound captured so far."""
        seconds = self.watcher.capture_seconds() if self.watcher else None
        if seconds is None:
            raise HarnessError("no sound captured yet")
        return seconds

    def audio(self):
        """The captured sound as (channels, rate, sample width in bytes, raw frames)."""
        with open(self.audio_file, "rb") as captured:
            data = captured.read()
        try:
            layout = WaveFormat(data)
        except HarnessError as error:
            raise HarnessError("%s: %s" % (self.audio_file, error))
        return layout.channels, layout.rate, layout.width, layout.frames(data)

    def audio_levels(self, start_seconds=0.0, end_seconds=None):
        """Root-mean-square level of each channel (0..1) over a time span of
        the captured 16-bit sound."""
        channels, rate, width, frames = self.audio()
        if width != 2:
            raise HarnessError("expected 16-bit capture, got %d bytes a sample" % width)
        samples = array.array("h", frames)
        first = int(start_seconds * rate) * channels
        last = len(samples) if end_seconds is None else min(len(samples), int(end_seconds * rate) * channels)
        levels = []
        for channel in range(channels):
            part = samples[max(first, 0) + channel:last:channels]
            levels.append(math.sqrt(sum(v * v for v in part) / len(part)) / 32768.0 if part else 0.0)
        return levels
