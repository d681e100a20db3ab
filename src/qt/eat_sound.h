#pragma once

#include <QString>
#include <memory>

namespace orvex {

// The eating sound. Qt Multimedia and the twenty-odd libraries under it (the sound server's
// client, codecs, networking) take about ten milliseconds to load, a sixth of the start-up; so the
// player lives in a module beside the program that is loaded when a game starts, not at launch.
class EatSound {
public:
    EatSound() = default;
    EatSound(const EatSound&) = delete;
    EatSound& operator=(const EatSound&) = delete;
    EatSound(EatSound&&) = delete;
    EatSound& operator=(EatSound&&) = delete;
    virtual ~EatSound() = default;

    // Plays a wave file without waiting for it, cutting off the last play; a missing file is
    // silent.
    virtual void play(const QString& file) = 0;
};

// The module's one entry point: a player, or none when there is no audio output.
using EatSoundFactory = EatSound* (*)();
inline constexpr char kEatSoundModule[] = "orvex_sound";
inline constexpr char kEatSoundFactory[] = "orvex_create_eat_sound";

// The factory of the module in `folder`; nullptr, with the reason in `error`, when the module is
// missing or is not ours.
EatSoundFactory LoadEatSoundModule(const QString& folder, QString& error);

// A player from the module in `folder`; none when there is no module (said once on standard
// error) or no audio output (Qt says that itself).
std::unique_ptr<EatSound> OpenEatSound(const QString& folder);

}  // namespace orvex
