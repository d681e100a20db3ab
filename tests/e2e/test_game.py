"""The real program from launch to the end of a game, driven as a player would."""

import pytest

from orvex_session import (DOWN, LEFT, MAIN_TITLE, SETTINGS_TITLE, UP, MainWindow, Settings,
                           WormTracker, check, dismiss, parse_report, wait_box, wait_until)

SPEED_200 = ["Next"] * 2  # the bar's large step is 100


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
    left, top, width, height = game.client()
    check(left == 0 and width == session.width and top + height == session.height,
          f"the main window ({left},{top} {width}x{height}) does not cover the screen")
    lattice = {(x, y) for x in range(3, 38, 2) for y in range(2, 26, 2)}
    check(game.cells("obstacle") == lattice, "the level 10 lattice is not on the board")
    # A board read inside a tick may miss an eaten food point not yet covered by the head.
    wait_until(lambda: len(game.cells("food")), 3, "100 food points on the board",
               accept=lambda count: count == 100)
    WormTracker(game).wait_for(lambda t: t.head("worm1") and t.head("worm2"), "both worms to show")
    box = wait_box(session)
    _, score2 = parse_report(session.box_text(box))
    check(score2 is not None, "a two-player game gave a one-player report")
    dismiss(session, box)
    check(session.wait_exit() == 0, "the program did not end with status 0")


@pytest.mark.parametrize("players, worm, keys", [
    (1, "worm1", [("Up", UP), ("Left", LEFT), ("Down", DOWN)]),
    (2, "worm2", [("s", DOWN), ("a", LEFT), ("w", UP)]),
], ids=["arrows_player1", "wasd_player2"])
def test_steering(session, players, worm, keys):
    session.start()
    settings = Settings(session)
    settings.choose(speed=SPEED_200, players=players)
    tracker = WormTracker(settings.start_game())
    tracker.wait_for(lambda t: t.head(worm), f"{worm} to show")
    for key, direction in keys:
        session.keydown(key)
        tracker.wait_for(lambda t: t.run(worm, direction) >= 1, f"{worm} to go {key}")
        session.keyup(key)
    if players == 2:
        rows = {y for _, y in tracker.paths["worm1"]}
        check(rows == {13}, f"W A S D steered worm 1 too: {tracker.paths['worm1']}")
    box = wait_box(session)
    _, score2 = parse_report(session.box_text(box))
    check((score2 is not None) == (players == 2), "a report for the wrong number of players")
    dismiss(session, box)
    check(session.wait_exit() == 0, "the program did not end with status 0")


def close_settings_window(session):
    """Ends the program at once: no box, no game (either would keep it running)."""
    session.press_close(Settings(session).window)
    check(session.wait_exit() == 0, "the program did not end with status 0")
    check(session.stderr_lines() == [], f"stderr: {session.stderr_lines()}")


def close_main_window_during_game(session):
    """Shows the score alone, then ends the program."""
    settings = Settings(session)
    settings.choose(speed=["End"])
    settings.start_game().press_close()
    box = wait_box(session)
    text = session.box_text(box)
    check(text.isdigit(), f"closing the main window showed {text!r}, not the bare score")
    dismiss(session, box)


def close_main_window_during_report(session):
    """Leaves the report as it is; dismissing it ends the program without a second box."""
    game = Settings(session).start_game()  # speed 1: the worm reaches the border at once
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
    session.start()
    close(session)
    check(session.wait_exit() == 0, "the program did not end with status 0")
