#pragma once

// Building the view list from the library: the selection of each view mode, the shuffle,
// the totals, the build's time and identity, and the ranking that follows the tune-based
// builds. Main thread only; the library is only read.

#include <cstdint>
#include <span>

#include "browse/view_state.h"
#include "library/random_source.h"
#include "library/tune_library.h"
#include "platform/clock.h"

namespace harmovia {

// Rebuilds the rows, ViewSeconds, ViewMegabytes, ViewTitle, ViewStamp and Label for
// view.ViewMode; does nothing when the library holds no tune. Modes 6, 7, 9 and 10 take
// their seed from the library slot SelectedTuneIndex (no seed there: an empty view); mode 8
// selects by SearchText; mode 20 rebuilds the mood and genre item of the last Mood By Genre
// build (Label); mode 21 the journey of the last journey build (Label), the same list for
// the same library. Every view but All Tunes and Tune Based is shuffled; Tune Based rows carry
// their score in Similarity and are left in library order for RankView. An unknown mode
// gives an empty view.
void BuildView(ViewState& view, const Library& library, Clock& clock, RandomSource& random);

// Builds the Mood By Genre view (mode 20): the tunes of mood `mood` whose GenreCategory is
// the text of genre item `genreItem` (1: any genre), shuffled. Sets ViewMode; leaves
// SelectedMood and SelectedGenreItem to the caller. Does nothing when the library is empty.
void BuildMoodByGenreView(ViewState& view, const Library& library, int mood, int genreItem,
                          Clock& clock, RandomSource& random);

// Starts a build: empty rows and totals, the time of day and a new identity, the label.
void BeginBuild(ViewState& view, Clock& clock, const ViewLabel& label);

// True for the modes whose build is followed by the ranking: Smart-Plays, Tune Based and
// More From Artist, Genre and Album.
bool RanksAfterBuild(uint16_t mode);

// ViewSeconds and ViewMegabytes over the rows as they are now (after rows were removed or
// replaced), saturating as a build does.
void RecountViewTotals(ViewState& view);

// RankViewList, then the totals recomputed over the rows that are kept, so that the status
// line describes the list it stands under. Does nothing on an empty view.
void RankView(ViewState& view);

// The shuffle over positions 1..n (positions[0] is position 1): for each position i in
// order, random(100); when that is 51 or more, random(n) picks a partner j and the two
// exchange places.
void ShufflePositions(std::span<int32_t> positions, RandomSource& random);

// The text of genre item `item` of the Mood By Genre menus (1: "All Tunes", 2: "Alternative
// Rock", ..., 29: "Young Adult & Children"); empty for an item outside 1..29.
std::string_view GenreItemText(int item);

}  // namespace harmovia
