#include "qt/eat_sound.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace orvex {
namespace {

// A sound file that cannot be played is silence from the start, with no word about it and no
// connection to a sound server: no file, an empty one, a text file, a truncated header.
TEST(EatSound, IsSilentAndQuietWithoutAPlayableFile) {
    using namespace std::string_view_literals;
    const QTemporaryDir folder;
    const std::optional<std::string_view> contents[] = {std::nullopt, "", "This is not a sound.\n",
                                                        "RIFF\x24\x00\x00\x00WAVEfmt "sv};
    for (int i = 0; i < 4; ++i) {
        const std::string file = folder.filePath(QString::number(i) + ".wav").toStdString();
        if (contents[i]) {
            std::ofstream(file, std::ios::binary) << *contents[i];
        }
        ::testing::internal::CaptureStderr();
        {
            EatSound sound(file);
            EXPECT_EQ(sound.status(), EatSound::Status::kSilent) << file;
            sound.play();
        }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << file;
    }
}

}  // namespace
}  // namespace orvex
