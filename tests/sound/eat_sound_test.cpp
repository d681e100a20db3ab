#include "sound/eat_sound.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace orvex {
namespace {

// A file that cannot be played leaves the player silent, without a word about it.
TEST(EatSound, IsSilentAndQuietWithoutAPlayableFile) {
    const std::string text = ::testing::TempDir() + "not_a_sound.wav";
    std::ofstream(text) << "This is not a sound.\n";
    for (const std::string& file : {text, text + ".missing"}) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(EatSound(file).status(), EatSound::Status::kSilent) << file;
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << file;
    }
}

}  // namespace
}  // namespace orvex
