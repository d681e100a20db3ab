"""The eating sound as a player hears it, on a private X server and sound server, in real games
that steer worm 1 onto food: a recorded server hears one whole clip of eat.wav per point scored,
each from its first sample, cut only by the next; without the sound file, without a server, or
with a server killed mid-game, the game plays on to its score box and status 0."""

import os
import shutil
import tempfile

import pytest

import orvex_sound
from orvex_session import DOWN, LEFT, RIGHT, UP, WormTracker, check

KEYS = {RIGHT: "Right", LEFT: "Left", UP: "Up", DOWN: "Down"}

pytestmark = pytest.mark.skipif(bool(orvex_sound.missing_tools()),
                                reason="no sound server's tools (make setup installs them)")


def best_move(tracker):
    """Worm 1's move that takes its head nearest to a food point, but not into the border or
    itself, nor back, which the game ignores (a worm that has not moved yet heads right)."""
    (x, y), board = tracker.head(), tracker.board
    back = next(((-dx, -dy) for dx, dy in KEYS if tracker.run("worm1", (dx, dy))), LEFT)
    food = [cell for cell, name in board.items() if name == "food"]

    def gap(move):
        cell = (x + move[0], y + move[1])
        if move == back or board.get(cell) not in ("floor", "food"):
            return float("inf")
        return min((abs(fx - cell[0]) + abs(fy - cell[1]) for fx, fy in food), default=0)
    return min(KEYS, key=gap)


def eat(session, tracker, bites):
    """Holds the key of worm 1's best move, board by board, until it has eaten `bites` food points
    (it grows one cell a bite)."""
    held = []

    def steer(t):
        key = t.head() and KEYS[best_move(t)]
        if key and held != [key]:
            if held:
                session.keyup(held.pop())
            session.keydown(key)
            held.append(key)
        return t.longest["worm1"] > bites
    tracker.wait_for(steer, f"worm 1 to eat {bites} food points", 40)
    if held:
        session.keyup(*held)


def play(session, bites, program=None, env=None, between=lambda: None):
    """A game with 100 food points, so that one is always near, in which worm 1 eats `bites` of
    them (calling `between` after the first) and then goes straight on until the game ends; the
    score the report gives, which counts every bite."""
    tracker = WormTracker(session.start_game(program=program, env=env, food=["End"]))
    eat(session, tracker, 1)
    between()
    eat(session, tracker, bites)
    score = session.finish()[0]
    check(score >= bites, f"the worm ate {bites} food points but scored {score}")
    return score


def plays_heard(recording, clip, rate):
    """How many plays of `clip` the recording holds; fails on any sound that is not the clip from
    its first sample, and on a play that breaks off before its end where no next one starts."""
    lead = next(i for i, sample in enumerate(clip) if sample)
    plays, end = [], 0  # (first sample, first sample past the clip or unlike it)
    for at, sample in enumerate(recording):
        if at < end or not sample:
            continue
        start = at - lead
        check(start >= 0 and recording[start:at + 1] == clip[:lead + 1],
              f"a sound at {at / rate:.3f} s that is not the start of the clip")
        end = start + next((i for i in range(lead + 1, len(clip)) if start + i >= len(recording)
                            or recording[start + i] != clip[i]), len(clip))
        plays.append((start, end))
    cuts = [start for start, _ in plays[1:]] + [float("inf")]
    for (start, end), cut in zip(plays, cuts):
        check(end - start == len(clip) or cut <= end,
              f"the play at {start / rate:.3f} s broke off after {(end - start) / rate:.3f} s")
    return len(plays)


def sound_server(session):
    return orvex_sound.SoundServer(session, eat_wav(session))


def eat_wav(session):
    return os.path.join(os.path.dirname(session.program), "eat.wav")


def case_recorded_server(session):
    server = sound_server(session)
    recording = server.record()
    score = play(session, 4)
    heard = plays_heard(recording.stop(), server.clip, server.rate * server.channels)
    check(heard == score, f"{heard} plays heard for {score} points")


def case_no_eat_wav(session):
    recording = sound_server(session).record()
    folder = tempfile.mkdtemp(prefix="orvex-alone-", dir=session.tmp)
    play(session, 1, program=shutil.copy2(session.program, folder))
    check(not any(recording.stop()), "a sound was heard without eat.wav")


def case_no_server(session):
    check(os.path.isfile(eat_wav(session)), "no eat.wav beside the program (build every target)")
    play(session, 1, env={"PULSE_SERVER": "unix:/nonexistent/pulse/native"})


def case_server_killed(session):
    play(session, 2, between=sound_server(session).kill)


@pytest.mark.parametrize("case, most_stderr_lines", [
    (case_recorded_server, 0), (case_no_eat_wav, 0), (case_no_server, 1), (case_server_killed, 1),
], ids=["recorded_server", "no_eat_wav", "no_server", "server_killed"])
def test_sound(session, case, most_stderr_lines):
    case(session)
    lines = session.stderr_lines()
    check(len(lines) <= most_stderr_lines, f"stderr: {lines}")
