"""The real program in an unfriendly world: missing fonts, tiny and huge screens, no sound server,
no sound file, a sound server gone mid-game, no display at all; and its command line, answered
without one."""

import os
import re
import shutil
import socket
import subprocess
import tempfile

import pytest
from conftest import TO_START, finish, start_game
from desktop import BOX
from orvex_session import SETTINGS_TITLE, check, wait_until
from orvex_sound import SoundServer, missing_tools

# 101 ms a tick, 100 food points, two players: the worms eat what lies ahead, unsteered.
EATING = ["Next", "Tab", "Tab", "End", "Tab", "Tab", "Down", "Tab"]


def fonts(*folders):
    def configure(x11):
        # The system's usual rules stay, so "sans-serif" still means DejaVu Sans where it is there.
        config = os.path.join(x11.tmp, "fonts.conf")
        with open(config, "w") as out:
            out.write('<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "fonts.dtd"><fontconfig>'
                      + "".join(f"<dir>{folder}</dir>" for folder in folders)
                      + '<include ignore_missing="yes">/etc/fonts/conf.d</include>'
                      + f"<cachedir>{x11.tmp}/fontcache</cachedir></fontconfig>")
        x11.launch(env={"FONTCONFIG_FILE": config})
    return configure


def plain(x11):
    x11.launch()


def no_sound_server(x11):
    x11.launch(env={"PULSE_SERVER": "unix:/nonexistent/pulse/native"})


def no_sound_file(x11):
    x11.launch(program=shutil.copy2(x11.program, tempfile.mkdtemp(dir=x11.tmp)))


def server_gone(x11):
    """Kills the server at the first bite it hears, or at the end of a game without one."""
    server = SoundServer(x11, os.path.join(os.path.dirname(x11.program), "eat.wav"))
    x11.launch()
    return lambda: wait_until(lambda: server.streams() or x11.find_windows("^ORVEX$"), 20,
                              "a bite") and server.kill()


@pytest.mark.parametrize("x11, start, keys", [
    ((1024, 768), fonts("/usr/share/fonts/truetype/dejavu"), TO_START),
    ((1024, 768), fonts(), TO_START),
    ((640, 480), plain, TO_START),
    ((3840, 2160), plain, TO_START),
    ((1024, 768), no_sound_server, EATING),
    ((1024, 768), no_sound_file, EATING),
    ((1024, 768), server_gone, EATING),
], ids=["only_dejavu", "no_fonts", "640x480", "3840x2160", "no_sound_server", "no_sound_file",
        "sound_server_gone"], indirect=["x11"])
def test_hostile_world(x11, start, keys):
    """A game on a board that fills the screen, to its report and status 0."""
    if start is server_gone and missing_tools():
        pytest.skip("no sound server's tools (make setup installs them)")
    during = start(x11)
    start_game(x11, keys)
    if during:
        during()
    finish(x11, x11.shown(BOX, 30))


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
        session = request.getfixturevalue("x11")
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
