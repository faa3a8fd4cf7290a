#pragma once

// The commands that put a new list on screen (All Tunes, the moods, the seed views,
// Surprise Me, Last Added, the colour buttons, Mood By Genre, the search), their
// preconditions, and the bodies every list command shares.

#include <cstdint>

namespace harmovia {

struct App;
enum class SeedCommand : uint16_t;

// The common preconditions: true when the command may go on. An empty library beeps three
// times; a missing selection beeps once and says "No Tune Selected".
bool HasTunes(App& app);
bool HasSelection(App& app);

// The playing tune stops so that a new list can start.
void StopForNewList(App& app);
// The play controls look stopped and the display area describes the list on screen.
void ResetPlayControls(App& app);
// The common tail of every list command: the list refilled from the view, the status line,
// row 1 selected, and with `autoplay` the play controls playing and PlayRequest set
// (`playingLook` false leaves the button's look to the player).
void ShowNewList(App& app, bool autoplay, bool playingLook = true);

// Playlists menu: All Tunes (item 1), mood m (items 3..11), Last Added (item 23).
void AllTunesCommand(App& app);
void MoodPlaylistCommand(App& app, int mood);
void LastAddedCommand(App& app);
// Playlist From Tune and More From Artist, Album, Genre.
void SeedListCommand(App& app, SeedCommand command, bool playingLook = true);
void SurpriseMeCommand(App& app);
// A colour button 9001..9011.
void ColourButtonCommand(App& app, int32_t button);
// Mood By Genre: genre item 1..29 and mood 1..9, from the menu or the pop-up.
void MoodByGenreCommand(App& app, int genreItem, int mood);
// Return in the search field.
void SearchCommand(App& app);

}  // namespace harmovia
