#pragma once

// Mood journeys: lists whose tunes walk step by step from one mood to another (Playlists ›
// "Mood Journey…", `harmovia-cli … --journey A:B`). Main thread only; the library is only
// read.
//
// The mood of row i of a leg of n rows steps evenly from the leg's first mood to its last
// (rounded half to even); a leg measured in minutes steps by the time played so far. The
// moods never turn back within a leg: when the mood due has no tune left, the nearest mood
// ahead on the path that has one is taken (on a tie, the one nearer where the walk stands).
// Among the tunes of that mood, one whose artist is none of the 4 tunes before and whose
// album is none of the 8 before is preferred; only when no tune allows both is the album
// rule let go first, then the artist rule, the farthest repeat winning. "Unknown" and empty
// artists and albums never count as a repeat. Only checked tunes travel, each at most once
// in a list while the path holds tunes not yet in it.

#include <cstdint>
#include <optional>
#include <string_view>

#include "browse/view_state.h"
#include "library/random_source.h"
#include "library/tune_library.h"
#include "library/view_list.h"
#include "platform/clock.h"
#include "platform/user_notices.h"

namespace harmovia {

// The spacing a journey keeps where the library allows.
inline constexpr int32_t kJourneyArtistSpacing = 4;
inline constexpr int32_t kJourneyAlbumSpacing = 8;
// The longest leg, in tunes and in minutes.
inline constexpr int32_t kMaxJourneyCount = kMaxViewRows;
inline constexpr int32_t kMaxJourneyMinutes = 100 * 60;

// One leg of a journey, appended behind the rows a list already holds.
struct JourneyLeg {
    int32_t FromMood = 1;
    int32_t ToMood = 1;
    int32_t Count = 0;    // tunes; 0: Minutes
    int32_t Minutes = 0;  // the leg ends with the tune that reaches them
    // A tune already in the list may come again once every tune of the path is in it (the
    // list of an endless journey); otherwise the leg ends short there.
    bool RepeatWhenExhausted = false;
};

// Appends the leg to `rows`, continuing its spacing from the rows before. Returns the rows
// appended: fewer than asked when the path ahead has no tune left (or the list is full).
int32_t AppendJourneyLeg(ViewList& rows, const Library& library, const JourneyLeg& leg,
                         RandomSource& random);

// Why a journey request cannot be built, in words for the user (UTF-8); none when it can.
std::optional<std::string_view> JourneyRequestProblem(const JourneyRequest& request);

// Builds the journey view (mode 21) with its first leg: ViewMode, the rows, the totals, the
// build's time and identity, and a Label that names the journey and carries the request.
// A request with a problem, or an empty library, gives an empty journey view.
void BuildJourneyView(ViewState& view, const Library& library, const JourneyRequest& request,
                      Clock& clock);

// The checked tunes of the moods the journey passes through.
int32_t JourneyPathTunes(const Library& library, const JourneyRequest& request);

// The Mood Journey sheet's OK, short of the widgets and the player: when no checked tune lies
// on the path, one beep and "No tunes found..." for 2000 ms, false, nothing changed.
// Otherwise builds the journey view and returns true; it starts playing at once, as a mood
// view does.
bool ShowJourney(ViewState& view, const Library& library, const JourneyRequest& request,
                 Clock& clock, UserNotices& notices);

// Whether the list labelled so is an endless journey.
bool IsEndlessJourney(const ViewLabel& label);

// An endless journey's list is running out: appends its next leg (back along the path from
// where the last leg ended, then forward again, ...) and counts it in `label`. Returns the
// rows appended; 0 for a list that is no endless journey, a full list, or a path without
// tunes.
int32_t ExtendEndlessJourney(ViewList& rows, ViewLabel& label, const Library& library);

}  // namespace harmovia
