#pragma once

// The colour buttons (All Tunes, the nine moods, Last Added) and the Mood By Genre choice,
// short of the widgets and the player: what they check, say and build. Main thread only.

#include <string_view>

#include "browse/view_state.h"
#include "library/pstr.h"
#include "library/random_source.h"
#include "library/tune_library.h"
#include "platform/clock.h"
#include "platform/user_notices.h"

namespace harmovia {

// Button commands: 9001 All Tunes, 9002..9010 moods 1..9, 9011 Last Added.
inline constexpr int kAllTunesButton = 9001;
inline constexpr int kFirstMoodButton = 9002;
inline constexpr int kLastMoodButton = 9010;
inline constexpr int kLastAddedButton = 9011;

inline constexpr std::string_view kNoTunesFoundNotice = "No tunes found...";

// The notice of a mood button whose mood has no tunes: "No midnight blue tunes...".
PStr EmptyMoodButtonNotice(int mood);
// The notice of the Playlists menu's mood items: "No Deep Relaxation tunes...".
PStr EmptyMoodMenuNotice(int mood);
// One beep, the notice tinted for the mood for 2000 ms, then closed.
void ShowMoodNotice(UserNotices& notices, std::string_view text, int mood);

enum class MoodViewOutcome {
    Ignored,    // not a colour button
    Refused,    // the library is empty: three beeps
    EmptyMood,  // the mood has no tunes: its notice was shown; nothing else changed
    Built,      // the view was rebuilt; the caller refreshes the list and the status line
};

struct MoodViewResult {
    MoodViewOutcome outcome = MoodViewOutcome::Ignored;
    // A mood view starts playing at once: the caller stops the playing tune, sets the play
    // controls to playing, PlayRequest = 1 and SelectedRow = 1.
    bool autoplay = false;
};

// ShowMoodView: a mood button runs FindSelectedTune, builds mode 10 + k and sets
// SelectedGenreItem = 1 and SelectedMood = k; All Tunes and Last Added build modes 3 and 4
// and leave the selection as it was.
MoodViewResult ShowMoodView(ViewState& view, const Library& library, int command, Clock& clock,
                            RandomSource& random, UserNotices& notices);

// ShowMoodByGenre: when no tune has mood k and (g = 1 or the category of genre item g), one
// beep and "No tunes found..." for 2000 ms, false, nothing changed. Otherwise builds mode
// 20, sets SelectedGenreItem = g and SelectedMood = k, and returns true; the view starts
// playing at once as a mood view does.
bool ShowMoodByGenre(ViewState& view, const Library& library, int genreItem, int mood, Clock& clock,
                     RandomSource& random, UserNotices& notices);

}  // namespace harmovia
