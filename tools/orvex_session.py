"""Drives the real orvex program on a private X server (Xvfb + openbox): keys and clicks through
xdotool, window facts through xwininfo and xprop, box texts through Ctrl+C and xclip, pixels
through libX11. Standard library only.

Every child process is started so that it dies with this one, every wait has a deadline, and a
session always stops the program, the window manager and the X server, even on failure.

One case by hand: PYTHONPATH=tools python3 tests/e2e/game_cases.py build/debug/app/orvex steer_one_player
(add --artifacts DIR to keep a screenshot and the program's stderr of a failure).
"""

import collections
import ctypes
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import traceback
import zlib

SKIPPED = 77  # CTest's SKIP_RETURN_CODE for the e2e tests
TOOLS = ("Xvfb", "openbox", "xdotool", "xclip", "xwininfo", "xprop")

# Tile colours on the board.
BLACK = (0, 0, 0)
MAROON = (128, 0, 0)
YELLOW = (255, 255, 0)
GREEN = (0, 255, 0)
MAGENTA = (255, 0, 255)
BLUE = (0, 0, 255)
TILE_NAMES = {BLACK: "worm1", MAROON: "border", YELLOW: "floor", GREEN: "food",
              MAGENTA: "obstacle", BLUE: "worm2"}
COLUMNS, ROWS = 40, 27

# Settings window layout, in twips from the client area's top left (15 twips per pixel at 96 dpi).
SETTINGS_CLIENT_TWIPS = (7770, 4620)
SETTINGS_TWIPS = {
    "Label1(0)": (240, 240, 3975, 495),
    "capS": (4440, 360, 1335, 495),
    "Speed": (240, 840, 5535, 375),
    "Label1(1)": (240, 1320, 1335, 495),
    "CapL": (4440, 1440, 1335, 495),
    "Level": (240, 1920, 5535, 375),
    "Label1(2)": (240, 2400, 3495, 495),
    "CapF": (4440, 2520, 1335, 495),
    "Fdpts": (240, 3000, 5535, 375),
    "Label1(3)": (240, 3480, 2895, 495),
    "CapG": (4440, 3600, 1335, 495),
    "GR": (240, 4080, 5535, 375),
    "Option1(0)": (6360, 1800, 1095, 375),
    "Option1(1)": (6360, 2160, 1095, 375),
    "Command1": (6360, 2520, 1095, 735),
}

SETTINGS_TITLE = "^Set Values\\.\\.\\.$"
MAIN_TITLE = "^Zindle ORVEX$"
BOX_TITLE = "^ORVEX$"


class Failure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(probe, timeout, what, interval=0.05, accept=bool):
    """Polls `probe` until `accept` takes its value, and returns that value; fails after `timeout`
    seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if accept(value):
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def wait_for_window_manager(env, timeout=20):
    """Waits until a window manager has taken the screen of `env`'s display: a window mapped
    before then can stay unmanaged and unseen."""
    def announced():
        done = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=10)
        return b"window id" in done.stdout
    wait_until(announced, timeout, "the window manager")


def _die_with_parent():
    # Children die with the test, so a killed test run leaves no X server or game behind.
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    os.setpgrp()


def spawn(args, env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs):
    return subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, stdout=stdout, stderr=stderr,
                            preexec_fn=_die_with_parent, **kwargs)


def stop(process, grace=2.0):
    if process is None or process.poll() is not None:
        return
    try:
        process.terminate()
        process.wait(grace)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(grace)


def f32(value):
    return struct.unpack("f", struct.pack("f", value))[0]


class BoardGeometry:
    """The board's cell-to-pixel mapping for a screen size; pixels relative to the main window."""

    def __init__(self, width, height):
        self.cell_width = f32(f32(width) / 40)
        self.cell_height = f32(round(height) / 30)

    def rect(self, x, y):
        return (round(f32(x * self.cell_width)), round(f32(y * self.cell_height)),
                round(self.cell_width), round(self.cell_height))

    def centre(self, x, y):
        left, top, width, height = self.rect(x, y)
        return left + width // 2, top + height // 2


