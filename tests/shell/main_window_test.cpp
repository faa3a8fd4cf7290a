#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "shell/artwork.h"
#include "shell/tune_list.h"
#include "tests/shell/shell_test_support.h"

namespace harmovia::test {
namespace {

const std::vector<Tune>& kTunes = kFourTunes;

QRect Rect(int left, int top, int right, int bottom) {
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Rectangles as the main window's layout promises them, for a content area w x h.
std::vector<std::pair<int32_t, QRect>> ExpectedRects(int w, int h, int colourTop) {
    std::vector<std::pair<int32_t, QRect>> rects = {
        {12, Rect(65, 8, 97, 40)},
        {11, Rect(95, -1, 143, 47)},
        {13, Rect(141, 8, 173, 40)},
        {17, Rect(42, 51, 198, 71)},
        {kDisplayPanelId, Rect(237, 3, w - 250, 66)},
        {1004, Rect(240, 11, w - 240, 24)},
        {1005, Rect(240, 26, w - 240, 39)},
        {1006, Rect(240, 41, w - 240, 54)},
        {7000, Rect(w - 218, 14, w - 18, 36)},
        {8543, Rect(w - 210, 44, w - 5, 64)},
        {40, Rect(20, 88, 220, 108)},
        {1008, Rect(w - 216, 88, w - 16, 108)},
        {kTuneListId, Rect(0, 137, w, h - 50)},
        {1009, Rect(20, h - 36, 220, h - 16)},
        {1007, Rect(w - 220, h - 36, w - 20, h - 16)},
        {1001, Rect(w / 2 - 200, h - 31, w / 2 + 200, h - 15)},
    };
    for (int n = 0; n < 11; ++n) {  // 65 pixels apart, centred on the width
        const int left = w / 2 - 351 + 65 * n;
        rects.push_back({9001 + n, Rect(left, colourTop, left + 48, colourTop + 48)});
    }
    return rects;
}

void ExpectControlsAt(MainWindow& window, int colourTop) {
    const QSize size = window.ContentSize();
    for (const auto& [id, rect] : ExpectedRects(size.width(), size.height(), colourTop)) {
        ASSERT_NE(window.Control(id), nullptr) << id;
        EXPECT_EQ(window.Control(id)->geometry(), rect)
            << id << " in " << size.width() << "x" << size.height();
    }
}

TEST(MainWindow, ControlsSitAtTheirRectanglesAtBuildAndAfterAResize) {
    StartedApp started(kTunes);
    MainWindow& window = started.window();
    ExpectControlsAt(window, 75);
    EXPECT_FALSE(window.Resized());

    window.resize(1000, 600);  // below the minimum: snaps back
    QApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(1200, 700));
    window.resize(1500, 900);
    QApplication::processEvents();
    EXPECT_TRUE(window.Resized());
    EXPECT_EQ(window.width(), 1500);
    ExpectControlsAt(window, 77);
    EXPECT_EQ(window.TuneList()->horizontalHeader()->sectionSize(3), 1500 / 4);  // Title
    EXPECT_EQ(window.TuneList()->horizontalHeader()->sectionSize(7), 157);       // Genre
}

TEST(MainWindow, HelpTagsTextsAndLook) {
    StartedApp started(kTunes);
    MainWindow& window = started.window();
    const std::pair<int32_t, const char*> tags[] = {
        {9001, "Click To Show All Tunes"},
        {9008, "Click To Play Intense Activity Tunes"},
        {9010, "Click To Play Maximum Wild Tues"},
        {9011, "Click To Show Last Added"},
        {11, "Play/Stop"},
        {12, "Back Tune"},
        {13, "Next Tune"},
    };
    for (const auto& [id, tag] : tags) {
        EXPECT_EQ(window.Control(id)->toolTip(), QString::fromUtf8(tag)) << id;
    }
    const std::pair<int32_t, const char*> texts[] = {
        {1005, "All Tunes"},
        {8543, "Search title, artist, album or genre."},
        {1008, "Create Playlist From Tune"},
        {40, "Mood By Genre: All Tunes"},
        {1001, "Tunes: 4  \u2022  Time: 13 mins  20 secs  \u2022  Size: 16 MB"},
    };
    for (const auto& [id, text] : texts) {
        EXPECT_EQ(window.Control(id)->property("text").toString(), QString::fromUtf8(text)) << id;
    }
    auto* search = qobject_cast<QLineEdit*>(window.Control(kSearchField));
    ASSERT_NE(search, nullptr);
    EXPECT_TRUE(search->placeholderText().isEmpty());
    EXPECT_EQ(window.Control(kVolumeSlider)->property("maximum").toInt(), 730);
    EXPECT_EQ(window.Control(kVolumeSlider)->property("value").toInt(), 273);
    const QImage shot = window.centralWidget()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(5, 120), QColor(0x6E, 0x6E, 0x6E));
    EXPECT_EQ(window.TuneList()->verticalHeader()->defaultSectionSize(), 21);
}

std::vector<int32_t> ShownViewRows(MainWindow& window) {
    std::vector<int32_t> rows;
    for (int r = 0; r < window.TuneList()->model()->rowCount(); ++r) {
        rows.push_back(window.Model().ViewRowAt(r));
    }
    return rows;
}

TEST(TuneList, SortsByEachColumnThroughTheHeader) {
    StartedApp started(kTunes);
    MainWindow& window = started.window();
    struct Case {
        int column;
        Qt::SortOrder order;
        std::vector<int32_t> rows;
    };
    const Case cases[] = {
        {0, Qt::AscendingOrder, {1, 2, 3, 4}},   // the spacer: all equal, view order
        {1, Qt::AscendingOrder, {1, 2, 3, 4}},   // all checked
        {2, Qt::AscendingOrder, {3, 1, 2, 4}},   // by mood energy
        {3, Qt::AscendingOrder, {2, 4, 3, 1}},   // bytes: capitals first; equal keep order
        {3, Qt::DescendingOrder, {1, 3, 2, 4}},  // equal rows keep the view's order
        {4, Qt::AscendingOrder, {3, 1, 4, 2}},  {5, Qt::AscendingOrder, {2, 4, 3, 1}},
        {6, Qt::AscendingOrder, {4, 1, 2, 3}},  // the time as text
        {7, Qt::AscendingOrder, {3, 2, 4, 1}},  {8, Qt::DescendingOrder, {4, 3, 2, 1}},
        {9, Qt::AscendingOrder, {1, 3, 2, 4}},  // "AAC" before "MP3"
    };
    for (const Case& c : cases) {
        window.TuneList()->sortByColumn(c.column, c.order);
        EXPECT_EQ(ShownViewRows(window), c.rows) << "column " << c.column;
    }
    window.SelectListRow(3);
    window.TuneList()->sortByColumn(8, Qt::AscendingOrder);
    EXPECT_EQ(window.TuneList()->currentIndex().row(), 2);  // the selection follows its row
    EXPECT_EQ(started.app.view->SelectedRow, 3);
}

TEST(TuneList, EditingACellWritesTheLibraryRecordWithTheSameSerial) {
    StartedApp started(kTunes);
    MainWindow& window = started.window();
    QTableView& list = *window.TuneList();
    list.sortByColumn(3, Qt::AscendingOrder);  // model row 0 is view row 2
    const std::pair<int, const char*> edits[] = {
        {3, "Pomme"}, {4, "Ana Maria"}, {5, "Verger"}, {7, "Chanson fran\u00e7aise"}};
    for (const auto& [column, typed] : edits) {
        const QModelIndex index = list.model()->index(0, column);
        list.setCurrentIndex(index);
        list.edit(index);
        QLineEdit* editor = nullptr;
        for (QLineEdit* open : list.viewport()->findChildren<QLineEdit*>()) {
            if (open->isVisible()) {
                editor = open;
            }
        }
        ASSERT_NE(editor, nullptr);
        editor->setText(QString::fromUtf8(typed));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(list.model()->index(0, column).data().toString(), QString::fromUtf8(typed));
    }
    const TuneRecord& tune = (*started.app.library)[2];
    EXPECT_EQ(tune.Title.view(), "Pomme");
    EXPECT_EQ(tune.Artist.view(), "Ana Maria");
    EXPECT_EQ(tune.Album.view(), "Verger");
    EXPECT_EQ(tune.Genre.view(),
              "Chanson fran\x8D"
              "aise");  // Mac Roman
    EXPECT_EQ((*started.app.library)[4].Title.view(), "Apple");

    // A genre longer than its slot is cut to 63 characters in the library.
    ASSERT_TRUE(window.Model().setData(list.model()->index(1, 7), QString(80, QLatin1Char('g')),
                                       Qt::EditRole));
    EXPECT_EQ((*started.app.library)[4].Genre.view(), std::string(63, 'g'));
}

TEST(TuneList, SelectionAndDoubleClickReachTheViewState) {
    StartedApp started(kTunes);
    MainWindow& window = started.window();
    QTableView& list = *window.TuneList();
    list.sortByColumn(3, Qt::AscendingOrder);
    list.selectRow(2);  // view row 3
    EXPECT_EQ(started.app.view->SelectedRow, 3);
    EXPECT_FALSE(started.app.PlayFromSelectionRequest);
    emit list.doubleClicked(list.model()->index(3, 4));
    EXPECT_EQ(started.app.view->SelectedRow, 1);
    EXPECT_TRUE(started.app.PlayFromSelectionRequest);
}

TEST(TuneList, ACheckBoxClickFlipsTheRowAndTheLibraryTuneOfTheSameTitleAndAlbum) {
    StartedApp started(kTunes);
    QTableView& list = *started.window().TuneList();
    for (const uint16_t expected : {0, 1}) {
        const QRect cell = list.visualRect(list.model()->index(3, 1));  // "Apple", "Beta"
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
        started.app.eventHook();  // the player's tick applies the click
        EXPECT_EQ(started.app.view->List[4].Checked, expected);
        EXPECT_EQ((*started.app.library)[4].Checked, expected);
        EXPECT_EQ((*started.app.library)[2].Checked, 1);  // "Apple" of another album
        EXPECT_EQ(list.model()->index(3, 1).data(Qt::CheckStateRole).toInt(),
                  expected ? Qt::Checked : Qt::Unchecked);
    }
}

TEST(MainWindow, TheGenrePopupKeepsTheChosenItemAndMood) {
    StartedApp started(kTunes);
    auto* popup = qobject_cast<QPushButton*>(started.window().Control(kGenrePopup));
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(popup->menu()->actions().size(), 29);
    popup->menu()->actions()[2]->menu()->actions()[4]->trigger();
    EXPECT_EQ(started.window().PopupItem(), 3);
    EXPECT_EQ(started.window().PopupMood(), 5);
    EXPECT_EQ(popup->text(), QStringLiteral("Mood By Genre: Blues"));
}

TEST(TuneList, MoodCellShowsTheWhiteDotOnlyOnThePlayingRowOfThePlayingList) {
    StartedApp started(kTunes);
    MainWindow& window = started.window();
    const uint64_t shown = started.app.view->ViewStamp;
    struct Case {
        PlayingMarker marker;
        bool dotOnRow2;
    };
    const Case cases[] = {
        {{shown, 2, true}, true},
        {{shown + 1, 2, true}, false},  // another list is playing
        {{shown, 2, false}, false},     // stopped
        {{shown, 3, true}, false},
    };
    for (const Case& c : cases) {
        window.SetPlayingRow(c.marker);
        EXPECT_EQ(window.Model().IsPlayingRow(window.Model().ModelRowOf(2)), c.dotOnRow2);
    }
    // The drawing: ring, disc and dot centred on the 17-pixel disc.
    for (const bool dot : {false, true}) {
        QImage image(40, 21, QImage::Format_ARGB32);
        image.fill(Qt::black);
        QPainter p(&image);
        DrawMoodCell(p, QRect(0, 0, 40, 21), 21, MoodTable[1].colour, dot);
        p.end();
        EXPECT_EQ(image.pixelColor(8, 10) == QColor(Qt::white), dot);
        EXPECT_EQ(image.pixelColor(30, 10), QColor(Qt::black));  // nothing beyond the disc
        const QColor disc = image.pixelColor(8, 5);
        EXPECT_NEAR(disc.green(), 0x39, 1);
        EXPECT_NEAR(disc.blue(), 0x7C, 1);
    }
}

}  // namespace
}  // namespace harmovia::test
