"""The real program in an unfriendly world: missing fonts, tiny and huge screens, focus lost while a
key is held, no display at all, a close click at the wrong time."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

from orvex_session import (BOX_TITLE, MAIN_TITLE, MAROON, RIGHT, UP, YELLOW, Failure,
                       Settings, WormTracker, case, check, dismiss, main,
                       parse_report, wait_box, wait_until)

SPEED_300 = ["End"] + ["Prior"] * 7


def font_config(folder, font_dirs):
    """A fontconfig file that knows only the fonts in `font_dirs`, with the system's usual rules
    (so "sans-serif" still means DejaVu Sans where it is there)."""
    path = os.path.join(folder, "fonts.conf")
    dirs = "".join(f"<dir>{font_dir}</dir>" for font_dir in font_dirs)
    with open(path, "w") as out:
        out.write('<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "fonts.dtd"><fontconfig>'
                  f'{dirs}<include ignore_missing="yes">/etc/fonts/conf.d</include>'
                  f"<cachedir>{folder}/cache</cachedir></fontconfig>")
    return path


def check_captions_fit(session, settings):
    """No text is cut at a label's edge: captions are left-aligned, values right-aligned."""
    shot = session.screenshot()
    for control in ("Label1(0)", "Label1(1)", "Label1(2)", "Label1(3)", "capS", "CapL", "CapF", "CapG"):
        image = settings.label_image(control, shot)
        ink = image.ink()
        check(ink, f"{control} shows no text")
        cut_side = 0 if control.startswith("Cap") or control == "capS" else image.width - 1
        edges = {"side": {x for x, _ in ink} & {cut_side},
                 "top or bottom": {y for _, y in ink} & {0, image.height - 1}}
        for edge, touching in edges.items():
            check(not touching, f"{control}'s text is cut at its {edge}")


@case
def font_substitute_only_dejavu(context):
    with context.session() as session:
        fonts = font_config(session.tmp, ["/usr/share/fonts/truetype/dejavu"])
        session.start(env={"FONTCONFIG_FILE": fonts})
        settings = Settings(session)
        # The widest values: 1000, 10, 100, 10.
        values = ("capS", "CapL", "CapF", "CapG")
        before = {label: settings.label_image(label).data for label in values}
        session.key("End", "Tab", "End", "Tab", "End", "Tab", "End")
        wait_until(lambda: all(settings.label_image(label).data != before[label] for label in values),
                   5, "every value label to change")
        check_captions_fit(session, settings)
        game = settings.start_game()
        check(game.board(), "no board")
        game.press_close()
        box = wait_box(session)
        check(session.box_text(box).isdigit(), "the close box shows no score")
        dismiss(session, box)
        check(session.wait_exit() == 0, "the program did not end with status 0")


@case
def no_fonts_at_all(context):
    with context.session() as session:
        session.start(env={"FONTCONFIG_FILE": font_config(session.tmp, [])})
        settings = Settings(session)
        game = settings.start_game()
        box = wait_box(session)
        parse_report(session.box_text(box))
        dismiss(session, box)
        check(session.wait_exit() == 0, "the program did not end with status 0")
        check(game.window, "no main window")


def check_cell_edges(session, game):
    """The border's pixel edges sit where the cell mapping puts them."""
    shot = session.screenshot()
    board = game.board(shot)
    geometry = game.geometry

    def colour(x, y):
        return shot.pixel(game.left + x, game.top + y)

    right = geometry.rect(39, 0)[0]
    rows = [y for y in range(1, 26) if board[(38, y)] == "floor"]
    check(rows, "no floor next to the right border")
    for y in rows[:3]:
        cy = geometry.centre(38, y)[1]
        check(colour(right - 1, cy) == YELLOW and colour(right, cy) == MAROON
              and colour(session.width - 1, cy) == MAROON, f"right border edge on row {y}")
    left, top, width, height = geometry.rect(0, 26)
    columns = [x for x in range(1, 39) if board[(x, 25)] == "floor"]
    for x in columns[:3]:
        cx = geometry.centre(x, 25)[0]
        check(colour(cx, top - 1) == YELLOW and colour(cx, top) == MAROON
              and colour(cx, top + height - 1) == MAROON and colour(cx, top + height) == YELLOW,
              f"bottom border edge in column {x}")
    frame = {(x, y) for x in range(40) for y in range(27) if x in (0, 39) or y in (0, 26)}
    check(all(board[cell] == "border" for cell in frame), "the border is not maroon all round")


