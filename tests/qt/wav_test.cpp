#include "qt/wav.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace orvex {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void PutTag(Bytes& bytes, const std::string& tag) {
    bytes.insert(bytes.end(), tag.begin(), tag.end());
}

struct Format {
    std::uint16_t tag = 1;
    std::uint16_t channels = 1;
    std::uint32_t rate = 22050;
    std::uint16_t bits = 16;
};

Bytes FormatChunk(const Format& format, std::uint32_t extraBytes = 0) {
    const std::uint16_t blockAlign = format.channels * format.bits / 8;
    Bytes chunk;
    PutTag(chunk, "fmt ");
    Put(chunk, 16 + extraBytes, 4);
    Put(chunk, format.tag, 2);
    Put(chunk, format.channels, 2);
    Put(chunk, format.rate, 4);
    Put(chunk, format.rate * blockAlign, 4);
    Put(chunk, blockAlign, 2);
    Put(chunk, format.bits, 2);
    chunk.resize(chunk.size() + extraBytes);
    return chunk;
}

Bytes Chunk(const std::string& tag, std::uint32_t length, std::size_t bodyBytes) {
    Bytes chunk;
    PutTag(chunk, tag);
    Put(chunk, length, 4);
    for (std::size_t i = 0; i < bodyBytes; ++i) {
        chunk.push_back(static_cast<std::uint8_t>(i * 7 + 1));
    }
    return chunk;
}

// A RIFF file of the given chunks, its length field counting them all.
Bytes Riff(const std::vector<Bytes>& chunks) {
    Bytes body;
    PutTag(body, "WAVE");
    for (const Bytes& chunk : chunks) {
        body.insert(body.end(), chunk.begin(), chunk.end());
    }
    Bytes file;
    PutTag(file, "RIFF");
    Put(file, static_cast<std::uint32_t>(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

Bytes Data(std::uint32_t bytes) {
    return Chunk("data", bytes, bytes);
}

Bytes Cut(Bytes file, std::size_t keep) {
    file.resize(keep);
    return file;
}

Bytes WithRiffLength(Bytes file, std::uint32_t length) {
    for (int i = 0; i < 4; ++i) {
        file[4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    }
    return file;
}

// Files as other programs write them: the samples, their channels and rate are read, whatever
// chunks lie around them.
TEST(ParsePcmWave, ReadsTheSamplesOfA16BitPcmFile) {
    const struct {
        const char* what;
        Bytes file;
        std::uint16_t channels;
        std::uint32_t rate;
        std::size_t sampleBytes;
        std::size_t sampleOffset;
    } cases[] = {
        {"mono", Riff({FormatChunk({}), Data(8820)}), 1, 22050, 8820, 44},
        {"stereo", Riff({FormatChunk({.channels = 2, .rate = 48000}), Data(400)}), 2, 48000, 400,
         44},
        {"a format with an extension and a list before the data",
         Riff({FormatChunk({}, 2), Chunk("LIST", 5, 6), Data(10)}), 1, 22050, 10, 60},
        {"bytes after the RIFF form",
         [] {
             Bytes file = Riff({FormatChunk({}), Data(4)});
             file.resize(file.size() + 9, 0xEE);
             return file;
         }(),
         1, 22050, 4, 44},
    };
    for (const auto& c : cases) {
        const std::optional<PcmWave> wave = ParsePcmWave(c.file);
        ASSERT_TRUE(wave.has_value()) << c.what;
        EXPECT_EQ(wave->channels, c.channels) << c.what;
        EXPECT_EQ(wave->sampleRate, c.rate) << c.what;
        EXPECT_EQ(wave->samples.size(), c.sampleBytes) << c.what;
        EXPECT_EQ(wave->samples.data(), c.file.data() + c.sampleOffset) << c.what;
    }
}

TEST(ParsePcmWave, RefusesAnythingElse) {
    const Bytes good = Riff({FormatChunk({}), Data(100)});
    const std::string text = "This is not a sound, only a text file named eat.wav.\n";
    const struct {
        const char* what;
        Bytes file;
    } cases[] = {
        {"an empty file", {}},
        {"a text file", Bytes(text.begin(), text.end())},
        {"a file cut inside the header", Cut(good, 30)},
        {"a file cut inside the samples", Cut(good, good.size() - 1)},
        {"a data length past the end", Riff({FormatChunk({}), Chunk("data", 101, 100)})},
        {"a data length near four gigabytes",
         Riff({FormatChunk({}), Chunk("data", 0xFFFFFFFE, 100)})},
        {"a RIFF length past the end",
         WithRiffLength(good, static_cast<std::uint32_t>(good.size()))},
        {"a RIFF length short of the samples", WithRiffLength(good, 60)},
        {"a format chunk too short", Riff({Chunk("fmt ", 14, 14), Data(100)})},
        {"8-bit samples", Riff({FormatChunk({.bits = 8}), Data(100)})},
        {"24-bit samples", Riff({FormatChunk({.bits = 24}), Data(99)})},
        {"floating-point samples", Riff({FormatChunk({.tag = 3, .bits = 32}), Data(100)})},
        {"no channels", Riff({FormatChunk({.channels = 0}), Data(100)})},
        {"a sample rate of zero", Riff({FormatChunk({.rate = 0}), Data(100)})},
        {"no samples", Riff({FormatChunk({}), Data(0)})},
        {"half a stereo frame", Riff({FormatChunk({.channels = 2}), Data(6)})},
        {"no format chunk", Riff({Data(100)})},
        {"samples before the format", Riff({Data(100), FormatChunk({})})},
        {"no data chunk", Riff({FormatChunk({})})},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(ParsePcmWave(c.file).has_value()) << c.what;
    }
}

}  // namespace
}  // namespace orvex
