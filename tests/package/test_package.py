"""The install and the Debian package as a user meets them (ORVEX_BUILD_DIR names the build)."""

import glob
import os
import shutil
import subprocess

import pytest
from PIL import Image

BUILD_DIR = os.path.abspath(os.environ.get("ORVEX_BUILD_DIR", "build/debug"))
APP_ID = "io.github.orvex.Orvex"
RUNTIME_PACKAGES = {"libqt6widgets6", "libqt6gui6", "libqt6core6", "libpulse0", "qt6-wayland",
                    "fonts-quicksand", "libc6", "libstdc++6"}


def run(*args, check=True, **kwargs):
    return subprocess.run(args, check=check, capture_output=True, text=True, timeout=300,
                          stdin=subprocess.DEVNULL, **kwargs).stdout


def test_install_layout(tmp_path):
    run("cmake", "--install", BUILD_DIR, "--prefix", str(tmp_path))
    # A relative link survives a moved prefix.
    assert os.readlink(tmp_path / "bin/orvex") == "../lib/orvex/orvex"
    assert os.access(tmp_path / "bin/orvex", os.X_OK)
    for size in (48, 64, 128, 256):
        with Image.open(tmp_path / f"share/icons/hicolor/{size}x{size}/apps/{APP_ID}.png") as icon:
            assert icon.size == (size, size)
    for relative in ("lib/orvex/eat.wav", f"share/icons/hicolor/scalable/apps/{APP_ID}.svg",
                     f"share/applications/{APP_ID}.desktop", "share/doc/orvex/copyright",
                     f"share/metainfo/{APP_ID}.metainfo.xml", "share/man/man6/orvex.6.gz"):
        assert (tmp_path / relative).is_file(), relative


def test_deb_depends_on_the_runtime_packages_links_the_command_and_passes_lintian(tmp_path):
    run("cpack", cwd=BUILD_DIR)
    (deb,) = glob.glob(os.path.join(BUILD_DIR, "orvex_*.deb"))
    depends = {entry.split()[0] for entry in run("dpkg-deb", "-f", deb, "Depends").split(", ")}
    # The sound goes straight to the sound server: no media framework comes with the game.
    assert RUNTIME_PACKAGES <= depends and "libqt6multimedia6" not in depends
    run("dpkg-deb", "-x", deb, str(tmp_path))
    assert os.readlink(tmp_path / "usr/games/orvex") == "../lib/orvex/orvex"
    if not shutil.which("lintian"):
        pytest.skip("lintian not installed (make setup installs it)")
    report = run("lintian", "--no-tag-display-limit", deb, check=False).splitlines()
    assert [line for line in report if line.startswith("E:")] == [], "\n".join(report)
