"""In an unsteered two-player game, every bite is heard as one whole play of eat.wav, cut only by
the next, through a private sound server."""

import os
import re

from conftest import EATING, finish, needs, start_game
from orvex_session import BOX_TITLE
from orvex_sound import TOOLS, SoundServer
from recording import Recording, plays_heard


def test_every_point_heard_once(x11):
    needs(*TOOLS, "parec")
    server = SoundServer(x11, os.path.join(os.path.dirname(x11.program), "eat.wav"))
    recording = Recording(server)
    x11.launch()
    start_game(x11, EATING)
    box = x11.shown(BOX_TITLE, 30)
    scores = [int(score) for score in re.findall(r"got (\d+)", x11.box_text(box))]
    finish(x11, box)
    heard = plays_heard(recording.stop(), server.clip, server.rate * server.channels)
    # Both worms' bites in one tick sound as one play: the second cuts the first at its start.
    assert len(scores) == 2 and max(scores) <= heard <= sum(scores), f"{heard} plays for {scores}"
