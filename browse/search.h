#pragma once

// The search over the library's Title, Artist, Album and Genre, ignoring letter case
// through the Mac Roman upper-case table. Main thread only.

#include <string_view>

#include "browse/view_state.h"
#include "library/random_source.h"
#include "library/tune_library.h"
#include "platform/clock.h"
#include "platform/user_notices.h"

namespace harmovia {

inline constexpr std::string_view kNoMatchNotice = "No match found.";

// True when the upper-cased field holds the upper-cased text as one contiguous run at any
// position. The empty text is held by every field.
bool TextContains(std::string_view field, std::string_view text);

// True when the tune's Title, Artist, Album or Genre (tested in that order) contains the
// text, already upper-cased (UpperCased). Location, GenreCategory and the other fields are
// never searched.
bool TuneMatchesUpperCasedText(const TuneRecord& record, const PStr& upperText);

enum class SearchOutcome {
    EmptyText,  // one beep; nothing searched
    NoMatch,    // one beep and the "No match found." notice; the view is unchanged
    Shown,      // the Search Results view (mode 8) is built; the caller refills the list
};

// What Return in the search field does, short of the widgets: SearchText = the field's text
// (cut to 255 characters); an empty text beeps; otherwise a pre-scan stops at the first
// matching tune, and only then is the view rebuilt as mode 8 with SelectedRow 0. The
// notice is shown for 2000 ms through `notices`. Afterwards the caller takes the focus off
// the field and rewrites the status line from the current view, in every outcome.
SearchOutcome RunSearch(ViewState& view, const Library& library, std::string_view fieldText,
                        Clock& clock, RandomSource& random, UserNotices& notices);

}  // namespace harmovia
