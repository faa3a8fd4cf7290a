#include "shell/commands.h"

#include <QApplication>
#include <QDialog>
#include <array>
#include <utility>

#include "browse/seed_views.h"
#include "player/player_requests.h"
#include "shell/add_session.h"
#include "shell/app_state.h"
#include "shell/edit_commands.h"
#include "shell/journey_sheet.h"
#include "shell/kept_playlists.h"
#include "shell/list_commands.h"
#include "shell/main_window.h"
#include "shell/menu_table.h"
#include "shell/notices.h"
#include "shell/player_commands.h"
#include "shell/qt_menu_bar.h"
#include "shell/send_sheet.h"
#include "shell/startup.h"

namespace harmovia {
namespace {

constexpr int16_t kFirstGenreItemMenuOffset = 167;  // submenu 169 is genre item 2
constexpr int kVolumeStep = 10;

// The buttons of the send and add sheets and of the About window, which are built in code;
// the main window's controls and the welcome sheet's carry their commands in their tables.
constexpr std::array<std::pair<int32_t, Command>, 6> kDialogButtons = {{
    {kSendButton, Command::SendSheetSend},
    {kSendCancelButton, Command::SendSheetCancel},
    {kJourneyOkButton, Command::JourneySheetOk},
    {kJourneyCancelButton, Command::JourneySheetCancel},
    {kStopAddingButton, Command::StopAdding},
    {kAboutDoneButton, Command::AboutDone},
}};

Command ControlCommand(int32_t id) {
    for (const ControlSpec& spec : kMainWindowControls) {
        if (spec.id == id) {
            return spec.command;
        }
    }
    for (const auto& [button, command] : kDialogButtons) {
        if (button == id) {
            return command;
        }
    }
    return WelcomeSheetCommand(id);
}

void CloseWindowAndQuit(App& app) {
    // Another window in front (the About window) is not the one being closed; the main
    // window's sheets are part of it.
    if (QWidget* front = QApplication::activeWindow();
        front != nullptr && front != app.window.get() && front->windowType() != Qt::Sheet) {
        app.notices->Beep(1);
        return;
    }
    QuitCommand(app);
}

void CloseWelcomeSheet(App& app) {
    if (QDialog* sheet = app.window->WelcomeSheet()) {
        sheet->accept();
    }
    for (int16_t menu = kFileMenu; menu <= kPlayerMenu; ++menu) {
        app.menus->SetMenuItem(menu, 0, kItemEnabled);
    }
    app.window->raise();
    if (app.AutoImportChoice == ImportChoice::Yes) {
        app.AutoImportChoice = ImportChoice::None;
        StartAdd(app, std::nullopt);
    }
}

void CloseAboutWindow(App& app) {
    if (QDialog* about = FindAboutWindow(app.window.get())) {
        about->close();
    }
    app.window->raise();
}

void StopAdding(App& app) {
    app.StopAddingRequest = true;
    if (app.adding) {
        app.adding->RequestStop();
    }
}

// The commands that need nothing but their name; the others take the item or control
// they came from and are run by the doors.
void Run(App& app, Command command) {
    switch (command) {
        case Command::About:
            ShowAboutWindow(app, app.window.get());
            return;
        case Command::AddTunes:
        case Command::AddTunesFromMusicFolder:
            AddTunesCommand(app, command == Command::AddTunesFromMusicFolder);
            return;
        case Command::RevealSelectedTune:
            RevealSelectedTuneCommand(app);
            return;
        case Command::SendPlaylist:
            SendPlaylistCommand(app);
            return;
        case Command::KeepMoodPlaylists:
            ToggleKeepMoodPlaylists(app);
            return;
        case Command::CloseWindowAndQuit:
            CloseWindowAndQuit(app);
            return;
        case Command::CheckAll:
        case Command::UncheckAll:
            SetAllCheckedCommand(app, command == Command::CheckAll);
            return;
        case Command::DeleteTune:
            DeleteTuneCommand(app);
            return;
        case Command::Play:
            PlayMenuCommand(app);
            return;
        case Command::Next:
        case Command::Back:
            NextBackMenuCommand(app, command == Command::Next);
            return;
        case Command::Mute:
            MuteCommand(app);
            return;
        case Command::VolumeUp:
        case Command::VolumeDown:
            VolumeStepCommand(app, command == Command::VolumeUp ? kVolumeStep : -kVolumeStep);
            return;
        case Command::RevealNowPlaying:
            RevealNowPlayingCommand(app);
            return;
        case Command::LoopTune:
            ToggleLoopTune(*app.playerContext);
            return;
        case Command::LoopPlaylist:
            ToggleLoopPlaylist(*app.playerContext);
            return;
        case Command::AllTunes:
            AllTunesCommand(app);
            return;
        case Command::TuneBased:
            SeedListCommand(app, SeedCommand::TuneBased);
            return;
        case Command::MoreFromArtist:
            SeedListCommand(app, SeedCommand::MoreFromArtist);
            return;
        case Command::MoreFromAlbum:
            SeedListCommand(app, SeedCommand::MoreFromAlbum);
            return;
        case Command::MoreFromGenre:
            SeedListCommand(app, SeedCommand::MoreFromGenre);
            return;
        case Command::SurpriseMe:
            SurpriseMeCommand(app);
            return;
        case Command::LastAdded:
            LastAddedCommand(app);
            return;
        case Command::MoodJourney:
            MoodJourneyCommand(app);
            return;
        case Command::PlayButton:
            PlayButtonCommand(app);
            return;
        case Command::BackButton:
        case Command::ForwardButton:
            NextBackButtonCommand(app, command == Command::ForwardButton);
            return;
        case Command::GenrePopup:
            MoodByGenreCommand(app, app.window->PopupItem(), app.window->PopupMood());
            return;
        case Command::Search:
            SearchCommand(app);
            return;
        case Command::TuneBasedButton:
            SeedListCommand(app, SeedCommand::TuneBased, false);
            return;
        case Command::SendSheetSend:
            SendSheetSend(app);
            return;
        case Command::SendSheetCancel:
            CloseSendSheet(app);
            return;
        case Command::JourneySheetOk:
            JourneySheetOk(app);
            return;
        case Command::JourneySheetCancel:
            CloseJourneySheet(app);
            return;
        case Command::StopAdding:
            StopAdding(app);
            return;
        case Command::WelcomeYes:
            app.AutoImportChoice = ImportChoice::Yes;
            return;
        case Command::WelcomeNo:
            app.AutoImportChoice = ImportChoice::No;
            return;
        case Command::WelcomeContinue:
            CloseWelcomeSheet(app);
            return;
        case Command::AboutDone:
            CloseAboutWindow(app);
            return;
        case Command::None:
        case Command::SetArtistGenre:
        case Command::SetAlbumGenre:
        case Command::SetMood:
        case Command::SetMoodAsMeasured:
        case Command::MoodPlaylist:
        case Command::MoodByGenre:
        case Command::ColourButton:
            return;
    }
}

}  // namespace

void HandleMenuCommand(App& app, int16_t menu, int16_t item) {
    if (app.ending || app.saving) {
        return;
    }
    switch (const Command command = MenuCommandAt(menu, item)) {
        case Command::MoodPlaylist:
            MoodPlaylistCommand(app, item - kFirstMoodPlaylistItem + 1);
            return;
        case Command::MoodByGenre:
            MoodByGenreCommand(app, menu - kFirstGenreItemMenuOffset, item);
            return;
        case Command::SetArtistGenre:
        case Command::SetAlbumGenre:
            SetGenreCommand(app, command == Command::SetArtistGenre, item);
            return;
        case Command::SetMood:
        case Command::SetMoodAsMeasured:
            SetMoodCommand(app, command == Command::SetMood ? item : 0);
            return;
        default:
            Run(app, command);
            return;
    }
}

void HandleControlEvent(App& app, ControlEventKind kind, int32_t id) {
    if (app.ending || app.saving) {
        return;
    }
    switch (kind) {
        case ControlEventKind::WindowClose:
            QuitCommand(app);
            return;
        case ControlEventKind::ValueChanged:
            VolumeSliderMoved(app);
            return;
        case ControlEventKind::Hit:
            break;
    }
    const Command command = ControlCommand(id);
    if (command == Command::ColourButton) {
        ColourButtonCommand(app, id);
        return;
    }
    Run(app, command);
}

}  // namespace harmovia
