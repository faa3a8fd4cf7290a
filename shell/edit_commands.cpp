#include "shell/edit_commands.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QTableView>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <utility>

#include "analysis/mood_by_hand.h"
#include "browse/view_builder.h"
#include "library/genre_table.h"
#include "library/library_file.h"
#include "library/mac_roman_qt.h"
#include "library/tune_identity.h"
#include "shell/app_state.h"
#include "shell/kept_playlists.h"
#include "shell/list_commands.h"
#include "shell/main_window.h"
#include "shell/player_wiring.h"

namespace harmovia {
namespace {

// Removes row `row` of the list; the rows behind it move up so that the list's rows and
// the view's stay in step.
void RemoveRow(ViewList& list, int32_t row) {
    list.Rows.MoveDown(row, list.ViewCount);
    --list.ViewCount;
}

bool IsPlayingList(const App& app) {
    return app.player->CurrentMovie && app.player->NowPlayingStamp == app.view->ViewStamp;
}

void SetGenreIn(TuneRecord& record, std::string_view genre) {
    record.Genre.Set(genre);
    record.GenreCategory.Set(genre);
}

// Writes the library file now, unless it could not be read whole at start; a failure is
// told, with what holds until the program quits.
void SaveEditedLibrary(App& app, std::string_view untilQuit) {
    if (app.libraryUnread) {
        return;
    }
    if (const OsError error = SaveLibrary(*app.library, *app.files, app.folder); error != kNoErr) {
        app.notices->ShowAlert({"Harmovia Could Not Save",
                                "The tunes database could not be written (error " +
                                    std::to_string(error) + "). " + std::string(untilQuit),
                                "Okay", AlertIcon::Stop});
    }
}

}  // namespace

void SetAllCheckedCommand(App& app, bool checked) {
    if (!HasTunes(app)) {
        return;
    }
    ViewState& view = *app.view;
    if (view.List.ViewCount < 1) {
        app.notices->Beep(1);
        app.notices->ShowAlert({"Empty List Error",
                                checked ? "There are no tunes in the list to check-mark."
                                        : "There are no tunes in the list to uncheck-mark.",
                                "Okay"});
        return;
    }
    app.window->raise();
    const uint16_t value = checked ? 1 : 0;
    Library& library = *app.library;
    PlayerState& p = *app.player;
    // The library's tunes are found by their texts, also when the list holds them all: a
    // list of every tune is in its own order, not the library's.
    // Only marks that change are written, and a row whose record is again the same as the
    // library's shares it again, so that checking a whole list costs no copies.
    for (int32_t row = 1; row <= view.List.ViewCount; ++row) {
        const TuneRecord shown = std::as_const(view.List)[row];  // the row may share anew
        if (shown.Checked != value) {
            view.List.Rows.Write(row).Checked = value;
        }
        for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
            if (SameTuneTexts(std::as_const(library)[slot], shown)) {
                if (std::as_const(library)[slot].Checked != value) {
                    library.Slots.Write(slot).Checked = value;
                }
                if (view.List.Rows.Read(row) == library.Slots.Read(slot)) {
                    view.List.Rows.Share(row, library.Slots, slot);
                }
                break;
            }
        }
        for (int32_t i = 1; i <= p.NowPlayingList.ViewCount; ++i) {
            const TuneRecord& playing = std::as_const(p.NowPlayingList)[i];
            if (SameTitleAndAlbum(playing, shown) && playing.Checked != value) {
                p.NowPlayingList.Rows.Write(i).Checked = value;
            }
        }
    }
    app.window->TuneList()->viewport()->update();
}

void DeleteTuneCommand(App& app) {
    Library& library = *app.library;
    ViewState& view = *app.view;
    PlayerState& p = *app.player;
    if (library.TuneCount < 1 || app.AddingTunes) {
        app.notices->Beep(3);
        return;
    }
    const bool loaded = p.CurrentMovie && p.NowPlayingList.HasRow(p.NowPlayingIndex);
    // The playing tune is the one refused, whichever list is on screen.
    if (loaded && view.List.HasRow(view.SelectedRow) &&
        SameTuneTexts(std::as_const(view.List)[view.SelectedRow],
                      std::as_const(p.NowPlayingList)[p.NowPlayingIndex])) {
        app.notices->Beep(1);
        return;
    }
    if (view.SelectedRow < 1 || view.List.ViewCount < 1 || !view.List.HasRow(view.SelectedRow)) {
        HasSelection(app);
        return;
    }
    app.window->raise();
    const bool playingList = IsPlayingList(app);
    const TuneRecord removed = std::as_const(view.List)[view.SelectedRow];
    for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
        if (SameTuneTexts(std::as_const(library)[slot], removed)) {
            RemoveTune(library, slot);
            break;
        }
    }
    RecountMoods(library);
    RemoveRow(view.List, view.SelectedRow);
    RecountViewTotals(view);
    for (int32_t i = 1; i <= p.NowPlayingList.ViewCount; ++i) {
        if (SameTuneTexts(std::as_const(p.NowPlayingList)[i], removed)) {
            RemoveRow(p.NowPlayingList, i);
            // The player stays on the tune it plays.
            if (i < p.NowPlayingIndex) {
                --p.NowPlayingIndex;
            }
            if (i < p.NowPlayingPosition) {
                --p.NowPlayingPosition;
            }
            break;
        }
    }
    view.SelectedRow = playingList ? p.NowPlayingIndex : view.SelectedRow - 1;
    app.window->RefreshList();
    app.window->SelectListRow(view.SelectedRow);
    app.playing = {};
    ShowPlayingMark(app);
    SaveEditedLibrary(app, "The tune is removed until Harmovia quits.");
    RewriteKeptMoodPlaylists(app);
}

