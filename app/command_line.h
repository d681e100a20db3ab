#pragma once

#include <optional>

namespace orvex {

// Answers the command line the way a Linux program does, before any window or display: --help
// and --version print to stdout (status 0), anything else prints one line to stderr (status 2).
// Returns that exit status, or nothing when there is only the game to start.
std::optional<int> AnswerCommandLine(int argc, char** argv);

}  // namespace orvex
