import os
import pathlib
import shutil
import sys

import pytest

sys.path[:0] = [os.path.join(os.path.dirname(__file__), "..", f) for f in ("harness", "../tools")]
pytest.importorskip("Xlib", reason="python3-xlib missing (make setup installs it)")
from desktop import X11, Wayland  # noqa: E402
from orvex_session import MAIN_TITLE, check, dismiss, wait_until  # noqa: E402

PROGRAM = os.path.abspath(os.environ.get("ORVEX_PROGRAM", "build/debug/app/orvex"))
# From the settings window's first focus (Speed, every bar at 1), Tab goes along level, food
# points, growth and the player choice to the start button.
TO_START = ["Tab"] * 5
# 101 ms a tick, 100 food points, two players: the worms eat what lies ahead, unsteered.
EATING = ["Next", "Tab", "Tab", "End", "Tab", "Tab", "Down", "Tab"]


def start_game(desktop, keys=TO_START):
    desktop.key(*keys, "space")
    game = desktop.shown(MAIN_TITLE)
    wait_until(lambda: desktop.board(game), 10, "the board to fill its screen", accept=lambda board:
               all(board[(x, y)] == "border" for x in range(40) for y in (0, 26)))
    return game


def finish(desktop, box=None):
    if box:
        dismiss(desktop, box.handle)
    check(desktop.wait_exit() == 0, "the program did not end with status 0")
    lines = pathlib.Path(desktop.stderr_path).read_text(errors="replace").splitlines()
    check(len(lines) <= 1, f"stderr: {lines}")  # a warning at most: no sound server, say


def needs(*tools):
    if missing := [tool for tool in tools if shutil.which(tool) is None]:
        pytest.skip(f"{' '.join(missing)} not installed (make setup installs them)")


@pytest.fixture
def x11(request):
    needs("Xvfb", "openbox", "xdotool", "xclip")
    with X11(PROGRAM, *getattr(request, "param", (1024, 768))) as desktop:
        yield desktop


@pytest.fixture
def wayland():
    needs("sway", "wtype", "grim", "setpriv")
    pytest.importorskip("i3ipc", reason="python3-i3ipc missing (make setup installs it)")
    with Wayland(PROGRAM) as desktop:
        yield desktop
