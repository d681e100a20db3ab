"""Many real games in a row on one X server, with random settings and random held keys: every game
ends with its report and status 0, and the games' peak memory stays level. Not part of `make test`
(`make soak` runs it). ORVEX_SOAK_GAMES and ORVEX_SOAK_SEED repeat a run."""

import os
import random
import time

import pytest

from orvex_session import BOX_TITLE, MAIN_TITLE, Settings, check, dismiss, parse_report, wait_box

GAMES = int(os.environ.get("ORVEX_SOAK_GAMES", "30"))
PLAYER_KEYS = (("Left", "Right", "Up", "Down"), ("a", "d", "w", "s"))
STEERING_SECONDS = 8  # then the worms run straight into something


def steer_randomly(session, rng, players):
    """Holds random keys of the players in play until the report shows; returns the box."""
    keys = [key for keys in PLAYER_KEYS[:players] for key in keys]
    held = set()
    stop_at = time.monotonic() + STEERING_SECONDS
    while time.monotonic() < stop_at and session.alive() and not session.find_windows(BOX_TITLE):
        wanted = set(rng.sample(keys, rng.randint(0, 2)))
        if held - wanted:
            session.keyup(*sorted(held - wanted))
        if wanted - held:
            session.keydown(*sorted(wanted - held))
        held = wanted
        time.sleep(rng.uniform(0.02, 0.15))
    # The X server outlives the game: a key left down would be held in the next one.
    if held:
        session.keyup(*sorted(held))
    return wait_box(session)


def play_one(session, rng):
    """One game with random settings, fast so that it ends within seconds; returns its peak memory."""
    values = {"speed": rng.randint(1, 25), "level": rng.randint(1, 10),
              "food": rng.choice([1, rng.randint(1, 30), 100]), "growth": rng.randint(1, 10),
              "players": rng.randint(1, 2)}
    session.start()
    settings = Settings(session)
    settings.choose(speed=["Right"] * (values["speed"] - 1), level=["Right"] * (values["level"] - 1),
                    food=["End"] if values["food"] == 100 else ["Right"] * (values["food"] - 1),
                    growth=["Right"] * (values["growth"] - 1), players=values["players"], delay=5)
    session.key("Tab", "space")  # the start button; the board may be gone before it is read
    session.window(MAIN_TITLE)
    box = steer_randomly(session, rng, values["players"])
    report = session.box_text(box)
    _, score2 = parse_report(report)
    check((score2 is not None) == (values["players"] == 2), f"{report!r} for {values}")
    peak = session.peak_memory_kib()
    dismiss(session, box)
    check(session.wait_exit() == 0, f"the game with {values} ended with status {session.process.returncode}")
    print(f"{values} -> {report!r}, VmHWM {peak} KiB")
    return peak


@pytest.mark.timeout(300)
@pytest.mark.parametrize("session", [(800, 600)], indirect=True)
def test_many_games(session):
    seed = int(os.environ.get("ORVEX_SOAK_SEED", random.randrange(1 << 30)))
    print(f"seed {seed}")
    rng = random.Random(seed)
    peaks = [play_one(session, rng) for _ in range(GAMES)]
    check(max(peaks) <= 1.1 * min(peaks), f"peak memory ranges from {min(peaks)} to {max(peaks)} KiB")
