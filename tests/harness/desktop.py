"""The two desktops the real program is tested on, with one face: X11 (Xvfb and openbox, through
tools/orvex_session) and Wayland (a headless sway without XWayland, through its IPC). Each starts
the program, finds its windows by title, types and holds keys, and reads the board's tiles."""

import contextlib
import glob
import os
import pwd
import re
import shutil
import subprocess
import tempfile
from collections import namedtuple

from orvex_session import (COLUMNS, ROWS, TILE_NAMES, BoardGeometry, Session, check, spawn, stop,
                           wait_until)
from PIL import Image

SETTINGS, MAIN, BOX = "Set Values...", "Zindle ORVEX", "ORVEX"

# `names`: the desktop entry the window names (X11: WM_CLASS's class part, Wayland: the app id);
# `rect` and `screen`: the window's client area and its screen, as left, top, width and height.
Shown = namedtuple("Shown", "handle names rect screen")


def board(shot, window):
    """{(column, row): tile name} of the board in `window`, read on a screenshot of its screen at
    each cell's centre, the cells cut from that screen's size."""
    left, top = window.rect[0] - window.screen[0], window.rect[1] - window.screen[1]
    geometry = BoardGeometry(*window.screen[2:])

    def tile(x, y):
        cx, cy = geometry.centre(x, y)
        return TILE_NAMES.get(shot.getpixel((left + cx, top + cy)))
    return {(x, y): tile(x, y) for x in range(COLUMNS) for y in range(ROWS)}


