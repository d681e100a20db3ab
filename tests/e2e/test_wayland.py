"""The real program natively on a private headless sway (no XWayland, no DISPLAY): a whole game
played by keyboard, and a board opened on a second, larger screen. Screenshots of both go to
ORVEX_ARTIFACTS when it is set."""

import os

import pytest

from orvex_session import BLACK, COLUMNS, MAROON, ROWS, BoardGeometry, wait_until
from orvex_sway import FIRST_OUTPUT, Sway, Unavailable

SETTINGS_TITLE, MAIN_TITLE, BOX_TITLE = "Set Values...", "Zindle ORVEX", "ORVEX"
# From the start state (focus on Speed, every bar at 1), Tab goes along level, food points, growth
# rate and the player choice to the start button.
TO_START_BUTTON = ["-k", "Tab"] * 5
ARTIFACTS = os.environ.get("ORVEX_ARTIFACTS")


@pytest.fixture
def sway():
    try:
        with Sway() as compositor:
            yield compositor
    except Unavailable as why:
        pytest.skip(f"no headless Wayland compositor: {why}")


def shot(sway, output, name):
    return sway.screenshot(output, keep=ARTIFACTS and os.path.join(ARTIFACTS, name))


def worm_rows(sway, window):
    """The board's rows that show a cell of worm 1 in the window, on a screenshot of its output."""
    x, y, width, height = sway.outputs()[window.output]
    geometry, pixels = BoardGeometry(width, height), sway.screenshot(window.output)

    def black(column, row):
        cx, cy = geometry.centre(column, row)
        return pixels.getpixel((window.rect[0] - x + cx, window.rect[1] - y + cy)) == BLACK
    return {row for row in range(ROWS) for column in range(COLUMNS) if black(column, row)}


def test_whole_game_natively_on_wayland(sway, program):
    sway.start_program(program)
    sway.wait_window(SETTINGS_TITLE)
    # Speed to 300 ms a tick, which leaves time to steer, then start.
    sway.keys("-k", "End", *["-k", "Prior"] * 7, *TO_START_BUTTON, "-k", "space")
    game = sway.wait_window(MAIN_TITLE)
    assert SETTINGS_TITLE not in [window.name for window in sway.windows()]
    # Player 1's worm starts on the middle row, heading right.
    assert wait_until(lambda: worm_rows(sway, game), 10, "the black worm") == {13}
    sway.keys("-P", "Up", "-s", "900", "-p", "Up")
    wait_until(lambda: min(worm_rows(sway, game), default=13) < 13, 10, "the worm to go up")
    sway.wait_window(BOX_TITLE, 30)
    shot(sway, game.output, "wayland_report.png")
    sway.keys("-k", "Return")
    assert sway.wait_exit() == 0, sway.stderr()


def test_board_fills_the_second_screen_it_was_set_up_on(sway, program):
    width, height = 1600, 900
    second = sway.add_output(width, height)
    assert sway.outputs()[FIRST_OUTPUT][2:] != (width, height)
    sway.msg("focus", "output", second)
    sway.start_program(program)
    assert sway.wait_window(SETTINGS_TITLE).output == second
    # At speed 1 the worm meets the border at once; the report leaves the board's edges in view.
    sway.keys(*TO_START_BUTTON, "-k", "space")
    assert sway.wait_window(MAIN_TITLE).output == second
    sway.wait_window(BOX_TITLE, 30)
    pixels = shot(sway, second, "wayland_second_screen.png")
    geometry = BoardGeometry(width, height)
    (column, _), (_, middle_row) = geometry.centre(20, 0), geometry.centre(0, 13)
    # The right border column ends at the screen's right edge and is one cell of this screen wide;
    # the top border row is one cell of this screen high.
    right = next(n for n in range(width) if pixels.getpixel((width - 1 - n, middle_row)) != MAROON)
    top = next(n for n in range(height) if pixels.getpixel((column, n)) != MAROON)
    assert (right, top) == geometry.rect(39, 0)[2:], "the border is not one cell of this screen"
    sway.keys("-k", "Return")
    assert sway.wait_exit() == 0, sway.stderr()
