#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <set>
#include <utility>

#include <gtest/gtest.h>

#include "import/add_tunes.h"
#include "library/genre_table.h"
#include "library/mac_roman_qt.h"
#include "shell/artwork.h"
#include "shell/edit_commands.h"
#include "shell/notices.h"
#include "shell/platform_texts.h"
#include "tests/shell/shell_test_support.h"

namespace harmovia::test {
namespace {

TEST(MainWindow, ControlsSitAtTheirRectanglesShowTheTotalsAndKeepThePopupsChoice) {
    StartedApp started(kTunes);
    MainWindow& window = started.window();
    // One control of each way of anchoring, for a content area w x h.
    const auto expectControlsAt = [&window](int colourTop) {
        const int w = window.ContentSize().width();
        const int h = window.ContentSize().height();
        const std::pair<int32_t, QRect> rects[] = {
            {kSearchField, QRect(w - 218, 14, 200, 22)},
            {kTuneListId, QRect(0, 137, w, h - 187)},
            {kSendPlaylistButton, QRect(w - 220, h - 36, 200, 20)},
            {kStatusText, QRect(w / 2 - 200, h - 31, 400, 16)},
            {kFirstColourButton, QRect(w / 2 - 351, colourTop, 48, 48)},  // the colour row
            {kLastColourButton, QRect(w / 2 + 299, colourTop, 48, 48)},
        };
        for (const auto& [id, rect] : rects) {
            ASSERT_NE(window.Control(id), nullptr) << id;
            EXPECT_EQ(window.Control(id)->geometry(), rect) << id << " in " << w << "x" << h;
        }
    };
    EXPECT_EQ(window.Control(kStatusText)->property("text").toString(),
              QStringLiteral("Tunes: 4  \u2022  Time: 13 mins  20 secs  \u2022  Size: 16 MB"));
    auto* popup = qobject_cast<QPushButton*>(window.Control(kGenrePopup));
    ASSERT_EQ(popup->menu()->actions().size(), 29);
    EXPECT_EQ(popup->menu()->actions()[24]->text(), QStringLiteral("Mood By Genre: R&&B"));
    popup->menu()->actions()[2]->menu()->actions()[4]->trigger();
    EXPECT_EQ(std::pair(window.PopupItem(), window.PopupMood()), std::pair(3, 5));
    EXPECT_EQ(popup->text(), QStringLiteral("Mood By Genre: Blues"));
    EXPECT_EQ(started.notices.said, std::vector<std::string>{"No tunes found..."});
    expectControlsAt(75);
    window.resize(1000, 600);  // below the minimum: snaps back
    QApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(1200, 700));
    window.resize(1500, 900);
    QApplication::processEvents();
    expectControlsAt(77);
    EXPECT_EQ(window.TuneList()->horizontalHeader()->sectionSize(3), 1500 / 4);  // Title
}

TEST(TuneList, SortsByEachColumnAndTheSelectionAndPlayingMarkFollowTheirRow) {
    StartedApp started(kTunes);
    MainWindow& window = started.window();
    QTableView& list = *window.TuneList();
    // Column, order, rows shown. Titles compare as bytes (capitals first), times as text, moods
    // by energy, kinds "AAC" before "MP3"; equal rows, either way round, keep the view's order.
    const std::tuple<int, Qt::SortOrder, std::vector<int32_t>> cases[] = {
        {0, Qt::AscendingOrder, {1, 2, 3, 4}},  {2, Qt::AscendingOrder, {3, 1, 2, 4}},
        {3, Qt::AscendingOrder, {2, 4, 3, 1}},  {3, Qt::DescendingOrder, {1, 3, 2, 4}},
        {4, Qt::AscendingOrder, {3, 1, 4, 2}},  {5, Qt::AscendingOrder, {2, 4, 3, 1}},
        {6, Qt::AscendingOrder, {4, 1, 2, 3}},  {7, Qt::AscendingOrder, {3, 2, 4, 1}},
        {8, Qt::DescendingOrder, {4, 3, 2, 1}}, {9, Qt::AscendingOrder, {1, 3, 2, 4}},
    };
    for (const auto& [column, order, rows] : cases) {
        list.sortByColumn(column, order);
        const TuneListModel& model = window.Model();
        EXPECT_EQ(std::vector({model.ViewRowAt(0), model.ViewRowAt(1), model.ViewRowAt(2),
                               model.ViewRowAt(3)}),
                  rows)
            << "column " << column;
    }
    // Painting and sorting only read, and checking the whole list writes the marks alike:
    // the rows still share the library's records.
    (void)list.grab();
    App& app = started.app;
    SetAllCheckedCommand(app, false);
    SetAllCheckedCommand(app, true);
    std::set<const TuneRecord*> records;
    for (int32_t slot = 1; slot <= app.library->TuneCount; ++slot) {
        records.insert(&std::as_const(*app.library)[slot]);
    }
    for (int32_t row = 1; row <= app.view->List.ViewCount; ++row) {
        EXPECT_TRUE(records.contains(&std::as_const(app.view->List)[row])) << row;
    }
    list.selectRow(1);  // view row 3
    EXPECT_EQ(started.app.view->SelectedRow, 3);
    list.sortByColumn(8, Qt::AscendingOrder);
    EXPECT_EQ(list.currentIndex().row(), 2);  // the selection follows its row
    EXPECT_EQ(started.app.view->SelectedRow, 3);

    // The white dot marks only the playing row of the playing list, wherever it is sorted to.
    const uint64_t shown = started.app.view->ViewStamp;
    const std::pair<PlayingMarker, bool> marks[] = {
        {{shown, 2, true}, true},
        {{shown + 1, 2, true}, false},  // another list is playing
        {{shown, 2, false}, false},     // stopped
    };
    for (const auto& [marker, dotOnRow2] : marks) {
        window.SetPlayingRow(marker);
        EXPECT_EQ(window.Model().IsPlayingRow(window.Model().ModelRowOf(2)), dotOnRow2);
    }
    QImage cell(40, 21, QImage::Format_ARGB32);
    cell.fill(Qt::black);
    QPainter painter(&cell);
    DrawMoodCell(painter, QRect(0, 0, 40, 21), 21, MoodTable[1].colour, true);
    painter.end();
    EXPECT_EQ(cell.pixelColor(8, 10), QColor(Qt::white));   // the dot
    EXPECT_NEAR(cell.pixelColor(8, 5).blue(), 0x7C, 1);     // the disc
    EXPECT_EQ(cell.pixelColor(30, 10), QColor(Qt::black));  // nothing beyond it
}

TEST(TuneList, EditsAndCheckBoxClicksReachTheLibraryRecordOfTheRow) {
    StartedApp started(kTunes);
    QTableView& list = *started.window().TuneList();
    // A check box flips its row and the library tune of the same title and album.
    for (const uint16_t expected : {0, 1}) {
        const QRect cell = list.visualRect(list.model()->index(3, 1));  // "Apple", "Beta"
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
        started.app.eventHook();  // the player's tick applies the click
        EXPECT_EQ(std::tuple(started.app.view->List[4].Checked, (*started.app.library)[4].Checked,
                             (*started.app.library)[2].Checked),
                  std::tuple(expected, expected, 1));  // slot 2: "Apple" of another album
        EXPECT_EQ(list.model()->index(3, 1).data(Qt::CheckStateRole).toInt(),
                  expected ? Qt::Checked : Qt::Unchecked);
    }
    list.sortByColumn(3, Qt::AscendingOrder);  // model row 0 is view row 2
    const std::pair<int, const char*> edits[] = {
        {3, "Pomme"}, {4, "Ana"}, {5, "Verger"}, {7, "Chanson fran\u00e7aise"}};
    for (const auto& [column, typed] : edits) {
        const QModelIndex index = list.model()->index(0, column);
        list.setCurrentIndex(index);
        list.edit(index);
        QLineEdit* editor = nullptr;
        for (QLineEdit* open : list.viewport()->findChildren<QLineEdit*>()) {
            editor = open->isVisible() ? open : editor;
        }
        ASSERT_NE(editor, nullptr);
        editor->setText(QString::fromUtf8(typed));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(list.model()->index(0, column).data().toString(), QString::fromUtf8(typed));
    }
    const TuneRecord& tune = (*started.app.library)[2];
    EXPECT_EQ(
        std::tuple(tune.Title.view(), tune.Artist.view(), tune.Album.view(), tune.Genre.view()),
        std::tuple("Pomme", "Ana", "Verger", "Chanson fran\215aise"));  // Mac Roman
    EXPECT_EQ((*started.app.library)[4].Title.view(), "Apple");
}

TEST(Menus, EveryItemShowsItsTextKeyAndStateAndChoicesReachTheHandler) {
    std::vector<std::pair<int16_t, int16_t>> chosen;
    QtMenuBar m([&chosen](int16_t menu, int16_t item) { chosen.emplace_back(menu, item); }, [] {});
    BuildMenuBar(m);
    const auto shown = [](const QAction* action) { return PlainMenuText(action->text()); };
    for (const MenuBuildStep& build : kMenuBuild) {
        const MenuStep& s = build.step;
        if (s.menu == 0 || s.item == 0) {
            continue;
        }
        const QAction* action = m.Item(s.menu, s.item);
        ASSERT_NE(action, nullptr) << s.menu << "/" << s.item;
        const MenuItemText text = SplitMenuItemText(PlatformTextFor(s.text));
        EXPECT_EQ(action->isSeparator(), s.text == "-") << s.text;
        // Stored texts are Mac Roman ("Mood Journey\xC9" shows its ellipsis).
        EXPECT_EQ(shown(action), action->isSeparator() ? QString() : FromMacRoman(text.shown))
            << s.text;
        EXPECT_EQ(action->isEnabled(), s.state != 0) << s.text;
        if (text.key != 0) {
            EXPECT_EQ(action->shortcut().toString(),
                      QStringLiteral("Ctrl+") + QChar::fromLatin1(text.key).toUpper())
                << s.text;
        }
    }
    EXPECT_EQ(m.Item(kEditMenu, 2)->shortcut().toString(), QStringLiteral("Ctrl+Shift+Z"));
    QStringList titles;
    for (const QAction* menu : m.Bar()->actions()) {
        titles << PlainMenuText(menu->text());
    }
    EXPECT_EQ(titles.join(QLatin1Char(',')),
              QStringLiteral("Harmovia,File,Edit,Playlists,Player,Window"));
    EXPECT_EQ(m.QuitAction()->shortcut().toString(), QStringLiteral("Ctrl+Q"));
    EXPECT_FALSE(m.Item(kPlaylistsMenu, 3)->icon().isNull());
    for (const int16_t menu : {kArtistGenreMenu, kAlbumGenreMenu, kMoodByGenreMenu}) {
        ASSERT_EQ(m.ItemCount(menu), 28) << menu;
        EXPECT_EQ(shown(m.Item(menu, 28)).toStdString(), GenreMenuList[28]);
    }
    EXPECT_EQ(m.Item(kEditMenu, 15)->menu(), m.Menu(kArtistGenreMenu));
    EXPECT_EQ(m.Item(kEditMenu, 16)->menu(), m.Menu(kAlbumGenreMenu));
    EXPECT_EQ(m.Item(kPlayerMenu, 10)->menu(), m.Menu(kLoopMenu));
    EXPECT_EQ(m.Item(kMoodByGenreMenu, 28)->menu(), m.Menu(196));  // the last genre's moods
    const decltype(chosen) choices = {{kPlaylistsMenu, 5}, {169, 1},      {196, 9},
                                      {kLoopMenu, 2},      {kAppMenu, 1}, {kArtistGenreMenu, 28}};
    for (const auto& [menu, item] : choices) {
        m.Item(menu, item)->trigger();
    }
    EXPECT_EQ(chosen, choices);
}

// Clicks the button with this text in the next modal alert (none: Escape), and remembers
// its texts and buttons.
struct ShownAlert {
    QString title;
    QString message;
    QStringList buttons;
};
void ClickWhenShown(const QString& text, ShownAlert& shown) {
    QTimer::singleShot(0, [text, &shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = {box->text(), box->informativeText(), {}};
        QAbstractButton* chosen = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            shown.buttons << button->text().remove(QLatin1Char('&'));
            chosen = shown.buttons.back() == text ? button : chosen;
        }
        chosen != nullptr ? chosen->click() : box->reject();
    });
}

