#pragma once

// `set-mood SLOT|--title TEXT K|measured`: sets a tune's mood by hand, or back to the
// measured one. `explain SLOT|--title TEXT`: says why the tune has its mood.

#include <cstdio>
#include <string>
#include <vector>

#include "library/tune_library.h"

namespace harmovia {

// The usage lines of both commands' arguments, for the help.
const char* MoodCommandsUsage();

// What the arguments ask for, read before the library is opened.
struct MoodRequest {
    std::string slot;   // SLOT, or empty with --title
    std::string title;  // TEXT of --title, UTF-8
    int32_t mood = -1;  // set-mood: 1..9, 0 for "measured"
};

// Reads the arguments of `set-mood` (withMood) or `explain`. Returns 0, or 2 after saying
// the usage problem on `err`.
int ParseMoodRequest(const std::vector<std::string>& args, bool withMood, MoodRequest& request,
                     std::FILE* err);

// The library slot the request names. Returns 0 with the slot, or 1 (no such slot, no or
// several tunes of that title) after saying so on `err`.
int FindRequestedTune(const MoodRequest& request, const Library& library, const char* command,
                      int32_t& slot, std::FILE* err);

// Sets the mood of the tune in `slot` as asked and prints what it is now; the caller saves.
// Returns 0, or 1 when the record keeps no measured mood to come back to.
int RunSetMood(const MoodRequest& request, Library& library, int32_t slot, std::FILE* out,
               std::FILE* err);

// Prints the explanation of the tune in `slot`, one line. Returns 0.
int RunExplain(const Library& library, int32_t slot, std::FILE* out);

}  // namespace harmovia
