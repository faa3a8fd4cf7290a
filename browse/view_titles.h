#pragma once

// The names of a view: the display area's title while browsing it and while it plays, and
// the playlist name the send sheet proposes for it. Texts are Mac Roman.

#include <string_view>

#include "browse/view_state.h"
#include "library/pstr.h"

namespace harmovia {

// The bullet between a mood and a genre, and in the status line (Mac Roman 0xA5).
inline constexpr std::string_view kBullet = "\xA5";

// "All Tunes", "Tune Based", "More From Artist", "Search Results: " + text, mood name +
// " • " + genre item text, "Mood Journey: Deep Relaxation to Maximum Wild", ...
PStr BrowsingTitle(const ViewLabel& view);
// As BrowsingTitle, but the seed views name their seed: "Tunes Based On: " + BaseText,
// "More Artist: ", "More Genre: ", "More Album: " + BaseText.
PStr PlayingTitle(const ViewLabel& view);
// "Tunes Based On: ", "Artist: ", "Genre: ", "Album: " + the seed's text; the moods'
// "M1 - Deep Relaxation Tunes" ..; Mood By Genre "M5 - Move & Groove - Rock".
PStr DefaultPlaylistName(const ViewLabel& view);

}  // namespace harmovia
