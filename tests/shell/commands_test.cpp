#include "shell/commands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <variant>

#include <gtest/gtest.h>

#include "analysis/mood_by_hand.h"
#include "analysis/mood_scoring.h"
#include "browse/mood_views.h"
#include "export/mood_playlists.h"
#include "shell/journey_sheet.h"
#include "shell/notices.h"
#include "tests/shell/shell_test_support.h"

namespace harmovia::test {
namespace {

// A menu command by name, an item of a menu whose items share one command, or a hit on a
// control by its id.
using Action = std::variant<Command, MenuPlace, int32_t>;

void Do(App& app, const Action& action) {
    if (const auto* command = std::get_if<Command>(&action)) {
        Choose(app, *command);
    } else if (const auto* place = std::get_if<MenuPlace>(&action)) {
        HandleMenuCommand(app, place->menu, place->item);
    } else {
        Click(app, std::get<int32_t>(action));
    }
}

// Playlists item of mood m, and Mood By Genre's mood m under genre item g (2: the first genre).
MenuPlace MoodItem(int m) {
    return {kPlaylistsMenu, static_cast<int16_t>(kFirstMoodPlaylistItem + m - 1)};
}
MenuPlace GenreMoodItem(int g, int m) {
    return {static_cast<int16_t>(kFirstGenreMoodMenu + g - 2), static_cast<int16_t>(m)};
}

TEST(Commands, MenuItemsAndControlsFindTheirCommands) {
    // An item, what it does, and whether it is where MenuPlaceOf finds the command: a
    // command's first item, then later items, items of filled submenus, items that open one,
    // standard Edit items and separators.
    const std::tuple<int16_t, int16_t, Command, bool> items[] = {
        {kAppMenu, 1, Command::About, true},
        {kFileMenu, 7, Command::KeepMoodPlaylists, true},
        {kFileMenu, 9, Command::CloseWindowAndQuit, true},
        {kPlayerMenu, 12, Command::RevealNowPlaying, true},
        {kPlaylistsMenu, 3, Command::MoodPlaylist, true},
        {kSetMoodMenu, 1, Command::SetMood, true},
        {kSetMoodMenu, 11, Command::SetMoodAsMeasured, true},
        {kPlaylistsMenu, 11, Command::MoodPlaylist, false},
        {kSetMoodMenu, 9, Command::SetMood, false},
        {kArtistGenreMenu, 1, Command::SetArtistGenre, false},
        {kAlbumGenreMenu, 28, Command::SetAlbumGenre, false},
        {kFirstGenreMoodMenu, 1, Command::MoodByGenre, false},
        {kLastGenreMoodMenu, 9, Command::MoodByGenre, false},
        {kEditMenu, 15, Command::None, false},
        {kPlaylistsMenu, 13, Command::None, false},
        {kPlayerMenu, 10, Command::None, false},
        {kEditMenu, 8, Command::None, false},
        {kPlaylistsMenu, 12, Command::None, false},
        {kFileMenu, 8, Command::None, false},
        {kFileMenu, 10, Command::None, false},
        {kMoodByGenreMenu, 1, Command::None, false},
        {kSetMoodMenu, 10, Command::None, false},
        {kEditMenu, 17, Command::None, false},
    };
    for (const auto& [menu, item, command, found] : items) {
        EXPECT_EQ(MenuCommandAt(menu, item), command) << menu << "/" << item;
        const MenuPlace place = MenuPlaceOf(command);
        EXPECT_EQ(std::pair(place.menu, place.item) == std::pair(menu, item), found)
            << menu << "/" << item;
    }
    // The controls' ids and what a hit on each does (hits on the play, send, create-playlist
    // and colour buttons are tested below).
    const std::pair<int32_t, Command> controls[] = {
        {12, Command::BackButton}, {13, Command::ForwardButton},
        {40, Command::GenrePopup}, {1009, Command::AddTunesFromMusicFolder},
        {7000, Command::Search},   {17, Command::None},
        {1001, Command::None},
    };
    for (const auto& [id, command] : controls) {
        const auto spec = std::ranges::find(kMainWindowControls, id, &ControlSpec::id);
        ASSERT_NE(spec, kMainWindowControls.end()) << id;
        EXPECT_EQ(spec->command, command) << id;
    }
    for (const auto& [id, command] :
         {std::pair{4402, Command::WelcomeContinue}, std::pair{4404, Command::WelcomeYes},
          std::pair{4405, Command::WelcomeNo}, std::pair{4403, Command::None}}) {
        EXPECT_EQ(WelcomeSheetCommand(id), command) << id;
    }
}

TEST(Commands, AboutOpensOneWindowThatItsDoneButtonCloses) {
    StartedApp started({});
    App& app = started.app;
    for (int i = 0; i < 2; ++i) {
        Choose(app, Command::About);
    }
    ASSERT_NE(FindAboutWindow(app.window.get()), nullptr);
    EXPECT_TRUE(FindAboutWindow(app.window.get())->isVisible());
    EXPECT_EQ(app.window->findChildren<QDialog*>(WindowObjectName(kAboutWindow)).size(), 1);
    Click(app, kAboutDoneButton);
    EXPECT_FALSE(FindAboutWindow(app.window.get())->isVisible());
}

TEST(Commands, AnEmptyLibraryBeepsThreeTimesForEveryListAndPlayerCommand) {
    StartedApp started({});
    const auto beepsThrice = [&started](const Action& action) {
        const int before = started.notices.beeps;
        Do(started.app, action);
        return started.notices.beeps - before == 3;
    };
    for (const Command command :
         {Command::AllTunes, Command::TuneBased, Command::MoreFromArtist, Command::MoreFromAlbum,
          Command::MoreFromGenre, Command::SurpriseMe, Command::LastAdded, Command::MoodJourney,
          Command::Play, Command::Next, Command::Back, Command::RevealNowPlaying}) {
        EXPECT_TRUE(beepsThrice(command)) << static_cast<int>(command);
    }
    for (const int32_t control : {kFirstColourButton, kFirstColourButton + 4, kLastColourButton,
                                  kCreatePlaylistButton, kPlayButton, kForwardButton}) {
        EXPECT_TRUE(beepsThrice(control)) << control;
    }
    EXPECT_TRUE(started.notices.said.empty());
    EXPECT_EQ(started.app.player->PlayRequest, 0);
}

TEST(Commands, ListCommandsShowTheirListAndPlayFromRowOneOrOnlySayWhyNot) {
    // The command, the row selected, then the list shown, whether it plays, what is said.
    const std::tuple<Action, int32_t, uint16_t, bool, std::string> cases[] = {
        {kFirstColourButton + 3, 1, 13, true, ""},
        {MoodItem(7), 1, 17, true, ""},
        {GenreMoodItem(3, 1), 1, kModeMoodByGenre, true, ""},  // Blues, mood 1
        {Command::TuneBased, 1, kModeTuneBased, true, ""},
        {Command::MoreFromArtist, 1, kModeMoreFromArtist, true, ""},
        {Command::SurpriseMe, 1, kModeTuneBased, true, ""},
        {kCreatePlaylistButton, 1, kModeTuneBased, true, ""},
        {Command::AllTunes, 1, kModeAllTunes, false, ""},
        {Command::LastAdded, 1, kModeLastAdded, false, ""},
        {kFirstColourButton + 2, 2, kModeAllTunes, false,
         std::string(EmptyMoodButtonNotice(2).view())},
        {MoodItem(2), 2, kModeAllTunes, false, "No Cool Blue Chill tunes..."},
        {GenreMoodItem(3, 3), 2, kModeAllTunes, false, "No tunes found..."},
        {Command::MoreFromGenre, 0, kModeAllTunes, false, "No Tune Selected"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& [action, selected, mode, plays, said] = cases[i];
        SCOPED_TRACE(::testing::Message() << "case " << i);
        StartedApp started(kTunes, true, true);
        App& app = started.app;
        const uint64_t stamp = app.view->ViewStamp;
        app.view->SelectedRow = selected;
        Do(app, action);
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

TEST(Commands, MoodJourneySheetBuildsAJourneyThatPlaysOrSaysWhyNot) {
    // Moods 9 to 1 over the tunes of moods 3, 7, 1 and 9; the button clicked last.
    const struct {
        const char* what;
        int from, to, length;
        bool minutes, endless;
        int32_t button;
        std::vector<int32_t> moods;  // empty: the list on screen stays
        std::vector<std::string> said;
    } cases[] = {
        {"down, endless", 9, 1, 3, false, true, kJourneyOkButton, {9, 7, 1}, {}},
        {"up, in minutes", 3, 7, 7, true, false, kJourneyOkButton, {3, 7}, {}},
        {"no tune on the path", 2, 2, 5, false, false, kJourneyOkButton, {}, {"No tunes found..."}},
        {"cancelled", 1, 9, 5, false, false, kJourneyCancelButton, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StartedApp started(kTunes, true, true);
        App& app = started.app;
        const uint64_t stamp = app.view->ViewStamp;
        Choose(app, Command::MoodJourney);
        ASSERT_NE(app.journey, nullptr);
        QDialog* sheet = app.journey->Sheet();
        const auto control = [sheet]<typename W>(W*, int32_t id) {
            return sheet->findChild<W*>(QStringLiteral("control%1").arg(id));
        };
        control(static_cast<QComboBox*>(nullptr), kJourneyFromBox)->setCurrentIndex(c.from - 1);
        control(static_cast<QComboBox*>(nullptr), kJourneyToBox)->setCurrentIndex(c.to - 1);
        control(static_cast<QComboBox*>(nullptr), kJourneyUnitBox)->setCurrentIndex(c.minutes);
        control(static_cast<QSpinBox*>(nullptr), kJourneyLengthField)->setValue(c.length);
        if (c.endless) {
            QCheckBox* endless = control(static_cast<QCheckBox*>(nullptr), kJourneyEndlessBox);
            QTest::mouseClick(endless, Qt::LeftButton, {}, QPoint(6, endless->height() / 2));
        }
        QTest::mouseClick(control(static_cast<QPushButton*>(nullptr), c.button), Qt::LeftButton);
        app.eventHook();
        EXPECT_EQ(app.journey, nullptr);
        EXPECT_EQ(started.notices.said, c.said);
        if (c.moods.empty()) {
            EXPECT_EQ(std::tuple(app.view->ViewStamp, app.player->IsPlaying), std::tuple(stamp, 0));
            continue;
        }
        std::vector<int32_t> moods;
        for (int32_t row = 1; row <= app.view->List.ViewCount; ++row) {
            moods.push_back(app.view->List[row].Mood);
        }
        EXPECT_EQ(moods, c.moods);
        EXPECT_EQ(std::tuple(app.view->ViewMode, app.view->Label.Journey.Endless,
                             app.player->IsPlaying, app.player->NowPlayingStamp),
                  std::tuple(kModeMoodJourney, c.endless, 1, app.view->ViewStamp));
    }
}

TEST(Commands, PlayerMenuAndControlsPlayStopMuteLoopRevealAndSetTheVolume) {
    StartedApp started(kTunes, true, true);
    App& app = started.app;
    auto* slider = qobject_cast<QSlider*>(app.window->Control(kVolumeSlider));
    // From, item, to.
    for (const auto& [from, command, to] :
         {std::tuple{725, Command::VolumeUp, 730}, std::tuple{730, Command::VolumeUp, 730},
          std::tuple{5, Command::VolumeDown, 0}, std::tuple{300, Command::VolumeDown, 290}}) {
        app.preferences.Volume = static_cast<int16_t>(from);
        Choose(app, command);
        EXPECT_EQ(app.preferences.Volume, to) << from;
        EXPECT_EQ(slider->value(), to);
    }
    // Each loop item marks itself and unmarks the other.
    for (const Command command : {Command::LoopTune, Command::LoopPlaylist}) {
        Choose(app, command);
        EXPECT_EQ(std::pair(app.menus->Item(kLoopMenu, 1)->isChecked(),
                            app.menus->Item(kLoopMenu, 2)->isChecked()),
                  std::pair(command == Command::LoopTune, command == Command::LoopPlaylist));
    }
    Choose(app, Command::Mute);  // nothing loaded
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
        Choose(app, Command::Mute);
        EXPECT_EQ(app.player->Muted, muted);
        EXPECT_EQ(app.menus->Item(kPlayerMenu, kMuteItem)->isChecked(), muted == 1);
    }
    Choose(app, Command::AllTunes);  // another list on screen
    Choose(app, Command::RevealNowPlaying);
    EXPECT_EQ(std::tuple(app.view->SelectedRow, app.view->ViewStamp),
              std::tuple(app.player->NowPlayingIndex, app.player->NowPlayingStamp));
    QWidget* button = app.window->Control(kPlayButton);
    QTest::mouseClick(button, Qt::LeftButton);
    app.eventHook();
    EXPECT_EQ(app.player->IsPlaying, 0);
    EXPECT_EQ(PlainMenuText(app.menus->Item(kPlayerMenu, kPlayItem)->text()),
              QStringLiteral("Play"));
    Choose(app, Command::RevealNowPlaying);
    EXPECT_EQ(started.notices.said, std::vector<std::string>{"Nothing Playing"});
    QTest::mouseClick(button, Qt::LeftButton);
    app.eventHook();
    EXPECT_EQ(app.player->IsPlaying, 1);
    EXPECT_EQ(PlainMenuText(app.menus->Item(kPlayerMenu, kPlayItem)->text()),
              QStringLiteral("Stop Playing"));
}

const std::vector<Tune> kArtistTunes = {
    {"One", "Cleo", "First", "3:00", "Rock", 3, 4},
    {"Two", "Cleo", "Carols", "3:00", "Holiday", 3, 4},
    {"Three", "Cleo", "Film", "3:00", "Soundtrack", 3, 4},
    {"Four", "Dora", "First", "3:00", "Jazz", 7, 4},
    {"Five", "Unknown", "Unknown", "3:00", "Pop", 9, 4},
};

// Row 2 of the list on screen plays.
void PlayRowTwo(App& app) {
    app.view->SelectedRow = 2;
    Click(app, kPlayButton);
    app.eventHook();
    ASSERT_EQ(app.player->NowPlayingIndex, 2);
}

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
        Choose(app, checked ? Command::CheckAll : Command::UncheckAll);
        for (int32_t row = 1; row <= 5; ++row) {
            EXPECT_EQ(app.view->List[row].Checked, checked ? 1 : 0);
            EXPECT_EQ((*app.library)[row].Checked, checked ? 1 : 0);
        }
    }
}

TEST(EditCommands, DeleteRefusesThePlayingTuneAndKeepsTheOtherRowsInStep) {
    StartedApp started(kArtistTunes, true, true);
    App& app = started.app;
    ASSERT_NO_FATAL_FAILURE(PlayRowTwo(app));
    Choose(app, Command::DeleteTune);  // the playing tune
    EXPECT_EQ(std::pair(started.notices.beeps, app.library->TuneCount), std::pair(1, 5));
    app.view->SelectedRow = 1;  // above the playing tune
    Choose(app, Command::DeleteTune);
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

// A mood set by hand while the tune plays: the library, the list, the playing list, the
// counts, the swatch and the file follow, from the menu and from the list's context menu;
// "As Measured" undoes it. What is refused changes nothing.
TEST(EditCommands, SetMoodByHandReachesEveryCopyAndTheFileAndComesBack) {
    StartedApp started(kArtistTunes, true, true);
    App& app = started.app;
    Library& library = *app.library;
    for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
        // As measured: moods 3, 3, 3, 7, 9, in the library and the list of all tunes.
        library[slot].MoodEnergy = app.view->List[slot].MoodEnergy = MoodFloor(library[slot].Mood);
    }
    ASSERT_NO_FATAL_FAILURE(PlayRowTwo(app));
    const TuneListModel& model = app.window->Model();
    const auto moods = [&] {
        const int modelRow = model.ModelRowOf(2);
        return std::tuple(library[2].Mood, app.view->List[2].Mood,
                          app.player->NowPlayingList[2].Mood, library.MoodCounts[3],
                          model.MoodSetByHandAt(modelRow),
                          started.LibraryBytes()[kTuneRecordSize + 2417]);
    };

    HandleMenuCommand(app, kSetMoodMenu, 9);
    EXPECT_EQ(moods(), std::tuple(9, 9, 9, 2, true, uint8_t{0x83}));
    EXPECT_EQ(app.view->List[2].MoodColourBlue, MoodTable[9].colour.blue);
    EXPECT_EQ(library.MoodCounts[9], 2);
    const QString tip = model.data(model.index(model.ModelRowOf(2), 2), Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.startsWith(
        QStringLiteral("<p>Set by hand to Maximum Wild; measured Dinner &amp; Drinks. ")))
        << tip.toStdString();

    HandleMenuCommand(app, kSetMoodMenu, 11);  // As Measured
    EXPECT_EQ(moods(), std::tuple(3, 3, 3, 3, false, uint8_t{0}));

    // The context menu selects the row under the pointer and runs the same command.
    QTableView* list = app.window->TuneList();
    emit list->customContextMenuRequested(
        list->visualRect(model.index(model.ModelRowOf(2), 4)).center());
    auto* contextMoods = app.window->findChild<QMenu*>(QStringLiteral("listSetMoodMenu"));
    ASSERT_NE(contextMoods, nullptr);
    ASSERT_EQ(contextMoods->actions().size(), 11);
    EXPECT_EQ(PlainMenuText(contextMoods->actions()[10]->text()), QStringLiteral("As Measured"));
    contextMoods->actions()[6]->trigger();  // Intense Activities
    EXPECT_EQ(moods(), std::tuple(7, 7, 7, 2, true, uint8_t{0x83}));
    HandleMenuCommand(app, kSetMoodMenu, 3);  // the measured mood: as measured
    EXPECT_EQ(moods(), std::tuple(3, 3, 3, 3, false, uint8_t{0}));
    EXPECT_EQ(started.notices.said, std::vector<std::string>{});

    // Refused: no row selected; a record whose stored mood its energy does not give.
    library[1].MoodEnergy = 0;
    const std::vector<uint8_t> before = started.LibraryBytes();
    const std::tuple<int32_t, const char*> refused[] = {{0, "No Tune Selected"},
                                                        {1, "No Measured Mood"}};
    for (const auto& [row, alert] : refused) {
        started.notices.said.clear();
        app.view->SelectedRow = row;
        HandleMenuCommand(app, kSetMoodMenu, 5);
        EXPECT_EQ(started.notices.said, std::vector<std::string>{alert});
        EXPECT_EQ(library[1].Mood, 3);
        EXPECT_TRUE(started.LibraryBytes() == before);
    }
}

// A cell edited while its list plays: the library's record and the playing copy follow.
TEST(EditCommands, AnEditedCellReachesTheLibraryAndThePlayingCopy) {
    StartedApp started(kArtistTunes, true, true);
    App& app = started.app;
    ASSERT_NO_FATAL_FAILURE(PlayRowTwo(app));
    TuneListModel& model = app.window->Model();
    ASSERT_TRUE(model.setData(model.index(model.ModelRowOf(2), 3), QStringLiteral("Renamed"),
                              Qt::EditRole));
    const Library& library = *app.library;
    const ViewList& playing = app.player->NowPlayingList;
    EXPECT_EQ(std::tuple(library[2].Title.view(), playing[2].Title.view()),
              std::tuple("Renamed", "Renamed"));
    EXPECT_NE(std::tuple(library[1].Title.view(), playing[1].Title.view()),
              std::tuple("Renamed", "Renamed"));
}

// File › Keep Mood Playlists In Music Folder: checked and saved at once; the nine playlists
// follow a delete while it is on, and stay as they were once it is off. A write that fails
// is told in an alert, and while it goes on failing in a notice.
TEST(EditCommands, KeptMoodPlaylistsFollowADeleteWhileTheItemIsChecked) {
    StartedApp started(kTunes);
    App& app = started.app;
    const MenuPlace place = MenuPlaceOf(Command::KeepMoodPlaylists);
    QAction* item = app.menus->Item(place.menu, place.item);
    const std::filesystem::path playlists = started.home / "Music" / "Playlists";
    const auto text = [&](int mood) {
        const std::vector<uint8_t> bytes =
            testing::ReadBytes(playlists / MoodPlaylistFileName(mood));
        return std::string(bytes.begin(), bytes.end());
    };
    const auto savedSwitch = [&] {
        Preferences saved;
        DiskFileSystem files;
        EXPECT_EQ(LoadPreferences(saved, files, started.folder), kNoErr);
        return KeepsMoodPlaylists(saved);
    };
    const auto deleteTitled = [&](std::string_view title) {
        for (int32_t row = 1; row <= app.view->List.ViewCount; ++row) {
            if (app.view->List[row].Title.view() == title) {
                app.view->SelectedRow = row;
            }
        }
        Choose(app, Command::DeleteTune);
    };

    EXPECT_FALSE(item->isChecked());
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(savedSwitch());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(playlists),
                            std::filesystem::directory_iterator()),
              kMoodCount);
    EXPECT_NE(text(1).find("Bert - Cherry"), std::string::npos) << text(1);
    deleteTitled("Cherry");
    EXPECT_EQ(text(1), "#EXTM3U\n");

