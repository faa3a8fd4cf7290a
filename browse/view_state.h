#pragma once

// The state of the main list's view: the rows shown, what they are, their totals and the
// selection. One ViewState is owned by the program (tests make their own); main thread
// only. Texts are Mac Roman.

#include <cstdint>

#include "library/pstr.h"
#include "library/tune_library.h"
#include "library/view_list.h"

namespace harmovia {

// ViewMode values. Modes 11..19 are the moods 1..9.
enum ViewModeCode : uint16_t {
    kModeAllTunes = 3,
    kModeLastAdded = 4,
    kModeSmartPlays = 5,
    kModeTuneBased = 6,
    kModeMoreFromArtist = 7,
    kModeSearchResults = 8,
    kModeMoreFromGenre = 9,
    kModeMoreFromAlbum = 10,
    kModeFirstMood = 11,
    kModeLastMood = 19,
    kModeMoodByGenre = 20,
    kModeMoodJourney = 21,
};

constexpr uint16_t MoodViewMode(int mood) {
    return static_cast<uint16_t>(10 + mood);
}
constexpr bool IsMoodViewMode(uint16_t mode) {
    return mode >= kModeFirstMood && mode <= kModeLastMood;
}

// Genre item 1 of the Mood By Genre menus: all genres.
inline constexpr int16_t kAllGenresItem = 1;

// A mood journey: a list that walks step by step from one mood to another. Its length is
// Count tunes, or Minutes when Count is 0. The same request over the same library gives the
// same list. An endless journey is refilled by the player as it nears its end: the next leg
// walks back the same path, the one after forward again, and so on.
struct JourneyRequest {
    int16_t FromMood = 1;
    int16_t ToMood = 1;
    int32_t Count = 0;
    int32_t Minutes = 0;
    uint32_t Seed = 0;
    bool Endless = false;

    bool operator==(const JourneyRequest&) const = default;
};

// What a built view is, fixed when it is built: enough to name the view later, after
// commands and the player have moved the selection (SelectedMood follows the playing
// tune) or started other builds. The player keeps a copy with the list it plays.
struct ViewLabel {
    uint16_t Mode = kModeAllTunes;
    int16_t Mood = 0;                    // modes 11..19 and 20
    int16_t GenreItem = kAllGenresItem;  // mode 20 (modes 11..19: all genres)
    PStr BaseText;                       // modes 6, 7, 9, 10: the seed's text
    PStr SearchText;                     // mode 8
    JourneyRequest Journey;              // mode 21
    int32_t JourneyLegs = 0;             // mode 21: the legs the rows hold so far
};

struct ViewState {
    ViewList List;  // ViewList rows 1..ViewCount
    uint16_t ViewMode = kModeAllTunes;
    uint32_t ViewSeconds = 0;    // sum of DurationSeconds over the rows
    uint32_t ViewMegabytes = 0;  // sum of FileSize >> 20 over the rows
    // The local time of the last build, "HH:mm:ss": what the program shows. Two builds in
    // one second share it, so it is no identity.
    PStr ViewTitle;
    // The identity of the last build: unique among the builds of one ViewState (0 before
    // the first). The player compares it with the stamp of the list it plays.
    uint64_t ViewStamp = 0;
    uint64_t BuildCount = 0;        // builds so far; never lowered
    ViewLabel Label;                // what the last build made
    int32_t SelectedRow = 0;        // 1-based; 0 none
    int32_t SelectedTuneIndex = 0;  // library slot of the seed tune
    int16_t SelectedMood = 1;       // 1..9
    int16_t SelectedGenreItem = kAllGenresItem;
    PStr SearchText;  // the text of the last search
    PStr BaseText;    // the seed's title, artist, genre or album
};

// SelectedTuneIndex = the first library slot whose RecordIndex equals that of the row at
// SelectedRow; unchanged when SelectedRow is no row of the view or no slot matches.
void FindSelectedTune(ViewState& view, const Library& library);

}  // namespace harmovia
