// Writes the eating sound: two quick rising blips, then silence. The silence matters: some sound
// servers drop the last ~100 ms of a short effect.
//
// Usage: make_eat_wav <output.wav>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kSampleRate = 22050;
constexpr double kVolume = 0.45;

struct Blip {
    double startSeconds;
    double lengthSeconds;
    double fromHz;
    double toHz;
};

// A short upward chirp, then a higher one: reads as a cheerful "gulp".
constexpr std::array<Blip, 2> kBlips{{
    {0.000, 0.060, 520.0, 780.0},
    {0.075, 0.075, 780.0, 1170.0},
}};
constexpr double kSoundSeconds = 0.150;
constexpr double kSilenceSeconds = 0.250;

// Quick rise, smooth fall: no clicks at either end.
double Envelope(double t, double length) {
    constexpr double kAttack = 0.006;
    const double rise = std::min(1.0, t / kAttack);
    const double fall = std::cos(0.5 * std::numbers::pi * t / length);
    return rise * fall * fall;
}

std::vector<std::int16_t> Synthesise() {
    const auto total = static_cast<std::size_t>((kSoundSeconds + kSilenceSeconds) * kSampleRate);
    std::vector<double> mix(total, 0.0);
    for (const Blip& blip : kBlips) {
        const auto first = static_cast<std::size_t>(blip.startSeconds * kSampleRate);
        const auto count = static_cast<std::size_t>(blip.lengthSeconds * kSampleRate);
        double phase = 0.0;
        for (std::size_t i = 0; i < count && first + i < total; ++i) {
            const double t = static_cast<double>(i) / kSampleRate;
            const double hz = blip.fromHz + (blip.toHz - blip.fromHz) * t / blip.lengthSeconds;
            phase += 2.0 * std::numbers::pi * hz / kSampleRate;
            // A touch of the second harmonic makes it rounder than a bare sine.
            const double wave = std::sin(phase) + 0.25 * std::sin(2.0 * phase);
            mix[first + i] += wave / 1.25 * Envelope(t, blip.lengthSeconds);
        }
    }
    std::vector<std::int16_t> samples(total);
    for (std::size_t i = 0; i < total; ++i) {
        samples[i] = static_cast<std::int16_t>(
            std::lround(std::clamp(mix[i] * kVolume, -1.0, 1.0) * 32767.0));
    }
    return samples;
}

void PutLittleEndian(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.put(static_cast<char>((value >> (8 * i)) & 0xFFU));
    }
}

// A canonical 44-byte header: 16-bit mono PCM.
bool WriteWave(const std::string& path, const std::vector<std::int16_t>& samples) {
    std::ofstream out(path, std::ios::binary);
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * sizeof(std::int16_t));
    out.write("RIFF", 4);
    PutLittleEndian(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    PutLittleEndian(out, 16, 4);               // format chunk size
    PutLittleEndian(out, 1, 2);                // PCM
    PutLittleEndian(out, 1, 2);                // mono
    PutLittleEndian(out, kSampleRate, 4);      // samples per second
    PutLittleEndian(out, kSampleRate * 2, 4);  // bytes per second
    PutLittleEndian(out, 2, 2);                // bytes per frame
    PutLittleEndian(out, 16, 2);               // bits per sample
    out.write("data", 4);
    PutLittleEndian(out, dataBytes, 4);
    for (const std::int16_t sample : samples) {
        PutLittleEndian(out, static_cast<std::uint16_t>(sample), 2);
    }
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_eat_wav <output.wav>\n");
        return 2;
    }
    if (!WriteWave(argv[1], Synthesise())) {
        std::fprintf(stderr, "make_eat_wav: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
