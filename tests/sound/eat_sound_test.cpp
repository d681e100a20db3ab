#include "sound/eat_sound.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

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

long ResidentKib() {
    long size = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// A sound server of the test's own, playing to nowhere, ended with the test.
struct PrivateServer {
    std::filesystem::path folder;
    pid_t pid = 0;
    ~PrivateServer() {
        if (pid > 0) {
            kill(pid, SIGKILL);
        }
        std::filesystem::remove_all(folder);
    }
};

// A server that stops answering once the stream is ready leaves the status "ready"; bites then
// must not queue clip after clip for it.
TEST(EatSound, PlaysNoPileUpForAStalledServer) {
    std::string folder = ::testing::TempDir() + "orvex_soundXXXXXX";
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    PrivateServer server{folder};
    const std::string socket = folder + "/native";
    setenv("HOME", folder.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
    // Started as a daemon, it returns once it serves; the sink first, so a client finds it too.
    const std::string start =
        "pulseaudio -D -n --log-level=error -L module-null-sink -L "
        "'module-native-protocol-unix auth-anonymous=1 socket=" +
        socket + "'";
    if (std::system(start.c_str()) != 0) {
        GTEST_SKIP() << "no pulseaudio to start a private sound server with";
    }
    std::ifstream(folder + "/pulse/pid") >> server.pid;
    EatSound sound(ORVEX_EAT_WAV);
    for (int i = 0; i < 2000 && sound.status() == EatSound::Status::kConnecting; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(sound.status(), EatSound::Status::kReady);

    kill(server.pid, SIGSTOP);
    const long before = ResidentKib();
    for (int i = 0; i < 100; ++i) {
        sound.play();
    }
    EXPECT_LT(ResidentKib() - before, 1024) << "KiB more after the plays";
}

}  // namespace
}  // namespace orvex
