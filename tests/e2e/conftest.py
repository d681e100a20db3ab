"""Fixtures of the real-program tests: the program under test (ORVEX_PROGRAM) and one private X
session per test, whose screenshot and stderr are kept in ORVEX_ARTIFACTS when the test fails."""

import os
import shutil
import sys

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), os.pardir, os.pardir, "tools"))
pytest.importorskip("Xlib", reason="python3-xlib missing (make setup installs it)")
from orvex_session import (TOOLS, Session, Settings, check, dismiss, parse_report,  # noqa: E402
                           wait_box)


class GameSession(Session):
    """A session with the moves the tests share."""

    def start_game(self, speed=("Next", "Next"), program=None, env=None, **values):
        """Starts the program and a game, at 201 ms a tick unless told otherwise (the bar's large
        step is 100); the game's window, which must cover the screen."""
        self.start(program, env)
        settings = Settings(self)
        settings.choose(speed=speed, **values)
        game = settings.start_game()
        left, top, width, height = game.client()
        check(left == 0 and width == self.width and top + height == self.height,
              f"the main window ({left},{top} {width}x{height}) does not cover the screen")
        return game

    def steer(self, tracker, key, direction, cells=1, worm="worm1"):
        """Holds `key` until `worm` has gone `cells` cells in `direction`."""
        self.keydown(key)
        tracker.wait_for(lambda t: t.run(worm, direction) >= cells, f"{worm} to go {key}")
        self.keyup(key)

    def finish(self, timeout=30):
        """Dismisses the report and expects status 0; the report's scores."""
        box = wait_box(self, timeout)
        scores = parse_report(self.box_text(box))
        dismiss(self, box)
        check(self.wait_exit() == 0, "the program did not end with status 0")
        return scores


@pytest.fixture
def program():
    return os.path.abspath(os.environ.get("ORVEX_PROGRAM", "build/debug/app/orvex"))


@pytest.fixture
def session(request, program):
    """An X server with a window manager, 1024 x 768 unless parametrized with (width, height)."""
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        pytest.skip(f"{' '.join(missing)} not installed (make setup installs them)")
    width, height = getattr(request, "param", (1024, 768))
    failures = request.session.testsfailed
    with GameSession(program, width, height, name=request.node.name) as session:
        yield session
        if os.environ.get("ORVEX_ARTIFACTS") and request.session.testsfailed > failures:
            session.keep_evidence(os.environ["ORVEX_ARTIFACTS"])
