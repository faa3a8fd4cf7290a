// The program on a desktop: its own words for Mac things, the keyboard, what a screen reader
// reads, and drag and drop.

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QSlider>
#include <QUrl>
#include <algorithm>

#include <gtest/gtest.h>

#include "import/add_tunes.h"
#include "shell/add_session.h"
#include "shell/platform_texts.h"
#include "shell/send_sheet.h"
#include "tests/shell/shell_test_support.h"

namespace harmovia::test {
namespace {

bool NamesMacThing(std::string_view text) {
    return std::ranges::any_of(
        std::array<std::string_view, 4>{"iTunes", "Finder", "QuickTime", "Apple"},
        [text](std::string_view mac) { return text.find(mac) != std::string_view::npos; });
}

// Every text a person can read in these widgets and menus.
QStringList ShownTexts(const QList<QWidget*>& tops) {
    QStringList texts;
    for (QWidget* top : tops) {
        for (const QAbstractButton* b : top->findChildren<QAbstractButton*>()) {
            texts << b->text();
        }
        for (const QLabel* l : top->findChildren<QLabel*>()) {
            texts << l->text();
        }
        for (const QAction* a : top->findChildren<QAction*>()) {
            texts << PlainMenuText(a->text());
        }
    }
    return texts;
}

TEST(PlatformTexts, TheTableCoversEveryMacTextAndTheBuiltWindowShowsIt) {
    for (const PlatformText& t : kPlatformTexts) {
        EXPECT_TRUE(NamesMacThing(t.mac)) << t.mac;
        EXPECT_FALSE(NamesMacThing(t.desktop)) << t.desktop;
        // A menu text keeps its command key.
        EXPECT_EQ(SplitMenuItemText(t.mac).key, SplitMenuItemText(t.desktop).key) << t.mac;
    }
    // No text of the menus or the window that names a Mac thing is left out of the table.
    std::vector<std::string_view> tableTexts;
    for (const MenuBuildStep& b : kMenuBuild) {
        tableTexts.push_back(b.step.text);
    }
    for (const ControlSpec& c : kMainWindowControls) {
        tableTexts.insert(tableTexts.end(), {c.text, c.helpTag});
    }
    tableTexts.insert(tableTexts.end(), {kNoMusicAlertTitle, kNoMusicAlertMessage});
    for (const std::string_view text : tableTexts) {
        if (NamesMacThing(text)) {
            EXPECT_TRUE(std::ranges::any_of(kPlatformTexts, [text](const PlatformText& t) {
                return t.mac == text;
            })) << text;
        }
    }

    // What the window, the welcome sheet and the send sheet show: the table's text for this
    // platform (the menus' is checked item by item in the menu bar test), and nothing that
    // names a Mac thing where there is none.
    StartedApp started({});
    App& app = started.app;
    const auto controlText = [&app](int32_t id) {
        return qobject_cast<QAbstractButton*>(app.window->Control(id))->text();
    };
    const auto welcomeText = [&app](int32_t id) {
        return app.window->WelcomeSheet()
            ->findChild<QLabel*>(QStringLiteral("control%1").arg(id))
            ->text();
    };
    const std::pair<QString, std::string_view> shown[] = {
        {controlText(kRefreshTunesButton), "Refresh Tunes In iTunes"},
        {controlText(kSendPlaylistButton), "Send Playlist To iTunes"},
        {welcomeText(4403), "Would you like to automatically add your music from iTunes now?"},
    };
    for (const auto& [text, mac] : shown) {
        EXPECT_EQ(text.toStdString(), SplitMenuItemText(PlatformTextFor(mac)).shown) << mac;
    }

    StartedApp withTunes(kTunes);
    Click(withTunes.app, kSendPlaylistButton);
    ASSERT_NE(withTunes.app.sending, nullptr);
    QWidget* sheet = withTunes.app.sending->Sheet();
    EXPECT_EQ(sheet->findChild<QLabel*>(QStringLiteral("control10002"))->text().toStdString(),
              PlatformTextFor("Accept this name for your iTunes playlist or enter a new one."));
    const QStringList texts = ShownTexts(
        {app.window.get(), app.window->WelcomeSheet(), sheet, withTunes.app.window.get()});
    EXPECT_GT(texts.size(), 100);
    for (const QString& text : texts) {
        EXPECT_TRUE(kMacPlatform || !NamesMacThing(text.toStdString())) << text.toStdString();
    }
    Click(withTunes.app, kSendCancelButton);
}

QWidget* Focused() {
    return QApplication::focusWidget();
}
int32_t FocusedId() {
    return Focused() != nullptr ? Focused()->property("controlId").toInt() : 0;
}

TEST(Keyboard, TabArrowsReturnAndSpaceReachEveryControl) {
    StartedApp started(kTunes);
    App& app = started.app;
    MainWindow& window = started.window();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.Control(kSearchField)->setFocus(Qt::TabFocusReason);
    std::vector<int32_t> reached = {FocusedId()};
    for (size_t i = 1; i < kTabOrder.size(); ++i) {
        QTest::keyClick(Focused(), Qt::Key_Tab);
        reached.push_back(Focused() == window.TuneList() ? kTuneListId : FocusedId());
    }
    EXPECT_EQ(reached, std::vector<int32_t>(kTabOrder.begin(), kTabOrder.end()));

    // Along the colour row with the arrows, stopping at its ends; Return and Space press.
    const std::tuple<int32_t, Qt::Key, int32_t> moves[] = {
        {kFirstColourButton, Qt::Key_Left, kFirstColourButton},
        {kFirstColourButton, Qt::Key_Right, 9002},
        {kLastColourButton, Qt::Key_Left, 9010},
        {kLastColourButton, Qt::Key_Right, kLastColourButton},
        {kPlayButton, Qt::Key_Right, kForwardButton},
    };
    for (const auto& [from, key, to] : moves) {
        window.Control(from)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(Focused(), key);
        EXPECT_EQ(FocusedId(), to) << from;
    }
    window.Control(kLastColourButton)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(Focused(), Qt::Key_Return);
    QTest::qWait(200);  // the button's press shows before it clicks
    EXPECT_EQ(app.view->ViewMode, kModeLastAdded);
    window.Control(kFirstColourButton)->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(FocusedId(), kFirstColourButton);
    int clicks = 0;
    QObject::connect(qobject_cast<QAbstractButton*>(Focused()), &QAbstractButton::clicked,
                     [&clicks] { ++clicks; });
    QTest::keyClick(Focused(), Qt::Key_Space);  // the button's, not the pause key's
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(app.view->ViewMode, kModeAllTunes);

    auto* slider = qobject_cast<QSlider*>(window.Control(kVolumeSlider));
    slider->setFocus(Qt::TabFocusReason);
    const int volume = app.preferences.Volume;
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(app.preferences.Volume, volume + 10);

    // Return in the list plays the selected tune.
    window.TuneList()->setFocus(Qt::TabFocusReason);
    window.TuneList()->selectRow(2);
    app.PlayFromSelectionRequest = false;
    QTest::keyClick(window.TuneList(), Qt::Key_Return);
    EXPECT_TRUE(app.PlayFromSelectionRequest);
    EXPECT_EQ(app.view->SelectedRow, window.Model().ViewRowAt(2));
    // On the check box the space bar checks and unchecks the row.
    const QModelIndex box = window.TuneList()->model()->index(2, 1);
    window.TuneList()->setCurrentIndex(box);
    for (const int expected : {Qt::Unchecked, Qt::Checked}) {
        QTest::keyClick(window.TuneList(), Qt::Key_Space);
        app.eventHook();  // the player's tick applies it
        EXPECT_EQ(box.data(Qt::CheckStateRole).toInt(), expected);
    }
}

TEST(Keyboard, EveryMenuAndItemHasItsOwnLetterAndAltOpensTheMenu) {
    if (kMacPlatform) {
        GTEST_SKIP() << "menus open from the menu bar, not by letters";
    }
    StartedApp started(kTunes);
    const auto mnemonic = [](const QString& text) {
        const qsizetype at = text.indexOf(QRegularExpression(QStringLiteral("&[^&]")));
        return at < 0 ? QChar() : text[at + 1].toLower();
    };
    QMenuBar* bar = started.window().menuBar();
    QString titles;
    for (const QAction* title : bar->actions()) {
        const QChar letter = mnemonic(title->text());
        ASSERT_FALSE(letter.isNull()) << title->text().toStdString();
        EXPECT_FALSE(titles.contains(letter)) << title->text().toStdString();
        titles += letter;
        QString items;
        for (const QAction* item : title->menu()->actions()) {
            if (item->isSeparator()) {
                continue;
            }
            const QChar key = mnemonic(item->text());
            EXPECT_FALSE(key.isNull() || items.contains(key)) << item->text().toStdString();
            items += key;
        }
    }
    EXPECT_EQ(titles, QStringLiteral("hfelpw"));  // "Player" came first

    started.window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&started.window()));
    QTest::keyClick(&started.window(), Qt::Key_F, Qt::AltModifier);
    QMenu* file = started.app.menus->Menu(kFileMenu);
    EXPECT_TRUE(QTest::qWaitFor([file] { return file->isVisible(); }, 2000));
    file->close();
}

