#pragma once

namespace orvex {

// On GNOME, where the player has chosen no platform and XWayland is there, starts Qt on X11.
void PreferXWaylandOnGnome();

// From here until PlatformStarted, Qt's messages are held. Should Qt fail to start a platform, the
// program ends with status 1 and Qt's reasons on stderr, each line starting "orvex: ", instead of
// an abort.
void CatchPlatformFailure();

// The platform is up: the held messages go their usual way.
void PlatformStarted();

}  // namespace orvex
