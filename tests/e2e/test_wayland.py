"""The real program natively on a private headless sway (no XWayland, no DISPLAY): a whole game
played by keyboard, and a board opened on a second, larger screen.

Run by CTest (e2e.wayland); by hand:
    ORVEX_PROGRAM=build/debug/app/orvex /usr/bin/python3 -m pytest -p no:cacheprovider -rs \\
        tests/e2e/test_wayland.py
ORVEX_ARTIFACTS names where screenshots go.
"""

import os
import tempfile

import pytest

from orvex_session import MAROON, TILE_NAMES, BoardGeometry, wait_until
from orvex_sway import FIRST_OUTPUT, Sway, Unavailable

COLUMNS, ROWS = 40, 27
SETTINGS_TITLE, MAIN_TITLE, BOX_TITLE = "Set Values...", "Zindle ORVEX", "ORVEX"
# From the start state (focus on Speed, every bar at 1): Speed to 300 ms a tick, which leaves time
# to steer, then Tab along Level, food points, growth rate and the player choice to the start button.
SPEED_300 = ["-k", "End"] + ["-k", "Prior"] * 7
TO_START_BUTTON = ["-k", "Tab"] * 5


@pytest.fixture
def artifacts():
    folder = os.environ.get("ORVEX_ARTIFACTS") or tempfile.mkdtemp(prefix="orvex-wayland-")
    os.makedirs(folder, exist_ok=True)
    return folder


@pytest.fixture
def sway():
    try:
        with Sway() as compositor:
            yield compositor
    except Unavailable as why:
        pytest.skip(f"no headless Wayland compositor: {why}")


class Board:
    """The board as a window shows it on an output: the tile at every cell's centre."""

    def __init__(self, sway, window):
        left, top, width, height = sway.outputs()[window.output]
        self.output, self.left, self.top = window.output, window.rect[0] - left, window.rect[1] - top
        self.geometry = BoardGeometry(width, height)

    def read(self, shot):
        board = {}
        for y in range(ROWS):
            for x in range(COLUMNS):
                cx, cy = self.geometry.centre(x, y)
                board[(x, y)] = TILE_NAMES.get(shot.getpixel((self.left + cx, self.top + cy)))
        return board


def worm_cells(sway, board):
    return {cell for cell, name in board.read(sway.screenshot(board.output)).items() if name == "worm1"}


def test_whole_game_natively_on_wayland(sway, program, artifacts):
    sway.start_program(program)
    sway.wait_window(SETTINGS_TITLE)
    sway.keys(*SPEED_300, *TO_START_BUTTON, "-k", "space")
    game = sway.wait_window(MAIN_TITLE)
    assert not [window for window in sway.windows() if window.name == SETTINGS_TITLE], \
        "the settings window stayed after the start"
    board = Board(sway, game)
    # Player 1's worm starts on the middle row, heading right.
    start = wait_until(lambda: worm_cells(sway, board), 10, "the black worm")
    assert {y for _, y in start} == {13}, f"the worm starts at {start}"
    sway.keys("-P", "Up", "-s", "900", "-p", "Up")
    wait_until(lambda: any(y < 13 for _, y in worm_cells(sway, board)), 10, "the worm to go up")
    sway.wait_window(BOX_TITLE, 30)
    sway.screenshot(game.output, keep=os.path.join(artifacts, "wayland_report.png"))
    sway.keys("-k", "Return")
    assert sway.wait_exit() == 0, sway.stderr()


def maroon_run(shot, x, y, dx, dy):
    """How many maroon pixels from (x, y) on in steps of (dx, dy)."""
    count = 0
    while 0 <= x < shot.width and 0 <= y < shot.height and shot.getpixel((x, y)) == MAROON:
        count, x, y = count + 1, x + dx, y + dy
    return count


def test_board_fills_the_second_screen_it_was_set_up_on(sway, program, artifacts):
    width, height = 1600, 900
    second = sway.add_output(width, height)
    assert sway.outputs()[FIRST_OUTPUT][2:] != (width, height)
    sway.msg("focus", "output", second)
    sway.start_program(program)
    settings = sway.wait_window(SETTINGS_TITLE)
    assert settings.output == second, f"the settings window opened on {settings.output}"
    # At speed 1 the worm meets the border at once; the report leaves the board's edges in view.
    sway.keys(*TO_START_BUTTON, "-k", "space")
    game = sway.wait_window(MAIN_TITLE)
    assert game.output == second, f"the game opened on {game.output}"
    sway.wait_window(BOX_TITLE, 30)
    shot = sway.screenshot(second, keep=os.path.join(artifacts, "wayland_second_screen.png"))
    geometry = BoardGeometry(width, height)
    _, middle_row = geometry.centre(0, 13)
    _, _, cell_width, cell_height = geometry.rect(39, 0)
    # The right border column ends at the screen's right edge and is one cell of this screen wide;
    # the top border row is one cell of this screen high.
    assert maroon_run(shot, width - 1, middle_row, -1, 0) == cell_width, \
        f"right border {maroon_run(shot, width - 1, middle_row, -1, 0)} px wide, not {cell_width}"
    assert maroon_run(shot, geometry.centre(20, 0)[0], 0, 0, 1) == cell_height, \
        f"top border {maroon_run(shot, geometry.centre(20, 0)[0], 0, 0, 1)} px high, not {cell_height}"
    sway.keys("-k", "Return")
    assert sway.wait_exit() == 0, sway.stderr()
