#pragma once

// `harmovia-cli send`: the desktop program's send of the shown list, from a terminal: the
// checked tunes of a view go to the music player's playlist (through osascript on macOS)
// and, on Linux, into <music folder>/Playlists/NAME.m3u8. Read-only for the library.

#include <cstdio>
#include <string>
#include <vector>

#include "library/random_source.h"
#include "library/tune_library.h"
#include "platform/app_folders.h"

namespace harmovia {

// The help lines of the options send adds to VIEW.
const char* SendOptionsUsage();

// `args` are the words after "send": VIEW [--name NAME] [--count N] [--dry-run] [--open]. The name
// (UTF-8) defaults to the one the send sheet proposes, the count to the whole view; a count
// outside 1..the view's size sends the whole view, as the sheet does. With --dry-run
// nothing is written or run: the scripts are printed in order, then the playlist file's
// path and bytes. With --open the written playlist file is handed to the desktop's default
// music player (xdg-open). Returns 0 on success; 2 for a usage error (a one-line reason); 1 when
// the view cannot be built, the playlist cannot be sent or written, or the output fails,
// with a reason on `err`.
int RunSendCommand(const std::vector<std::string>& args, const Library& library,
                   RandomSource& random, const EnvironmentLookup& environment, std::FILE* out,
                   std::FILE* err);

}  // namespace harmovia
