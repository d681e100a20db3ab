#!/usr/bin/env python3
"""The install and the Debian package as a user meets them.

InstallTest installs the build into a scratch prefix and checks the layout the game relies on: the
sound beside the program, a working command link, the icons at their sizes. DebianPackageTest makes
the .deb with CPack when it is missing or older than the program, checks its control data and contents, runs
lintian, and starts the unpacked program on a private X server up to its settings window.

Usage: package_test.py --build-dir DIR [unittest arguments, e.g. InstallTest]
"""

import argparse
import glob
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir, "tools"))
import orvex_session  # noqa: E402  (the X session shared with the end-to-end tests)

APP_ID = "io.github.orvex.Orvex"
ICON_SIZES = (48, 64, 128, 256)
RUNTIME_PACKAGES = ("libqt6widgets6", "libqt6gui6", "libqt6core6", "libpulse0", "fonts-quicksand",
                    "libc6", "libstdc++6")
BUILD_DIR = None


def run(args, timeout=120, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, text=True, timeout=timeout,
                          stdin=subprocess.DEVNULL, **kwargs)


def png_size(path):
    with open(path, "rb") as png:
        header = png.read(24)
    if header[:8] != b"\x89PNG\r\n\x1a\n":
        raise AssertionError(f"{path} is not a PNG")
    return struct.unpack(">II", header[16:24])


def missing_tools(*tools):
    return [tool for tool in tools if shutil.which(tool) is None]


class InstallTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory(prefix="orvex-install-")
        cls.prefix = cls.scratch.name
        run(["cmake", "--install", BUILD_DIR, "--prefix", cls.prefix])

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def path(self, relative):
        return os.path.join(self.prefix, relative)

    def test_program_and_sound_share_a_folder_reached_through_bin(self):
        program = self.path("lib/orvex/orvex")
        self.assertTrue(os.access(program, os.X_OK), "program missing or not executable")
        self.assertTrue(os.path.isfile(self.path("lib/orvex/eat.wav")), "eat.wav not beside it")
        link = self.path("bin/orvex")
        self.assertTrue(os.path.islink(link), "bin/orvex is not a link")
        self.assertFalse(os.path.isabs(os.readlink(link)), "the link must survive a moved prefix")
        self.assertEqual(os.path.realpath(link), os.path.realpath(program))

    def test_icons_are_installed_at_their_sizes(self):
        self.assertTrue(os.path.isfile(self.path(f"share/icons/hicolor/scalable/apps/{APP_ID}.svg")))
        for size in ICON_SIZES:
            with self.subTest(size=size):
                icon = self.path(f"share/icons/hicolor/{size}x{size}/apps/{APP_ID}.png")
                self.assertEqual(png_size(icon), (size, size))

    def test_desktop_entry_metadata_and_manual_are_installed(self):
        for relative in (f"share/applications/{APP_ID}.desktop",
                         f"share/metainfo/{APP_ID}.metainfo.xml",
                         "share/man/man6/orvex.6.gz", "share/doc/orvex/copyright"):
            with self.subTest(file=relative):
                self.assertTrue(os.path.isfile(self.path(relative)))


class DebianPackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        missing = missing_tools("dpkg-deb", "cpack")
        if missing:
            raise unittest.SkipTest(f"missing {', '.join(missing)}")
        cls.deb = cls.fresh_package()
        cls.scratch = tempfile.TemporaryDirectory(prefix="orvex-deb-")
        cls.root = os.path.join(cls.scratch.name, "root")
        run(["dpkg-deb", "-x", cls.deb, cls.root])

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    @staticmethod
    def fresh_package():
        """The build's .deb, made again when the program is newer than it."""
        built = os.path.getmtime(os.path.join(BUILD_DIR, "app", "orvex"))
        debs = glob.glob(os.path.join(BUILD_DIR, "orvex_*.deb"))
        if not debs or os.path.getmtime(debs[0]) < built:
            # The build is done by now: only CPack's own install and packing are left.
            run(["cpack"], cwd=BUILD_DIR, timeout=300)
            debs = glob.glob(os.path.join(BUILD_DIR, "orvex_*.deb"))
        if len(debs) != 1:
            raise AssertionError(f"expected one .deb in {BUILD_DIR}, found {debs}")
        return debs[0]

    def control(self, field):
        return run(["dpkg-deb", "-f", self.deb, field]).stdout.strip()

    def test_control_names_runtime_packages_and_maintainer(self):
        depends = [entry.split()[0] for entry in self.control("Depends").split(", ")]
        for package in RUNTIME_PACKAGES:
            with self.subTest(package=package):
                self.assertIn(package, depends)
        # The sound goes straight to the sound server: no media framework comes with the game.
        self.assertNotIn("libqt6multimedia6", depends)
        self.assertRegex(self.control("Maintainer"), r"^[^<>]+ <[^@<>]+@[^@<>]+>$")
        self.assertEqual(self.control("Section"), "games")
        self.assertTrue(self.control("Description").splitlines()[1:], "no long description")

    def test_command_link_reaches_program_with_its_sound(self):
        link = os.path.join(self.root, "usr/games/orvex")
        self.assertEqual(os.readlink(link), "../lib/orvex/orvex")
        self.assertTrue(os.access(link, os.X_OK))
        self.assertTrue(os.path.isfile(os.path.join(self.root, "usr/lib/orvex/eat.wav")))

    @unittest.skipIf(missing_tools("lintian"), "lintian missing")
    def test_lintian_reports_no_error(self):
        result = subprocess.run(["lintian", "--no-tag-display-limit", self.deb],
                                capture_output=True, text=True, timeout=300,
                                stdin=subprocess.DEVNULL)
        report = result.stdout.splitlines()
        errors = [line for line in report if line.startswith("E:")]
        self.assertEqual(errors, [], "\n".join(report))

    @unittest.skipIf(missing_tools(*orvex_session.TOOLS), "the X tools of the end-to-end tests missing")
    def test_unpacked_program_opens_settings_window_and_closes(self):
        # The end-to-end session waits for the window manager before the program starts: a window
        # mapped while openbox is still taking over the screen can stay unmanaged and unseen.
        with orvex_session.Session(os.path.join(self.root, "usr/games/orvex"), 1280, 800) as session:
            session.start()
            settings = orvex_session.Settings(session, timeout=30)
            # Closing the settings window before the start ends the program without a game.
            session.press_close(settings.window)
            self.assertEqual(session.wait_exit(15), 0, "\n".join(session.stderr_lines()))


def main():
    global BUILD_DIR
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build-dir", required=True)
    args, rest = parser.parse_known_args()
    BUILD_DIR = os.path.abspath(args.build_dir)
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
