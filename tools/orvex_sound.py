"""A private sound server for one X session of orvex_session: PulseAudio with a null sink, whose
monitor hears exactly the samples played to it, and the recording of that monitor with parec.

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

TOOLS = ("pulseaudio", "pactl", "parec")
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

    def record(self):
        return Recording(self)

    def kill(self):
        self.process.send_signal(signal.SIGKILL)
        self.process.wait(10)


class Recording:
    """parec on the sink's monitor, from its start until stop(), as raw samples in a file."""

    def __init__(self, server):
        self.server = server
        self.path = os.path.join(server.session.tmp, "recording.raw")
        # A short fragment size, so that stopping loses nothing the sink has played.
        with open(self.path, "wb") as out:
            self.process = server.session.start_helper(
                ["parec", f"--device={SINK}.monitor", "--raw", "--format=s16le",
                 f"--rate={server.rate}", f"--channels={server.channels}", "--latency-msec=10"],
                stdout=out)
        wait_until(self._listening, 10, "parec to listen")

    def _listening(self):
        check(self.process.poll() is None, "parec ended")
        done = subprocess.run(["pactl", "list", "short", "source-outputs"],
                              env=self.server.session.env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=10)
        return bool(done.stdout.strip())

    def stop(self):
        """The samples recorded so far, as signed 16-bit numbers."""
        self.process.send_signal(signal.SIGINT)
        self.process.wait(10)
        with open(self.path, "rb") as recorded:
            samples = array.array("h", recorded.read())
        if sys.byteorder != "little":
            samples.byteswap()
        return samples
