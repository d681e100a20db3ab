"""The eating sound as a player hears it, on a private X server and a private sound server.

Each case plays a real game, steering worm 1 onto food points. A recorded server must hear one clip
of eat.wav per point scored, each from its first sample and whole unless the next bite cuts it off;
without the sound file, without a server, or with a server killed in the middle of the game, the
game plays on to its score box and ends with status 0.

By hand, from the source folder:
  ORVEX_PROGRAM=build/debug/app/orvex PYTHONPATH=tools \
      /usr/bin/python3 -B -m pytest -p no:cacheprovider tests/e2e/test_sound.py
"""

import os
import shutil
import tempfile

import pytest

import orvex_sound
from orvex_session import (DOWN, LEFT, RIGHT, TOOLS, UP, COLUMNS, ROWS, Session, Settings,
                           WormTracker, check, dismiss, parse_report, wait_box)

PROGRAM = os.path.abspath(os.environ.get("ORVEX_PROGRAM", "build/debug/app/orvex"))
ARTIFACTS = os.environ.get("ORVEX_ARTIFACTS")
SPEED_200 = ["End"] + ["Prior"] * 8
MOST_FOOD = ["End"]  # 100 food points: there is always one near the worm
KEYS = {RIGHT: "Right", LEFT: "Left", UP: "Up", DOWN: "Down"}

pytestmark = pytest.mark.skipif(
    bool([tool for tool in TOOLS if shutil.which(tool) is None] + orvex_sound.missing_tools()),
    reason="the X tools or the sound server's tools are missing (make setup installs them)")


class Driver:
    """Holds one arrow key at a time so that worm 1 goes for the nearest food point, or for the
    nearest border once it has eaten enough."""

    def __init__(self, session, game):
        self.session = session
        self.tracker = WormTracker(game)
        self.held = None
        self.target = None

    def hold(self, key):
        if key != self.held:
            if self.held:
                self.session.keyup(self.held)
            if key:
                self.session.keydown(key)
            self.held = key

    def heading(self):
        path = self.tracker.paths["worm1"]
        if len(path) < 2:
            return RIGHT  # every worm 1 starts to the right on the first level
        (x0, y0), (x1, y1) = path[-2], path[-1]
        return ((x1 > x0) - (x1 < x0), (y1 > y0) - (y1 < y0))

    def safe(self, direction):
        """Whether the head can move one cell that way: not back, onto the worm or the border."""
        heading = self.heading()
        if direction == (-heading[0], -heading[1]):
            return False
        x, y = self.tracker.head()
        cell = (x + direction[0], y + direction[1])
        return 0 < cell[0] < COLUMNS - 1 and 0 < cell[1] < ROWS - 1 and \
            self.tracker.board.get(cell) != "worm1"

    def toward_food(self):
        x, y = self.tracker.head()
        food = {cell for cell, name in self.tracker.board.items() if name == "food"}
        if self.target not in food:
            self.target = min(food, key=lambda f: abs(f[0] - x) + abs(f[1] - y), default=None)
        if self.target is None:
            return None
        fx, fy = self.target
        wanted = [d for d, gap in ((RIGHT, fx - x), (LEFT, x - fx), (DOWN, fy - y), (UP, y - fy))
                  if gap > 0]
        others = [d for d in (RIGHT, DOWN, LEFT, UP) if d not in wanted]
        return next((d for d in wanted + others if self.safe(d)), None)

    def eat(self, bites, timeout=40):
        """Steers until worm 1 has eaten `bites` food points (it grows one cell a bite)."""
        def steer(tracker):
            if tracker.longest["worm1"] > bites:
                return True
            if tracker.head() is not None:
                direction = self.toward_food()
                self.hold(KEYS[direction] if direction else None)
            return False
        try:
            self.tracker.wait_for(steer, f"worm 1 to eat {bites} food points", timeout)
        finally:
            self.hold(None)

    def crash(self):
        """Turns worm 1 towards its nearest border, where the game ends."""
        x, y = self.tracker.head()
        heading = self.heading()
        ways = {RIGHT: COLUMNS - 1 - x, LEFT: x, DOWN: ROWS - 1 - y, UP: y}
        allowed = [d for d in ways if d != (-heading[0], -heading[1])]
        self.hold(KEYS[min(allowed, key=ways.get)])


