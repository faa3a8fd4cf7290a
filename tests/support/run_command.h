#pragma once

#include <string>

namespace harmovia::testing {

struct CommandRun {
    int status = -1;  // the exit status; -1 when the command did not exit normally
    std::string out;
    std::string err;
};

// Runs a shell command line with no input, capturing what it writes.
CommandRun RunCommand(const std::string& line);

// `text` as one shell word, whatever it holds.
std::string ShellQuoted(const std::string& text);

}  // namespace harmovia::testing
