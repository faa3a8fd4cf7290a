#pragma once

// The display area's three lines (controls 1004, 1005, 1006) as texts: what
// UpdateDisplayArea draws. Mac Roman.

#include "browse/view_state.h"
#include "library/pstr.h"
#include "library/tune_record.h"

namespace harmovia {

struct DisplayAreaLines {
    PStr Line1;
    PStr Line2;
    PStr Line3;
};

// Nothing playing: "-", the browsing title of the view on screen, "-".
DisplayAreaLines BrowsingDisplayLines(const ViewLabel& shown);

// A tune playing: the playing title of the list it belongs to, its Title, and its Artist +
// " • " + Album.
DisplayAreaLines PlayingDisplayLines(const ViewLabel& playing, const TuneRecord& tune);

}  // namespace harmovia