TEST(MnemonicIndex, PrefersAWordsInitialThenAnyFreeLetter) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"File", "", 0},
        {"Playlists", "p", 1},
        {"More From Album", "m", 5},
        {"More From Album", "mfa", 1},
        {"Volume Up ", "v", 7},
        {"& Co", "", 2},
        {"ab", "ab", -1},
        {"", "", -1},
    };
    for (const auto& [text, taken, index] : cases) {
        EXPECT_EQ(MnemonicIndex(QString::fromUtf8(text), QString::fromUtf8(taken)), index) << text;
    }
    EXPECT_EQ(MenuLabel(QStringLiteral("Dinner & Drinks"), 9), QStringLiteral("Dinner && &Drinks"));
    EXPECT_EQ(MenuLabel(QStringLiteral("Dinner & Drinks"), -1), QStringLiteral("Dinner && Drinks"));
}

QString AccessibleText(QWidget* widget, QAccessible::Text which) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face != nullptr ? face->text(which) : QString();
}

TEST(ScreenReaders, EveryControlIsNamedAndRowsReadTheirMoodAndCheckMark) {
    StartedApp started(kTunes);
    MainWindow& window = started.window();
    const std::pair<int32_t, const char*> names[] = {
        {kSearchField, "Search"},
        {kGenrePopup, "Mood By Genre"},
        {kFirstColourButton, "All Tunes"},
        {9002, "Deep Relaxation"},
        {9006, "Move & Groove"},
        {9010, "Maximum Wild"},
        {kLastColourButton, "Last Added"},
        {kBackButton, "Back"},
        {kPlayButton, "Play"},
        {kForwardButton, "Next"},
        {kVolumeSlider, "Volume"},
        {kTuneListId, "Tunes"},
        {kRefreshTunesButton, "Refresh Tunes In Music Folder"},
        {kDisplayLine2, "All Tunes"},
    };
    for (const auto& [id, name] : names) {
        const std::string expected =
            kMacPlatform && id == kRefreshTunesButton ? "Refresh Tunes In iTunes" : name;
        EXPECT_EQ(AccessibleText(window.Control(id), QAccessible::Name).toStdString(), expected);
    }
    // Every control but the painted panel has a name; a help tag is its description.
    for (const ControlSpec& spec : kMainWindowControls) {
        if (spec.kind == ControlKind::DisplayPanel) {
            continue;
        }
        QWidget* widget = window.Control(spec.id);
        EXPECT_FALSE(AccessibleText(widget, QAccessible::Name).isEmpty()) << spec.id;
        if (!spec.helpTag.empty()) {
            EXPECT_EQ(AccessibleText(widget, QAccessible::Description).toStdString(), spec.helpTag);
        }
    }
    window.SetPlayButton(2);
    EXPECT_EQ(AccessibleText(window.Control(kPlayButton), QAccessible::Name),
              QStringLiteral("Stop"));
    // Row 1 ("banana", mood 3, checked): its texts, its mood's name and its check mark.
    const QAbstractItemModel& model = *window.TuneList()->model();
    const std::pair<int, QString> cells[] = {
        {1, QStringLiteral("Checked")}, {2, QStringLiteral("Dinner & Drinks")},
        {3, QStringLiteral("banana")},  {4, QStringLiteral("Cleo")},
        {5, QStringLiteral("Zeta")},
    };
    for (const auto& [column, text] : cells) {
        const QModelIndex cell = model.index(0, column);
        const QVariant spoken = cell.data(Qt::AccessibleTextRole);
        EXPECT_EQ(spoken.isValid() ? spoken.toString() : cell.data().toString(), text) << column;
    }
    EXPECT_EQ(model.index(0, 1).data(Qt::CheckStateRole).toInt(), Qt::Checked);
}

