"""The real program from launch to the end of a game, driven as a player would."""

import re
import sys
import time

from orvex_session import (BOX_TITLE, DOWN, LEFT, MAIN_TITLE, UP, DigitReader, MainWindow, Settings,
                       WormTracker, case, check, dismiss, expected_report, main, parse_report,
                       wait_box, wait_until)

SPEED_200 = ["End"] + ["Prior"] * 8  # 1000 less eight large steps
SPEED_300 = ["End"] + ["Prior"] * 7


def wait_changed(settings, control, before, what):
    return wait_until(lambda: settings.label_image(control), 5, what,
                      accept=lambda now: now.data != before.data)


def read_after(session, settings, reader, control, keys=(), click=None):
    before = settings.label_image(control)
    if keys:
        session.key(*keys)
    if click:
        settings.click(*click)
    return reader.read(wait_changed(settings, control, before, f"{control} to change"))


def indicator_ink(settings, option, shot):
    left, top, width, height = settings.rect(option)
    # The round indicator sits at the left end of the button.
    return len(shot.crop(left, top, min(height, width), height).ink())


def learn_digits(session, settings, reader):
    """Steps Level from 1 to 10, learning each digit from CapL, and checks every step shows. Level,
    Fdpts and GR must still stand at 1."""
    start = settings.label_image("CapL")
    ones = [reader.glyphs(settings.label_image(label)) for label in ("CapL", "CapF", "CapG")]
    check(all(len(glyphs) == 1 for glyphs in ones), "a value label does not show one digit at start")
    reader.learn("1", ones[0][0])
    check(all(reader.read(settings.label_image(label)) == "1" for label in ("CapL", "CapF", "CapG")),
          "the value labels do not all read 1 at start")
    image = start
    for value in range(2, 11):
        session.key("Right")
        image = wait_changed(settings, "CapL", image, f"Level to show {value}")
        glyphs = reader.glyphs(image)
        check(len(glyphs) == len(str(value)), f"CapL shows {len(glyphs)} glyphs for {value}")
        reader.learn(str(value)[-1], glyphs[-1])
    check(reader.read(image) == "10", "CapL does not read 10 at the end of Level")


def board_covers_screen(session, game):
    left, top, width, height = game.client()
    check(left == 0 and width == session.width and top + height == session.height,
          f"the main window ({left},{top} {width}x{height}) does not cover the screen")


def check_border(game, board):
    border = {cell for cell, name in board.items() if name == "border"}
    frame = {(x, y) for x in range(40) for y in range(27) if x in (0, 39) or y in (0, 26)}
    check(frame <= border, f"border cells not maroon: {sorted(frame - border)[:5]}")


