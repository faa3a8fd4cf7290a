#pragma once

// The Edit menu's own commands (check-mark all, un-check all, delete tune, set genre for
// the artist or album) and the reveal of the selected tune in the file manager.

#include <cstdint>

namespace harmovia {

struct App;

void SetAllCheckedCommand(App& app, bool checked);
// Removes the selected tune from the library, the list and the playing list; the playing
// tune is refused with one beep.
void DeleteTuneCommand(App& app);
// Genre item `item` (1..28) of menu 120 (for every tune of the selected tune's artist,
// holiday and soundtrack tunes kept) or menu 13 (for every tune of its album).
void SetGenreCommand(App& app, bool forArtist, int16_t item);
// Sets the selected tune's mood by hand to `mood` (1..9), or back to the measured one (0), in
// the library, the list and the playing list, and saves the library.
void SetMoodCommand(App& app, int32_t mood);
void RevealSelectedTuneCommand(App& app);

}  // namespace harmovia
