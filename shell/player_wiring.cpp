#include "shell/player_wiring.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QSignalBlocker>
#include <QSlider>
#include <QTableView>
#include <QTimer>

#include "library/library_file.h"
#include "player/mpris_service.h"
#include "player/play_loop.h"
#include "player/player_requests.h"
#include "shell/app_state.h"
#include "shell/main_window.h"
#include "shell/player_menus.h"
#include "shell/qt_menu_bar.h"
#include "shell/startup.h"
#include "shell/tune_list.h"

namespace harmovia {

void WindowPlayerSeams::ControlsChanged() {
    ShowPlayerControls(app_);
}

void WindowPlayerSeams::TickSoon() {
    WakeTicks(app_);
}

void WindowPlayerSeams::UpdateDisplayArea(const DisplayAreaLines& lines) {
    app_.window->ShowDisplayLines(lines);
}

void WindowPlayerSeams::SelectListRow(int32_t row) {
    app_.window->SelectListRow(row);
}

// The rows are the view's own; a redraw shows their check marks and the playing mark.
void WindowPlayerSeams::RefreshList() {
    ShowPlayingMark(app_);
    app_.window->TuneList()->viewport()->update();
}

// The new rows join the bottom of the list as it is shown; the status line counts them.
void WindowPlayerSeams::RowsAppended() {
    app_.window->Model().AppendRows();
    app_.window->ShowStatusLine();
}

int32_t WindowPlayerSeams::DisplayRowOfItem(int32_t item) {
    return app_.window->Model().ModelRowOf(item);
}

int32_t WindowPlayerSeams::ItemAtDisplayRow(int32_t row) {
    const TuneListModel& model = app_.window->Model();
    return row >= 0 && row < model.rowCount() ? model.ViewRowAt(row) : 0;
}

void WindowPlayerSeams::TuneStarted(int32_t, int16_t) {
    ShowPlayingMark(app_);
}

void WindowPlayerSeams::ShowVolume(int16_t volume) {
    if (auto* slider = qobject_cast<QSlider*>(app_.window->Control(kVolumeSlider))) {
        const QSignalBlocker quiet(slider);
        slider->setValue(volume);
    }
}

void WindowPlayerSeams::ShowSavingNotice() {
    app_.window->ShowDisplayLines({"-", "Saving Database", "-"});
    app_.window->repaint();
}

OsError WindowPlayerSeams::SaveLibraryFile() {
    // A library that could not be read whole at start is never written over.
    return app_.libraryUnread ? kNoErr : SaveLibrary(*app_.library, *app_.files, app_.folder);
}

OsError WindowPlayerSeams::SavePreferencesFile() {
    StoreWindowFrame(app_);
    return SavePreferences(app_.preferences, *app_.files, app_.folder);
}

void WindowPlayerSeams::EndProgram(int status) {
    app_.ending = true;
    QCoreApplication::exit(status);
}

void WirePlayer(App& app) {
    app.player = std::make_unique<PlayerState>();
    app.playerSeams = std::make_unique<WindowPlayerSeams>(app);
    app.playerContext = std::make_unique<PlayerContext>(
        PlayerContext{*app.player, *app.view, *app.library, app.preferences, *app.movies,
                      *app.notices, *app.playerSeams});
    app.window->Model().checkToggled = [&app](int32_t viewRow) {
        RequestCheckToggle(*app.playerContext, viewRow);
    };
    if (QDBusConnection bus = QDBusConnection::sessionBus(); bus.isConnected()) {
        auto mpris = std::make_unique<MprisService>(*app.playerContext);
        mpris->SetRaise([&app] {
            app.window->showNormal();
            app.window->raise();
            app.window->activateWindow();
        });
        if (mpris->Register(bus)) {
            app.mpris = std::move(mpris);
        }
    }
}

void TickPlayer(App& app) {
    if (!app.playerContext) {
        return;
    }
    PlayerState& p = *app.player;
    if (app.PlayFromSelectionRequest) {
        app.PlayFromSelectionRequest = false;
        p.PlayFromSelectionRequest = 1;
    }
    const bool toggled = p.CheckToggleRequest == 1;
    PlayerEventHook(*app.playerContext);
    if (app.ending) {
        return;
    }
    if (toggled) {
        app.window->TuneList()->viewport()->update();
    }
    ShowPlayingMark(app);
    ShowPlayerControls(app);
    if (app.mpris) {
        app.mpris->Sync();
    }
    if (app.rhythm != nullptr && !TicksNeeded(app)) {
        app.rhythm->stop();
    }
}

bool TicksNeeded(const App& app) {
    return !app.ending && ((app.player && PlayerNeedsTicks(*app.player)) ||
                           app.PlayFromSelectionRequest || app.adding != nullptr);
}

void WakeTicks(App& app) {
    if (app.rhythm == nullptr || app.ending) {
        return;
    }
    if (!app.rhythm->isActive()) {
        app.rhythm->start();
    }
    if (!app.tickPosted) {
        app.tickPosted = true;
        QTimer::singleShot(0, app.rhythm, [&app] {
            app.tickPosted = false;
            if (app.eventHook && !app.ending) {
                app.eventHook();
            }
        });
    }
}

void ShowPlayingMark(App& app) {
    if (!app.player || !app.window) {
        return;
    }
    const PlayerState& p = *app.player;
    const PlayingMarker marker{p.NowPlayingStamp, p.NowPlayingIndex, p.IsPlaying == 1};
    if (marker.PlayingStamp != app.playing.PlayingStamp ||
        marker.NowPlayingIndex != app.playing.NowPlayingIndex ||
        marker.IsPlaying != app.playing.IsPlaying) {
        app.playing = marker;
        app.window->SetPlayingRow(marker);
    }
}

}  // namespace harmovia
