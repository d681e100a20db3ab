#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace orvex {

// The sound held in a 16-bit PCM wave file.
struct PcmWave {
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    // Little-endian 16-bit samples, channels interleaved: a part of the file's bytes, holding a
    // whole number of frames, at least one.
    std::span<const std::uint8_t> samples;
};

// Reads the header of the wave file whose bytes are `file`. Nothing for anything but an
// uncompressed 16-bit PCM file, mono or stereo, with at least one frame: an empty or truncated
// file, another format or channel count, or a header whose lengths reach past the file's end.
// Reads no byte outside `file`.
std::optional<PcmWave> ParsePcmWave(std::span<const std::uint8_t> file);

}  // namespace orvex