void SetMoodCommand(App& app, int32_t mood) {
    Library& library = *app.library;
    if (library.TuneCount < 1 || app.AddingTunes) {
        app.notices->Beep(3);
        return;
    }
    ViewState& view = *app.view;
    if (!view.List.HasRow(view.SelectedRow)) {
        HasSelection(app);
        return;
    }
    const TuneRecord selected = std::as_const(view.List)[view.SelectedRow];
    int32_t slot = 1;
    while (slot <= library.TuneCount && !SameRecord(std::as_const(library)[slot], selected)) {
        ++slot;
    }
    if (slot > library.TuneCount) {
        app.notices->Beep(1);
        return;
    }
    TuneRecord& chosen = library.Slots.Write(slot);
    switch (ChooseMood(chosen, mood)) {
        case MoodChoice::Unchanged:
            return;
        case MoodChoice::NotMeasured:
            app.notices->Beep(1);
            app.notices->ShowAlert({"No Measured Mood",
                                    "This tune's record holds no measured mood to come back to, "
                                    "so its mood cannot be set by hand.",
                                    "Okay"});
            return;
        case MoodChoice::Changed:
            break;
    }
    // Every copy of the tune follows: the list's and the playing list's.
    for (int32_t row = 1; row <= view.List.ViewCount; ++row) {
        if (SameRecord(std::as_const(view.List)[row], chosen)) {
            CopyChosenMood(chosen, view.List.Rows.Write(row));
        }
    }
    PlayerState& p = *app.player;
    for (int32_t i = 1; i <= p.NowPlayingList.ViewCount; ++i) {
        if (SameRecord(std::as_const(p.NowPlayingList)[i], chosen)) {
            CopyChosenMood(chosen, p.NowPlayingList.Rows.Write(i));
        }
    }
    RecountMoods(library);
    app.window->TuneList()->viewport()->update();
    SaveEditedLibrary(app, "The mood is set until Harmovia quits.");
    RewriteKeptMoodPlaylists(app);
}

void SetGenreCommand(App& app, bool forArtist, int16_t item) {
    if (!HasTunes(app) || item < 1 || item >= kGenreMenuCount) {
        return;
    }
    ViewState& view = *app.view;
    if (!view.List.HasRow(view.SelectedRow)) {
        app.notices->Beep(1);
        app.notices->ShowAlert(
            {"Nothing Selected", "You must select an artist to use this feature.", "Okay"});
        return;
    }
    const TuneRecord selected = std::as_const(view.List)[view.SelectedRow];
    const std::string_view key = forArtist ? selected.Artist.view() : selected.Album.view();
    if (key == "Unknown") {
        app.notices->ShowAlert(
            forArtist
                ? Alert{"Unknown Artist Error",
                        "Sorry, you cannot batch change the genre of unknown artists.", "Okay"}
                : Alert{"Unknown Album Error",
                        "Sorry, you cannot batch change the genre of unknown albums.", "Okay"});
        return;
    }
    const std::string_view genre = GenreMenuList[static_cast<size_t>(item)];
    // Only the records that change are written: a write makes a shared record a copy.
    const auto change = [&](RecordRows& records, int32_t at) {
        const TuneRecord& record = records.Read(at);
        if ((forArtist ? record.Artist.view() : record.Album.view()) != key) {
            return;
        }
        const std::string_view old = record.Genre.view();
        if (forArtist && (old == "Holiday & Seasonal" || old == "Holiday" || old == "Soundtrack")) {
            return;
        }
        SetGenreIn(records.Write(at), genre);
    };
    for (int32_t slot = 1; slot <= app.library->TuneCount; ++slot) {
        change(app.library->Slots, slot);
    }
    for (int32_t row = 1; row <= view.List.ViewCount; ++row) {
        change(view.List.Rows, row);
    }
    PlayerState& p = *app.player;
    for (int32_t i = 1; i <= p.NowPlayingList.ViewCount; ++i) {
        change(p.NowPlayingList.Rows, i);
    }
    const int32_t row = view.SelectedRow;
    app.window->RefreshList();
    app.window->SelectListRow(row);
    view.SelectedRow = row;
}

void RevealSelectedTuneCommand(App& app) {
    if (!HasTunes(app) || !HasSelection(app) || !app.view->List.HasRow(app.view->SelectedRow)) {
        return;
    }
    const std::filesystem::path file(
        std::as_const(app.view->List)[app.view->SelectedRow].Location.view());
    std::error_code error;
    if (file.empty() || !std::filesystem::exists(file, error)) {
        app.notices->Beep(1);
        return;
    }
    const QUrl url = QUrl::fromLocalFile(FromMacRoman(file.string()));
    if (QDBusConnection bus = QDBusConnection::sessionBus(); bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"),
            QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{url.toString()} << QString();
        if (bus.call(call, QDBus::Block, 3000).type() == QDBusMessage::ReplyMessage) {
            return;
        }
    }
    const QUrl folder = QUrl::fromLocalFile(FromMacRoman(file.parent_path().string()));
    if (!QDesktopServices::openUrl(folder)) {
        app.notices->Beep(1);
    }
}

}  // namespace harmovia
