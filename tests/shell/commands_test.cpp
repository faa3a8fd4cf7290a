#include "shell/commands.h"

#include <QSlider>

#include <gtest/gtest.h>

#include "browse/mood_views.h"
#include "tests/shell/shell_test_support.h"

namespace harmovia::test {
namespace {

using Command = std::pair<int16_t, int32_t>;  // menu (0: a control click) and item

void RunCommand(App& app, const Command& c) {
    c.first == 0 ? HandleControlEvent(app, ControlEventKind::Hit, c.second)
                 : HandleMenuCommand(app, c.first, static_cast<int16_t>(c.second));
}

TEST(Commands, AnEmptyLibraryBeepsThreeTimesForEveryListAndPlayerCommand) {
    const std::pair<int16_t, std::vector<int32_t>> cases[] = {
        {kPlaylistsMenu, {1, 15, 17, 18, 19, 21, 23}},
        {kPlayerMenu, {1, 3, 4, 12}},
        {0, {9001, 9005, 9011, 1008, kPlayButton, kForwardButton}},
    };
    StartedApp started({});
    for (const auto& [menu, items] : cases) {
        for (const int32_t item : items) {
            const int before = started.notices.beeps;
            RunCommand(started.app, {menu, item});
            EXPECT_EQ(started.notices.beeps - before, 3) << menu << "/" << item;
        }
    }
    EXPECT_TRUE(started.notices.said.empty());
    EXPECT_EQ(started.app.player->PlayRequest, 0);
}

TEST(Commands, ListCommandsShowTheirListAndPlayFromRowOneOrOnlySayWhyNot) {
    // The command, the row selected, then the list shown, whether it plays, what is said.
    const std::tuple<Command, int32_t, uint16_t, bool, std::string> cases[] = {
        {{0, 9004}, 1, 13, true, ""},
        {{kPlaylistsMenu, 9}, 1, 17, true, ""},
        {{kFirstGenreMoodMenu + 1, 1}, 1, kModeMoodByGenre, true, ""},  // Blues, mood 1
        {{kPlaylistsMenu, 15}, 1, kModeTuneBased, true, ""},
        {{kPlaylistsMenu, 17}, 1, kModeMoreFromArtist, true, ""},
        {{kPlaylistsMenu, 21}, 1, kModeTuneBased, true, ""},
        {{0, 1008}, 1, kModeTuneBased, true, ""},
        {{kPlaylistsMenu, 1}, 1, kModeAllTunes, false, ""},
        {{kPlaylistsMenu, 23}, 1, kModeLastAdded, false, ""},
        {{0, 9003}, 2, kModeAllTunes, false, std::string(EmptyMoodButtonNotice(2).view())},
        {{kPlaylistsMenu, 4}, 2, kModeAllTunes, false, "No Cool Blue Chill tunes..."},
        {{kFirstGenreMoodMenu + 1, 3}, 2, kModeAllTunes, false, "No tunes found..."},
        {{kPlaylistsMenu, 19}, 0, kModeAllTunes, false, "No Tune Selected"},
    };
    for (const auto& [command, selected, mode, plays, said] : cases) {
        SCOPED_TRACE(::testing::Message() << command.first << "/" << command.second);
        StartedApp started(kTunes, true, true);
        App& app = started.app;
        const uint64_t stamp = app.view->ViewStamp;
        app.view->SelectedRow = selected;
        RunCommand(app, command);
        app.eventHook();
        EXPECT_EQ(app.view->ViewMode, mode);
        EXPECT_EQ(app.player->IsPlaying, plays ? 1 : 0);
        EXPECT_EQ(started.notices.said,
                  said.empty() ? std::vector<std::string>{} : std::vector{said});
        EXPECT_EQ(started.notices.beeps, said.empty() ? 0 : 1);
        if (plays) {
            EXPECT_EQ(std::tuple(app.view->SelectedRow, app.player->NowPlayingIndex,
                                 app.player->NowPlayingStamp),
                      std::tuple(1, 1, app.view->ViewStamp));
        } else if (!said.empty()) {  // the list on screen stays
            EXPECT_EQ(std::tuple(app.view->ViewStamp, app.view->SelectedRow),
                      std::tuple(stamp, selected));
        }
    }
}

TEST(Commands, PlayerMenuAndControlsPlayStopMuteLoopRevealAndSetTheVolume) {
    StartedApp started(kTunes, true, true);
    App& app = started.app;
    auto* slider = qobject_cast<QSlider*>(app.window->Control(kVolumeSlider));
    // From, item, to.
    for (const auto& [from, item, to] :
         {std::tuple{725, kVolumeUpItem, 730}, std::tuple{730, kVolumeUpItem, 730},
          std::tuple{5, kVolumeDownItem, 0}, std::tuple{300, kVolumeDownItem, 290}}) {
        app.preferences.Volume = static_cast<int16_t>(from);
        HandleMenuCommand(app, kPlayerMenu, item);
        EXPECT_EQ(app.preferences.Volume, to) << from;
        EXPECT_EQ(slider->value(), to);
    }
    for (const int16_t item : {1, 2}) {  // each loop item marks itself and unmarks the other
        HandleMenuCommand(app, kLoopMenu, item);
        EXPECT_EQ(std::pair(app.menus->Item(kLoopMenu, 1)->isChecked(),
                            app.menus->Item(kLoopMenu, 2)->isChecked()),
                  std::pair(item == 1, item == 2));
    }
    HandleMenuCommand(app, kPlayerMenu, kMuteItem);  // nothing loaded
    EXPECT_EQ(app.player->Muted, 0);
    QTableView& list = *app.window->TuneList();
    emit list.doubleClicked(list.model()->index(2, 0));
    app.eventHook();
    ASSERT_EQ(app.player->IsPlaying, 1);
    EXPECT_EQ(app.player->NowPlayingIndex, app.window->Model().ViewRowAt(2));
    slider->setValue(400);
    EXPECT_EQ(app.preferences.Volume, 400);
    EXPECT_GT(app.player->AppliedVolume, 0);
    // The space bar pauses inside the tune and plays on; the search field keeps its spaces.
    app.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app.window.get()));
    for (const bool paused : {true, false}) {
        QTest::keyClick(app.window->TuneList(), Qt::Key_Space);
        app.eventHook();
        EXPECT_EQ(std::tuple(app.player->Paused, app.player->IsPlaying), std::tuple(paused, 1));
    }
    QTest::keyClick(app.window->Control(kSearchField), Qt::Key_Space);
    app.eventHook();
    EXPECT_FALSE(app.player->Paused);
    for (const uint16_t muted : {1, 0, 1}) {
        HandleMenuCommand(app, kPlayerMenu, kMuteItem);
        EXPECT_EQ(app.player->Muted, muted);
        EXPECT_EQ(app.menus->Item(kPlayerMenu, kMuteItem)->isChecked(), muted == 1);
    }
    HandleMenuCommand(app, kPlaylistsMenu, 1);  // another list on screen
    HandleMenuCommand(app, kPlayerMenu, kRevealNowPlayingItem);
    EXPECT_EQ(std::tuple(app.view->SelectedRow, app.view->ViewStamp),
              std::tuple(app.player->NowPlayingIndex, app.player->NowPlayingStamp));
    QWidget* button = app.window->Control(kPlayButton);
    QTest::mouseClick(button, Qt::LeftButton);
    app.eventHook();
    EXPECT_EQ(app.player->IsPlaying, 0);
    EXPECT_EQ(app.menus->Item(kPlayerMenu, kPlayItem)->text(), QStringLiteral("Play"));
    HandleMenuCommand(app, kPlayerMenu, kRevealNowPlayingItem);
    EXPECT_EQ(started.notices.said, std::vector<std::string>{"Nothing Playing"});
    QTest::mouseClick(button, Qt::LeftButton);
    app.eventHook();
    EXPECT_EQ(app.player->IsPlaying, 1);
    EXPECT_EQ(app.menus->Item(kPlayerMenu, kPlayItem)->text(), QStringLiteral("Stop Playing"));
}