TEST(Notices, AlertsSpeakThePlatformsWordsOnlyTheNamedButtonSaysYesOverlaysSitCentred) {
    QtNotices notices;
    ShownAlert shown;
    // Escape (no button clicked) is a "Cancel".
    for (const auto& [click, yes] :
         {std::pair{"Cancel", false}, std::pair{"Stop Adding", true}, std::pair{"", false}}) {
        ClickWhenShown(QString::fromUtf8(click), shown);
        EXPECT_EQ(notices.ShowAlert({"Tunes Are Currently Being Added...",
                                     "Would you like to stop adding tunes?", "Stop Adding"}),
                  yes)
            << click;
        shown.buttons.sort();
        EXPECT_EQ(shown.buttons,
                  QStringList({QStringLiteral("Cancel"), QStringLiteral("Stop Adding")}));
    }
    for (const auto& [click, choice] :
         {std::pair{"Quit", ErrorAlertChoice::Quit}, std::pair{"Stop", ErrorAlertChoice::Stop},
          std::pair{"Continue", ErrorAlertChoice::Continue}}) {
        ClickWhenShown(QString::fromUtf8(click), shown);
        EXPECT_EQ(notices.ShowErrorAlert("Unable to set image.", 5250), choice);
        EXPECT_EQ(shown.buttons.size(), 3);
    }
    // A core text is shown in this platform's words.
    ClickWhenShown({}, shown);
    notices.ShowAlert({std::string(kNoMusicAlertTitle), std::string(kNoMusicAlertMessage), "Okay"});
    EXPECT_EQ(shown.title.toStdString(), PlatformTextFor(kNoMusicAlertTitle));
    EXPECT_EQ(shown.message.toStdString(), PlatformTextFor(kNoMusicAlertMessage));
    // Overlays: half the window, centred, with text at a twentieth of its width.
    StartedApp started({});
    started.window().setGeometry(100, 50, 1200, 800);
    notices.SetWindow(&started.window());
    // Mood 1 has the overlay's own blue; a number that is no mood, white.
    for (const auto& [mood, red, blue] : {std::tuple{1, 0x00, 0xB7}, std::tuple{10, 0xFD, 0xFD}}) {
        notices.ShowOverlayNotice("No match found.", mood);
        ASSERT_NE(notices.Overlay(), nullptr);
        EXPECT_EQ(notices.Overlay()->geometry(), QRect(400, 250, 600, 400));
        EXPECT_EQ(notices.Overlay()->FontPixels(), 30);
        const QColor panel = notices.Overlay()->grab().toImage().pixelColor(60, 60);
        EXPECT_NEAR(panel.red(), red, 1) << mood;
        EXPECT_NEAR(panel.blue(), blue, 1) << mood;
        notices.CloseOverlay();
        EXPECT_EQ(notices.Overlay(), nullptr);
    }
    notices.ShowSavingOverlay({0, 0, 1480, 740}, {0xAC53, 0xAC53, 0xAC53});
    ASSERT_NE(notices.Overlay(), nullptr);
    EXPECT_EQ(notices.Overlay()->Text(), QStringLiteral("Saving Database..."));
    EXPECT_EQ(notices.Overlay()->geometry(), QRect(370, 185, 740, 370));
    notices.CloseOverlay();
}