    item->trigger();
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(savedSwitch());
    deleteTitled("banana");
    EXPECT_NE(text(3).find("Cleo - banana"), std::string::npos) << "rewritten while off";

    std::filesystem::remove_all(playlists);
    testing::WriteBytes(playlists, {'x'});  // a file where the folder belongs
    started.notices.said.clear();
    item->trigger();
    deleteTitled("Apple");
    EXPECT_EQ(started.notices.said,
              (std::vector<std::string>{"Mood Playlists Not Saved", "Mood playlists not saved."}));
    EXPECT_EQ(app.library->TuneCount, 1) << "the delete itself is done";
}

// With the switch on, a start brings the playlists up to date (an add cut short by a quit
// never rewrote them).
TEST(EditCommands, KeptMoodPlaylistsCatchUpAtStart) {
    StartedApp started(kTunes, false);
    Preferences keep;
    SetKeepsMoodPlaylists(keep, true);
    DiskFileSystem files;
    ASSERT_EQ(SavePreferences(keep, files, started.folder), kNoErr);
    ASSERT_FALSE(started.Start(started.app).has_value());
    QApplication::processEvents();
    const std::vector<uint8_t> bytes =
        testing::ReadBytes(started.home / "Music" / "Playlists" / MoodPlaylistFileName(1));
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("Bert - Cherry"), std::string::npos);
}

}  // namespace
}  // namespace harmovia::test
