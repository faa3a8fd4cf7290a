#include "shell/list_commands.h"

#include <QLineEdit>
#include <QTableView>

#include "browse/mood_views.h"
#include "browse/search.h"
#include "browse/seed_views.h"
#include "browse/view_builder.h"
#include "library/mac_roman_qt.h"
#include "player/play_loop.h"
#include "player/player_requests.h"
#include "shell/app_state.h"
#include "shell/main_window.h"
#include "shell/player_wiring.h"
#include "shell/qt_menu_bar.h"

namespace harmovia {

bool HasTunes(App& app) {
    if (app.library->TuneCount < 1) {
        app.notices->Beep(3);
        return false;
    }
    return true;
}

bool HasSelection(App& app) {
    if (app.view->SelectedRow < 1) {
        app.notices->Beep(1);
        app.notices->ShowAlert(
            {"No Tune Selected", "Please select a tune first to use this feature.", "Okay"});
        return false;
    }
    return true;
}

void StopForNewList(App& app) {
    PlayerState& p = *app.player;
    if (p.CurrentMovie) {
        if (!p.CurrentMovie->IsDone()) {
            p.CurrentMovie->Stop();
        }
        p.StopRequest = 1;
        p.IsPlaying = 0;
    }
}

void ResetPlayControls(App& app) {
    app.player->StopRequest = 1;
    ShowStopping(*app.playerContext);
    app.window->ShowDisplayLines(BrowsingDisplayLines(app.view->Label));
    app.window->update();
}

void ShowNewList(App& app, bool autoplay, bool playingLook) {
    ViewState& view = *app.view;
    view.SelectedRow = 0;
    app.window->raise();
    // The tune-based views were ranked (at most 100, best first) when they were built.
    app.window->RefreshList();
    if (autoplay && view.List.ViewCount > 0) {
        if (playingLook) {
            SetPlayButton(*app.playerContext, 2);
        }
        app.player->PlayRequest = 1;
        WakeTicks(app);
    }
    view.SelectedRow = view.List.ViewCount > 0 ? 1 : 0;
    app.window->SelectListRow(view.SelectedRow);
    app.window->TuneList()->scrollToTop();
}

void AllTunesCommand(App& app) {
    if (!HasTunes(app)) {
        return;
    }
    app.view->ViewMode = kModeAllTunes;
    BuildView(*app.view, *app.library, *app.clock, app.random);
    ShowNewList(app, false);
}

void LastAddedCommand(App& app) {
    if (!HasTunes(app)) {
        return;
    }
    app.view->ViewMode = kModeLastAdded;
    BuildView(*app.view, *app.library, *app.clock, app.random);
    ShowNewList(app, false);
}

void MoodPlaylistCommand(App& app, int mood) {
    if (mood < 1 || mood > 9) {
        return;
    }
    if (app.library->MoodCounts[static_cast<size_t>(mood)] < 1) {
        ShowMoodNotice(*app.notices, EmptyMoodMenuNotice(mood).view(), mood);
        return;
    }
    StopForNewList(app);
    FindSelectedTune(*app.view, *app.library);
    app.view->ViewMode = MoodViewMode(mood);
    BuildView(*app.view, *app.library, *app.clock, app.random);
    app.view->SelectedMood = static_cast<int16_t>(mood);
    ShowNewList(app, true);
}

void SeedListCommand(App& app, SeedCommand command, bool playingLook) {
    if (!HasTunes(app) || !HasSelection(app)) {
        return;
    }
    StopForNewList(app);
    if (!ShowSeedView(*app.view, *app.library, command, *app.clock, app.random)) {
        app.notices->Beep(1);
        return;
    }
    ShowNewList(app, true, playingLook);
}

void SurpriseMeCommand(App& app) {
    if (!HasTunes(app)) {
        return;
    }
    StopForNewList(app);
    if (ShowSurpriseView(*app.view, *app.library, *app.clock, app.random)) {
        ShowNewList(app, true);
    }
}

void ColourButtonCommand(App& app, int32_t button) {
    const MoodViewResult result =
        ShowMoodView(*app.view, *app.library, button, *app.clock, app.random, *app.notices);
    if (result.outcome != MoodViewOutcome::Built) {
        return;
    }
    if (result.autoplay) {
        StopForNewList(app);
    }
    ShowNewList(app, result.autoplay);
}

void MoodByGenreCommand(App& app, int genreItem, int mood) {
    if (ShowMoodByGenre(*app.view, *app.library, genreItem, mood, *app.clock, app.random,
                        *app.notices)) {
        StopForNewList(app);
        ShowNewList(app, true);
    }
}

void SearchCommand(App& app) {
    auto* field = qobject_cast<QLineEdit*>(app.window->Control(kSearchField));
    if (field == nullptr) {
        return;
    }
    const SearchOutcome outcome = RunSearch(*app.view, *app.library, ToMacRoman(field->text()),
                                            *app.clock, app.random, *app.notices);
    if (outcome == SearchOutcome::Shown) {
        app.window->RefreshList();  // no row selected: the search leaves the choice to the user
    }
    field->clearFocus();
    app.window->ShowStatusLine();
}

}  // namespace harmovia