class Image:
    """RGB pixels, three bytes each, row by row."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def pixel(self, x, y):
        offset = 3 * (y * self.width + x)
        return tuple(self.data[offset:offset + 3])

    def crop(self, left, top, width, height):
        rows = [self.data[3 * ((top + y) * self.width + left):3 * ((top + y) * self.width + left + width)]
                for y in range(height)]
        return Image(width, height, b"".join(rows))

    def ink(self):
        """Dark pixels (text on a bright background such as yellow or green) as a set of (x, y)."""
        return {(x, y) for y in range(self.height) for x in range(self.width)
                if max(self.pixel(x, y)) < 128}

    def save_png(self, path):
        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body
                    + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
        stride = 3 * self.width
        raw = b"".join(b"\0" + self.data[y * stride:(y + 1) * stride] for y in range(self.height))
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                      + chunk(b"IDAT", zlib.compress(raw, 1)) + chunk(b"IEND", b""))


class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
                ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong),
                ("blue_mask", ctypes.c_ulong)]


class ScreenGrabber:
    """Reads the root window's pixels through libX11: a command-line grabber takes about half a
    second per picture, too slow to see every tick of a game."""

    _X_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)

    def __init__(self, display):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x11.XGetImage.restype = ctypes.POINTER(_XImage)
        self.x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                       ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x11.XDestroyImage.argtypes = [ctypes.POINTER(_XImage)]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        # Xlib's default handler would end this process on a protocol error.
        self._on_error = self._X_ERROR_HANDLER(lambda display, event: 0)
        self.x11.XSetErrorHandler(self._on_error)
        self.connection = self.x11.XOpenDisplay(display.encode())
        check(self.connection, f"cannot open display {display}")
        self.root = self.x11.XDefaultRootWindow(self.connection)

    def grab(self, left, top, width, height):
        z_pixmap, all_planes = 2, 0xFFFFFFFF
        image = self.x11.XGetImage(self.connection, self.root, left, top, width, height,
                                   all_planes, z_pixmap)
        check(bool(image), "XGetImage failed")
        try:
            info = image.contents
            check(info.bits_per_pixel == 32 and info.red_mask == 0xFF0000 and info.byte_order == 0,
                  "unexpected X pixel format")
            rows = ctypes.string_at(info.data, info.bytes_per_line * height)
        finally:
            self.x11.XDestroyImage(image)
        if info.bytes_per_line != 4 * width:
            rows = b"".join(rows[y * info.bytes_per_line:y * info.bytes_per_line + 4 * width]
                            for y in range(height))
        rgb = bytearray(3 * width * height)
        rgb[0::3], rgb[1::3], rgb[2::3] = rows[2::4], rows[1::4], rows[0::4]
        return Image(width, height, bytes(rgb))

    def close(self):
        if self.connection:
            self.x11.XCloseDisplay(self.connection)
            self.connection = None


class Session:
    """One X server with a window manager and (once started) the program under test."""

    def __init__(self, program, width=1024, height=768, artifacts=None, name="session"):
        self.program = program
        self.width, self.height = width, height
        self.artifacts = artifacts
        self.name = name
        self.tmp = tempfile.mkdtemp(prefix="orvex-e2e-")
        self.xvfb = self.wm = self.process = None
        self.helpers = []
        self.display = self.grabber = None

    # --- life cycle -------------------------------------------------------------------------
    def __enter__(self):
        try:
            self._start_x()
            self._start_wm()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, kind, value, tb):
        if kind is not None and not issubclass(kind, KeyboardInterrupt):
            self._keep_evidence()
        self.close()
        return False

    def close(self):
        if self.grabber is not None:
            self.grabber.close()
        stop(self.process)
        for helper in self.helpers:
            stop(helper)
        stop(self.wm)
        stop(self.xvfb)
        shutil.rmtree(self.tmp, ignore_errors=True)

    def _start_x(self):
        read_end, write_end = os.pipe()
        self.xvfb = spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                           f"{self.width}x{self.height}x24", "-nolisten", "tcp", "-dpi", "96", "-noreset"],
                          env=os.environ.copy(), pass_fds=(write_end,))
        os.close(write_end)
        try:
            number = self._read_display_number(read_end)
        finally:
            os.close(read_end)
        check(number.isdigit(), "Xvfb did not report a display number")
        self.display = ":" + number
        self.env = self._clean_env()

    @staticmethod
    def _read_display_number(pipe):
        # Xvfb writes the number and then a newline; closing the pipe early would kill it.
        text = b""
        deadline = time.monotonic() + 20
        while not text.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([pipe], [], [], max(0.0, deadline - time.monotonic()))
            chunk = os.read(pipe, 64) if ready else b""
            if not chunk:
                break
            text += chunk
        return text.decode().strip()

    def _clean_env(self):
        home = os.path.join(self.tmp, "home")
        runtime = os.path.join(self.tmp, "runtime")
        for folder in (home, runtime):
            os.makedirs(folder, mode=0o700)
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": home,
            "LANG": "C.UTF-8",
            "DISPLAY": self.display,
            "XDG_RUNTIME_DIR": runtime,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
        }
        # The program must not start a sound server of its own that outlives the session.
        pulse = os.path.join(env["XDG_CONFIG_HOME"], "pulse")
        os.makedirs(pulse)
        with open(os.path.join(pulse, "client.conf"), "w") as config:
            config.write("autospawn = no\n")
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if name in os.environ:
                env[name] = os.environ[name]
        return env

    def _start_wm(self):
        self.wm = spawn(["openbox", "--sm-disable"], env=self.env)
        wait_for_window_manager(self.env)

    def start(self, program=None, env=None):
        """Starts the program (in a scratch folder) with the session's environment plus `env`."""
        full_env = dict(self.env, **(env or {}))
        self.stdout_path = os.path.join(self.tmp, "program.out")
        self.stderr_path = os.path.join(self.tmp, "program.err")
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.process = spawn([program or self.program], env=full_env, stdout=out, stderr=err,
                                 cwd=self.tmp)
        return self.process

    def start_helper(self, args, **kwargs):
        helper = spawn(args, env=self.env, **kwargs)
        self.helpers.append(helper)
        return helper

    def wait_exit(self, timeout=10):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program did not end within {timeout} s") from None

    def alive(self):
        return self.process is not None and self.process.poll() is None

    def stderr_lines(self):
        with open(self.stderr_path, encoding="utf-8", errors="replace") as err:
            return [line for line in err.read().splitlines() if line.strip()]

    def peak_memory_kib(self):
        with open(f"/proc/{self.process.pid}/status") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
        raise Failure("no VmHWM in /proc status")

    def _keep_evidence(self):
        if not self.artifacts:
            return
        os.makedirs(self.artifacts, exist_ok=True)
        base = os.path.join(self.artifacts, self.name)
        try:
            self.screenshot().save_png(base + ".png")
            print(f"screenshot kept in {base}.png", file=sys.stderr)
        except Exception:  # the X server may be the thing that failed
            pass
        if self.process is not None and os.path.exists(self.stderr_path):
            shutil.copy(self.stderr_path, base + ".stderr")
            print("program stderr:\n" + open(self.stderr_path, errors="replace").read(),
                  file=sys.stderr)

    # --- X tools ----------------------------------------------------------------------------
    def x(self, args, timeout=10, check_status=False):
        try:
            done = subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL,
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                  timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"{args[0]} hung") from None
        if check_status:
            check(done.returncode == 0, f"{' '.join(args)} failed")
        return done.stdout

    def xdotool(self, *args):
        return self.x(["xdotool", *map(str, args)], check_status=True)

    def find_windows(self, title):
        return [int(w) for w in self.x(["xdotool", "search", "--onlyvisible", "--name", title]).split()]

    def window(self, title, timeout=15):
        """Waits for one visible window whose title matches the regular expression `title`."""
        def probe():
            check(self.alive() or self.process is None,
                  f"the program ended (status {self.process and self.process.returncode}) "
                  f"while waiting for a window {title}")
            found = self.find_windows(title)
            return found[0] if found else None
        return wait_until(probe, timeout, f"a window titled {title}")

    def geometry(self, window):
        """The client area's absolute left, top, width and height."""
        info = self.x(["xwininfo", "-id", str(window)]).decode()
        value = {key: int(number) for key, number in re.findall(
            r"(Absolute upper-left X|Absolute upper-left Y|Width|Height):\s+(-?\d+)", info)}
        check(len(value) == 4, f"xwininfo gave no geometry for {window}")
        return (value["Absolute upper-left X"], value["Absolute upper-left Y"],
                value["Width"], value["Height"])

    def frame_offset(self, window):
        """The client's offset inside its window-manager frame (border width, title height)."""
        info = self.x(["xwininfo", "-id", str(window)]).decode()
        x = int(re.search(r"Relative upper-left X:\s+(-?\d+)", info).group(1))
        y = int(re.search(r"Relative upper-left Y:\s+(-?\d+)", info).group(1))
        return x, y

    def press_close(self, window):
        """Clicks the close button at the right end of the window's title bar (openbox's layout)."""
        left, top, width, _ = self.geometry(window)
        border, title = self.frame_offset(window)
        self.click(left + width + border - 11, top - title // 2)

    def active_window(self):
        out = self.x(["xdotool", "getactivewindow"]).split()
        return int(out[0]) if out else None

    def activate(self, window):
        self.xdotool("windowactivate", window)
        wait_until(lambda: self.active_window() == window, 5, f"window {window} to be active")

    def key(self, *keys, delay=30):
        self.xdotool("key", "--delay", delay, *keys)

    def keydown(self, *keys):
        self.xdotool("keydown", *keys)

    def keyup(self, *keys):
        self.xdotool("keyup", *keys)

    def click(self, x, y, button=1):
        # No --sync: it waits for ever when the pointer is already there.
        self.xdotool("mousemove", x, y)
        self.xdotool("click", button)

    def screenshot(self, left=0, top=0, width=None, height=None):
        if self.grabber is None:
            self.grabber = ScreenGrabber(self.display)
        return self.grabber.grab(left, top, width or self.width - left, height or self.height - top)

    def clipboard(self):
        return self.x(["xclip", "-o", "-selection", "clipboard"], timeout=5).decode(errors="replace")

    def box_text(self, box):
        """The message of a box, read through Ctrl+C and the clipboard."""
        self.activate(box)
        marker = "(nothing copied)"
        # xclip keeps the clipboard in the background until the box takes it over.
        subprocess.run(["xclip", "-i", "-selection", "clipboard"], input=marker.encode(),
                       env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=5)
        # A box that has only just been activated may not take the shortcut yet: try again.
        for attempt in range(5):
            self.key("ctrl+c")
            try:
                text = wait_until(self.clipboard, 1, "the box's text on the clipboard",
                                  accept=lambda copied: copied and copied != marker)
                return message_of(text)
            except Failure:
                if attempt == 4:
                    raise


def message_of(copied):
    """The message of a copied box: a bare message, or one framed by the title and the button."""
    lines = [line.strip() for line in copied.replace("\r", "").split("\n")]
    kept = [line for line in lines if line and not re.fullmatch(r"-+", line)]
    if len(kept) >= 3 and kept[0] == "ORVEX" and kept[-1] == "OK":
        kept = kept[1:-1]
    return "\n".join(kept)


# --- the program's windows ------------------------------------------------------------------
class Settings:
    """The settings window: control rectangles on the screen, scaled from the stored layout."""

    def __init__(self, session, timeout=20):
        self.session = session
        self.window = session.window(SETTINGS_TITLE, timeout)
        self.left, self.top, self.width, self.height = session.geometry(self.window)
        self.scale = self.width / (SETTINGS_CLIENT_TWIPS[0] / 15)

    def rect(self, control):
        left, top, width, height = (round(v / 15 * self.scale) for v in SETTINGS_TWIPS[control])
        return self.left + left, self.top + top, width, height

    def click(self, control, fraction_x=0.5, fraction_y=0.5):
        left, top, width, height = self.rect(control)
        self.session.click(left + int(width * fraction_x), top + int(height * fraction_y))

    def label_image(self, control, shot=None):
        return shot.crop(*self.rect(control)) if shot else self.session.screenshot(*self.rect(control))

    def start_game(self, timeout=20):
        self.click("Command1")
        return MainWindow(self.session, timeout)

    def choose(self, speed=(), level=(), food=(), growth=(), players=1, delay=30):
        """Sets the values by keyboard from the start state (focus on Speed, every bar at 1): each
        bar gets its keys, then Tab goes on; Down in the option group picks "2 Player"."""
        keys = [*speed, "Tab", *level, "Tab", *food, "Tab", *growth, "Tab"]
        if players == 2:
            keys.append("Down")
        self.session.activate(self.window)
        self.session.key(*keys, delay=delay)


class MainWindow:
    def __init__(self, session, timeout=20):
        self.session = session
        self.window = session.window(MAIN_TITLE, timeout)
        self.geometry = BoardGeometry(session.width, session.height)
        # The window shows before the window manager has maximized it and before its first paint.
        wait_until(self._drawn, timeout, "the main window to show its board")

    def _drawn(self):
        self.left, self.top, self.width, self.height = self.client()
        if self.left + self.width > self.session.width or self.top + self.height > self.session.height:
            return False
        board = self.board()
        return all(board[(x, y)] == "border" for x in range(COLUMNS) for y in (0, ROWS - 1))

    def client(self):
        return self.session.geometry(self.window)

    def board(self, shot=None):
        """The tile at every cell's centre: {(x, y): colour name, or None for other colours}."""
        board = {}
        for y in range(ROWS):
            cy = self.top + self.geometry.centre(0, y)[1]
            # One pixel row per board row: a whole screen would take far longer to read.
            strip = shot.crop(0, cy, shot.width, 1) if shot else self.session.screenshot(0, cy, None, 1)
            for x in range(COLUMNS):
                board[(x, y)] = TILE_NAMES.get(strip.pixel(self.left + self.geometry.centre(x, y)[0], 0))
        return board

    def cells(self, kind, board=None):
        board = board or self.board()
        return {cell for cell, name in board.items() if name == kind}

    def press_close(self):
        self.session.press_close(self.window)


class DigitReader:
    """Reads the value labels without OCR: the glyphs of the digits are learnt from the program's own
    labels (every label shows "1" at start, and stepping Level shows 2 to 10), then a label is read
    by matching each glyph with the nearest learnt one."""

    def __init__(self):
        self.templates = {}

    @staticmethod
    def glyphs(image):
        ink = image.ink()
        # A label's frame line, if it has one, is no glyph.
        columns = collections.Counter(x for x, _ in ink)
        rows = collections.Counter(y for _, y in ink)
        ink = {(x, y) for x, y in ink
               if columns[x] < 0.85 * image.height and rows[y] < 0.85 * image.width}
        runs = []
        for x in sorted({x for x, _ in ink}):
            if runs and x == runs[-1][1] + 1:
                runs[-1][1] = x
            else:
                runs.append([x, x])
        found = []
        for first, last in runs:
            points = [(x, y) for x, y in ink if first <= x <= last]
            top = min(y for _, y in points)
            found.append(frozenset((x - first, y - top) for x, y in points))
        return found

    @staticmethod
    def distance(a, b):
        best = len(a) + len(b)
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                best = min(best, len(a ^ {(x + dx, y + dy) for x, y in b}))
        return best / max(len(a), len(b), 1)

    def learn(self, digit, glyph):
        self.templates[digit] = glyph

    def read(self, image):
        text = ""
        for glyph in self.glyphs(image):
            if not self.templates:
                text += "?"
                continue
            digit, template = min(self.templates.items(), key=lambda item: self.distance(glyph, item[1]))
            text += digit if self.distance(glyph, template) < 0.4 else "?"
        return text


def sign(value):
    return (value > 0) - (value < 0)


class WormTracker:
    """Follows the worms' heads from board to board. A worm's head is its only tile, or the one tile
    that is new since the last board; boards where that is unclear add nothing."""

    KINDS = ("worm1", "worm2")

    def __init__(self, main):
        self.main = main
        self.previous = {kind: set() for kind in self.KINDS}
        self.paths = {kind: [] for kind in self.KINDS}
        self.longest = {kind: 0 for kind in self.KINDS}
        self.board = None

    def update(self):
        self.board = self.main.board()
        for kind in self.KINDS:
            cells = {cell for cell, name in self.board.items() if name == kind}
            self.longest[kind] = max(self.longest[kind], len(cells))
            new = cells - self.previous[kind]
            head = next(iter(cells)) if len(cells) == 1 else next(iter(new)) if len(new) == 1 else None
            path = self.paths[kind]
            if head is not None and (not path or path[-1] != head):
                path.append(head)
            self.previous[kind] = cells
        return self.board

    def head(self, kind="worm1"):
        return self.paths[kind][-1] if self.paths[kind] else None

    def run(self, kind, direction):
        """How far the head has gone in `direction` ((dx, dy) signs) since its last turn."""
        path, length = self.paths[kind], 0
        for (x0, y0), (x1, y1) in reversed(list(zip(path, path[1:]))):
            if (sign(x1 - x0), sign(y1 - y0)) != direction:
                break
            length += abs(x1 - x0) + abs(y1 - y0)
        return length

    def wait_for(self, predicate, what, timeout=15):
        session = self.main.session
        next_box_check = 0

        def probe():
            nonlocal next_box_check
            check(session.alive(), f"the program ended while waiting for {what}")
            # Looking for the report costs a process start: not on every board.
            if time.monotonic() > next_box_check:
                check(not session.find_windows(BOX_TITLE),
                      f"the game ended while waiting for {what}; paths {self.paths}")
                next_box_check = time.monotonic() + 0.5
            self.update()
            return predicate(self)
        return wait_until(probe, timeout, what, interval=0.01)


UP, DOWN, LEFT, RIGHT = (0, -1), (0, 1), (-1, 0), (1, 0)


def expected_report(players, score1, score2=0):
    def part(score):
        return f" {score} point!!" if score == 1 else f" {score} points!!"
    report = "Player 1 got" + part(score1)
    if players == 2:
        report += " and Player 2 got" + part(score2)
    return report


REPORT = re.compile(r"Player 1 got (\d+) points?!!( and Player 2 got (\d+) points?!!)?")


def parse_report(text):
    """(score1, score2 or None) of a well-formed report; fails on anything else."""
    match = REPORT.fullmatch(text)
    check(match is not None, f"not a score report: {text!r}")
    score1 = int(match.group(1))
    score2 = int(match.group(3)) if match.group(3) else None
    check(text == expected_report(2 if score2 is not None else 1, score1, score2 or 0),
          f"report with the wrong singular/plural: {text!r}")
    return score1, score2


def wait_box(session, timeout=30):
    return session.window(BOX_TITLE, timeout)


def dismiss(session, box):
    session.activate(box)
    session.key("Return")


# --- running cases ----------------------------------------------------------------------------
CASES = {}


def case(function):
    CASES[function.__name__] = function
    return function


class Context:
    def __init__(self, program, artifacts, name):
        self.program, self.artifacts, self.name = program, artifacts, name

    def session(self, **kwargs):
        kwargs.setdefault("artifacts", self.artifacts)
        kwargs.setdefault("name", self.name)
        return Session(self.program, **kwargs)


def _on_alarm(signum, frame):
    raise Failure("the case ran out of time")


def main(argv=None):
    """Usage: <script> PROGRAM CASE [--artifacts DIR] [--budget SECONDS]."""
    args = list(sys.argv[1:] if argv is None else argv)
    artifacts = budget = None
    if "--artifacts" in args:
        index = args.index("--artifacts")
        artifacts = args[index + 1]
        del args[index:index + 2]
    if "--budget" in args:
        index = args.index("--budget")
        budget = int(args[index + 1])
        del args[index:index + 2]
    if len(args) != 2 or args[1] not in CASES:
        print(f"usage: {sys.argv[0]} PROGRAM CASE; cases: {' '.join(sorted(CASES))}", file=sys.stderr)
        return 2
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        print(f"skipped: {' '.join(missing)} not installed (make setup installs them)")
        return SKIPPED
    program, name = os.path.abspath(args[0]), args[1]
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    if budget:
        signal.signal(signal.SIGALRM, _on_alarm)
        signal.alarm(budget)
    started = time.monotonic()
    try:
        CASES[name](Context(program, artifacts, name))
    except Failure as failure:
        where = traceback.extract_tb(failure.__traceback__)
        steps = " <- ".join(f"{frame.name}:{frame.lineno}" for frame in reversed(where[1:]))
        print(f"FAILED {name}: {failure}\n  at {steps}", file=sys.stderr)
        return 1
    except Exception:
        traceback.print_exc()
        return 1
    print(f"passed {name} in {time.monotonic() - started:.1f} s")
    return 0