def play_on_screen(context, width, height, cell_size, right_border_x):
    with context.session(width=width, height=height) as session:
        session.start()
        settings = Settings(session)
        settings.choose(speed=SPEED_300)
        game = settings.start_game()
        left, top, client_width, client_height = game.client()
        check(left == 0 and client_width == width and top + client_height == height,
              f"the main window {client_width}x{client_height} does not cover the {width}x{height} screen")
        check(game.geometry.rect(1, 1)[2:] == cell_size, f"cells of {game.geometry.rect(1, 1)[2:]}")
        check(game.geometry.rect(39, 1)[0] == right_border_x, "right border position")
        check_cell_edges(session, game)
        tracker = WormTracker(game)
        tracker.wait_for(lambda t: t.run("worm1", RIGHT) >= 1, "the worm to move right")
        session.keydown("Up")
        try:
            tracker.wait_for(lambda t: t.run("worm1", UP) >= 2, "the worm to go up")
        finally:
            session.keyup("Up")
        box = wait_box(session)
        parse_report(session.box_text(box))
        dismiss(session, box)
        check(session.wait_exit() == 0, "the program did not end with status 0")


@case
def screen_640x480(context):
    play_on_screen(context, 640, 480, (16, 16), 624)


@case
def screen_3840x2160(context):
    play_on_screen(context, 3840, 2160, (96, 72), 3744)


@case
def focus_lost_while_key_held(context):
    with context.session() as session:
        session.start()
        settings = Settings(session)
        settings.choose(speed=["End"] + ["Prior"] * 5)  # 500 ms
        game = settings.start_game()
        session.start_helper(["xmessage", "-title", "elsewhere", "-geometry", "+0+0", "elsewhere"])
        other = session.window("^elsewhere$")
        session.activate(game.window)
        tracker = WormTracker(game)
        tracker.wait_for(lambda t: t.run("worm1", RIGHT) >= 1, "the worm to move right")
        session.keydown("Up")
        tracker.wait_for(lambda t: t.run("worm1", UP) >= 1, "the worm to turn up")
        session.activate(other)
        session.keyup("Up")  # released in the other window
        time.sleep(1)
        session.activate(game.window)
        session.keydown("Right")
        try:
            tracker.wait_for(lambda t: t.run("worm1", RIGHT) >= 1, "the worm to turn right")
        finally:
            session.keyup("Right")
        turned = len(tracker.paths["worm1"])

        def still_right(t):
            moves = t.paths["worm1"][turned - 1:]
            check(all(y1 == moves[0][1] for _, y1 in moves), f"the worm turned again: {moves}"
                  " (Up still counted as held)")
            return t.run("worm1", RIGHT) >= 4
        tracker.wait_for(still_right, "the worm to go on right")
        game.press_close()
        box = wait_box(session)
        check(session.box_text(box).isdigit(), "the close box shows no score")
        dismiss(session, box)
        check(session.wait_exit() == 0, "the program did not end with status 0")


def unused_display():
    return next(f":{n}" for n in range(900, 1000) if not os.path.exists(f"/tmp/.X11-unix/X{n}"))


@case
def no_display(context):
    """No display at all, an X display that is not there, a Wayland display that is not there."""
    base = {name: value for name, value in os.environ.items()
            if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY")}
    for extra in ({}, {"DISPLAY": unused_display()}, {"WAYLAND_DISPLAY": "orvex-e2e-nowhere"}):
        folder = tempfile.mkdtemp(prefix="orvex-nodisplay-")
        try:
            env = dict(base, XDG_RUNTIME_DIR=folder, **extra)
            try:
                done = subprocess.run([context.program], env=env, cwd=folder, stdin=subprocess.DEVNULL,
                                      capture_output=True, timeout=20)
            except subprocess.TimeoutExpired:
                raise Failure(f"the program hung with {extra or 'no display'}") from None
            lines = [line for line in done.stderr.decode(errors="replace").splitlines() if line.strip()]
            check(done.returncode == 1, f"exit status {done.returncode} with {extra or 'no display'}")
            check(len(lines) == 1, f"stderr with {extra or 'no display'}: {lines}")
            check(not [name for name in os.listdir(folder) if name.startswith("core")], "a core file")
            print(f"stderr: {lines[0]}")
        finally:
            shutil.rmtree(folder, ignore_errors=True)


@case
def close_click_during_report(context):
    with context.session() as session:
        session.start()
        game = Settings(session).start_game()  # speed 1: the worm reaches the border at once
        box = wait_box(session)
        report = session.box_text(box)
        parse_report(report)
        game.press_close()
        time.sleep(1)
        check(session.alive(), "the program ended on the close click")
        check(session.find_windows(BOX_TITLE) == [box], "the report went away or another box came")
        check(session.box_text(box) == report, "the report changed")
        dismiss(session, box)
        deadline = time.monotonic() + 10
        while session.alive() and time.monotonic() < deadline:
            check(not [w for w in session.find_windows(BOX_TITLE) if w != box],
                  "a bare-score box followed the report")
            time.sleep(0.05)
        check(session.wait_exit(1) == 0, "the program did not end with status 0")
        check(not session.find_windows(MAIN_TITLE), "the main window outlived the program")


if __name__ == "__main__":
    sys.exit(main())
