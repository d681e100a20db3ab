"""The sound server's sink (tools/orvex_sound) recorded with parec; the plays of a clip in it."""

import array
import os
import time

from orvex_session import check, stop, wait_until
from orvex_sound import SINK


class Recording:
    """parec on the sink's monitor, from its start until stop(), as raw samples in a file."""

    def __init__(self, server):
        self.bytes_per_second = server.rate * server.channels * 2
        self.path = os.path.join(server.session.tmp, "recording.raw")
        with open(self.path, "wb") as out:
            self.process = server.session.start_helper(
                ["parec", f"--device={SINK}.monitor", f"--rate={server.rate}",
                 f"--channels={server.channels}", "--latency-msec=100"], stdout=out)
        wait_until(lambda: check(self.process.poll() is None, "parec ended")
                   or os.path.getsize(self.path), 10, "parec to record")
        self.started = time.monotonic()

    def stop(self):
        """The samples, once the recording covers the time it ran: a recorder that falls behind
        under load catches up, and only one that cannot fails."""
        ran = time.monotonic() - self.started
        wait_until(lambda: os.path.getsize(self.path) >= ran * self.bytes_per_second, 30,
                   f"the recorder to catch up with the {ran:.1f} s it ran")
        stop(self.process)
        with open(self.path, "rb") as recorded:
            return array.array("h", recorded.read())


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
