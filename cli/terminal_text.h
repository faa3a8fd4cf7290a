#pragma once

// What every command of harmovia-cli says the same way: counts in words, the texts written
// for the window reworded for a terminal, and the end of the output.

#include <cstdio>
#include <string>
#include <string_view>

namespace harmovia {

// "1 tune", "2 tunes": `count` and the noun, plural unless the count is one.
std::string CountOf(long long count, std::string_view noun);

// A message the window shows (which names its menus and buttons) as the terminal says it;
// any other message unchanged.
std::string TerminalWording(std::string_view windowText);

// Says what stopped `command` in one line on `err`, "harmovia-cli COMMAND: REASON", and
// returns `status` (2 for a usage error, 1 for a failure).
int ReportProblem(std::FILE* err, std::string_view command, std::string_view reason, int status);

// Ends a command: flushes `out` and, when anything written to it was lost (a full disk, a
// closed pipe) by a command that otherwise succeeded, says so in one line on `err` and
// returns 1; otherwise returns `status`.
int FinishOutput(int status, std::FILE* out, std::FILE* err);

}  // namespace harmovia
