#pragma once

// What the player needs from the program around it: word that its controls changed, the
// display area, the list's selection and its display order, and the way out when too many
// tunes are missing. The desktop program implements it over its widgets, the CLI over a terminal,
// tests record it. Main thread only.

#include <cstdint>

#include "browse/display_area.h"
#include "platform/os_error.h"

namespace harmovia {

class PlayerSeams {
  public:
    virtual ~PlayerSeams() = default;

    // PlayerState::Controls (or the mute and loop modes) changed: the window shows them.
    virtual void ControlsChanged() {}
    // A request was made: the next tick should come at once (the program may not be
    // ticking while idle).
    virtual void TickSoon() {}
    // UpdateDisplayArea: the three lines of the display area.
    virtual void UpdateDisplayArea(const DisplayAreaLines& lines) = 0;
    // Selects and reveals ViewList row `row` in the main list.
    virtual void SelectListRow(int32_t row) = 0;
    // Redraws the main list's rows.
    virtual void RefreshList() = 0;
    // Rows were appended to the view on screen (it is the playing list, an endless journey
    // that grew): the list shows them and the status line counts them.
    virtual void RowsAppended() {}

    // The list's display order, which the user may have changed by sorting a column:
    // the 0-based display row of ViewList row `item`, and the ViewList row shown at
    // display row `row` (0 when there is none). Unsorted: row = item - 1.
    virtual int32_t DisplayRowOfItem(int32_t item) { return item - 1; }
    virtual int32_t ItemAtDisplayRow(int32_t row) { return row + 1; }

    // A tune of the playing list began to play at movie volume `volume`.
    virtual void TuneStarted(int32_t /*position*/, int16_t /*volume*/) {}
    // The user's volume is now `volume` (whoever set it): the slider shows it.
    virtual void ShowVolume(int16_t /*volume*/) {}

    // The way out when too many tunes are missing, called in this order: show the
    // "Saving Database..." notice, save the library, save the preferences, end the
    // program with `status`. EndProgram may return (an event loop then ends); the
    // player does nothing more afterwards.
    virtual void ShowSavingNotice() = 0;
    [[nodiscard]] virtual OsError SaveLibraryFile() = 0;
    [[nodiscard]] virtual OsError SavePreferencesFile() = 0;
    virtual void EndProgram(int status) = 0;
};

}  // namespace harmovia