const std::vector<Tune> kArtistTunes = {
    {"One", "Cleo", "First", "3:00", "Rock", 3, 4},
    {"Two", "Cleo", "Carols", "3:00", "Holiday", 3, 4},
    {"Three", "Cleo", "Film", "3:00", "Soundtrack", 3, 4},
    {"Four", "Dora", "First", "3:00", "Jazz", 7, 4},
    {"Five", "Unknown", "Unknown", "3:00", "Pop", 9, 4},
};

TEST(EditCommands, SetGenreKeepsHolidayAndSoundtrackForTheArtistAndCheckMarksReachTheLibrary) {
    const std::vector<std::string> unchanged = {"Rock", "Holiday", "Soundtrack", "Jazz", "Pop"};
    // Menu, row selected (All Tunes is in library order), genres after choosing item 2, "Blues".
    const std::tuple<int16_t, int32_t, std::vector<std::string>, std::string> cases[] = {
        {kArtistGenreMenu, 1, {"Blues", "Holiday", "Soundtrack", "Jazz", "Pop"}, ""},
        {kAlbumGenreMenu, 1, {"Blues", "Holiday", "Soundtrack", "Blues", "Pop"}, ""},
        {kArtistGenreMenu, 5, unchanged, "Unknown Artist Error"},
        {kAlbumGenreMenu, 5, unchanged, "Unknown Album Error"},
        {kAlbumGenreMenu, 0, unchanged, "Nothing Selected"},
    };
    for (const auto& [menu, row, expected, alert] : cases) {
        SCOPED_TRACE(::testing::Message() << menu << " row " << row);
        StartedApp started(kArtistTunes);
        App& app = started.app;
        app.view->SelectedRow = row;
        HandleMenuCommand(app, menu, 2);
        std::vector<std::string> genres;
        for (int32_t slot = 1; slot <= app.library->TuneCount; ++slot) {
            genres.emplace_back((*app.library)[slot].Genre.view());
        }
        EXPECT_EQ(genres, expected);
        EXPECT_EQ(app.view->List[1].Genre.view(), expected[0]);
        EXPECT_EQ((*app.library)[1].GenreCategory.view(), expected[0]);
        EXPECT_EQ(started.notices.said,
                  alert.empty() ? std::vector<std::string>{} : std::vector{alert});
    }

    StartedApp started(kArtistTunes);
    App& app = started.app;
    for (const bool checked : {false, true}) {
        HandleMenuCommand(app, kEditMenu, checked ? 10 : 11);
        for (int32_t row = 1; row <= 5; ++row) {
            EXPECT_EQ(app.view->List[row].Checked, checked ? 1 : 0);
            EXPECT_EQ((*app.library)[row].Checked, checked ? 1 : 0);
        }
    }
}

