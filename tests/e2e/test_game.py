import pathlib
import re

import pytest
from conftest import EATING, TO_START, finish, start_game
from orvex_session import BOX_TITLE, MAIN_TITLE, check, wait_until

# Docks match a window to its desktop entry by WM_CLASS = StartupWMClass, or app id = entry's name.
ENTRY = pathlib.Path(__file__).parents[2] / "data" / "io.github.orvex.Orvex.desktop"
NAMES = {"x11": re.search(r"^StartupWMClass=(.*)$", ENTRY.read_text(), re.M)[1],
         "wayland": ENTRY.stem}


def rows(board, tile):
    return {y for (_, y), name in board.items() if name == tile}


@pytest.mark.parametrize("name", ["x11", "wayland"])
def test_keyboard_configured_two_player_game(request, name):
    """501 ms a tick, 100 food points and two players, set by keyboard; Up and W held take both
    worms up from their start rows, 13 and 5. On Wayland, all on the second, larger screen."""
    desktop = request.getfixturevalue(name)
    settings = desktop.launch()
    check(settings.names == NAMES[name], f"the settings window names {settings.names}")
    game = start_game(desktop, ["Next"] * 4 + EATING)
    check(name == "x11" or settings.screen == game.screen and game.screen[0] > 0, "a first screen")
    # A board read inside a tick may miss an eaten food point not yet covered by the head.
    wait_until(lambda: desktop.board(game), 5, "100 food points and worm 2", accept=lambda board:
               list(board.values()).count("food") == 100 and rows(board, "worm2"))
    release = desktop.hold("Up", "w")
    wait_until(lambda: desktop.board(game), 10, "Up and W to take both worms up", accept=lambda b:
               min(rows(b, "worm1"), default=13) < 13 and min(rows(b, "worm2"), default=5) < 5)
    box = desktop.shown(BOX_TITLE, 30)
    release()
    finish(desktop, box)


def close_settings_window(x11, settings):
    x11.press_close(settings)


def close_game(x11, _):
    x11.press_close(start_game(x11, ["Next", "Next", *TO_START]))
    box = x11.shown(BOX_TITLE)
    check((text := x11.box_text(box)).isdigit(), f"closing the game showed {text!r}, not the score")
    return box


def close_game_under_report(x11, _):
    game = start_game(x11)  # at 1 ms a tick the worm meets the border at once
    box = x11.shown(BOX_TITLE)
    x11.press_close(game)
    check(x11.shown(BOX_TITLE).handle == box.handle and x11.shown(MAIN_TITLE), "the close took")
    return box


@pytest.mark.parametrize("close", [close_settings_window, close_game, close_game_under_report])
def test_closing(x11, close):
    finish(x11, close(x11, x11.launch()))
