"""The real program in an unfriendly world: missing fonts, tiny and huge screens, a key released in
another window, no display at all; and its command line, answered without one."""

import os
import re
import shutil
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


def without_wayland_plugin(program, folder):
    """A copy of the program that finds Qt's platform plugins except the Wayland ones, as where
    qt6-wayland is not installed: qt.conf beside a program names its plugin folder."""
    platforms = os.environ.get("ORVEX_QT_PLATFORMS")
    if not platforms or not os.path.isdir(platforms):
        pytest.skip("ORVEX_QT_PLATFORMS does not name Qt's platform plugin folder")
    shutil.copytree(platforms, os.path.join(folder, "plugins", "platforms"),
                    ignore=shutil.ignore_patterns("*wayland*"))
    with open(os.path.join(folder, "qt.conf"), "w") as conf:
        conf.write(f"[Paths]\nPlugins={os.path.join(folder, 'plugins')}\n")
    return shutil.copy2(program, folder)


NO_X = next(f":{n}" for n in range(900, 1000) if not os.path.exists(f"/tmp/.X11-unix/X{n}"))


# No compositor listens in the fresh runtime folder, so "wayland-0" is not there either; arguments
# None run a copy of the program without Qt's Wayland plugin.
@pytest.mark.parametrize("args, display, status, stdout, stderr", [
    ([], {}, 1, "", r"orvex: no display found: neither DISPLAY nor WAYLAND_DISPLAY is set\n"),
    ([], {"DISPLAY": NO_X}, 1, "", rf"orvex: no display found: cannot connect to display {NO_X}\n"),
    ([], {"WAYLAND_DISPLAY": "wayland-0"}, 1, "",
     r"orvex: no display found: cannot connect to wayland display wayland-0 \(.*\)\n"),
    (None, {"WAYLAND_DISPLAY": "wayland-0"}, 1, "",
     r"orvex: cannot use .*wayland-0: .*plugin.*install the package qt6-wayland\)\n"),
    (["--help"], {}, 0,
     r"Usage: \S*orvex \[options\]\n(.*\n)*\s+-h, --help .*\n\s+-v, --version .*\n", ""),
    (["--version"], {}, 0, r"orvex \d+\.\d+\.\d+\n", ""),
    (["--frobnicate"], {}, 2, "", r"orvex: Unknown option 'frobnicate'\. Try 'orvex --help'\.\n"),
    (["board.txt"], {}, 2, "", r"orvex: Unexpected argument 'board\.txt'\. Try 'orvex --help'\.\n"),
], ids=["none", "x_not_there", "wayland_not_there", "wayland_plugin_missing", "help", "version",
        "unknown_option", "unexpected_argument"])
def test_without_a_display(program, tmp_path, args, display, status, stdout, stderr):
    """A status and one line at most, no hang, no core; with no display at all, an answer to the
    command line shows that it came before any try to open a window."""
    if args is None:
        program, args = without_wayland_plugin(program, tmp_path), []
    env = {name: value for name, value in os.environ.items()
           if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY",
                           "XDG_SESSION_TYPE")}
    tmp_path.chmod(0o700)
    done = subprocess.run([program, *args], env=dict(env, XDG_RUNTIME_DIR=str(tmp_path), **display),
                          cwd=tmp_path, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                          timeout=20)
    check(done.returncode == status, f"exit status {done.returncode}: {done.stderr!r}")
    check(re.fullmatch(stdout, done.stdout), f"stdout: {done.stdout!r}")
    check(re.fullmatch(stderr, done.stderr), f"stderr: {done.stderr!r}")
    check(not [name for name in os.listdir(tmp_path) if name.startswith("core")], "a core file")
