"""In an unsteered two-player game, every bite is heard as one whole play of eat.wav, cut only by
the next, through a private sound server whose sink parec records."""

import array
import os
import re
import time

from conftest import EATING, finish, needs, start_game
from orvex_session import BOX_TITLE, check, wait_until
from orvex_sound import SINK, TOOLS, SoundServer


def plays_heard(recording, clip, rate):
    """How many plays of `clip` the recording holds; fails on a sound that is not the clip's start,
    and on a play that stops before its last audible sample where no next one starts."""
    audible = [at for at, sample in enumerate(clip) if sample]
    lead, last = audible[0], audible[-1]
    plays, end = [], 0  # (first sample, first sample unlike the clip or past its audible part)
    for at, sample in enumerate(recording):
        if at < end or not sample:
            continue
        start = at - lead
        check(start >= 0 and recording[start:at + 1] == clip[:lead + 1],
              f"a sound at {at / rate:.3f} s that is not the start of the clip")
        end = start + next((i for i in range(lead + 1, last + 1) if start + i >= len(recording)
                            or recording[start + i] != clip[i]), last + 1)
        plays.append((start, end))
    for (start, end), (cut, _) in zip(plays, plays[1:] + [(float("inf"), 0)]):
        check(end - start > last or cut <= end,
              f"the play at {start / rate:.3f} s broke off after {(end - start) / rate:.3f} s")
    return len(plays)


def test_every_point_heard_once(x11):
    needs(*TOOLS, "parec")
    server = SoundServer(x11, os.path.join(os.path.dirname(x11.program), "eat.wav"))
    path, rate = os.path.join(x11.tmp, "recording.raw"), server.rate * server.channels
    with open(path, "wb") as out:
        parec = x11.start_helper(["parec", f"--device={SINK}.monitor", "--latency-msec=100",
                                  f"--rate={server.rate}", f"--channels={server.channels}"],
                                 stdout=out)
    wait_until(lambda: check(parec.poll() is None, "parec ended") or os.path.getsize(path), 10,
               "parec to record")
    started = time.monotonic()
    x11.launch()
    start_game(x11, EATING)
    box = x11.shown(BOX_TITLE, 30)
    scores = [int(score) for score in re.findall(r"got (\d+)", x11.box_text(box))]
    finish(x11, box)
    # A recorder that falls behind under load catches up: only one that cannot fails.
    ran = time.monotonic() - started
    wait_until(lambda: os.path.getsize(path) >= ran * rate * 2, 30,
               f"the recorder to catch up with the {ran:.1f} s it ran")
    with open(path, "rb") as recorded:
        heard = plays_heard(array.array("h", recorded.read(int(ran * rate) * 2)), server.clip, rate)
    # Both worms' bites in one tick sound as one play: the second cuts the first at its start.
    assert len(scores) == 2 and max(scores) <= heard <= sum(scores), f"{heard} plays for {scores}"
