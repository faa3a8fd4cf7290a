#include "shell/player_commands.h"

#include <algorithm>

#include "browse/display_area.h"
#include "browse/view_builder.h"
#include "player/play_loop.h"
#include "player/player_requests.h"
#include "shell/app_state.h"
#include "shell/list_commands.h"
#include "shell/main_window.h"
#include "shell/player_wiring.h"
#include "shell/qt_menu_bar.h"

namespace harmovia {
namespace {

// A playing player is told to stop and every control says so at once.
void StopPlaying(App& app) {
    app.player->StopRequest = 1;
    ShowStopping(*app.playerContext);
    app.window->ShowDisplayLines(BrowsingDisplayLines(app.view->Label));
}

}  // namespace

void PlayMenuCommand(App& app) {
    if (!HasTunes(app) || app.view->List.ViewCount < 1) {
        return;
    }
    if (app.player->IsPlaying == 0) {
        app.view->SelectedRow = std::max(app.view->SelectedRow, 1);
        RequestPlay(*app.playerContext);
    } else {
        StopPlaying(app);
    }
}

void PlayButtonCommand(App& app) {
    if (!HasTunes(app) || app.view->List.ViewCount < 1) {
        return;
    }
    if (app.player->IsPlaying == 0) {
        RequestPlay(*app.playerContext);
    } else {
        StopPlaying(app);
        app.player->IsPlaying = 0;
    }
}

void NextBackMenuCommand(App& app, bool next) {
    if (!HasTunes(app) || app.view->List.ViewCount < 1) {
        return;
    }
    (next ? app.player->NextRequest : app.player->BackRequest) = 1;
}

void NextBackButtonCommand(App& app, bool next) {
    if (!HasTunes(app)) {
        return;
    }
    next ? RequestNext(*app.playerContext) : RequestBack(*app.playerContext);
}

void MuteCommand(App& app) {
    ToggleMute(*app.playerContext);
}

void PauseKeyCommand(App& app) {
    if (!app.playerContext) {
        return;
    }
    if (app.player->IsPlaying == 1) {
        PauseOrResume(*app.playerContext);
    } else {
        PlayButtonCommand(app);
    }
}

void VolumeStepCommand(App& app, int step) {
    const int volume = std::clamp(app.preferences.Volume + step, 0, int{kMaxVolume});
    VolumeChanged(*app.playerContext, kVolumeIndicatorPart, volume);
}

void VolumeSliderMoved(App& app) {
    VolumeChanged(*app.playerContext, kVolumeIndicatorPart, app.preferences.Volume);
}

void RevealNowPlayingCommand(App& app) {
    if (!HasTunes(app)) {
        return;
    }
    const PlayerState& p = *app.player;
    if (!p.CurrentMovie || !p.NowPlayingList.HasRow(p.NowPlayingIndex)) {
        app.notices->Beep(1);
        app.notices->ShowAlert(
            {"Nothing Playing", "There is no actively playing playlist.", "Okay"});
        return;
    }
    ViewState& view = *app.view;
    CopyRows(view.List, p.NowPlayingList);
    RecountViewTotals(view);
    // The same build as the playing list: the list is the playing list again, so the
    // player follows its display order and the playing row is marked.
    view.ViewTitle = p.NowPlayingTitle;
    view.ViewMode = p.NowPlayingKind;
    view.Label = p.NowPlayingLabel;
    view.ViewStamp = p.NowPlayingStamp;
    view.SelectedRow = p.NowPlayingIndex;
    app.window->raise();
    app.window->RefreshList();
    app.window->SelectListRow(view.SelectedRow);
    app.playing = {};
    ShowPlayingMark(app);
    app.window->ShowDisplayLines(
        PlayingDisplayLines(p.NowPlayingLabel, p.NowPlayingList[p.NowPlayingIndex]));
}

}  // namespace harmovia