@case
def settings_by_keyboard_and_mouse(context):
    with context.session() as session:
        session.start()
        settings = Settings(session)
        check(session.active_window() == settings.window, "the settings window has no focus")
        check((settings.width, settings.height) == (518, 308),
              f"settings client area is {settings.width}x{settings.height}")
        reader = DigitReader()
        # The focus starts on Speed: End moves it, and only its label changes.
        values = {label: settings.label_image(label) for label in ("CapL", "CapF", "CapG")}
        speed_end = read_after(session, settings, reader, "capS", ["End"])
        check(all(settings.label_image(label).data == image.data for label, image in values.items()),
              "End moved another bar than Speed")
        session.key("Tab")
        learn_digits(session, settings, reader)
        check(reader.read(settings.label_image("capS")) == "1000", f"End on Speed gave {speed_end}")

        # Back on Speed: the keys, then the mouse.
        session.key("shift+Tab")
        check(read_after(session, settings, reader, "capS", ["Home"]) == "1", "Home on Speed")
        check(read_after(session, settings, reader, "capS", click=("Speed", 0.75)) == "101",
              "a click in Speed's trough right of the thumb")
        check(read_after(session, settings, reader, "capS", click=("Speed", 0.99)) == "102",
              "a click on Speed's right arrow")
        check(read_after(session, settings, reader, "capS", ["Left"]) == "101", "Left on Speed")
        check(read_after(session, settings, reader, "capS", ["Next"]) == "201", "Page Down on Speed")

        session.key("Tab", "Tab")
        check(read_after(session, settings, reader, "CapF", ["End"]) == "100", "End on Fdpts")
        session.key("Tab")
        check(read_after(session, settings, reader, "CapG", ["End"]) == "10", "End on GR")

        before = session.screenshot()
        session.key("Tab", "Down")
        after = wait_until(session.screenshot, 5, '"2 Player" to be selected',
                           accept=lambda shot: indicator_ink(settings, "Option1(1)", shot)
                           > indicator_ink(settings, "Option1(0)", shot))
        check(indicator_ink(settings, "Option1(0)", before) > indicator_ink(settings, "Option1(1)", before),
              '"1 Player" was not selected at start')
        check(indicator_ink(settings, "Option1(0)", after) < indicator_ink(settings, "Option1(0)", before),
              '"1 Player" stayed selected')

        # Neither Enter nor Escape starts the game.
        session.key("Return", "Escape")
        time.sleep(0.5)
        check(not session.find_windows(MAIN_TITLE), "Enter or Escape started the game")
        check(session.find_windows("^Set Values") == [settings.window], "the settings window went away")

        session.key("Tab", "space")
        game = MainWindow(session)
        check(not session.find_windows("^Set Values"), "the settings window is still shown")
        board_covers_screen(session, game)
        board = game.board(session.screenshot())
        check_border(game, board)
        lattice = {(x, y) for x in range(3, 38, 2) for y in range(2, 26, 2)}
        obstacles = {cell for cell, name in board.items() if name == "obstacle"}
        check(obstacles == lattice, "the level 10 lattice is not on the board")
        # A picture taken inside a tick may show an eaten food point not yet covered by the head.
        wait_until(lambda: len(game.cells("food", game.board(session.screenshot()))), 3,
                   "100 food points on the board", accept=lambda count: count == 100)
        tracker = WormTracker(game)
        tracker.wait_for(lambda t: t.head("worm1") and t.head("worm2"), "both worms to show")
        box = wait_box(session)
        _, score2 = parse_report(session.box_text(box))
        check(score2 is not None, "a two-player game gave a one-player report")
        dismiss(session, box)
        check(session.wait_exit() == 0, "the program did not end with status 0")


def motif_decorations(session, window):
    """The decorations a window asks the window manager for (_MOTIF_WM_HINTS), or None for all."""
    out = session.x(["xprop", "-id", str(window), "_MOTIF_WM_HINTS"]).decode()
    match = re.search(r"=\s*(\w+),\s*(\w+),\s*(\w+)", out)
    if not match or not int(match.group(1), 0) & 2:
        return None
    decorations = int(match.group(3), 0)
    return None if decorations & 1 else decorations


def size_limits(session, window):
    out = session.x(["xprop", "-id", str(window), "WM_NORMAL_HINTS"]).decode()
    found = dict(re.findall(r"program specified (minimum|maximum) size: (\d+ by \d+)", out))
    return found.get("minimum"), found.get("maximum")


@case
def window_frames(context):
    minimize, maximize = 0x20, 0x40
    with context.session() as session:
        session.start()
        settings = Settings(session)
        decorations = motif_decorations(session, settings.window)
        check(decorations is not None and not decorations & (minimize | maximize),
              "the settings window asks for a minimize or maximize button")
        check(size_limits(session, settings.window) == ("518 by 308", "518 by 308"),
              f"the settings window can be resized: {size_limits(session, settings.window)}")
        border, title = session.frame_offset(settings.window)
        centre_x, centre_y = settings.left + settings.width / 2, settings.top + settings.height / 2
        check(abs(centre_x - session.width / 2) <= border + 1
              and abs(centre_y - session.height / 2) <= title + 1,
              f"the settings window is not centred: {settings.left},{settings.top}")
        settings.choose(speed=["End"])
        game = settings.start_game()
        decorations = motif_decorations(session, game.window)
        check(decorations is None or decorations & (minimize | maximize) == minimize | maximize,
              "the main window lacks its minimize or maximize button")
        check(size_limits(session, game.window)[1] is None, "the main window cannot be resized")
        session.key("alt+F4")
        box = wait_box(session)
        check(session.box_text(box).isdigit(), "closing by the keyboard did not show the bare score")
        dismiss(session, box)
        check(session.wait_exit() == 0, "the program did not end with status 0")


