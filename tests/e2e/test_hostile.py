"""The real program in an unfriendly world: missing fonts, tiny and huge screens, a key released in
another window, no display at all; and its command line, answered without one."""

import os
import re
import shutil
import socket
import subprocess

import pytest

from orvex_session import RIGHT, SETTINGS_TITLE, UP, WormTracker, check


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
# Stands for the session's X server, started only for the rows that name it.
LIVE_X = "live X"
# A socket in the fresh runtime folder that nobody listens on, as a compositor leaves when it dies.
DEAD = "wayland-dead"


# Status None: the settings window shows. Arguments None run a copy of the program without Qt's
# Wayland plugin.
@pytest.mark.parametrize("args, display, status, stdout, stderr", [
    ([], {}, 1, "", r"^orvex: could not connect to display$"),
    ([], {"DISPLAY": NO_X}, 1, "", rf"^orvex: could not connect to display {NO_X}$"),
    ([], {"DISPLAY": LIVE_X, "QT_QPA_PLATFORM": "wayland;xcb"}, None, "",
     r"^Failed to create wl_display \(No such file or directory\)$"),
    (None, {"WAYLAND_DISPLAY": DEAD}, 1, "",
     r'^orvex: Could not find the Qt platform plugin "wayland"(.*\n)+orvex: .*qt6-wayland'),
    ([], {"WAYLAND_DISPLAY": DEAD, "QT_QPA_PLATFORM": "wayland"}, 1, "",
     r"^orvex: Failed to create wl_display \(Connection refused\)$"),
    ([], {"DISPLAY": LIVE_X, "WAYLAND_DISPLAY": DEAD, "XDG_CURRENT_DESKTOP": "ubuntu:GNOME"}, None,
     "", r"\A\Z"),
    (["--help"], {}, 0,
     r"Usage: \S*orvex \[options\]\n(.*\n)*\s+-h, --help .*\n\s+-v, --version .*\n", r"\A\Z"),
    (["--version"], {}, 0, r"orvex \d+\.\d+\.\d+\n", r"\A\Z"),
    (["--frobnicate"], {}, 2, "",
     r"\Aorvex: Unknown option 'frobnicate'\. Try 'orvex --help'\.\n\Z"),
    (["board.txt"], {}, 2, "",
     r"\Aorvex: Unexpected argument 'board\.txt'\. Try 'orvex --help'\.\n\Z"),
], ids=["none", "x_not_there", "wayland_then_x", "wayland_plugin_missing", "compositor_not_there",
        "gnome_through_x", "help", "version", "unknown_option", "unexpected_argument"])
def test_start_up(request, program, tmp_path, args, display, status, stdout, stderr):
    """Qt chooses the platform; where it cannot start one, Qt's reasons, each line the program's,
    and no hang or core. With no display at all, an answer to the command line shows that it came
    before any try to open a window."""
    if args is None:
        program, args = without_wayland_plugin(program, tmp_path), []
    if LIVE_X in display.values():
        session = request.getfixturevalue("session")
        display = {name: session.display if value == LIVE_X else value
                   for name, value in display.items()}
    env = {name: value for name, value in os.environ.items()
           if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY",
                           "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP")}
    tmp_path.chmod(0o700)
    with socket.socket(socket.AF_UNIX) as dead:
        dead.bind(str(tmp_path / DEAD))
    with subprocess.Popen([program, *args], env=dict(env, XDG_RUNTIME_DIR=str(tmp_path), **display),
                          cwd=tmp_path, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True) as run:
        try:
            if status is None:
                session.process = run
                session.window(SETTINGS_TITLE)
                run.terminate()
            out, err = run.communicate(timeout=20)
        finally:
            run.kill()
    if status is not None:
        check(run.returncode == status, f"exit status {run.returncode}: {err!r}")
        check(all(line.startswith("orvex: ") for line in err.splitlines()), f"stderr: {err!r}")
    check(re.fullmatch(stdout, out), f"stdout: {out!r}")
    check(re.search(stderr, err, re.MULTILINE), f"stderr: {err!r}")
    check(not [name for name in os.listdir(tmp_path) if name.startswith("core")], "a core file")
