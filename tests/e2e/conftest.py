"""Fixtures of the real-program tests: the program under test (ORVEX_PROGRAM) and one private X
session per test, whose screenshot and stderr are kept in ORVEX_ARTIFACTS when the test fails."""

import os
import shutil
import sys

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), os.pardir, os.pardir, "tools"))
pytest.importorskip("Xlib", reason="python3-xlib missing (make setup installs it)")
from orvex_session import TOOLS, Session  # noqa: E402  (found through the path above)


@pytest.fixture
def program():
    return os.path.abspath(os.environ.get("ORVEX_PROGRAM", "build/debug/app/orvex"))


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    report = (yield).get_result()
    if report.when == "call":
        item.failed_call = report.failed


@pytest.fixture
def session(request, program):
    """An X server with a window manager, 1024 x 768 unless parametrized with (width, height)."""
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        pytest.skip(f"{' '.join(missing)} not installed (make setup installs them)")
    width, height = getattr(request, "param", (1024, 768))
    with Session(program, width, height, name=request.node.name) as session:
        yield session
        artifacts = os.environ.get("ORVEX_ARTIFACTS")
        if artifacts and getattr(request.node, "failed_call", False):
            session.keep_evidence(artifacts)
