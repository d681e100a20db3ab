"""Many real games in a row on one X server: random settings, random held keys. Every game must end
with the score report and exit status 0, and the games' peak memory must stay level.

Usage: soak.py PROGRAM soak [--games N] [--seed S] [--artifacts DIR] [--budget SECONDS]"""

import random
import sys
import time

from orvex_session import (BOX_TITLE, MAIN_TITLE, Settings, case, check, dismiss, main, parse_report,
                       wait_box, wait_until)

OPTIONS = {"games": 30, "seed": None}
PLAYER_KEYS = (("Left", "Right", "Up", "Down"), ("a", "d", "w", "s"))
KEYS_FOR = 8  # seconds of random steering; then the worms run straight into something


def random_settings(rng):
    return {
        "speed": rng.randint(1, 25),  # fast, so that every game ends within seconds
        "level": rng.randint(1, 10),
        "food": rng.choice([1, rng.randint(1, 30), 100]),
        "growth": rng.randint(1, 10),
        "players": rng.randint(1, 2),
    }


def steps(count):
    return ["Right"] * count


def steer_randomly(session, rng, players):
    """Holds random keys of the players in play until the report shows; returns the box."""
    keys = [key for player in range(players) for key in PLAYER_KEYS[player]]
    held = set()
    stop_at = time.monotonic() + KEYS_FOR
    try:
        while time.monotonic() < stop_at:
            boxes = session.find_windows(BOX_TITLE)
            if boxes:
                return boxes[0]
            check(session.alive(), "the program ended without a report")
            wanted = set(rng.sample(keys, rng.randint(0, 2)))
            if held - wanted:
                session.keyup(*sorted(held - wanted))
            if wanted - held:
                session.keydown(*sorted(wanted - held))
            held = wanted
            time.sleep(rng.uniform(0.02, 0.15))
    finally:
        if held:
            session.keyup(*sorted(held))
    return wait_box(session, 30)


def play_one(session, rng, number):
    values = random_settings(rng)
    session.start()
    settings = Settings(session)
    settings.choose(speed=steps(values["speed"] - 1), level=steps(values["level"] - 1),
                    food=["End"] if values["food"] == 100 else steps(values["food"] - 1),
                    growth=steps(values["growth"] - 1), players=values["players"], delay=5)
    settings.click("Command1")
    session.window(MAIN_TITLE, 20)
    box = steer_randomly(session, rng, values["players"])
    report = session.box_text(box)
    _, score2 = parse_report(report)
    check((score2 is not None) == (values["players"] == 2), f"game {number}: {report!r} for {values}")
    peak = session.peak_memory_kib()
    dismiss(session, box)
    status = session.wait_exit(10)
    check(status == 0, f"game {number} ({values}) ended with status {status}")
    return values, report, peak


@case
def soak(context):
    seed = OPTIONS["seed"] if OPTIONS["seed"] is not None else random.randrange(1 << 30)
    print(f"seed {seed}")
    rng = random.Random(seed)
    peaks = []
    with context.session(width=800, height=600) as session:
        for number in range(1, OPTIONS["games"] + 1):
            started = time.monotonic()
            values, report, peak = play_one(session, rng, number)
            peaks.append(peak)
            print(f"game {number:2}: {values} -> {report!r}, VmHWM {peak} KiB, "
                  f"{time.monotonic() - started:.1f} s", flush=True)
        wait_until(lambda: not session.alive(), 5, "the last game to end")
    check(max(peaks) <= 1.1 * min(peaks), f"peak memory ranges from {min(peaks)} to {max(peaks)} KiB")


def take_options(argv):
    for name in OPTIONS:
        flag = f"--{name}"
        if flag in argv:
            index = argv.index(flag)
            OPTIONS[name] = int(argv[index + 1])
            del argv[index:index + 2]
    return argv


if __name__ == "__main__":
    sys.exit(main(take_options(sys.argv[1:])))