class X11(Session):
    def launch(self, program=None, env=None):
        """Starts the program; its settings window, once it has the focus."""
        self.start(program, env)
        settings = self.shown(SETTINGS)
        wait_until(self.active_window, 5, "the settings window to have the focus",
                   accept=lambda active: active == settings.handle)
        return settings

    def shown(self, title, timeout=20):
        handle = self.window(f"^{re.escape(title)}$", timeout)
        names = self.x11.create_resource_object("window", handle).get_wm_class()
        return Shown(handle, names and names[1], self.geometry(handle),
                     (0, 0, self.width, self.height))

    def keys(self, *names):
        self.key(*names)

    def focus(self, window):
        self.activate(window.handle)

    @contextlib.contextmanager
    def hold(self, *names):
        self.keydown(*names)
        try:
            yield
        finally:
            self.keyup(*names)

    def board(self, window):
        return board(self.screenshot(), window)

    def stderr(self):
        with open(self.stderr_path, errors="replace") as err:
            return err.read()

    def press_close(self, window):
        """Clicks the close button at the right end of the title bar (openbox's layout)."""
        left, top, width, _ = self.frame(window.handle)
        self.click(left + width - 11, (top + window.rect[1]) // 2)

    def box_text(self, box):
        """The box's message, copied with Ctrl+C."""
        self.activate(box.handle)

        def copied():
            self.key("ctrl+c")  # a box only just activated may not take the shortcut yet
            return self.x(["xclip", "-o", "-selection", "clipboard"], timeout=5).decode().strip()
        return wait_until(copied, 5, "the box's text", interval=0.2)


class Wayland:
    """A headless sway with no XWayland. sway refuses root, so under root the compositor, the
    program (a copy: a build tree may lie out of its reach) and the tools run as nobody."""

    CONFIG = "xwayland disable\ndefault_border none\ndefault_floating_border none\n"

    def __init__(self, program):
        self.program, self.process, self.processes = program, None, []
        self.folder = tempfile.mkdtemp(prefix="orvex-sway-")

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        for process in reversed(self.processes):
            stop(process)
        shutil.rmtree(self.folder, ignore_errors=True)

    def _start(self):
        import i3ipc

        runtime = os.path.join(self.folder, "run")
        os.mkdir(runtime, 0o700)
        self.as_user = []
        if os.geteuid() == 0:
            user = pwd.getpwnam("nobody")
            self.as_user = ["setpriv", f"--reuid={user.pw_uid}", f"--regid={user.pw_gid}",
                            "--clear-groups"]
            for folder in (self.folder, runtime):
                os.chown(folder, user.pw_uid, user.pw_gid)
        os.chmod(self.folder, 0o755)
        with open(os.path.join(self.folder, "config"), "w") as config:
            config.write(self.CONFIG)
        self.env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.folder,
                    "XDG_RUNTIME_DIR": runtime, "LANG": "C.UTF-8"}
        self.spawn(["sway", "-c", config.name], WLR_BACKENDS="headless", WLR_RENDERER="pixman",
                   WLR_LIBINPUT_NO_DEVICES="1")

        def sockets():
            check(self.processes[0].poll() is None, "sway ended")
            found = [glob.glob(os.path.join(runtime, name)) for name in ("wayland-?", "sway-ipc.*")]
            return all(found) and [path for (path,) in found]
        wayland, ipc = wait_until(sockets, 20, "sway's sockets")
        self.env.update(WAYLAND_DISPLAY=os.path.basename(wayland), SWAYSOCK=ipc)
        self.ipc = i3ipc.Connection(socket_path=ipc)
        wait_until(self.outputs, 20, "sway's first output")

    def spawn(self, args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **env):
        self.processes.append(spawn(self.as_user + args, dict(self.env, **env), stdout=stdout,
                                    stderr=stderr, cwd=self.folder))
        return self.processes[-1]

    def run(self, *args):
        subprocess.run(self.as_user + list(args), env=self.env, check=True, timeout=60,
                       stdin=subprocess.DEVNULL, capture_output=True)

    def outputs(self):
        return {output.name: (output.rect.x, output.rect.y, output.rect.width, output.rect.height)
                for output in self.ipc.get_outputs() if output.active}

    def add_output(self, width, height):
        """A further output of this size, right of the others and focused: the program opens on
        it."""
        before = self.outputs()
        self.ipc.command("create_output")
        name = wait_until(lambda: set(self.outputs()) - set(before), 20, "a new output").pop()
        right = max(x + w for x, _, w, _ in before.values())
        self.ipc.command(f"output {name} resolution {width}x{height} position {right} 0")
        wait_until(lambda: self.outputs()[name][2:] == (width, height), 20, f"{name}'s size")
        self.ipc.command(f"focus output {name}")
        return self.outputs()[name]

    def launch(self):
        copy = os.path.join(self.folder, "program")
        os.mkdir(copy)
        for name in ("orvex", "eat.wav"):
            shutil.copy2(os.path.join(os.path.dirname(self.program), name), copy)
        with open(os.path.join(self.folder, "program.err"), "w") as err:
            self.process = self.spawn([os.path.join(copy, "orvex")], stderr=err,
                                      QT_QPA_PLATFORM="wayland")
        return self.shown(SETTINGS)

    def shown(self, title, timeout=20):
        def find():
            check(self.process.poll() is None, f"the program ended waiting for {title!r}")
            outputs = self.outputs()
            for output in self.ipc.get_tree().nodes:
                for con in output.find_named(f"^{re.escape(title)}$"):
                    if con.pid and output.name in outputs:
                        rect = (con.rect.x, con.rect.y, con.rect.width, con.rect.height)
                        return Shown(con.id, con.app_id, rect, outputs[output.name])
        return wait_until(find, timeout, f"a window titled {title!r}")

    def focus(self, window):
        self.ipc.command(f"[con_id={window.handle}] focus")

    def keys(self, *names):
        """One wtype call, after a pause that lets the program take wtype's new keyboard."""
        self.run("wtype", "-s", "400", "-d", "20", *[arg for name in names for arg in ("-k", name)])

    @contextlib.contextmanager
    def hold(self, *names):
        holder = self.spawn(["wtype", "-s", "400", *[arg for name in names for arg in ("-P", name)],
                             "-s", "60000"])
        try:
            yield
        finally:
            stop(holder)

    def board(self, window):
        name = next(name for name, rect in self.outputs().items() if rect == window.screen)
        path = os.path.join(self.folder, "shot.png")
        self.run("grim", "-o", name, path)
        with Image.open(path) as shot:
            return board(shot.convert("RGB"), window)

    def wait_exit(self, timeout=15):
        return self.process.wait(timeout)

    def stderr(self):
        with open(os.path.join(self.folder, "program.err"), errors="replace") as err:
            return err.read()
