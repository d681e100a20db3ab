"""Runs the real orvex program natively on a private headless Wayland compositor (sway, without
XWayland): keys through wtype, window facts through swaymsg, screenshots through grim.

sway refuses to run as root, so under root the compositor, the program and the tools run as the
unprivileged user nobody. Everything lives in a private folder of the user that runs them: the
runtime folder, the configuration, the screenshots and a copy of the program (a build tree may lie
out of that user's reach). Every wait has a deadline, and stop() ends the program and the
compositor and removes the folder, even after a failure.

    with Sway() as sway:
        program = sway.start_program("build/debug/app/orvex")
        sway.wait_window("Set Values...")
"""

import glob
import json
import os
import pwd
import shutil
import signal
import subprocess
import tempfile
import time

from orvex_session import wait_until

TOOLS = ("sway", "swaymsg", "wtype", "grim")
# The first output of the headless back end.
FIRST_OUTPUT = "HEADLESS-1"
# Neither borders nor title bars: a tiled window covers its whole output, so the board's pixels
# are the screen's pixels.
CONFIG = """xwayland disable
default_border none
default_floating_border none
"""


class Unavailable(Exception):
    """The compositor cannot run here; the message says why."""


class Window:
    def __init__(self, node, output):
        self.name = node.get("name")
        self.app_id = node.get("app_id")
        self.output = output
        rect = node["rect"]
        self.rect = (rect["x"], rect["y"], rect["width"], rect["height"])

    def __repr__(self):
        return f"<{self.name!r} {self.app_id} on {self.output} at {self.rect}>"


