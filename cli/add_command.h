#pragma once

#include <string>
#include <vector>

namespace harmovia {

// `add FOLDER | --music-folder [--workers N] [--quiet]`: adds the music of a folder tree to
// the library, holding the one-writer lock. Ctrl-C acts as Stop: the file in hand is
// finished and what was kept is saved. Returns the exit status.
int RunAddCommand(const std::vector<std::string>& args);

// `inspect FILE`: reads, measures and scores one file without touching the library and
// prints its record as JSON with the result code and the step that refused it.
int RunInspectCommand(const std::vector<std::string>& args);

}  // namespace harmovia
