"""The real program in an unfriendly world: missing fonts, tiny and huge screens, a key released in
another window, no display at all."""

import os
import subprocess

import pytest

from orvex_session import RIGHT, UP, WormTracker, check


def play(session, env=None):
    """A game on a board that covers the screen, the worm steered up, to the report and status 0."""
    tracker = WormTracker(session.start_game(env=env))
    tracker.wait_for(lambda t: t.run("worm1", RIGHT) >= 1, "the worm to move right")
    session.steer(tracker, "Up", UP, cells=2)
    session.finish()


@pytest.mark.parametrize("font_dirs", [["/usr/share/fonts/truetype/dejavu"], []],
                         ids=["only_dejavu", "none"])
def test_fonts_missing(session, font_dirs):
    # The system's usual rules stay, so "sans-serif" still means DejaVu Sans where it is there.
    config = os.path.join(session.tmp, "fonts.conf")
    with open(config, "w") as out:
        out.write('<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "fonts.dtd"><fontconfig>'
                  + "".join(f"<dir>{folder}</dir>" for folder in font_dirs)
                  + '<include ignore_missing="yes">/etc/fonts/conf.d</include>'
                  + f"<cachedir>{session.tmp}/fontcache</cachedir></fontconfig>")
    play(session, env={"FONTCONFIG_FILE": config})


@pytest.mark.parametrize("session", [(640, 480), (3840, 2160)], ids=["640x480", "3840x2160"],
                         indirect=True)
def test_screen_size(session):
    play(session)


def test_key_released_in_another_window(session):
    game = session.start_game()
    other = session.root.create_window(0, 0, 200, 100, 0, 0)
    other.set_wm_name("elsewhere")
    other.map()
    other = session.window("^elsewhere$")
    session.activate(game.window)
    tracker = WormTracker(game)
    tracker.wait_for(lambda t: t.run("worm1", RIGHT) >= 1, "the worm to move right")
    session.keydown("Up")
    tracker.wait_for(lambda t: t.run("worm1", UP) >= 1, "the worm to turn up")
    # Back before Qt itself notices the focus loss, which it reports late or not at all.
    session.activate(other)
    session.keyup("Up")
    session.activate(game.window)
    session.steer(tracker, "Right", RIGHT)
    row = tracker.head()[1]

    def still_right(t):
        check(t.head()[1] == row, "the worm turned again: Up still counted as held")
        return t.run("worm1", RIGHT) >= 4
    tracker.wait_for(still_right, "the worm to go on right")


def unused_display():
    return next(f":{n}" for n in range(900, 1000) if not os.path.exists(f"/tmp/.X11-unix/X{n}"))


@pytest.mark.parametrize("display", [{}, {"DISPLAY": unused_display()},
                                     {"WAYLAND_DISPLAY": "orvex-e2e-nowhere"}],
                         ids=["none", "x_not_there", "wayland_not_there"])
def test_no_display(program, tmp_path, display):
    """One line on stderr and status 1: no hang, no crash."""
    env = {name: value for name, value in os.environ.items()
           if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY")}
    env.update(display, XDG_RUNTIME_DIR=str(tmp_path))
    done = subprocess.run([program], env=env, cwd=tmp_path, stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=20)
    lines = [line for line in done.stderr.decode(errors="replace").splitlines() if line.strip()]
    check(done.returncode == 1, f"exit status {done.returncode}")
    check(len(lines) == 1, f"stderr: {lines}")
    check(not [name for name in os.listdir(tmp_path) if name.startswith("core")], "a core file")