class Sway:
    def __init__(self, timeout=20):
        self.timeout = timeout
        self.folder = None
        self.compositor = None
        self.program = None
        self.shots = 0

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    # --- the compositor ---------------------------------------------------------------------
    def start(self):
        missing = [tool for tool in TOOLS + ("setpriv",) if shutil.which(tool) is None]
        if missing:
            raise Unavailable(f"{' '.join(missing)} not installed (scripts/setup installs them)")
        self.folder = tempfile.mkdtemp(prefix="orvex-sway-")
        self.runtime = os.path.join(self.folder, "run")
        os.mkdir(self.runtime)
        self.as_user = []
        if os.geteuid() == 0:
            user = pwd.getpwnam("nobody")
            self.as_user = ["setpriv", f"--reuid={user.pw_uid}", f"--regid={user.pw_gid}",
                            "--clear-groups"]
            for folder in (self.folder, self.runtime):
                os.chown(folder, user.pw_uid, user.pw_gid)
        os.chmod(self.folder, 0o755)
        os.chmod(self.runtime, 0o700)
        config = os.path.join(self.folder, "config")
        with open(config, "w") as file:
            file.write(CONFIG)
        os.chmod(config, 0o644)
        self.env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.folder,
                    "XDG_RUNTIME_DIR": self.runtime, "LANG": "C.UTF-8"}
        self.log = os.path.join(self.folder, "sway.log")
        with open(self.log, "w") as log:
            self.compositor = subprocess.Popen(
                self.as_user + ["sway", "-c", config],
                env=dict(self.env, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                         WLR_RENDERER="pixman"),
                stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                start_new_session=True)
        deadline = time.monotonic() + self.timeout
        while not (self._socket("wayland-*[0-9]") and self._socket("sway-ipc.*.sock")):
            if self.compositor.poll() is not None or time.monotonic() > deadline:
                why = f"sway did not start: {self.log_tail()}"
                self.stop()
                raise Unavailable(why)
            time.sleep(0.05)
        self.env["WAYLAND_DISPLAY"] = os.path.basename(self._socket("wayland-*[0-9]"))
        self.env["SWAYSOCK"] = self._socket("sway-ipc.*.sock")
        wait_until(self.outputs, self.timeout, "sway's first output")

    def _socket(self, pattern):
        found = glob.glob(os.path.join(self.runtime, pattern))
        return found[0] if found else None

    def log_tail(self, lines=5):
        try:
            with open(self.log, errors="replace") as log:
                return " | ".join(log.read().splitlines()[-lines:]) or "no output"
        except OSError:
            return "no log"

    def stop_compositor(self):
        if self.compositor is not None and self.compositor.poll() is None:
            os.killpg(self.compositor.pid, signal.SIGTERM)
            try:
                self.compositor.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(self.compositor.pid, signal.SIGKILL)
                self.compositor.wait()

    def stop(self):
        if self.program is not None and self.program.poll() is None:
            os.killpg(self.program.pid, signal.SIGKILL)
            self.program.wait()
        self.stop_compositor()
        if self.folder:
            shutil.rmtree(self.folder, ignore_errors=True)
            self.folder = None

    def run(self, args, timeout=20):
        """Runs a tool as the compositor's user; its stdout."""
        done = subprocess.run(self.as_user + args, env=self.env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=timeout)
        if done.returncode != 0:
            raise AssertionError(f"{args[0]} failed ({done.returncode}): "
                                 f"{done.stderr.decode(errors='replace').strip()}")
        return done.stdout

    def msg(self, *args):
        """A sway command or query (swaymsg), its answer as JSON."""
        return json.loads(self.run(["swaymsg", "-r", *args]))

    # --- screens and windows ----------------------------------------------------------------
    def outputs(self):
        """{name: (x, y, width, height)} of the active outputs, in layout pixels."""
        return {output["name"]: tuple(output["rect"][key] for key in ("x", "y", "width", "height"))
                for output in self.msg("-t", "get_outputs") if output.get("active")}

    def add_output(self, width, height):
        """A further output of the given size right of the others; its name."""
        before = set(self.outputs())
        self.msg("create_output")
        name = wait_until(lambda: set(self.outputs()) - before, self.timeout, "a new output").pop()
        right = max(x + w for output, (x, _, w, _) in self.outputs().items() if output != name)
        self.msg("output", name, "resolution", f"{width}x{height}", "position", str(right), "0")
        wait_until(lambda: self.outputs()[name][2:] == (width, height), self.timeout,
                   f"{name} to be {width}x{height}")
        return name

    def windows(self):
        """Every client window, on whichever output it is."""
        found = []

        def walk(node, output):
            if node.get("type") == "output":
                output = node["name"]
            if node.get("pid") and node.get("visible", True):
                found.append(Window(node, output))
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child, output)

        walk(self.msg("-t", "get_tree"), None)
        return found

    def wait_window(self, name, timeout=None):
        """The window with this title, once the program has drawn it on an output."""
        return wait_until(lambda: next((window for window in self.windows()
                                        if window.name == name and window.output), None),
                          timeout or self.timeout, f"a window titled {name!r}")

    # --- keys and pixels --------------------------------------------------------------------
    def keys(self, *args):
        """One wtype call: each call adds a keyboard and removes it at the end, so a sequence split
        over several calls can lose keys. The pause first lets the program take the new keyboard
        before the first key comes."""
        self.run(["wtype", "-s", "400", "-d", "20", *args, "-s", "100"], timeout=60)

    def screenshot(self, output, keep=None):
        """The output's pixels as a Pillow RGB image; with `keep`, also saved as that file."""
        from PIL import Image

        self.shots += 1
        path = os.path.join(self.folder, f"shot{self.shots}.png")
        self.run(["grim", "-o", output, path])
        with Image.open(path) as shot:
            image = shot.convert("RGB")
        if keep:
            os.makedirs(os.path.dirname(os.path.abspath(keep)), exist_ok=True)
            shutil.copyfile(path, keep)
        os.remove(path)
        return image

    # --- the program ------------------------------------------------------------------------
    def start_program(self, program, args=(), env=None):
        """Starts a copy of the program, with the eating sound, natively on the
        compositor. Its stderr is kept for stderr()."""
        source = os.path.dirname(os.path.realpath(program))
        copy = os.path.join(self.folder, "program")
        os.mkdir(copy)
        for name in ("orvex", "eat.wav"):
            if os.path.exists(os.path.join(source, name)):
                shutil.copy2(os.path.join(source, name), copy)
        os.chmod(copy, 0o755)
        self.errors = os.path.join(self.folder, "program.err")
        with open(self.errors, "w") as errors:
            self.program = subprocess.Popen(
                self.as_user + [os.path.join(copy, "orvex"), *args],
                env=dict(self.env, QT_QPA_PLATFORM="wayland", **(env or {})), cwd=self.folder,
                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=errors,
                start_new_session=True)
        return self.program

    def stderr(self):
        with open(self.errors, errors="replace") as errors:
            return errors.read()

    def wait_exit(self, timeout=15):
        try:
            return self.program.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the program did not end within {timeout} s") from None
