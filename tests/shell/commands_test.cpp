#include "shell/commands.h"

#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "browse/mood_views.h"
#include "shell/menu_table.h"
#include "shell/qt_menu_bar.h"
#include "shell/tune_list.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/test_audio.h"

namespace harmovia::test {
namespace {

const std::vector<Tune>& kTunes = kFourTunes;

struct Command {
    int16_t menu;  // 0: a control click of `item`
    int32_t item;
};

void RunCommand(App& app, const Command& c) {
    if (c.menu == 0) {
        HandleControlEvent(app, ControlEventKind::Hit, c.item);
    } else {
        HandleMenuCommand(app, c.menu, static_cast<int16_t>(c.item));
    }
}

// A program whose tunes all play one short real file, silently and as fast as it decodes.
struct PlayingApp {
    PlayingApp()
        : audio(testing::MakeTestAudio(folder.path() / "tune.mp3", {.seconds = 2.0})),
          started(kTunes, true, audio) {}
    App& app() { return started.app; }
    void Tick(int times = 1) {
        for (int i = 0; i < times; ++i) {
            started.app.eventHook();
        }
    }
    testing::TempFolder folder;
    std::filesystem::path audio;
    StartedApp started;
};

TEST(Commands, AnEmptyLibraryBeepsThreeTimesForEveryListAndPlayerCommand) {
    const Command commands[] = {
        {kPlaylistsMenu, 1},
        {kPlaylistsMenu, 15},
        {kPlaylistsMenu, 17},
        {kPlaylistsMenu, 18},
        {kPlaylistsMenu, 19},
        {kPlaylistsMenu, 21},
        {kPlaylistsMenu, 23},
        {kPlayerMenu, 1},
        {kPlayerMenu, 3},
        {kPlayerMenu, 4},
        {kPlayerMenu, 12},
        {0, 9001},
        {0, 9005},
        {0, 9011},
        {0, 1008},
        {0, kPlayButton},
        {0, kForwardButton},
    };
    StartedApp started({});
    for (const Command& c : commands) {
        started.notices.beeps = 0;
        RunCommand(started.app, c);
        EXPECT_EQ(started.notices.beeps, 3) << c.menu << "/" << c.item;
        EXPECT_TRUE(started.notices.alerts.empty()) << c.menu << "/" << c.item;
        EXPECT_EQ(started.app.player->PlayRequest, 0);
    }
}

TEST(Commands, AMoodWithoutTunesShowsItsNoticeAndNothingElseChanges) {
    struct Case {
        Command command;
        std::string notice;
    };
    const Case cases[] = {
        {{0, 9003}, std::string(EmptyMoodButtonNotice(2).view())},
        {{0, 9009}, std::string(EmptyMoodButtonNotice(8).view())},
        {{kPlaylistsMenu, 4}, "No Cool Blue Chill tunes..."},
        {{kPlaylistsMenu, 10}, "No Dance, Dance, Dance tunes..."},
    };
    StartedApp started(kTunes);
    started.app.view->SelectedRow = 2;
    const uint64_t stamp = started.app.view->ViewStamp;
    for (const Case& c : cases) {
        started.notices.overlays.clear();
        started.notices.beeps = 0;
        RunCommand(started.app, c.command);
        EXPECT_EQ(started.notices.overlays, std::vector<std::string>{c.notice});
        EXPECT_EQ(started.notices.beeps, 1);
        EXPECT_EQ(started.app.view->ViewStamp, stamp);
        EXPECT_EQ(started.app.view->SelectedRow, 2);
        EXPECT_EQ(started.app.player->PlayRequest, 0);
    }
}

TEST(Commands, MoodAndSeedListsPlayFromRowOneWhileAllTunesAndLastAddedOnlyShow) {
    struct Case {
        Command command;
        uint16_t mode;
        bool plays;
    };
    const Case cases[] = {
        {{0, 9004}, 13, true},
        {{kPlaylistsMenu, 9}, 17, true},
        {{kPlaylistsMenu, 15}, kModeTuneBased, true},
        {{kPlaylistsMenu, 17}, kModeMoreFromArtist, true},
        {{kPlaylistsMenu, 21}, kModeTuneBased, true},
        {{0, 1008}, kModeTuneBased, true},
        {{kPlaylistsMenu, 1}, kModeAllTunes, false},
        {{kPlaylistsMenu, 23}, kModeLastAdded, false},
    };
    for (const Case& c : cases) {
        PlayingApp playing;
        App& app = playing.app();
        app.view->SelectedRow = 1;
        RunCommand(app, c.command);
        playing.Tick();
        EXPECT_EQ(app.view->ViewMode, c.mode) << c.command.item;
        EXPECT_EQ(app.player->IsPlaying, c.plays ? 1 : 0) << c.command.item;
        if (c.plays) {
            EXPECT_EQ(app.view->SelectedRow, 1);
            EXPECT_EQ(app.player->NowPlayingIndex, 1);
            EXPECT_EQ(app.player->NowPlayingStamp, app.view->ViewStamp);
            EXPECT_EQ(app.menus->Item(kPlayerMenu, kPlayItem)->text(),
                      QStringLiteral("Stop Playing"));
        }
    }
}

TEST(Commands, MoodByGenrePlaysFromTheMenuAndThePopupOrSaysNoTunesFound) {
    struct Case {
        int16_t menu;  // 0: the pop-up
        int genreItem, mood;
        bool found;
    };
    // Genre item 3 is "Blues", 16 "Jazz"; the tunes' GenreCategory is empty, so only item 1
    // (any genre) finds them.
    const Case cases[] = {
        {kFirstGenreMoodMenu, 2, 3, false},
        {0, 1, 3, true},
        {0, 1, 2, false},
        {kLastGenreMoodMenu, 29, 9, false},
    };
    for (const Case& c : cases) {
        PlayingApp playing;
        App& app = playing.app();
        const uint64_t stamp = app.view->ViewStamp;
        if (c.menu == 0) {
            auto* popup = qobject_cast<QPushButton*>(app.window->Control(kGenrePopup));
            popup->menu()->actions()[c.genreItem - 1]->menu()->actions()[c.mood - 1]->trigger();
        } else {
            HandleMenuCommand(app, c.menu, static_cast<int16_t>(c.mood));
        }
        playing.Tick();
        EXPECT_EQ(app.view->ViewStamp != stamp, c.found) << c.genreItem << "/" << c.mood;
        EXPECT_EQ(app.player->IsPlaying, c.found ? 1 : 0);
        EXPECT_EQ(playing.started.notices.overlays.size(), c.found ? 0U : 1U);
        if (c.found) {
            EXPECT_EQ(app.view->ViewMode, kModeMoodByGenre);
            EXPECT_EQ(app.view->SelectedMood, c.mood);
        }
    }
}

TEST(Commands, ADoubleClickPlaysTheClickedRowAndTheSliderSetsTheVolume) {
    PlayingApp playing;
    App& app = playing.app();
    QTableView& list = *app.window->TuneList();
    emit list.doubleClicked(list.model()->index(2, 0));
    playing.Tick();
    EXPECT_EQ(app.player->IsPlaying, 1);
    EXPECT_EQ(app.player->NowPlayingIndex, app.window->Model().ViewRowAt(2));
    qobject_cast<QSlider*>(app.window->Control(kVolumeSlider))->setValue(400);
    EXPECT_EQ(app.preferences.Volume, 400);
    EXPECT_GT(app.player->AppliedVolume, 0);
}

TEST(Commands, SeedListsWithoutASelectionSayNoTuneSelected) {
    StartedApp started(kTunes);
    const uint64_t stamp = started.app.view->ViewStamp;
    for (const Command& c :
         {Command{kPlaylistsMenu, 15}, Command{kPlaylistsMenu, 17}, Command{kPlaylistsMenu, 18},
          Command{kPlaylistsMenu, 19}, Command{0, 1008}}) {
        started.notices.alerts.clear();
        RunCommand(started.app, c);
        ASSERT_EQ(started.notices.alerts.size(), 1U);
        EXPECT_EQ(started.notices.alerts[0].title, "No Tune Selected");
        EXPECT_EQ(started.app.view->ViewStamp, stamp);
    }
}

TEST(Commands, VolumeStepsByTenAndStopsAtTheEnds) {
    struct Case {
        int16_t from;
        int16_t item;
        int16_t to;
    };
    StartedApp started(kTunes);
    auto* slider = qobject_cast<QSlider*>(started.window().Control(kVolumeSlider));
    for (const Case& c :
         {Case{725, kVolumeUpItem, 730}, Case{730, kVolumeUpItem, 730}, Case{5, kVolumeDownItem, 0},
          Case{300, kVolumeDownItem, 290}, Case{300, kVolumeUpItem, 310}}) {
        started.app.preferences.Volume = c.from;
        HandleMenuCommand(started.app, kPlayerMenu, c.item);
        EXPECT_EQ(started.app.preferences.Volume, c.to) << c.from;
        EXPECT_EQ(slider->value(), c.to);
    }
}

TEST(Commands, LoopItemsExcludeEachOtherAndMuteNeedsATune) {
    StartedApp started(kTunes);
    QtMenuBar& menus = *started.app.menus;
    const auto checked = [&menus](int16_t menu, int16_t item) {
        return menus.Item(menu, item)->isChecked();
    };
    struct Step {
        int16_t item;
        bool tune, playlist;
    };
    for (const Step& s : {Step{1, true, false}, Step{2, false, true}, Step{1, true, false},
                          Step{1, false, false}, Step{2, false, true}, Step{2, false, false}}) {
        HandleMenuCommand(started.app, kLoopMenu, s.item);
        EXPECT_EQ(started.app.player->LoopTune == 1, s.tune);
        EXPECT_EQ(started.app.player->LoopPlaylist == 1, s.playlist);
        EXPECT_EQ(checked(kLoopMenu, 1), s.tune);
        EXPECT_EQ(checked(kLoopMenu, 2), s.playlist);
        EXPECT_EQ(checked(kPlayerMenu, kLoopItem), s.tune || s.playlist);
    }
    HandleMenuCommand(started.app, kPlayerMenu, kMuteItem);  // nothing loaded
    EXPECT_EQ(started.app.player->Muted, 0);
}

TEST(Commands, PlayButtonPlaysAndStopsAndMuteTogglesThePlayingTune) {
    PlayingApp playing;
    App& app = playing.app();
    auto* button = qobject_cast<QToolButton*>(app.window->Control(kPlayButton));
    QTest::mouseClick(button, Qt::LeftButton);
    playing.Tick();
    ASSERT_EQ(app.player->IsPlaying, 1);
    for (const uint16_t muted : {1, 0, 1}) {
        HandleMenuCommand(app, kPlayerMenu, kMuteItem);
        EXPECT_EQ(app.player->Muted, muted);
        EXPECT_EQ(app.menus->Item(kPlayerMenu, kMuteItem)->isChecked(), muted == 1);
    }
    HandleMenuCommand(app, kPlayerMenu, kRevealNowPlayingItem);
    EXPECT_EQ(app.view->SelectedRow, app.player->NowPlayingIndex);
    EXPECT_EQ(app.view->ViewStamp, app.player->NowPlayingStamp);
    QTest::mouseClick(button, Qt::LeftButton);
    playing.Tick();
    EXPECT_EQ(app.player->IsPlaying, 0);
    EXPECT_EQ(app.menus->Item(kPlayerMenu, kPlayItem)->text(), QStringLiteral("Play"));
    HandleMenuCommand(app, kPlayerMenu, kRevealNowPlayingItem);
    ASSERT_EQ(playing.started.notices.alerts.size(), 1U);
    EXPECT_EQ(playing.started.notices.alerts[0].title, "Nothing Playing");
}

}  // namespace
}  // namespace harmovia::test