// Nothing waits in a nested event loop: the command returns before the first tick, the fade
// and the reading time run on timers, and the close waits for the reading time.
TEST(Notices, AFadeInterruptedByATickDoesNotRunTheCommandTwice) {
    StartedApp started(kTunes);  // no tunes of mood 2
    App& app = started.app;
    QtNotices notices;
    notices.SetWindow(app.window.get());
    app.notices = &notices;
    const auto overlays = []() -> int {
        return static_cast<int>(
            std::ranges::count_if(QApplication::topLevelWidgets(), [](const QWidget* w) {
                return w->objectName() == WindowObjectName(kOverlayWindow) && w->isVisible();
            }));
    };
    int ticks = 0;
    int ticksInside = 0;
    bool inside = false;
    app.eventHook = [&, tick = app.eventHook] {
        ++ticks;
        ticksInside += inside ? 1 : 0;
        tick();
    };
    QTimer ticker;  // ticks as while something plays: the idle program has none
    QObject::connect(&ticker, &QTimer::timeout, [&app] { app.eventHook(); });
    ticker.start(5);
    QTimer::singleShot(0, [&] {
        inside = true;
        Click(app, kFirstColourButton + 2);  // an empty mood: a notice, read for 2 s
        inside = false;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return notices.Overlay() != nullptr && ticks > 2; }));
    EXPECT_EQ(ticksInside, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return notices.Overlay()->windowOpacity() > 0.88; }));
    EXPECT_EQ(overlays(), 1);
    EXPECT_EQ(ticksInside, 0);
    EXPECT_EQ(app.view->ViewMode, kModeAllTunes);  // the list on screen stays

    // Read for 50 ms after the fade; the close waits for that. A pause's rest runs later.
    notices.ShowOverlayNotice("No match found.", 0);
    notices.WaitMilliseconds(50);
    notices.CloseOverlay();
    int rests = 0;
    notices.After(20, [&rests] { ++rests; });
    EXPECT_EQ(std::pair(overlays(), rests), std::pair(1, 0));
    EXPECT_LT(notices.Overlay()->windowOpacity(), 0.1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return notices.Overlay() == nullptr; }));
    EXPECT_EQ(std::pair(overlays(), rests), std::pair(0, 1));
}

}  // namespace
}  // namespace harmovia::test
