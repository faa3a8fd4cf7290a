#pragma once

// `export-moods [DIR]`: the nine mood playlists written into DIR, by default into
// <music folder>/Playlists; and the same playlists kept up to date after the commands that
// change the library, when the desktop program's File menu keeps them.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_library.h"
#include "library/tune_library.h"
#include "platform/app_folders.h"

namespace harmovia {

// Writes the playlists and prints one line per file: its path, its number of tunes and
// whether it was written or already held those bytes. Returns 0; 1 when a file could not be
// written (said on `err`; the older file stays whole); 2 after a usage problem.
int RunExportMoodsCommand(const std::vector<std::string>& args, const Library& library,
                          const EnvironmentLookup& environment, std::FILE* out, std::FILE* err);

// After `command` changed the library: rewrites the playlists in the music folder when the
// preferences keep them, saying nothing when all went well. Returns 0, or 1 after saying on
// `err` what could not be written.
int KeepMoodPlaylistsAfterChange(CliLibrary& cli, const EnvironmentLookup& environment,
                                 const char* command, std::FILE* err);

}  // namespace harmovia
