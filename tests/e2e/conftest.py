"""Fixtures of the real-program tests: the program under test (ORVEX_PROGRAM) on a private desktop
per test, whose screenshot and stderr are kept in ORVEX_ARTIFACTS when the test fails."""

import os
import shutil
import sys

import pytest

HERE = os.path.dirname(__file__)
sys.path[:0] = [os.path.join(HERE, "..", "harness"), os.path.join(HERE, "..", "..", "tools")]
pytest.importorskip("Xlib", reason="python3-xlib missing (make setup installs it)")
from desktop import MAIN, X11, Wayland  # noqa: E402
from orvex_session import check, wait_until  # noqa: E402

# From the settings window's first focus (Speed, every bar at 1), Tab goes along level, food
# points, growth and the player choice to the start button.
TO_START = ["Tab"] * 5


def start_game(desktop, keys=TO_START):
    """Starts a game with `keys` from the settings window's first focus to its start button; the
    game's window, once its board's top and bottom borders lie where this screen's cells put them."""
    desktop.keys(*keys, "space")
    game = desktop.shown(MAIN)
    border = {(x, y) for x in range(40) for y in (0, 26)}
    wait_until(lambda: {cell for cell, tile in desktop.board(game).items() if tile == "border"}
               >= border, 10, "the board to fill its screen")
    return game


def finish(desktop, box):
    """Dismisses the box; the program must end with status 0, with one stderr line at most (no
    sound server, say)."""
    desktop.focus(box)
    desktop.keys("Return")
    check(desktop.wait_exit() == 0, "the program did not end with status 0")
    lines = desktop.stderr().splitlines()
    check(len(lines) <= 1, f"stderr: {lines}")


def needs(*tools):
    if missing := [tool for tool in tools if shutil.which(tool) is None]:
        pytest.skip(f"{' '.join(missing)} not installed (make setup installs them)")


@pytest.fixture
def program():
    return os.path.abspath(os.environ.get("ORVEX_PROGRAM", "build/debug/app/orvex"))


@pytest.fixture
def x11(request, program):
    """An X server with a window manager, 1024 x 768 unless parametrized with (width, height)."""
    needs("Xvfb", "openbox", "xdotool", "xclip")
    with X11(program, *getattr(request, "param", (1024, 768))) as desktop:
        yield from kept(request, desktop)


@pytest.fixture
def wayland(request, program):
    needs("sway", "wtype", "grim", "setpriv")
    pytest.importorskip("i3ipc", reason="python3-i3ipc missing (make setup installs it)")
    with Wayland(program) as desktop:
        yield from kept(request, desktop)


def kept(request, desktop):
    """Yields the desktop; keeps the program's stderr if the test fails."""
    failures = request.session.testsfailed
    yield desktop
    folder = os.environ.get("ORVEX_ARTIFACTS")
    if folder and request.session.testsfailed > failures and desktop.process:
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, request.node.name + ".stderr"), "w") as err:
            err.write(desktop.stderr())
