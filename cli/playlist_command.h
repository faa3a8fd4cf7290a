#pragma once

// `harmovia-cli playlist`: builds one of the program's views over a loaded library, with the
// same code as the desktop program, and prints it. Read-only: the library is not changed
// (a seed's use count is raised only by the desktop commands).

#include <cstdio>
#include <string>
#include <vector>

#include "library/random_source.h"
#include "library/tune_library.h"

namespace harmovia {

// `args` are the words after "playlist". Writes the view's rows to `out` as tsv (default),
// json (TuneRecordJson objects, one per line) or m3u (extended M3U, UTF-8); messages go to
// `err`. Returns 0 on success, also for a view with no tunes (the header alone, and a line
// on `err` naming the empty view); 2 for a usage error (a one-line reason); 1 when a seed
// slot holds no tune or the output cannot be written, with a one-line reason. `random`
// orders the shuffled views unless the request gives --seed.
// The help lines of --format.
const char* PlaylistFormatsUsage();

int RunPlaylistCommand(const std::vector<std::string>& args, const Library& library,
                       RandomSource& random, std::FILE* out, std::FILE* err);

}  // namespace harmovia
