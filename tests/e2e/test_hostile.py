"""The real program in an unfriendly world: missing fonts, tiny and huge screens, no sound server,
no sound file, a sound server gone mid-game, no display at all; and its command line, answered
without one."""

import os
import re
import shutil
import subprocess
import tempfile

import pytest
from conftest import TO_START, finish, start_game
from desktop import BOX
from orvex_session import check, wait_until
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
