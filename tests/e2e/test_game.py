"""The real program from launch to the end of a game, driven as a player would."""

import pytest

from orvex_session import (DOWN, LEFT, MAIN_TITLE, SETTINGS_TITLE, UP, MainWindow, Settings,
                           WormTracker, check, dismiss, parse_report, wait_box, wait_until)


def test_configured_game_from_keyboard_to_report(session):
    session.start()
    settings = Settings(session)
    wait_until(session.active_window, 5, "the settings window to have the focus",
               accept=lambda active: active == settings.window)
    # Speed 201, level 10, 100 food points, growth 10, two players, then the start button.
    session.key("Next", "Next", "Tab", "End", "Tab", "End", "Tab", "End", "Tab", "Down", "Tab",
                "space")
    game = MainWindow(session)
    check(not session.find_windows(SETTINGS_TITLE), "the settings window is still shown")
    lattice = {(x, y) for x in range(3, 38, 2) for y in range(2, 26, 2)}
    check(game.cells("obstacle") == lattice, "the level 10 lattice is not on the board")
    # A board read inside a tick may miss an eaten food point not yet covered by the head.
    wait_until(lambda: len(game.cells("food")), 3, "100 food points on the board",
               accept=lambda count: count == 100)
    WormTracker(game).wait_for(lambda t: t.head("worm1") and t.head("worm2"), "both worms to show")
    check(session.finish()[1] is not None, "a two-player game gave a one-player report")


@pytest.mark.parametrize("players, worm, keys", [
    (1, "worm1", [("Up", UP), ("Left", LEFT), ("Down", DOWN)]),
    (2, "worm2", [("s", DOWN), ("a", LEFT), ("w", UP)]),
], ids=["arrows_player1", "wasd_player2"])
def test_steering(session, players, worm, keys):
    tracker = WormTracker(session.start_game(players=players))
    tracker.wait_for(lambda t: t.head(worm), f"{worm} to show")
    for key, direction in keys:
        session.steer(tracker, key, direction, worm=worm)
    check(players == 1 or {y for _, y in tracker.paths["worm1"]} == {13},
          f"W A S D steered worm 1 too: {tracker.paths['worm1']}")
    check((session.finish()[1] is not None) == (players == 2), "a report for the wrong players")


def close_settings_window(session):
    """Ends the program at once: no box, no game (either would keep it running)."""
    session.start()
    session.press_close(Settings(session).window)
    session.wait_exit()
    check(session.stderr_lines() == [], f"stderr: {session.stderr_lines()}")


def close_main_window_during_game(session):
    """Shows the score alone, then ends the program."""
    session.start_game().press_close()
    box = wait_box(session)
    text = session.box_text(box)
    check(text.isdigit(), f"closing the main window showed {text!r}, not the bare score")
    dismiss(session, box)


def close_main_window_during_report(session):
    """Leaves the report as it is; dismissing it ends the program without a second box."""
    game = session.start_game(speed=())  # speed 1: the worm reaches the border at once
    box = wait_box(session)
    report = session.box_text(box)
    parse_report(report)
    game.press_close()
    check(session.box_text(box) == report, "the report changed on the close click")
    check(session.alive() and session.find_windows(MAIN_TITLE), "the close click ended the game")
    dismiss(session, box)


@pytest.mark.parametrize("close", [close_settings_window, close_main_window_during_game,
                                   close_main_window_during_report],
                         ids=["settings_window", "game", "report"])
def test_closing(session, close):
    close(session)
    check(session.wait_exit() == 0, "the program did not end with status 0")