def play(session, bites, program=None, env=None, between=None):
    """Plays a game in which worm 1 eats `bites` food points (calling `between` after the first)
    and then runs into the border. Returns the score the box reports."""
    session.start(program=program, env=env)
    settings = Settings(session)
    settings.choose(speed=SPEED_200, food=MOST_FOOD)
    driver = Driver(session, settings.start_game())
    driver.eat(1)
    if between:
        between()
    driver.eat(bites)
    driver.crash()
    try:
        box = wait_box(session, 30)
    finally:
        driver.hold(None)
    score, _ = parse_report(session.box_text(box))
    dismiss(session, box)
    check(session.wait_exit() == 0, "the program did not end with status 0")
    return score


def plays_heard(recording, clip):
    """The plays of `clip` in `recording`: (first sample, samples that match the clip from there).
    Fails on any sound that is not the clip from its first sample."""
    lead = next(i for i, sample in enumerate(clip) if sample != 0)
    plays, at = [], 0
    while at < len(recording):
        if recording[at] == 0:
            at += 1
            continue
        start = at - lead
        check(start >= 0 and recording[at] == clip[lead],
              f"a sound at sample {at} that is not the start of the clip")
        matched = 0
        while (matched < len(clip) and start + matched < len(recording)
               and recording[start + matched] == clip[matched]):
            matched += 1
        check(matched > lead, f"a sound at sample {at} that is not the start of the clip")
        plays.append((start, matched))
        at = start + matched
    return plays


def check_each_play_whole(plays, clip, rate):
    next_starts = [start for start, _ in plays[1:]] + [None]
    for (start, matched), cut_at in zip(plays, next_starts):
        if matched == len(clip):
            continue
        # A play may stop short only where the next one starts.
        check(cut_at is not None and cut_at <= start + matched,
              f"the play at {start / rate:.3f} s broke off after {matched / rate * 1000:.1f} ms "
              f"of its {len(clip) / rate * 1000:.0f} ms")


def recorded_server(session):
    clip, rate, channels = orvex_sound.read_clip(os.path.join(os.path.dirname(PROGRAM), "eat.wav"))
    return orvex_sound.SoundServer(session, rate, channels), clip, rate


def case_recorded_server(session):
    server, clip, rate = recorded_server(session)
    recording = server.record()
    score = play(session, 4)
    samples = recording.stop()
    plays = plays_heard(samples, clip)
    check(len(plays) == score, f"{len(plays)} plays heard for {score} points")
    check_each_play_whole(plays, clip, rate)
    check(session.stderr_lines() == [], f"stderr: {session.stderr_lines()}")


def case_no_eat_wav(session):
    server, _, _ = recorded_server(session)
    folder = tempfile.mkdtemp(prefix="orvex-alone-", dir=session.tmp)
    program = os.path.join(folder, "orvex")
    shutil.copy2(PROGRAM, program)
    recording = server.record()
    score = play(session, 1, program=program)
    check(score >= 1, "the worm ate but scored nothing")
    check(not any(recording.stop()), "a sound was heard without eat.wav")
    check(session.stderr_lines() == [], f"stderr: {session.stderr_lines()}")


def case_no_server(session):
    check(os.path.isfile(os.path.join(os.path.dirname(PROGRAM), "eat.wav")),
          "eat.wav is not next to the program (build every target)")
    play(session, 1, env={"PULSE_SERVER": "unix:/nonexistent/pulse/native"})
    lines = session.stderr_lines()
    check(len(lines) <= 1, f"more than one line on stderr: {lines}")


def case_server_killed(session):
    server, _, _ = recorded_server(session)
    score = play(session, 2, between=server.kill)
    check(score >= 2, f"the worm ate twice but scored {score}")
    lines = session.stderr_lines()
    check(len(lines) <= 1, f"more than one line on stderr: {lines}")


@pytest.mark.parametrize("case", [case_recorded_server, case_no_eat_wav, case_no_server,
                                  case_server_killed],
                         ids=["recorded_server", "no_eat_wav", "no_server", "server_killed"])
def test_sound(case):
    with Session(PROGRAM, artifacts=ARTIFACTS, name=f"sound-{case.__name__}") as session:
        case(session)
