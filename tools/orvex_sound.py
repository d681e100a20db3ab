"""A private sound server for one X session of orvex_session: PulseAudio with a null sink, whose
monitor hears exactly the samples played to it.

The server lives in the session's runtime folder, where the program under test looks for it first;
it runs the sink in the format of the clip it is to hear (no resampling, no remixing), and without
rewinds, so that what the sink has mixed is what the monitor records.
"""

import array
import os
import shutil
import signal
import subprocess
import sys
import wave

from orvex_session import check, wait_until

TOOLS = ("pulseaudio", "pactl")
SINK = "orvex_e2e"


def missing_tools():
    return [tool for tool in TOOLS if shutil.which(tool) is None]


def read_clip(path):
    """(samples as signed 16-bit numbers, rate, channels) of a 16-bit PCM wave file."""
    with wave.open(path, "rb") as clip:
        check(clip.getsampwidth() == 2, f"{path} is not 16-bit")
        samples = array.array("h", clip.readframes(clip.getnframes()))
        if sys.byteorder != "little":
            samples.byteswap()
        return samples, clip.getframerate(), clip.getnchannels()


class SoundServer:
    """A server whose sink takes the format of the clip at `clip_path`, whose samples it keeps."""

    def __init__(self, session, clip_path):
        self.session = session
        self.clip, rate, channels = read_clip(clip_path)
        self.rate, self.channels = rate, channels
        self.log = os.path.join(session.tmp, "pulseaudio.log")
        sink = (f"module-null-sink sink_name={SINK} format=s16le rate={rate} channels={channels} "
                "norewinds=1")
        with open(self.log, "wb") as log:
            self.process = session.start_helper(
                ["pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
                 "-L", "module-native-protocol-unix", "-L", sink], stderr=log)
        wait_until(self._answers, 20, "the sound server")

    def _answers(self):
        check(self.process.poll() is None,
              f"the sound server ended: {open(self.log, errors='replace').read()[-2000:]}")
        return subprocess.run(["pactl", "info"], env=self.session.env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=10).returncode == 0

    def streams(self):
        """How many playback streams the sink has now."""
        done = subprocess.run(["pactl", "list", "short", "sink-inputs"], env=self.session.env,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=10)
        return len(done.stdout.splitlines())

    def kill(self):
        self.process.send_signal(signal.SIGKILL)
        self.process.wait(10)