TEST(EditCommands, DeleteRefusesThePlayingTuneAndKeepsTheOtherRowsInStep) {
    StartedApp started(kArtistTunes, true, true);
    App& app = started.app;
    app.view->SelectedRow = 2;
    HandleControlEvent(app, ControlEventKind::Hit, kPlayButton);
    app.eventHook();
    ASSERT_EQ(app.player->NowPlayingIndex, 2);
    HandleMenuCommand(app, kEditMenu, 13);  // the playing tune
    EXPECT_EQ(std::pair(started.notices.beeps, app.library->TuneCount), std::pair(1, 5));
    app.view->SelectedRow = 1;  // above the playing tune
    HandleMenuCommand(app, kEditMenu, 13);
    // Still playing "Two", now row 1, which the playing list on screen selects.
    EXPECT_EQ(std::tuple(app.library->TuneCount, app.view->List.ViewCount,
                         app.player->NowPlayingList.ViewCount, app.player->NowPlayingIndex,
                         app.view->SelectedRow),
              std::tuple(4, 4, 4, 1, 1));
    EXPECT_EQ(app.player->NowPlayingList[1].Title.view(), "Two");
    const TuneListModel& model = app.window->Model();
    ASSERT_EQ(model.rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(model.TextAt(row, 3).toStdString(),
                  std::string(app.view->List[model.ViewRowAt(row)].Title.view()));
        EXPECT_EQ(app.view->List[row + 1].Title.view(), (*app.library)[row + 1].Title.view());
    }
    EXPECT_EQ(started.LibraryBytes().size(), 4 * kTuneRecordSize);  // saved at once
}

}  // namespace
}  // namespace harmovia::test
