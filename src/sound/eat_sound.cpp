#include "sound/eat_sound.h"

#include <pulse/pulseaudio.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <utility>

namespace orvex {

namespace {

// The most a playback stream holds: a longer clip could not be handed over in one piece.
constexpr std::size_t kMaxFileBytes = std::size_t{4} << 20;
// How far ahead of the speaker the server mixes the stream: a bite sounds, and cuts the last one
// off, this much after its tick.
constexpr pa_usec_t kLatency = 40 * PA_USEC_PER_MSEC;

// The whole file, or nothing when it cannot be read or is too long to be the clip.
std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    char piece[1 << 14];
    while (in.read(piece, sizeof piece) || in.gcount() > 0) {
        bytes.insert(bytes.end(), piece, piece + in.gcount());
        if (bytes.size() > kMaxFileBytes) {
            return std::nullopt;
        }
    }
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

void UnrefOperation(pa_operation* operation) {
    if (operation != nullptr) {
        pa_operation_unref(operation);
    }
}

}  // namespace

EatSound::EatSound(std::string file) : file_(std::move(file)) {
    std::optional<std::vector<std::uint8_t>> bytes = ReadFile(file_);
    if (!bytes) {
        return;
    }
    bytes_ = std::move(*bytes);
    const std::optional<PcmWave> wave = ParsePcmWave(bytes_);
    if (!wave) {
        return;
    }
    wave_ = *wave;
    loop_ = pa_threaded_mainloop_new();
    if (loop_ == nullptr) {
        return;
    }
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "ORVEX");
    if (context_ == nullptr) {
        return;
    }
    status_ = Status::kConnecting;
    pa_context_set_state_callback(context_, &EatSound::OnContextState, this);
    // A game does not start a sound server of its own. A connection that fails at once has already
    // said why through the state callback.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        fallSilent();
    } else if (pa_threaded_mainloop_start(loop_) < 0) {
        fallSilent("cannot start the sound thread");
    }
}

EatSound::~EatSound() {
    if (loop_ != nullptr) {
        // With the thread stopped, the objects below are this thread's alone.
        pa_threaded_mainloop_stop(loop_);
    }
    UnrefOperation(lastTrigger_);
    if (stream_ != nullptr) {
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
    }
    if (context_ != nullptr) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    if (loop_ != nullptr) {
        pa_threaded_mainloop_free(loop_);
    }
}

void EatSound::play() {
    if (status() != Status::kReady) {
        return;
    }
    pa_threaded_mainloop_lock(loop_);
    // A server that has not answered the last play yet is stalled: another play would only queue
    // another copy of the clip here.
    const bool answered =
        lastTrigger_ == nullptr || pa_operation_get_state(lastTrigger_) != PA_OPERATION_RUNNING;
    if (pa_stream_get_state(stream_) == PA_STREAM_READY && answered) {
        // The server takes these in order: what is left of the last play goes, the clip follows
        // from its first sample, and it starts at once even when shorter than the prebuffer.
        UnrefOperation(pa_stream_flush(stream_, nullptr, nullptr));
        pa_stream_write(stream_, wave_.samples.data(), wave_.samples.size(), nullptr, 0,
                        PA_SEEK_RELATIVE);
        UnrefOperation(lastTrigger_);
        lastTrigger_ = pa_stream_trigger(stream_, nullptr, nullptr);
    }
    pa_threaded_mainloop_unlock(loop_);
}

void EatSound::OnContextState(pa_context* context, void* self) {
    auto* sound = static_cast<EatSound*>(self);
    switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY:
            sound->openStream();
            break;
        case PA_CONTEXT_FAILED:
            sound->fallSilent();
            break;
        default:
            break;
    }
}

void EatSound::OnStreamState(pa_stream* stream, void* self) {
    auto* sound = static_cast<EatSound*>(self);
    switch (pa_stream_get_state(stream)) {
        case PA_STREAM_READY:
            sound->status_ = Status::kReady;
            break;
        case PA_STREAM_FAILED:
            sound->fallSilent();
            break;
        default:
            break;
    }
}

void EatSound::openStream() {
    const pa_sample_spec sampleFormat{.format = PA_SAMPLE_S16LE,
                                      .rate = wave_.sampleRate,
                                      .channels = static_cast<std::uint8_t>(wave_.channels)};
    stream_ = pa_stream_new(context_, "Eating sound", &sampleFormat, nullptr);
    if (stream_ == nullptr) {
        fallSilent();
        return;
    }
    pa_stream_set_state_callback(stream_, &EatSound::OnStreamState, this);
    // The whole clip is written at once; the server keeps the latency short.
    const auto unset = static_cast<std::uint32_t>(-1);
    const pa_buffer_attr buffer{
        .maxlength = unset,
        .tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(kLatency, &sampleFormat)),
        .prebuf = unset,
        .minreq = unset,
        .fragsize = unset};
    if (pa_stream_connect_playback(stream_, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr,
                                   nullptr) < 0) {
        fallSilent();
    }
}

void EatSound::fallSilent() {
    fallSilent(pa_strerror(pa_context_errno(context_)));
}

void EatSound::fallSilent(const char* reason) {
    if (status_.exchange(Status::kSilent) == Status::kSilent) {
        return;
    }
    std::fprintf(stderr, "orvex: no sound: %s\n", reason);
}

}  // namespace orvex
