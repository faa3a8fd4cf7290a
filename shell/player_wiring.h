#pragma once

// The player inside the desktop program: the seams over the main window, the context over
// the App's parts, the tick the event loop runs every 2/60 s, and the media-key service.

#include "player/player_seams.h"

namespace harmovia {

struct App;

// The main window as the player sees it.
class WindowPlayerSeams final : public PlayerSeams {
  public:
    explicit WindowPlayerSeams(App& app) : app_(app) {}

    void ControlsChanged() override;
    void TickSoon() override;
    void UpdateDisplayArea(const DisplayAreaLines& lines) override;
    void SelectListRow(int32_t row) override;
    void RefreshList() override;
    void RowsAppended() override;
    int32_t DisplayRowOfItem(int32_t item) override;
    int32_t ItemAtDisplayRow(int32_t row) override;
    void TuneStarted(int32_t position, int16_t volume) override;
    void ShowVolume(int16_t volume) override;
    void ShowSavingNotice() override;
    [[nodiscard]] OsError SaveLibraryFile() override;
    [[nodiscard]] OsError SavePreferencesFile() override;
    void EndProgram(int status) override;

  private:
    App& app_;
};

// Makes the player's state, seams and context (app.movies must be set), wires the list's
// double click and check boxes to it, and registers the media-key service when a session
// bus answers.
void WirePlayer(App& app);

// One tick: the player's requests and time, then the list's playing mark and the media
// keys' properties follow. When nothing needs the next tick, the 2/60 s timer stops.
void TickPlayer(App& app);

// Something needs the tick (a request, an add): a tick comes at once and the 2/60 s timer
// runs until nothing needs it any more.
void WakeTicks(App& app);

// Whether anything needs the tick: the player (PlayerNeedsTicks), a double-click's play
// request, or an add running.
bool TicksNeeded(const App& app);

// The list's playing mark from the player's state.
void ShowPlayingMark(App& app);

}  // namespace harmovia
