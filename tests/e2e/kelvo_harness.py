"""End-to-end harness: runs the real kelvo the way a player does.

Each KelvoGame gets its own temporary working directory (a copy of run/ with
the media reachable at ../media), its own X server and its own OpenAL Soft
configuration whose wave-file output lands in that directory. The game is
driven with real X input through xdotool and judged by what it leaves
behind: log lines, screenshots, written files and the captured sound.

Environment (set by CTest): KELVO_EXECUTABLE, KELVO_SOURCE_DIR.
Set KELVO_KEEP_E2E=1 to keep the working directories for a look afterwards.
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
import time
import zlib

SOURCE_DIR = os.environ.get(
    "KELVO_SOURCE_DIR",
    os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
EXECUTABLE = os.environ.get("KELVO_EXECUTABLE", os.path.join(SOURCE_DIR, "build", "kelvo"))

WINDOW_TITLE = "KELVO"
SCREEN = "1024x768x24"
LOG_FILE = "kelvo.log"

# The runtime files a player's run/ folder holds in the repository.
RUNTIME_FILES = ("resources.cfg", "message.lua")

# Media folders the game writes into are copied, so a test never changes
# the tracked files; everything else is linked.
WRITABLE_MEDIA = ("xmlScenes",)

_LOG_LINE = re.compile(r"^\d\d:\d\d:\d\d: ?(.*)$")


class HarnessError(AssertionError):
    pass


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
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN, "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.time() + 20
        while not number.endswith(b"\n"):
            if time.time() > deadline:
                self.stop()
                raise HarnessError("Xvfb did not report a display")
            chunk = os.read(read_end, 16)
            if not chunk:
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


def write_png(path, width, height, channels, pixel):
    """Writes an 8-bit grey (1 channel) or RGB (3 channels) PNG; pixel(x, y)
    returns an int or a tuple of ints 0..255."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            value = pixel(x, y)
            rows.extend([value] if channels == 1 else value)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 0 if channels == 1 else 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                  + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


SMALL_WORLD = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "small_world")


def write_small_world_media(folder):
    """The small test world's heightmap (a round hill, flat on top at 38
    units, in a shallow sea at 30) and its two ground textures."""
    side = 129

    def height(x, y):
        # 512 world units over 128 pixel steps: 4 units a pixel.
        distance = math.hypot(x - 64, y - 64) * 4.0
        top, floor = 38.0, 20.0
        if distance < 90:
            h = top
        elif distance < 150:
            h = top - (top - floor) * (distance - 90) / 60.0
        else:
            h = floor
        return int(round(h / 60.0 * 255))

    write_png(os.path.join(folder, "small_world_height.png"), side, side, 1, height)
    write_png(os.path.join(folder, "small_world_sand.png"), 64, 64, 3,
              lambda x, y: (200 + (x * 7 + y * 13) % 20, 180 + (x * 3 + y * 5) % 20, 120))
    write_png(os.path.join(folder, "small_world_grass.png"), 64, 64, 3,
              lambda x, y: (60 + (x * 5 + y * 11) % 25, 130 + (x * 13 + y * 7) % 30, 50))


