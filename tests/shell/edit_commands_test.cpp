#include <gtest/gtest.h>

#include "library/library_file.h"
#include "shell/commands.h"
#include "shell/menu_table.h"
#include "shell/tune_list.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/test_audio.h"

namespace harmovia::test {
namespace {

const std::vector<Tune> kTunes = {
    {"One", "Cleo", "First", "3:00", "Rock", 3, 4},
    {"Two", "Cleo", "Carols", "3:00", "Holiday", 3, 4},
    {"Three", "Cleo", "Film", "3:00", "Soundtrack", 3, 4},
    {"Four", "Dora", "First", "3:00", "Jazz", 7, 4},
    {"Five", "Unknown", "Unknown", "3:00", "Pop", 9, 4},
};

std::vector<std::string> Genres(const Library& library) {
    std::vector<std::string> genres;
    for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
        genres.emplace_back(library[slot].Genre.view());
    }
    return genres;
}

TEST(EditCommands, SetGenreKeepsHolidayAndSoundtrackOnlyForTheArtistAndRefusesUnknown) {
    struct Case {
        int16_t menu;
        int32_t row;  // All Tunes is in library order
        std::vector<std::string> genres;
        std::string alert;
    };
    // Genre item 2 of the menus is "Blues" (item 1 "Alternative Rock").
    const Case cases[] = {
        {kArtistGenreMenu, 1, {"Blues", "Holiday", "Soundtrack", "Jazz", "Pop"}, ""},
        {kAlbumGenreMenu, 1, {"Blues", "Holiday", "Soundtrack", "Blues", "Pop"}, ""},
        {kArtistGenreMenu,
         5,
         {"Rock", "Holiday", "Soundtrack", "Jazz", "Pop"},
         "Unknown Artist Error"},
        {kAlbumGenreMenu,
         5,
         {"Rock", "Holiday", "Soundtrack", "Jazz", "Pop"},
         "Unknown Album Error"},
        {kAlbumGenreMenu, 0, {"Rock", "Holiday", "Soundtrack", "Jazz", "Pop"}, "Nothing Selected"},
    };
    for (const Case& c : cases) {
        StartedApp started(kTunes);
        App& app = started.app;
        app.view->SelectedRow = c.row;
        HandleMenuCommand(app, c.menu, 2);
        EXPECT_EQ(Genres(*app.library), c.genres) << c.menu << " row " << c.row;
        EXPECT_EQ(app.view->List[1].Genre.view(), c.genres[0]);
        EXPECT_EQ((*app.library)[1].GenreCategory.view(), c.genres[0] == "Blues" ? "Blues" : "");
        if (c.alert.empty()) {
            EXPECT_TRUE(started.notices.alerts.empty());
        } else {
            ASSERT_EQ(started.notices.alerts.size(), 1U);
            EXPECT_EQ(started.notices.alerts[0].title, c.alert);
        }
    }
}

TEST(EditCommands, CheckMarkAllAndUncheckAllReachTheListAndTheLibrary) {
    StartedApp started(kTunes);
    App& app = started.app;
    for (const bool checked : {false, true}) {
        HandleMenuCommand(app, kEditMenu, checked ? 10 : 11);
        for (int32_t row = 1; row <= 5; ++row) {
            EXPECT_EQ(app.view->List[row].Checked, checked ? 1 : 0);
            EXPECT_EQ((*app.library)[row].Checked, checked ? 1 : 0);
        }
    }
    app.view->List.ViewCount = 0;
    HandleMenuCommand(app, kEditMenu, 11);
    ASSERT_EQ(started.notices.alerts.size(), 1U);
    EXPECT_EQ(started.notices.alerts[0].message, "There are no tunes in the list to uncheck-mark.");
}

TEST(EditCommands, DeleteRefusesThePlayingTuneAndKeepsTheOtherRowsInStep) {
    testing::TempFolder folder;
    const auto audio = testing::MakeTestAudio(folder.path() / "tune.mp3", {.seconds = 2.0});
    StartedApp started(kTunes, true, audio);
    App& app = started.app;
    app.view->SelectedRow = 2;
    HandleControlEvent(app, ControlEventKind::Hit, kPlayButton);
    app.eventHook();
    ASSERT_EQ(app.player->NowPlayingIndex, 2);

    started.notices.beeps = 0;
    HandleMenuCommand(app, kEditMenu, 13);  // the playing tune
    EXPECT_EQ(started.notices.beeps, 1);
    EXPECT_EQ(app.library->TuneCount, 5);

    app.view->SelectedRow = 1;  // above the playing tune
    HandleMenuCommand(app, kEditMenu, 13);
    EXPECT_EQ(app.library->TuneCount, 4);
    EXPECT_EQ(app.view->List.ViewCount, 4);
    EXPECT_EQ(app.player->NowPlayingList.ViewCount, 4);
    EXPECT_EQ(app.player->NowPlayingIndex, 1);  // still "Two"
    EXPECT_EQ(app.player->NowPlayingList[1].Title.view(), "Two");
    EXPECT_EQ(app.view->SelectedRow, 1);  // the playing list selects the playing tune
    const TuneListModel& model = app.window->Model();
    ASSERT_EQ(model.rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(model.TextAt(row, 3).toStdString(),
                  std::string(app.view->List[model.ViewRowAt(row)].Title.view()));
        EXPECT_EQ(app.view->List[row + 1].Title.view(), (*app.library)[row + 1].Title.view());
    }
    Library saved;
    DiskFileSystem files;
    ASSERT_EQ(LoadLibrary(saved, files, started.folder).error, kNoErr);
    EXPECT_EQ(saved.TuneCount, 4);
}

}  // namespace
}  // namespace harmovia::test
