#include "sound/wav.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <vector>

namespace orvex {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::string_view_literals;

// The parts one after another; a number takes as many bytes as its type, least significant first,
// as RIFF stores numbers.
template <typename... Parts>
Bytes Cat(const Parts&... parts) {
    Bytes bytes;
    const auto append = [&bytes](const auto& part) {
        if constexpr (std::is_integral_v<std::remove_cvref_t<decltype(part)>>) {
            for (std::size_t i = 0; i < sizeof(part); ++i) {
                bytes.push_back(static_cast<std::uint8_t>(part >> (8 * i)));
            }
        } else {
            bytes.insert(bytes.end(), part.begin(), part.end());
        }
    };
    (append(parts), ...);
    return bytes;
}

Bytes Data(std::uint32_t length) {
    return Cat("data"sv, length, Bytes(length, 0x5A));
}

struct Format {
    std::uint16_t tag = 1, channels = 1;
    std::uint32_t rate = 22050;
    std::uint16_t bits = 16, extraBytes = 0;
};

Bytes Fmt(const Format& f) {
    const auto align = static_cast<std::uint16_t>(f.channels * f.bits / 8);
    return Cat("fmt "sv, 16U + f.extraBytes, f.tag, f.channels, f.rate, f.rate * align, align,
               f.bits, Bytes(f.extraBytes));
}

// Its length field counts all the chunks.
template <typename... Chunks>
Bytes Riff(const Chunks&... chunks) {
    const Bytes form = Cat("WAVE"sv, chunks...);
    return Cat("RIFF"sv, static_cast<std::uint32_t>(form.size()), form);
}

// Files as other programs write them: the samples, their channels and rate are read, whatever
// chunks lie around them. Anything else is refused.
TEST(ParsePcmWave, ReadsOnlyA16BitPcmFile) {
    // Channels, sample rate, and the samples' size and offset in the file; all zero when refused.
    using Read = std::tuple<std::uint16_t, std::uint32_t, std::size_t, std::ptrdiff_t>;
    const Bytes good = Riff(Fmt({}), Data(100));
    const std::tuple<const char*, Bytes, Read> cases[] = {
        {"mono", good, {1, 22050, 100, 44}},
        {"stereo", Riff(Fmt({.channels = 2, .rate = 48000}), Data(400)), {2, 48000, 400, 44}},
        {"a format with an extension and a list before the data",
         Riff(Fmt({.extraBytes = 2}), Cat("LIST"sv, 5U, Bytes(6)), Data(10)),
         {1, 22050, 10, 60}},
        {"bytes after the RIFF form", Cat(Riff(Fmt({}), Data(4)), Bytes(9)), {1, 22050, 4, 44}},
        {"an empty file", {}, {}},
        {"a text file", Cat("This is not a sound.\n"sv), {}},
        {"a file cut inside the samples", Bytes(good.begin(), good.end() - 1), {}},
        {"data length past the end", Riff(Fmt({}), Cat("data"sv, 101U, Bytes(100))), {}},
        {"RIFF length short of the data", Cat("RIFF"sv, 60U, "WAVE"sv, Fmt({}), Data(100)), {}},
        {"a format chunk too short", Riff(Cat("fmt "sv, 14U, Bytes(14, 1)), Data(100)), {}},
        {"8-bit samples", Riff(Fmt({.bits = 8}), Data(100)), {}},
        {"a format other than PCM", Riff(Fmt({.tag = 3}), Data(100)), {}},
        {"no channels", Riff(Fmt({.channels = 0}), Data(100)), {}},
        {"three channels", Riff(Fmt({.channels = 3}), Data(96)), {}},
        {"eight channels", Riff(Fmt({.channels = 8}), Data(96)), {}},
        {"a sample rate of zero", Riff(Fmt({.rate = 0}), Data(100)), {}},
        {"no samples", Riff(Fmt({}), Data(0)), {}},
        {"half a stereo frame", Riff(Fmt({.channels = 2}), Data(6)), {}},
        {"samples before the format", Riff(Data(100), Fmt({})), {}},
        {"no data chunk", Riff(Fmt({})), {}},
    };
    for (const auto& [what, file, read] : cases) {
        Read got;
        if (const std::optional<PcmWave> wave = ParsePcmWave(file)) {
            got = {wave->channels, wave->sampleRate, wave->samples.size(),
                   wave->samples.data() - file.data()};
        }
        EXPECT_EQ(got, read) << what;
    }
}

}  // namespace
}  // namespace orvex
