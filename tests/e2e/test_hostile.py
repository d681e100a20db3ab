import os
import re
import shutil
import socket
import subprocess
from functools import partial

import pytest
from conftest import EATING, PROGRAM, TO_START, finish, needs, start_game
from orvex_session import BOX_TITLE, SETTINGS_TITLE, check, spawn, wait_until
from orvex_sound import TOOLS, SoundServer


def fonts(folders, x11):
    # The system's usual rules stay, so "sans-serif" still means DejaVu Sans where it is there.
    config = os.path.join(x11.tmp, "fonts.conf")
    with open(config, "w") as out:
        out.write("<fontconfig>" + "".join(f"<dir>{folder}</dir>" for folder in folders)
                  + '<include ignore_missing="yes">/etc/fonts/conf.d</include></fontconfig>')
    x11.launch(env={"FONTCONFIG_FILE": config})


def server_gone(x11):
    """Kills the server at the first bite it hears, or at the end of a game without one."""
    needs(*TOOLS)
    server = SoundServer(x11, os.path.join(os.path.dirname(x11.program), "eat.wav"))
    x11.launch()
    return lambda: wait_until(lambda: server.streams() or x11.find_windows(BOX_TITLE), 20,
                              "a bite") and server.kill()


WORLDS = {
    "only_dejavu": ((), partial(fonts, ["/usr/share/fonts/truetype/dejavu"]), TO_START),
    "no_fonts": ((), partial(fonts, []), TO_START),
    "640x360": ((640, 360), lambda x11: x11.launch(), TO_START),
    "3840x2160": ((3840, 2160), lambda x11: x11.launch(), TO_START),
    "no_sound_server": ((), lambda x11: x11.launch(env={"PULSE_SERVER": "unix:/none"}), EATING),
    "no_sound_file": ((), lambda x11: x11.launch(shutil.copy2(PROGRAM, x11.tmp)), EATING),
    "sound_server_gone": ((), server_gone, EATING),
}


@pytest.mark.parametrize("x11, launch, keys", WORLDS.values(), ids=WORLDS, indirect=["x11"])
def test_hostile_world(x11, launch, keys):
    during = launch(x11)  # the settings window, or what to do once the game runs
    start_game(x11, keys)
    if callable(during):
        during()
    finish(x11, x11.shown(BOX_TITLE, 30))


NO_X = next(f":{n}" for n in range(900, 1000) if not os.path.exists(f"/tmp/.X11-unix/X{n}"))
# A socket in the fresh runtime folder that nobody listens on, as a compositor leaves when it dies.
DEAD = "wayland-dead"


# Status None: on a live X server, the settings window shows; arguments None: no Wayland plugin.
@pytest.mark.parametrize("args, display, status, stdout, stderr", [
    ([], {}, 1, "", r"^orvex: could not connect to display$"),
    ([], {"DISPLAY": NO_X}, 1, "", rf"^orvex: could not connect to display {NO_X}$"),
    ([], {"QT_QPA_PLATFORM": "wayland;xcb"}, None, "",
     r"^Failed to create wl_display \(No such file or directory\)$"),
    (None, {"WAYLAND_DISPLAY": DEAD}, 1, "",
     r'^orvex: Could not find the Qt platform plugin "wayland"(.*\n)+orvex: .*qt6-wayland'),
    ([], {"WAYLAND_DISPLAY": DEAD, "QT_QPA_PLATFORM": "wayland"}, 1, "",
     r"^orvex: Failed to create wl_display \(Connection refused\)$"),
    ([], {"WAYLAND_DISPLAY": DEAD, "XDG_CURRENT_DESKTOP": "ubuntu:GNOME"}, None, "", r"\A\Z"),
    (["--help"], {}, 0,
     r"Usage: \S*orvex \[options\]\n(.*\n)*\s+-h, --help .*\n\s+-v, --version .*\n", r"\A\Z"),
    (["--version"], {}, 0, r"orvex \d+\.\d+\.\d+\n", r"\A\Z"),
    (["--frobnicate"], {}, 2, "",
     r"\Aorvex: Unknown option 'frobnicate'\. Try 'orvex --help'\.\n\Z"),
    (["board.txt"], {}, 2, "",
     r"\Aorvex: Unexpected argument 'board\.txt'\. Try 'orvex --help'\.\n\Z"),
], ids=["none", "x_not_there", "wayland_then_x", "wayland_plugin_missing", "compositor_not_there",
        "gnome_through_x", "help", "version", "unknown_option", "unexpected_argument"])
def test_start_up(request, tmp_path, args, display, status, stdout, stderr):
    """Qt chooses the platform; where it cannot start one, Qt's reasons, each line the program's,
    and no hang or core. Without a display, an answer to the command line shows it came first."""
    program = PROGRAM
    if args is None:
        shutil.copytree(os.environ["ORVEX_QT_PLATFORMS"], tmp_path / "plugins" / "platforms",
                        ignore=shutil.ignore_patterns("*wayland*"))
        (tmp_path / "qt.conf").write_text("[Paths]\nPlugins=plugins\n")
        program = shutil.copy2(PROGRAM, tmp_path)
    if status is None:
        session = request.getfixturevalue("x11")
        display = dict(display, DISPLAY=session.display)
    env = {name: value for name, value in os.environ.items()
           if not re.match("DISPLAY|WAYLAND_DISPLAY|QT_QPA_PLATFORM|XAUTHORITY|XDG_", name)}
    with socket.socket(socket.AF_UNIX) as dead:
        dead.bind(str(tmp_path / DEAD))
    run = spawn([program, *(args or [])], dict(env, XDG_RUNTIME_DIR=str(tmp_path), **display),
                stdout=subprocess.PIPE, stderr=subprocess.PIPE, cwd=tmp_path, text=True)
    if status is None:
        wait_until(lambda: session.find_windows(SETTINGS_TITLE), 15, "the settings window")
        run.terminate()
    out, err = run.communicate(timeout=20)
    if status is not None:
        check(run.returncode == status, f"exit status {run.returncode}: {err!r}")
        check(all(line.startswith("orvex: ") for line in err.splitlines()), f"stderr: {err!r}")
    check(re.fullmatch(stdout, out), f"stdout: {out!r}")
    check(re.search(stderr, err, re.MULTILINE), f"stderr: {err!r}")
    check(not list(tmp_path.glob("core*")), "a core file")