@case
def close_settings_window(context):
    with context.session() as session:
        session.start()
        settings = Settings(session)
        session.press_close(settings.window)
        deadline = time.monotonic() + 10
        while session.alive() and time.monotonic() < deadline:
            check(not session.find_windows(BOX_TITLE), "closing the settings window showed a box")
            check(not session.find_windows(MAIN_TITLE), "closing the settings window started a game")
            time.sleep(0.05)
        check(session.wait_exit(1) == 0, "the program did not end with status 0")
        check(session.stderr_lines() == [], f"stderr: {session.stderr_lines()}")


@case
def steer_one_player(context):
    with context.session() as session:
        session.start()
        settings = Settings(session)
        settings.choose(speed=SPEED_200)
        game = settings.start_game()
        board_covers_screen(session, game)
        board = game.board()
        check_border(game, board)
        food = game.cells("food", board)
        tracker = WormTracker(game)
        tracker.wait_for(lambda t: t.head() is not None and t.head()[1] == 13, "the black worm")
        for key, direction in (("Up", UP), ("Left", LEFT), ("Down", DOWN)):
            session.keydown(key)
            tracker.wait_for(lambda t: t.run("worm1", direction) >= 2, f"the worm to go {key}")
            session.keyup(key)
        box = wait_box(session)
        # An eaten food point moves, so food still in place (and not under the box) means no point.
        ate_nothing = tracker.longest["worm1"] == 1 and food <= game.cells("food")
        text = session.box_text(box)
        if ate_nothing:
            check(text == expected_report(1, 0), f"report {text!r} for a worm that ate nothing")
        else:
            parse_report(text)
        dismiss(session, box)
        check(session.wait_exit() == 0, "the program did not end with status 0")


@case
def steer_two_players(context):
    with context.session() as session:
        session.start()
        settings = Settings(session)
        settings.choose(speed=SPEED_300, players=2)  # time to steer before worm 1 hits the border
        game = settings.start_game()
        tracker = WormTracker(game)
        tracker.wait_for(lambda t: t.head("worm1") and t.head("worm2"), "both worms")
        check(tracker.head("worm2")[1] == 5, f"the blue worm starts at {tracker.head('worm2')}")
        for key, direction in (("s", DOWN), ("a", LEFT), ("w", UP)):
            session.keydown(key)
            tracker.wait_for(lambda t: t.run("worm2", direction) >= 1, f"the blue worm to go {key}")
            session.keyup(key)
        rows = {y for _, y in tracker.paths["worm1"]}
        check(rows == {13}, f"W A S D steered the black worm too: {tracker.paths['worm1']}")
        box = wait_box(session)
        _, score2 = parse_report(session.box_text(box))
        check(score2 is not None, "a two-player game gave a one-player report")
        dismiss(session, box)
        check(session.wait_exit() == 0, "the program did not end with status 0")


@case
def close_main_window_during_game(context):
    with context.session() as session:
        session.start()
        settings = Settings(session)
        settings.choose(speed=["End"])
        game = settings.start_game()
        food = {cell for cell, name in game.board().items() if name == "food"}
        game.press_close()
        box = wait_box(session)
        text = session.box_text(box)
        expected = "1" if food & {(21, 13), (22, 13)} and text == "1" else "0"
        check(text == expected, f"closing the main window showed {text!r}")
        dismiss(session, box)
        deadline = time.monotonic() + 10
        while session.alive() and time.monotonic() < deadline:
            others = [window for window in session.find_windows(BOX_TITLE) if window != box]
            check(not others, "a second box followed the score")
            time.sleep(0.05)
        check(session.wait_exit(1) == 0, "the program did not end with status 0")


if __name__ == "__main__":
    sys.exit(main())
