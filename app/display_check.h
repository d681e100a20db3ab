#pragma once

#include <string>

namespace orvex {

// Why there is no display to open windows on, or an empty string when there seems to be one. Looks
// only at the environment, so it can run before Qt, which aborts without a display.
std::string MissingDisplay();

// Ends the program with one line on stderr, "orvex: no display found: <why>", and status 1.
[[noreturn]] void ExitForMissingDisplay(const std::string& why);

// While alive, a fatal message from Qt ends the program with one line on stderr and status 1
// instead of an abort: a display that is named but cannot be reached goes through
// ExitForMissingDisplay; a Wayland display that Qt has no plugin for is told apart from it and
// names the package to install. Qt's warnings on the way are dropped if the display fails and
// passed on once released.
class DisplayFailureGuard {
public:
    DisplayFailureGuard();
    ~DisplayFailureGuard() { release(); }
    // The display is open: Qt's messages go their usual way again.
    void release();
    DisplayFailureGuard(const DisplayFailureGuard&) = delete;
    DisplayFailureGuard& operator=(const DisplayFailureGuard&) = delete;

private:
    bool active_ = true;
};

}  // namespace orvex
