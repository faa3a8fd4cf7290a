#pragma once

// A real player reading a playlist file: what the export tests check written entries with.

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/run_command.h"

namespace harmovia::testing {

// What mpv makes of a playlist file when started from `folder`: the entries it tried, as it
// resolved them, and how many of them it could open as audio.
struct Played {
    std::vector<std::string> tried;
    int opened = 0;
};

inline Played PlayFrom(const std::filesystem::path& folder, const std::filesystem::path& playlist) {
    const CommandRun run =
        RunCommand("cd " + ShellQuoted(folder.string()) +
                   " && timeout 60 mpv --no-config --ao=null --vo=null --frames=0 --playlist=" +
                   ShellQuoted(playlist.string()) + " 2>&1");
    Played played;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("Playing: ")) {
            played.tried.push_back(line.substr(9));
        } else if (line.find("(+) Audio") != std::string::npos) {
            ++played.opened;
        }
    }
    return played;
}

}  // namespace harmovia::testing
