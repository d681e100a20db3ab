"""The real program from launch to the end of a game, driven as a player would, on X11 and natively
on Wayland; and the ways to close it."""

import configparser
import os

import pytest
from conftest import TO_START, finish, start_game
from desktop import BOX, MAIN
from orvex_session import check, wait_until

ENTRY = os.path.join(os.path.dirname(__file__), "..", "..", "data", "io.github.orvex.Orvex.desktop")


def names_its_entry(desktop, window):
    """Docks match a window to its launcher: on X11 by StartupWMClass, on Wayland by app id."""
    if desktop == "x11":
        entry = configparser.ConfigParser(interpolation=None)
        entry.read(ENTRY)
        return window.names == entry["Desktop Entry"]["StartupWMClass"]
    return window.names + ".desktop" == os.path.basename(ENTRY)


def cells(board, tile):
    return {cell for cell, name in board.items() if name == tile}


def rows(board, tile):
    return {y for _, y in cells(board, tile)}


def second_screen(sway):
    first = [rect[2:] for rect in sway.outputs().values()]
    screen = sway.add_output(1600, 900)
    check(screen[2:] not in first, f"the first screen is {first}, as large as the second")
    return screen


def worms_above(board, row1, row2):
    return min(rows(board, "worm1"), default=row1) < row1 and min(rows(board, "worm2"),
                                                                   default=row2) < row2


@pytest.mark.parametrize("name", ["x11", "wayland"])
def test_keyboard_configured_two_player_game(request, name):
    """501 ms a tick, 100 food points and two players, set by keyboard; Up and W held together
    take both worms up from their start rows, 13 and 5. On Wayland it all happens on a second
    screen, larger than the first, where the settings window opened."""
    desktop = request.getfixturevalue(name)
    screen = name == "wayland" and second_screen(desktop)
    settings = desktop.launch()
    check(names_its_entry(name, settings), f"the settings window names {settings.names}")
    game = start_game(desktop, ["Next"] * 5 + ["Tab", "Tab", "End", "Tab", "Tab", "Down", "Tab"])
    check(not screen or settings.screen == game.screen == screen, "not on the second screen")
    # A board read inside a tick may miss an eaten food point not yet covered by the head.
    wait_until(lambda: desktop.board(game), 5, "100 food points and worm 2",
               accept=lambda board: len(cells(board, "food")) == 100 and rows(board, "worm2"))
    with desktop.hold("Up", "w"):
        wait_until(lambda: desktop.board(game), 10, "Up and W to take both worms up",
                   accept=lambda board: worms_above(board, 13, 5))
        box = desktop.shown(BOX, 30)
    finish(desktop, box)


def close_settings_window(x11):
    """Ends the program at once: no box, no game."""
    x11.press_close(x11.launch())


def close_game(x11):
    """Shows the score alone."""
    x11.launch()
    x11.press_close(start_game(x11, ["Next", "Next", *TO_START]))
    box = x11.shown(BOX)
    text = x11.box_text(box)
    check(text.isdigit(), f"closing the main window showed {text!r}, not the bare score")
    return box


def close_game_under_report(x11):
    """Leaves the report as it is."""
    x11.launch()
    game = start_game(x11)  # at 1 ms a tick the worm meets the border at once
    box = x11.shown(BOX)
    x11.press_close(game)
    check(x11.shown(BOX).handle == box.handle and x11.shown(MAIN), "the close click took effect")
    return box


@pytest.mark.parametrize("close", [close_settings_window, close_game, close_game_under_report])
def test_closing(x11, close):
    box = close(x11)
    if box:
        finish(x11, box)
    check(x11.wait_exit() == 0, "the program did not end with status 0")
