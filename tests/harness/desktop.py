"""The two desktops the real program is tested on, with one face: X11 and a headless sway."""

import io
import operator
import os
import shutil
import subprocess
import tempfile
from collections import namedtuple

from orvex_session import (COLUMNS, ROWS, SETTINGS_TITLE, TILE_NAMES, BoardGeometry, Session, check,
                           spawn, stop, wait_until)
from PIL import Image

# names: WM_CLASS's class part or the app id; rect, screen: client area, screen as x, y, w, h.
Shown = namedtuple("Shown", "handle names rect screen")


def board(shot, window):
    geometry, shot = BoardGeometry(*window.screen[2:]), shot.convert("RGB")
    return {(x, y): TILE_NAMES.get(shot.getpixel(geometry.centre(x, y)))
            for x in range(COLUMNS) for y in range(ROWS)}


rect = operator.attrgetter("x", "y", "width", "height")


class X11(Session):
    def launch(self, program=None, env=None):
        self.start(program, env)
        settings = self.shown(SETTINGS_TITLE)
        wait_until(lambda: self.active_window() == settings.handle, 5,
                   "the settings window to have the focus")
        return settings

    def shown(self, title, timeout=20):
        handle = self.window(title, timeout)
        names = self.x11.create_resource_object("window", handle).get_wm_class()
        return Shown(handle, names and names[1], self.geometry(handle),
                     (0, 0, self.width, self.height))

    def hold(self, *names):
        self.keydown(*names)
        return lambda: self.keyup(*names)

    def board(self, window):
        return board(self.screenshot(*window.rect), window)

    def press_close(self, window):
        left, top, width, _ = self.frame(window.handle)
        self.click(left + width - 11, (top + window.rect[1]) // 2)  # openbox's close button

    def box_text(self, box):
        self.activate(box.handle)

        def copied():
            self.key("ctrl+c")  # a box only just activated may not take the shortcut yet
            return self.x(["xclip", "-o", "-selection", "clipboard"], timeout=5).decode().strip()
        return wait_until(copied, 5, "the box's text", interval=0.2)


class Wayland:
    """A headless sway with two screens, the program opening on the second. sway refuses root, so
    under root it, the program (a copy: the build may be out of nobody's reach) and tools run as
    nobody."""

    CONFIG = ("xwayland disable\ndefault_border none\ndefault_floating_border none\n"
              "output HEADLESS-1 resolution 1280x720\noutput HEADLESS-2 resolution 1600x900\n"
              "focus output HEADLESS-2\n")

    def __init__(self, program):
        self.program, self.processes, self.as_user = program, [], []
        self.tmp = tempfile.mkdtemp(prefix="orvex-sway-")
        self.stderr_path = os.path.join(self.tmp, "program.err")

    def __enter__(self):
        import i3ipc

        try:
            if os.geteuid() == 0:
                self.as_user = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
                shutil.chown(self.tmp, "nobody", "nogroup")
            config, ipc = os.path.join(self.tmp, "config"), os.path.join(self.tmp, "ipc")
            with open(config, "w") as out:
                out.write(self.CONFIG)
            # In a runtime folder of its own, sway's first socket is always wayland-1.
            self.env = {"PATH": os.environ["PATH"], "HOME": self.tmp, "XDG_RUNTIME_DIR": self.tmp,
                        "LANG": "C.UTF-8", "SWAYSOCK": ipc, "WAYLAND_DISPLAY": "wayland-1"}
            sway = self.spawn(["sway", "-c", config], WLR_BACKENDS="headless",
                              WLR_RENDERER="pixman", WLR_HEADLESS_OUTPUTS="2")
            wait_until(lambda: check(sway.poll() is None, "sway ended") or os.path.exists(ipc), 20,
                       "sway's IPC")
            self.ipc = i3ipc.Connection(socket_path=ipc)
            wait_until(lambda: len(self.ipc.get_outputs()) == 2, 20, "sway's screens")
        except BaseException:
            self.close()
            raise
        return self

    def close(self, *exc):
        for process in reversed(self.processes):
            stop(process)
        shutil.rmtree(self.tmp, ignore_errors=True)

    __exit__ = close

    def spawn(self, args, stderr=subprocess.DEVNULL, **env):
        self.processes.append(spawn(self.as_user + args, dict(self.env, **env), stderr=stderr,
                                    cwd=self.tmp))
        return self.processes[-1]

    def run(self, *args):
        return subprocess.run(self.as_user + list(args), env=self.env, check=True, timeout=60,
                              stdin=subprocess.DEVNULL, capture_output=True).stdout

    def launch(self):
        folder = shutil.copytree(os.path.dirname(self.program), os.path.join(self.tmp, "program"),
                                 ignore=lambda _, names: set(names) - {"orvex", "eat.wav"})
        with open(self.stderr_path, "w") as err:
            self.process = self.spawn([os.path.join(folder, "orvex")], stderr=err,
                                      QT_QPA_PLATFORM="wayland")
        return self.shown(SETTINGS_TITLE)

    def shown(self, title, timeout=20):
        def find():
            check(self.process.poll() is None, f"the program ended waiting for {title}")
            for output in self.ipc.get_tree().nodes:
                for con in output.find_named(title):
                    return Shown(con.id, con.app_id, rect(con.rect), rect(output.rect))
        return wait_until(find, timeout, f"a window titled {title}")

    def activate(self, handle):
        self.ipc.command(f"[con_id={handle}] focus")

    def key(self, *names):
        """One wtype call, after a pause that lets the program take wtype's new keyboard."""
        self.run("wtype", "-s", "400", "-d", "20", *[arg for name in names for arg in ("-k", name)])

    def hold(self, *names):
        holder = self.spawn(["wtype", "-s", "400", *[arg for name in names for arg in ("-P", name)],
                             "-s", "60000"])
        return lambda: stop(holder)

    def board(self, window):
        shot = self.run("grim", "-g", "{},{} {}x{}".format(*window.rect), "-")
        return board(Image.open(io.BytesIO(shot)), window)

    wait_exit = Session.wait_exit
