#pragma once

// The VIEW options that `playlist`, `send` and `play` share, and the view they build with
// the desktop program's own code. Read-only: the library is not changed.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browse/view_state.h"
#include "library/random_source.h"
#include "library/tune_library.h"

namespace harmovia {

enum class ViewKind { None, All, LastAdded, Mood, Like, Artist, Album, Genre, Search, Journey };

struct ViewRequest {
    ViewKind kind = ViewKind::None;
    std::string value;                         // K, SLOT or TEXT
    std::optional<std::string> genreCategory;  // --category with --mood
    std::optional<uint32_t> seed;              // --seed: the shuffled views' order
    // With --journey A:B (value "A:B"): its length, --count N or --minutes M.
    std::optional<int32_t> count;
    std::optional<int32_t> minutes;
};

// The length of a journey asked for without --count or --minutes, as the window's sheet
// proposes it.
inline constexpr int32_t kDefaultJourneyCount = 20;

// A whole number written in decimal and nothing else ("12", "-3"; not "", "1x" or beyond
// 32 bits).
std::optional<int32_t> ParseWholeNumber(std::string_view text);

// The usage lines of the VIEW options.
const char* ViewOptionsUsage();
// The genre category names --category takes, one a line, for the help text.
std::string GenreCategoriesUsage();

// Takes the VIEW options (and their values) out of `args`; every other word is appended to
// `rest`, in order, for the command to read. Returns the reason of a usage problem. --count
// is a VIEW option only beside --journey (send has a --count of its own).
std::optional<std::string> ParseViewRequest(const std::vector<std::string>& args,
                                            ViewRequest& request, std::vector<std::string>& rest);

// What building a requested view came to.
struct ViewBuildResult {
    int status = 0;      // 0 built (perhaps empty), 1 no tune in the seed slot, 2 a usage problem
    std::string reason;  // for 1 and 2, UTF-8
    // For a view with no tunes, which view was empty, UTF-8 ("no Move & Groove tunes").
    std::string emptyNote;
};

// Builds the requested view into `view` as the desktop program would. A view with no tunes
// is built empty (with an emptyNote), where the window would show a notice instead.
ViewBuildResult BuildRequestedView(const ViewRequest& request, const Library& library,
                                   RandomSource& random, ViewState& view);

// The library slot a row was copied from: a freshly loaded library numbers its records by
// slot in AddedSerial; otherwise the first slot with the row's RecordIndex; 0 when none.
int32_t SlotOfRow(const Library& library, const TuneRecord& row);

}  // namespace harmovia
