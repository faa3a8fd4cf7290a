#include "shell/commands.h"

#include <QApplication>
#include <QDialog>

#include "browse/seed_views.h"
#include "player/player_requests.h"
#include "shell/add_session.h"
#include "shell/app_state.h"
#include "shell/edit_commands.h"
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

constexpr int16_t kCloseWindowAndQuitItem = 8;
constexpr int16_t kLastStandardEditItem = 8;
constexpr int32_t kWelcomeContinue = 4402;
constexpr int32_t kWelcomeYes = 4404;
constexpr int32_t kWelcomeNo = 4405;
constexpr int16_t kFirstGenreItemMenuOffset = 167;  // submenu 169 is genre item 2
constexpr int kVolumeStep = 10;

void FileCommand(App& app, int16_t item) {
    switch (item) {
        case 1:
        case 2:
            AddTunesCommand(app, item == 2);
            return;
        case 4:
            RevealSelectedTuneCommand(app);
            return;
        case 6:
            SendPlaylistCommand(app);
            return;
        case kCloseWindowAndQuitItem:
            // Another window in front (the About window) is not the one being closed; the
            // main window's sheets are part of it.
            if (QWidget* front = QApplication::activeWindow();
                front != nullptr && front != app.window.get() && front->windowType() != Qt::Sheet) {
                app.notices->Beep(1);
                return;
            }
            QuitCommand(app);
            return;
        default:
            return;
    }
}

void EditCommand(App& app, int16_t item) {
    switch (item) {
        case 10:
        case 11:
            SetAllCheckedCommand(app, item == 10);
            return;
        case 13:
            DeleteTuneCommand(app);
            return;
        default:
            return;
    }
}

void PlayerCommand(App& app, int16_t item) {
    switch (item) {
        case kPlayItem:
            PlayMenuCommand(app);
            return;
        case kNextItem:
        case kBackItem:
            NextBackMenuCommand(app, item == kNextItem);
            return;
        case kMuteItem:
            MuteCommand(app);
            return;
        case kVolumeUpItem:
        case kVolumeDownItem:
            VolumeStepCommand(app, item == kVolumeUpItem ? kVolumeStep : -kVolumeStep);
            return;
        case kRevealNowPlayingItem:
            RevealNowPlayingCommand(app);
            return;
        default:
            return;
    }
}

void PlaylistsCommand(App& app, int16_t item) {
    constexpr int16_t kLastMoodItem = kFirstMoodPlaylistItem + 8;
    if (item >= kFirstMoodPlaylistItem && item <= kLastMoodItem) {
        MoodPlaylistCommand(app, item - kFirstMoodPlaylistItem + 1);
        return;
    }
    switch (item) {
        case 1:
            AllTunesCommand(app);
            return;
        case 15:
            SeedListCommand(app, SeedCommand::TuneBased);
            return;
        case 17:
            SeedListCommand(app, SeedCommand::MoreFromArtist);
            return;
        case 18:
            SeedListCommand(app, SeedCommand::MoreFromAlbum);
            return;
        case 19:
            SeedListCommand(app, SeedCommand::MoreFromGenre);
            return;
        case 21:
            SurpriseMeCommand(app);
            return;
        case 23:
            LastAddedCommand(app);
            return;
        default:
            return;
    }
}

void CloseWelcomeSheet(App& app) {
    if (QDialog* sheet = app.window->WelcomeSheet()) {
        sheet->accept();
    }
    for (int16_t menu = kFileMenu; menu <= kPlayerMenu; ++menu) {
        app.menus->SetMenuItem(menu, 0, kItemEnabled);
    }
    app.window->raise();
    if (app.AutoImportChoice == 1) {
        app.AutoImportChoice = 0;
        StartAdd(app, std::nullopt);
    }
}

}  // namespace

void HandleMenuCommand(App& app, int16_t menu, int16_t item) {
    if (app.ending) {
        return;
    }
    if (menu >= kFirstGenreMoodMenu && menu <= kLastGenreMoodMenu) {
        MoodByGenreCommand(app, menu - kFirstGenreItemMenuOffset, item);
        return;
    }
    switch (menu) {
        case kAppMenu:
            if (item == 1) {
                ShowAboutWindow(app, app.window.get());
            }
            return;
        case kFileMenu:
            FileCommand(app, item);
            return;
        case kEditMenu:
            if (item > kLastStandardEditItem) {  // the standard items act on the text field
                EditCommand(app, item);
            }
            return;
        case kPlaylistsMenu:
            PlaylistsCommand(app, item);
            return;
        case kPlayerMenu:
            PlayerCommand(app, item);
            return;
        case kArtistGenreMenu:
        case kAlbumGenreMenu:
            SetGenreCommand(app, menu == kArtistGenreMenu, item);
            return;
        case kLoopMenu:
            if (item == 1) {
                ToggleLoopTune(*app.playerContext);
            } else if (item == 2) {
                ToggleLoopPlaylist(*app.playerContext);
            }
            return;
        default:
            return;
    }
}

void HandleControlEvent(App& app, ControlEventKind kind, int32_t id) {
    if (app.ending) {
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
    if (id >= kFirstColourButton && id <= kLastColourButton) {
        ColourButtonCommand(app, id);
        return;
    }
    switch (id) {
        case kPlayButton:
            PlayButtonCommand(app);
            return;
        case kBackButton:
        case kForwardButton:
            NextBackButtonCommand(app, id == kForwardButton);
            return;
        case kGenrePopup:
            MoodByGenreCommand(app, app.window->PopupItem(), app.window->PopupMood());
            return;
        case kSearchField:
            SearchCommand(app);
            return;
        case 1008:
            SeedListCommand(app, SeedCommand::TuneBased, false);
            return;
        case 1007:
            SendPlaylistCommand(app);
            return;
        case kSendButton:
            SendSheetSend(app);
            return;
        case kSendCancelButton:
            CloseSendSheet(app);
            return;
        case 1009:
            AddTunesCommand(app, true);
            return;
        case kStopAddingButton:
            app.StopAddingRequest = true;
            if (app.adding) {
                app.adding->RequestStop();
            }
            return;
        case kWelcomeYes:
            app.AutoImportChoice = 1;
            return;
        case kWelcomeNo:
            app.AutoImportChoice = 2;
            return;
        case kWelcomeContinue:
            CloseWelcomeSheet(app);
            return;
        case kAboutDoneButton:
            if (auto* about =
                    app.window->findChild<QDialog*>(QStringLiteral("window%1").arg(kAboutWindow))) {
                about->close();
            }
            app.window->raise();
            return;
        default:
            return;
    }
}

}  // namespace harmovia