TEST(DragAndDrop, RowsDragOutAsFileUrlsOncePerRowInListOrder) {
    StartedApp started(kTunes);
    ViewList& list = started.app.view->List;
    const char* files[] = {"/m/b.mp3", "/m/a b.mp3", "/m/caf\xC3\xA9.m4a", "/m/d.mp3"};
    for (int32_t r = 1; r <= 4; ++r) {
        list[r].Location.Set(files[r - 1]);
    }
    QTableView& view = *started.window().TuneList();
    view.sortByColumn(3, Qt::AscendingOrder);  // by title: view rows 2, 4, 3, 1
    QAbstractItemModel& model = *view.model();
    EXPECT_TRUE(model.flags(model.index(0, 3)) & Qt::ItemIsDragEnabled);
    EXPECT_EQ(model.mimeTypes(), QStringList{QStringLiteral("text/uri-list")});
    const std::unique_ptr<QMimeData> data(model.mimeData(
        {model.index(3, 4), model.index(0, 3), model.index(3, 5), model.index(2, 3)}));
    EXPECT_EQ(data->data(QStringLiteral("text/uri-list")),
              QByteArray("file:///m/a%20b.mp3\r\nfile:///m/caf%C3%A9.m4a\r\nfile:///m/b.mp3\r\n"));
    EXPECT_EQ(view.dragDropMode(), QAbstractItemView::DragOnly);
}

