"""Drives the real orvex program on a private X server (Xvfb + openbox): keys and clicks through
xdotool, windows and pixels through python3-xlib and Pillow. Shared by the end-to-end tests,
bench/run_bench and scripts/screenshots.

Every child process dies with this one, every wait has a deadline, and a session always stops the
program, the window manager and the X server, even on failure.
"""

import ctypes
import os
import re
import shutil
import signal
import struct
import subprocess
import tempfile
import time

from PIL import Image, ImageGrab
from Xlib import X
from Xlib import display as xdisplay
from Xlib import error as xerror

TOOLS = ("Xvfb", "openbox", "xdotool")

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

SETTINGS_TITLE = "^Set Values\\.\\.\\.$"
MAIN_TITLE = "^Zindle ORVEX$"
BOX_TITLE = "^ORVEX$"
# The start button in the settings window's client area, in pixels at its stored width.
SETTINGS_WIDTH = 518
START_BUTTON = (424, 168, 73, 49)


class Failure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(probe, timeout, what, interval=0.05, accept=bool):
    """Polls `probe` until `accept` takes its value, and returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if accept(value):
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def wait_for_window_manager(env, timeout=20):
    """Waits until a window manager has announced itself on `env`'s display: a window mapped before
    then can stay unmanaged and unseen."""
    connection = xdisplay.Display(env["DISPLAY"])
    try:
        announcement = connection.intern_atom("_NET_SUPPORTING_WM_CHECK")
        root = connection.screen().root
        wait_until(lambda: root.get_full_property(announcement, X.AnyPropertyType), timeout,
                   "the window manager")
    finally:
        connection.close()


def _die_with_parent():
    # Children die with the test, so a killed test run leaves no X server or game behind.
    ctypes.CDLL(None).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    os.setpgrp()


def spawn(args, env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs):
    return subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, stdout=stdout, stderr=stderr,
                            preexec_fn=_die_with_parent, **kwargs)


def stop(process, grace=2.0):
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(grace)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(grace)


def f32(value):
    """A value as the game holds it: a single-precision float."""
    return struct.unpack("f", struct.pack("f", value))[0]


class BoardGeometry:
    """The board's cells in pixels for a screen size, relative to the main window, rounded as the
    game rounds them: a fortieth of the width and a thirtieth of the height per cell."""

    def __init__(self, width, height):
        self.cell_width = f32(f32(width) / COLUMNS)
        self.cell_height = f32(round(height) / 30)

    def rect(self, x, y):
        return (round(f32(x * self.cell_width)), round(f32(y * self.cell_height)),
                round(self.cell_width), round(self.cell_height))

    def centre(self, x, y):
        left, top, width, height = self.rect(x, y)
        return left + width // 2, top + height // 2


class Session:
    """One X server with a window manager and (once started) the program under test."""

    def __init__(self, program, width=1024, height=768):
        self.program, self.width, self.height = program, width, height
        self.tmp = tempfile.mkdtemp(prefix="orvex-e2e-")
        self.xvfb = self.wm = self.process = self.x11 = None
        self.helpers = []

    def __enter__(self):
        try:
            self._start_x()
            self.wm = spawn(["openbox", "--sm-disable"], env=self.env)
            wait_for_window_manager(self.env)
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def close(self):
        if self.x11 is not None:
            self.x11.close()
            self.x11 = None
        for process in [self.process, *self.helpers, self.wm, self.xvfb]:
            stop(process)
        shutil.rmtree(self.tmp, ignore_errors=True)

    def _start_x(self):
        read_end, write_end = os.pipe()
        self.xvfb = spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                           f"{self.width}x{self.height}x24", "-nolisten", "tcp", "-dpi", "96",
                           "-noreset"], env=os.environ.copy(), pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        check(number.isdigit(), "Xvfb did not report a display number")
        self.display = ":" + number
        self.env = self._clean_env()
        self.x11 = xdisplay.Display(self.display)
        self.root = self.x11.screen().root

    def _clean_env(self):
        home = os.path.join(self.tmp, "home")
        runtime = os.path.join(self.tmp, "runtime")
        # The program must not start a sound server of its own that outlives the session.
        os.makedirs(os.path.join(home, ".config", "pulse"))
        os.makedirs(runtime, mode=0o700)
        with open(os.path.join(home, ".config", "pulse", "client.conf"), "w") as config:
            config.write("autospawn = no\n")
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": home, "LANG": "C.UTF-8",
               "DISPLAY": self.display, "XDG_RUNTIME_DIR": runtime}
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if name in os.environ:
                env[name] = os.environ[name]
        return env

    def start(self, program=None, env=None):
        """Starts the program (in a scratch folder) with the session's environment plus `env`."""
        self.stderr_path = os.path.join(self.tmp, "program.err")
        with open(self.stderr_path, "wb") as err:
            self.process = spawn([program or self.program], env=dict(self.env, **(env or {})),
                                 stderr=err, cwd=self.tmp)
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

    def peak_memory_kib(self):
        with open(f"/proc/{self.process.pid}/status") as status:
            return next(int(line.split()[1]) for line in status if line.startswith("VmHWM:"))

    # --- windows, through the window manager's list of the windows it manages ------------------
    def _property(self, window, name):
        found = self.x11.create_resource_object("window", window).get_full_property(
            self.x11.intern_atom(name), X.AnyPropertyType)
        return found.value if found else None

    def title(self, window):
        name = self._property(window, "_NET_WM_NAME") or self._property(window, "WM_NAME") or b""
        return name.decode(errors="replace") if isinstance(name, bytes) else name

    def find_windows(self, title):
        """The shown windows whose title matches the regular expression `title`."""
        found = []
        for window in self._property(self.root.id, "_NET_CLIENT_LIST") or []:
            try:
                attributes = self.x11.create_resource_object("window", window).get_attributes()
                if attributes.map_state == X.IsViewable and re.search(title, self.title(window)):
                    found.append(window)
            except xerror.XError:  # gone while we looked
                pass
        return found

    def window(self, title, timeout=15):
        """Waits for one shown window whose title matches the regular expression `title`."""
        def probe():
            check(self.alive() or self.process is None,
                  f"the program ended (status {self.process and self.process.returncode}) "
                  f"while waiting for a window {title}")
            return next(iter(self.find_windows(title)), None)
        return wait_until(probe, timeout, f"a window titled {title}")

    def geometry(self, window):
        """The client area's absolute left, top, width and height."""
        client = self.x11.create_resource_object("window", window)
        size = client.get_geometry()
        origin = client.translate_coords(self.root, 0, 0)
        return -origin.x, -origin.y, size.width, size.height

    def frame(self, window):
        """The window with its title bar and border: left, top, width and height on the screen."""
        left, top, width, height = self.geometry(window)
        border_left, border_right, title, border_bottom = self._property(window, "_NET_FRAME_EXTENTS")
        return (left - border_left, top - title, width + border_left + border_right,
                height + title + border_bottom)

    def active_window(self):
        active = self._property(self.root.id, "_NET_ACTIVE_WINDOW")
        return active[0] if active else None

    def activate(self, window):
        self.xdotool("windowactivate", window)
        wait_until(lambda: self.active_window() == window, 5, f"window {window} to be active")

    # --- input and output ------------------------------------------------------------------------
    def x(self, args, timeout=10):
        """Runs an X tool on the session's display; returns its output."""
        try:
            return subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL, capture_output=True,
                                  timeout=timeout).stdout
        except subprocess.TimeoutExpired:
            raise Failure(f"{args[0]} did not answer within {timeout} s") from None

    def xdotool(self, *args):
        return self.x(["xdotool", *map(str, args)])

    def key(self, *keys, delay=30):
        self.x(["xdotool", "key", "--delay", str(delay), *keys], timeout=10 + len(keys) * delay / 1000)

    def keydown(self, *keys):
        self.xdotool("keydown", *keys)

    def keyup(self, *keys):
        self.xdotool("keyup", *keys)

    def click(self, x, y, button=1):
        # No --sync: it waits for ever when the pointer is already there.
        self.xdotool("mousemove", x, y)
        self.xdotool("click", button)

    def screenshot(self, left=0, top=0, width=None, height=None):
        """A Pillow image of the screen or a part of it."""
        box = (left, top, left + (width or self.width - left), top + (height or self.height - top))
        return ImageGrab.grab(bbox=box, xdisplay=self.display)

    def row(self, y):
        """One pixel row of the screen: a whole screen takes far longer to read than a board's
        rows, too long to see every tick of a game."""
        raw = self.root.get_image(0, y, self.width, 1, X.ZPixmap, 0xFFFFFFFF)
        return Image.frombytes("RGB", (self.width, 1), raw.data, "raw", "BGRX")

