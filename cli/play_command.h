#pragma once

// `harmovia-cli play`: plays one of the program's views in a terminal with the desktop
// program's own player: the same order, skipping, loudness levelling and missing-file
// rule. It offers the MPRIS media-player service while it plays, so media keys and
// playerctl steer it. Read-only: neither the library nor the preferences are written.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_library.h"
#include "library/random_source.h"

namespace harmovia {

// The help lines of the options play adds to VIEW.
const char* PlayOptionsUsage();

// `args` are the words after "play": VIEW options, `--volume V` (0..730; default the
// preferences' Volume) and, with --journey, `--endless`. Prints one line per tune as it starts:
// position, title, artist and the movie volume applied, tab-separated, UTF-8. Runs until the view
// has played, Ctrl-C, or a stop from the media keys. Returns 0 then; 2 for a usage error (a
// one-line reason); 1 when the view cannot be built or too many of its tunes are missing, or when
// no tune of the view could be played, with a one-line reason.
int RunPlayCommand(const std::vector<std::string>& args, CliLibrary& cli, RandomSource& random,
                   std::FILE* out, std::FILE* err);

}  // namespace harmovia
