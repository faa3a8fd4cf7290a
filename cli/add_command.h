#pragma once

#include <string>
#include <vector>

namespace harmovia {

// `add FOLDER | --music-folder [--workers N] [--quiet]`: adds the music of a folder tree to
// the library, holding the one-writer lock. Ctrl-C acts as Stop: the file in hand is
// finished and what was kept is saved. Returns the exit status: 0; 1 for a failure or when
// a full library left files out; 2 for a usage error (a line naming it); 130 after Ctrl-C.
int RunAddCommand(const std::vector<std::string>& args);

// `inspect FILE`: reads, measures and scores one file against a copy of the library (so a
// tune already there is a duplicate), without changing the library file, and prints its
// record as JSON with the result code and the step that refused it. A file that cannot be
// read is a failure (1).
int RunInspectCommand(const std::vector<std::string>& args);

}  // namespace harmovia