# --- the program's windows ------------------------------------------------------------------
class Settings:
    def __init__(self, session, timeout=20):
        self.session = session
        self.window = session.window(SETTINGS_TITLE, timeout)
        self.left, self.top, self.width, self.height = session.geometry(self.window)

    def start_game(self, timeout=20):
        """Clicks the start button and waits for the board."""
        left, top, width, height = (round(v * self.width / SETTINGS_WIDTH) for v in START_BUTTON)
        self.session.click(self.left + left + width // 2, self.top + top + height // 2)
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
        self.geometry = BoardGeometry(session.width, session.height)  # cut from the screen's size
        # The window shows before the window manager has maximized it and before its first paint.
        wait_until(self._drawn, timeout, "the main window to show its board")

    def _drawn(self):
        self.left, self.top, self.width, self.height = self.client()
        if self.left + self.width > self.session.width or self.top + self.height > self.session.height:
            return False
        # Top and bottom rows only: a worm that crashes into a side may already cover its cell.
        board = self.board()
        return all(board[(x, y)] == "border" for x in range(COLUMNS) for y in (0, ROWS - 1))

    def client(self):
        return self.session.geometry(self.window)

    def centre(self, x, y):
        """A cell's centre on the screen."""
        left, top = self.geometry.centre(x, y)
        return self.left + left, self.top + top

    def board(self):
        """The tile at every cell's centre: {(x, y): colour name, or None for other colours}."""
        board = {}
        for y in range(ROWS):
            row = self.session.row(self.centre(0, y)[1])
            for x in range(COLUMNS):
                board[(x, y)] = TILE_NAMES.get(row.getpixel((self.centre(x, y)[0], 0)))
        return board


def wait_box(session, timeout=30):
    return session.window(BOX_TITLE, timeout)


def dismiss(session, box):
    session.activate(box)
    session.key("Return")
