#pragma once

// A library of made-up tunes with varied texts, moods, lengths and kinds, the same for the
// same seed: what the benchmarks of the window measure against.

#include <cstdint>

#include "library/tune_library.h"

namespace harmovia::bench {

// Fills slots 1..count (at most kMaxTunes) and commits them.
void FillSyntheticLibrary(Library& library, int count, uint32_t seed = 23);

}  // namespace harmovia::bench
