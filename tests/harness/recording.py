"""The sound server's sink (tools/orvex_sound) recorded with parec, and the plays of a clip in it."""

import array
import os
import signal
import subprocess
import sys
import time

from orvex_session import check, wait_until
from orvex_sound import SINK


class Recording:
    """parec on the sink's monitor, from its start until stop(), as raw samples in a file."""

    def __init__(self, server):
        self.server, self.env = server, server.session.env
        self.path = os.path.join(server.session.tmp, "recording.raw")
        with open(self.path, "wb") as out:
            self.process = server.session.start_helper(
                ["parec", f"--device={SINK}.monitor", "--raw", "--format=s16le",
                 f"--rate={server.rate}", f"--channels={server.channels}", "--latency-msec=100"], stdout=out)
        wait_until(self._listening, 10, "parec to listen")
        self.started = time.monotonic()

    def _listening(self):
        check(self.process.poll() is None, "parec ended")
        return subprocess.run(["pactl", "list", "short", "source-outputs"], env=self.env,
                              capture_output=True, timeout=10).stdout.strip()

    def stop(self, until):
        """The samples, once the recording reaches the instant `until` (time.monotonic()): a
        recorder that falls behind under load catches up, and only one that cannot fails."""
        rate = self.server.rate * self.server.channels
        wanted = (until - self.started) * rate * 2
        wait_until(lambda: os.path.getsize(self.path) >= wanted, 30,
                   f"the recorder to catch up with the {until - self.started:.1f} s it ran")
        self.process.send_signal(signal.SIGINT)
        self.process.wait(10)
        with open(self.path, "rb") as recorded:
            samples = array.array("h", recorded.read())
        if sys.byteorder != "little":
            samples.byteswap()
        return samples


def plays_heard(recording, clip, rate):
    """How many plays of `clip` the recording holds. Fails on a sound that is not the clip from its
    first sample, and on a play that stops before the clip's last audible sample where no next one
    starts (a silent tail has nothing to hear)."""
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
    cuts = [start for start, _ in plays[1:]] + [float("inf")]
    for (start, end), cut in zip(plays, cuts):
        check(end - start > last or cut <= end,
              f"the play at {start / rate:.3f} s broke off after {(end - start) / rate:.3f} s")
    return len(plays)
