#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "library/tune_library.h"

namespace harmovia {

// `list [--mood N] [--format tsv|json]`: the committed tunes in slot order.
// `moods`: the nine moods with their counts.
// Both return the exit status (0, or 2 after printing the usage error to err).
int RunListCommand(const std::vector<std::string>& args, const Library& library, std::FILE* out,
                   std::FILE* err);
int RunMoodsCommand(const Library& library, std::FILE* out);

}  // namespace harmovia
