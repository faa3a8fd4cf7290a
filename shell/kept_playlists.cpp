#include "shell/kept_playlists.h"

#include <string>

#include "export/mood_playlists.h"
#include "library/mac_roman.h"
#include "library/preferences_file.h"
#include "shell/app_state.h"
#include "shell/menu_table.h"
#include "shell/qt_menu_bar.h"

namespace harmovia {
namespace {

constexpr int kNoticeMilliseconds = 2000;
constexpr const char* kNotSavedTitle = "Mood Playlists Not Saved";
constexpr const char* kNotSavedNotice = "Mood playlists not saved.";

// Tells a failed write: the first of a run of failures in an alert with its reason, the
// ones that follow (every delete on a full disk) in a notice that asks for nothing.
void Tell(App& app, const std::optional<MoodPlaylistsReport>& report) {
    const bool failed = report && report->failed > 0;
    if (failed && !app.moodPlaylistsFailing) {
        app.notices->ShowAlert({kNotSavedTitle, Utf8ToMacRoman(MoodPlaylistsProblem(*report)),
                                "Okay", AlertIcon::Caution});
    } else if (failed) {
        app.notices->ShowOverlayNotice(kNotSavedNotice, 0);
        app.notices->WaitMilliseconds(kNoticeMilliseconds);
        app.notices->CloseOverlay();
    }
    app.moodPlaylistsFailing = failed;
}

}  // namespace

void ShowKeepMoodPlaylistsItem(App& app) {
    const MenuPlace place = MenuPlaceOf(Command::KeepMoodPlaylists);
    app.menus->SetMenuItem(place.menu, place.item,
                           KeepsMoodPlaylists(app.preferences) ? kItemChecked : kItemEnabled);
}

void ToggleKeepMoodPlaylists(App& app) {
    const bool keep = !KeepsMoodPlaylists(app.preferences);
    SetKeepsMoodPlaylists(app.preferences, keep);
    ShowKeepMoodPlaylistsItem(app);
    app.moodPlaylistsFailing = false;  // a new start: a failure now is told in full
    RewriteKeptMoodPlaylists(app);
    if (const OsError error = SavePreferences(app.preferences, *app.files, app.folder);
        error != kNoErr) {
        app.notices->ShowAlert({"Harmovia Could Not Save",
                                "Your settings could not be written (error " +
                                    std::to_string(error) +
                                    "). The choice holds until Harmovia quits.",
                                "Okay", AlertIcon::Stop});
    }
}

void RewriteKeptMoodPlaylists(App& app) {
    Tell(app, KeepMoodPlaylists(app.preferences, *app.library, app.musicFolder, *app.files));
}

}  // namespace harmovia
