#include "sound/wav.h"

#include <cstddef>
#include <cstring>

namespace orvex {

namespace {

constexpr std::uint16_t kPcmFormat = 1;
constexpr std::uint16_t kBitsPerSample = 16;
// Mono or stereo: a bite sound needs no more, and the player gives the server no channel map,
// which more channels would need.
constexpr std::uint16_t kMaxChannels = 2;
// What sound servers accept; beyond it a stream would be refused anyway.
constexpr std::uint32_t kMaxSampleRate = 384000;
constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kFormatBytes = 16;

std::uint16_t Read16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(Read16(bytes, at)) |
           static_cast<std::uint32_t>(Read16(bytes, at + 2)) << 16;
}

bool IsTag(std::span<const std::uint8_t> bytes, std::size_t at, const char (&tag)[5]) {
    return std::memcmp(bytes.data() + at, tag, 4) == 0;
}

// The format chunk's body (at least kFormatBytes long) read into `wave`; false when it is not
// 16-bit PCM that a sound server can play.
bool ReadFormat(std::span<const std::uint8_t> body, PcmWave& wave) {
    const std::uint16_t format = Read16(body, 0);
    wave.channels = Read16(body, 2);
    wave.sampleRate = Read32(body, 4);
    const std::uint16_t blockAlign = Read16(body, 12);
    const std::uint16_t bits = Read16(body, 14);
    return format == kPcmFormat && bits == kBitsPerSample && wave.channels >= 1 &&
           wave.channels <= kMaxChannels && wave.sampleRate >= 1 &&
           wave.sampleRate <= kMaxSampleRate && blockAlign == wave.channels * sizeof(std::int16_t);
}

}  // namespace

std::optional<PcmWave> ParsePcmWave(std::span<const std::uint8_t> file) {
    constexpr std::size_t kRiffHeaderBytes = 12;
    if (file.size() < kRiffHeaderBytes || !IsTag(file, 0, "RIFF") || !IsTag(file, 8, "WAVE")) {
        return std::nullopt;
    }
    // The RIFF length counts from the form type on; bytes after it are not part of the sound.
    const std::size_t riffBytes = Read32(file, 4);
    if (riffBytes < 4 || riffBytes > file.size() - kChunkHeaderBytes) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> riff = file.first(kChunkHeaderBytes + riffBytes);

    PcmWave wave;
    bool formatSeen = false;
    std::size_t at = kRiffHeaderBytes;
    while (riff.size() - at >= kChunkHeaderBytes) {
        const std::size_t bodyBytes = Read32(riff, at + 4);
        const std::size_t bodyAt = at + kChunkHeaderBytes;
        if (bodyBytes > riff.size() - bodyAt) {
            return std::nullopt;
        }
        const std::span<const std::uint8_t> body = riff.subspan(bodyAt, bodyBytes);
        if (IsTag(riff, at, "fmt ")) {
            if (formatSeen || bodyBytes < kFormatBytes || !ReadFormat(body, wave)) {
                return std::nullopt;
            }
            formatSeen = true;
        } else if (IsTag(riff, at, "data")) {
            // The format comes first; the samples must fill whole frames.
            const std::size_t frameBytes = wave.channels * sizeof(std::int16_t);
            if (!formatSeen || bodyBytes == 0 || bodyBytes % frameBytes != 0) {
                return std::nullopt;
            }
            wave.samples = body;
            return wave;
        }
        // Chunks start on even offsets; the last one may lack its pad byte.
        at = bodyAt + bodyBytes + bodyBytes % 2;
        if (at > riff.size()) {
            break;
        }
    }
    return std::nullopt;
}

}  // namespace orvex