class KelvoGame:
    def __init__(self, name="kelvo", world=None):
        """world: a folder holding "world.qormscene" and "paginglandscape2.cfg"
        to play instead of the island (e.g. SMALL_WORLD)."""
        self.world = world
        self.root = tempfile.mkdtemp(prefix="kelvo-e2e-%s-" % name)
        self.run_dir = os.path.join(self.root, "run")
        self.media_dir = os.path.join(self.root, "media")
        self.audio_file = os.path.join(self.root, "audio.wav")
        self.alsoft_conf = os.path.join(self.root, "alsoft.conf")
        self.process = None
        self.xserver = None
        self.window = None
        self.stdout_path = os.path.join(self.root, "stdout.txt")
        self.stderr_path = os.path.join(self.root, "stderr.txt")
        self._prepare()

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
        if self.world:
            self._use_world(self.world)
        with open(self.alsoft_conf, "w") as conf:
            # 16-bit samples: the wave writer would otherwise write floats.
            conf.write("[general]\ndrivers=wave\nsample-type=int16\n\n[wave]\nfile=%s\n" % self.audio_file)

    def _use_world(self, source):
        """Copies a test world next to the run folder and points the scene
        and terrain resource groups at it instead of the island."""
        folder = os.path.join(self.root, "world")
        shutil.copytree(source, folder)
        if source == SMALL_WORLD:
            write_small_world_media(folder)
        lines = []
        section = None
        for line in self.read_file("resources.cfg").splitlines():
            stripped = line.strip()
            if stripped.startswith("["):
                section = stripped
                lines.append(line)
                if section in ("[SceneLoader]", "[Terrain]"):
                    lines.append("FileSystem=../world")
                continue
            if section in ("[SceneLoader]", "[Terrain]") and "../media" in stripped:
                continue
            lines.append(line)
        self.write_file("resources.cfg", "\n".join(lines) + "\n")

    def path(self, *parts):
        """A path inside the game's working directory."""
        return os.path.join(self.run_dir, *parts)

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

    def start(self, display=True, extra_env=None):
        """Starts the game, under a private X server unless display is False.
        A game object can be started again after the previous run ended."""
        self.stop()
        self.window = None
        # A restarted game must not be judged by the previous run's log: a
        # wait would find the old lines before the new game has written any.
        self.remove_file(LOG_FILE)
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
            self.process = subprocess.Popen([EXECUTABLE], cwd=self.run_dir, env=env, stdout=out, stderr=err)
        return self

    def is_running(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, timeout=30):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError("kelvo did not end within %ss; log tail:\n%s"
                               % (timeout, "\n".join(self.log_lines()[-20:])))

    def quit_with_escape(self, timeout=30):
        """Presses escape until the game ends (a key pressed while the window
        is still being mapped can be lost) and returns the exit code."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            self.key("Escape")
            try:
                return self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                continue
        return self.wait_exit(timeout=1)

    def stop(self):
        """Ends the game (if still running) and its X server."""
        if self.process is not None and self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
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
        """The log's lines without their time stamps."""
        if not os.path.exists(self.path(LOG_FILE)):
            return []
        lines = []
        for raw in self.read_file(LOG_FILE).splitlines():
            match = _LOG_LINE.match(raw)
            lines.append(match.group(1) if match else raw)
        return lines

    def wait_for_log(self, text, timeout=60, after=0):
        """Waits until a log line (from index `after` on) contains text.
        Returns that line's index."""
        deadline = time.time() + timeout
        while True:
            lines = self.log_lines()
            for index in range(after, len(lines)):
                if text in lines[index]:
                    self.matched_line = lines[index]
                    return index
            if not self.is_running():
                raise HarnessError("kelvo ended before logging %r; log tail:\n%s"
                                   % (text, "\n".join(lines[-30:])))
            if time.time() > deadline:
                raise HarnessError("no log line %r within %ss; log tail:\n%s"
                                   % (text, timeout, "\n".join(lines[-30:])))
            time.sleep(0.1)

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
        deadline = time.time() + timeout
        while time.time() < deadline:
            ids = self._xdotool("search", "--name", WINDOW_TITLE, check=False).split()
            if ids:
                self.window = ids[0]
                self._xdotool("windowfocus", self.window, check=False)
                return self.window
            if not self.is_running():
                raise HarnessError("kelvo ended before showing its window; log tail:\n%s"
                                   % "\n".join(self.log_lines()[-30:]))
            time.sleep(0.2)
        raise HarnessError("no window titled %s; log tail:\n%s"
                           % (WINDOW_TITLE, "\n".join(self.log_lines()[-30:])))

    def _ensure_window(self):
        if self.window is None:
            self.find_window()
        self._xdotool("windowfocus", self.window, check=False)

    def key(self, *keys, hold=0.05):
        """Presses and releases each key (X keysym names, e.g. Escape, space)."""
        self._ensure_window()
        for name in keys:
            self._xdotool("keydown", name)
            time.sleep(hold)
            self._xdotool("keyup", name)
            time.sleep(0.05)

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
        time.sleep(0.1)
        self._xdotool("mousedown", button)
        time.sleep(0.08)
        self._xdotool("mouseup", button)

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

    def audio(self):
        """The captured sound as (channels, rate, sample width in bytes, raw frames).

        OpenAL Soft writes the extensible WAV header, which the wave module
        does not read, so the RIFF chunks are walked here."""
        with open(self.audio_file, "rb") as captured:
            data = captured.read()
        if data[0:4] != b"RIFF" or data[8:12] != b"WAVE":
            raise HarnessError("%s is not a WAV file" % self.audio_file)
        at = 12
        channels = rate = width = None
        frames = b""
        while at + 8 <= len(data):
            chunk, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
            body = data[at + 8:at + 8 + size]
            if chunk == b"fmt ":
                channels, rate = struct.unpack("<HI", body[2:8])
                width = struct.unpack("<H", body[14:16])[0] // 8
            elif chunk == b"data":
                # The writer may not have patched the size of a file still open.
                frames = data[at + 8:] if size in (0, 0xFFFFFFFF) else body
            at += 8 + size + (size & 1)
        if channels is None:
            raise HarnessError("%s has no format chunk" % self.audio_file)
        return channels, rate, width, frames

    def audio_levels(self, start_seconds=0.0, end_seconds=None):
        """Root-mean-square level of each channel (0..1) over a time span of
        the captured 16-bit sound."""
        channels, rate, width, frames = self.audio()
        if width != 2:
            raise HarnessError("expected 16-bit capture, got %d bytes a sample" % width)
        samples = array.array("h", frames[:len(frames) - len(frames) % (2 * channels)])
        first = int(start_seconds * rate) * channels
        last = len(samples) if end_seconds is None else min(len(samples), int(end_seconds * rate) * channels)
        levels = []
        for channel in range(channels):
            part = samples[first + channel:last:channels]
            levels.append(math.sqrt(sum(v * v for v in part) / len(part)) / 32768.0 if part else 0.0)
        return levels


def image_statistics(path, crop=None):
    """Mean and standard deviation of the picture's grey level (0..1), of the
    whole picture or of a crop given as ImageMagick geometry (WxH+X+Y)."""
    command = ["convert", path]
    if crop:
        command += ["-crop", crop, "+repage"]
    command += ["-colorspace", "Gray", "-format", "%[fx:mean] %[fx:standard_deviation]", "info:"]
    output = subprocess.run(command, check=True, stdout=subprocess.PIPE, text=True).stdout.split()
    return float(output[0]), float(output[1])


def image_difference(path_a, path_b, crop=None):
    """Root-mean-square difference (0..1) of two pictures, both shrunk to
    128 x 96 grey; crop (WxH+X+Y) applies to both before shrinking."""
    shrunk = []
    for index, path in enumerate((path_a, path_b)):
        target = "%s.cmp%d.png" % (path_a, index)
        command = ["convert", path]
        if crop:
            command += ["-crop", crop, "+repage"]
        command += ["-resize", "128x96!", "-colorspace", "Gray", target]
        subprocess.run(command, check=True)
        shrunk.append(target)
    result = subprocess.run(["compare", "-metric", "RMSE", shrunk[0], shrunk[1], "null:"],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    match = re.search(r"\(([0-9.eE+-]+)\)", result.stderr)
    if not match:
        raise HarnessError("compare gave no difference: %s" % result.stderr)
    return float(match.group(1))
