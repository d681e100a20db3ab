#include "qt/eat_sound.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <string>

namespace orvex {
namespace {

// A sound file that cannot be played is silence from the start, with no word about it and no
// connection to a sound server.
TEST(EatSound, IsSilentAndQuietWithoutAPlayableFile) {
    const QTemporaryDir folder;
    const std::string base = folder.path().toStdString();
    const struct {
        const char* what;
        const char* contents;  // nullptr: no file at all
    } cases[] = {
        {"no file", nullptr},
        {"an empty file", ""},
        {"a text file", "This is not a sound.\n"},
        {"a truncated header", "RIFF\x24\x00\x00\x00WAVEfmt "},
    };
    for (const auto& c : cases) {
        const std::string file = base + "/" + c.what + ".wav";
        if (c.contents != nullptr) {
            std::ofstream(file, std::ios::binary) << c.contents;
        }
        ::testing::internal::CaptureStderr();
        {
            EatSound sound(file);
            EXPECT_EQ(sound.status(), EatSound::Status::kSilent) << c.what;
            sound.play();
        }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << c.what;
    }
}

}  // namespace
}  // namespace orvex