// Drops `urls` on the window as a file manager does; whether the window took it.
bool Drop(MainWindow& window, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at(600, 400);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    return drop.isAccepted();
}

TEST(DragAndDrop, DroppedFoldersAreAddedOneAfterAnotherAndADropWhileAddingBeeps) {
    StartedApp started({});
    App& app = started.app;
    const auto first = MakeMusicFolder(started.home.path() / "dropped", 3);
    const auto second = MakeMusicFolder(started.home.path() / "more", 1);
    std::filesystem::rename(second / "Tune 1.mp3", second / "Other.mp3");  // not a duplicate
    EXPECT_FALSE(Drop(started.window(), {QUrl(QStringLiteral("https://example.org/x.mp3"))}));
    ASSERT_TRUE(Drop(started.window(), {QUrl::fromLocalFile(QString::fromStdString(first)),
                                        QUrl::fromLocalFile(QString::fromStdString(second))}));
    ASSERT_TRUE(app.AddingTunes);
    EXPECT_TRUE(app.adding->Sheet()->isVisible());
    const int beeps = started.notices.beeps;
    EXPECT_TRUE(Drop(started.window(), {QUrl::fromLocalFile(QString::fromStdString(first))}));
    EXPECT_EQ(started.notices.beeps, beeps + 1);  // refused
    RunUntilAdded(app);
    RunUntilAdded(app);  // the second folder, after the first
    EXPECT_EQ(app.library->TuneCount, 3 + 1);
    EXPECT_TRUE(app.droppedFolders.empty());
}

}  // namespace
}  // namespace harmovia::test
