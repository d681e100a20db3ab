#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "sound/wav.h"

struct pa_context;
struct pa_operation;
struct pa_stream;
struct pa_threaded_mainloop;

namespace orvex {

// The eating sound, played through the sound server with libpulse (PulseAudio, or PipeWire's pulse
// service). Making the player reads the clip and starts connecting on libpulse's own thread, which
// then opens a playback stream in the clip's format; a play only hands the clip to that stream, so
// nothing here waits for the server. A missing or broken file leaves the player silent without a
// word; no server, or one that goes away, leaves it silent after one line on standard error.
class EatSound {
public:
    enum class Status {
        kConnecting,  // the clip is good; the stream is not ready yet, plays are silent
        kReady,       // plays are heard
        kSilent,      // for good: no clip, no server, or the server went away
    };

    explicit EatSound(std::string file);
    EatSound(const EatSound&) = delete;
    EatSound& operator=(const EatSound&) = delete;
    EatSound(EatSound&&) = delete;
    EatSound& operator=(EatSound&&) = delete;
    ~EatSound();

    // The wave file this player plays.
    const std::string& file() const { return file_; }
    Status status() const { return status_.load(std::memory_order_acquire); }

    // Starts the clip from its first sample, cutting off the play still sounding, and returns at
    // once. Does nothing while the server has not answered the last play.
    void play();

private:
    static void OnContextState(pa_context* context, void* self);
    static void OnStreamState(pa_stream* stream, void* self);
    // On libpulse's thread, with its lock held.
    void openStream();
    // Says why, once, and plays nothing more: for the reason libpulse gives, or for `reason`.
    void fallSilent();
    void fallSilent(const char* reason);

    std::string file_;
    std::vector<std::uint8_t> bytes_;
    PcmWave wave_;
    std::atomic<Status> status_{Status::kSilent};
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    // The last play's start, answered after everything the play sent before it.
    pa_operation* lastTrigger_ = nullptr;
};

}  // namespace orvex
