#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include "library/genre_table.h"
#include "shell/menu_table.h"
#include "shell/qt_menu_bar.h"

namespace harmovia {
namespace {

struct Choice {
    int16_t menu, item;
    bool operator==(const Choice&) const = default;
};

struct BuiltMenus {
    BuiltMenus()
        : menus(
              [this](int16_t menu, int16_t item) {
                  chosen.push_back({menu, item});
              },
              [] {}) {
        BuildMenuBar(menus);
    }
    std::vector<Choice> chosen;
    QtMenuBar menus;
};

QString Shown(const QAction* action) {
    QString text = action->text();
    return text.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

TEST(Menus, EveryItemShowsItsTextKeyAndInitialState) {
    BuiltMenus built;
    int items = 0;
    for (const MenuBuildStep& build : kMenuBuild) {
        const MenuStep& s = build.step;
        if (s.menu == 0 || s.item == 0) {
            continue;
        }
        const QAction* action = built.menus.Item(s.menu, s.item);
        ASSERT_NE(action, nullptr) << s.menu << "/" << s.item;
        ++items;
        const MenuItemText text = SplitMenuItemText(s.text);
        EXPECT_EQ(action->isSeparator(), s.text == "-") << s.text;
        EXPECT_EQ(Shown(action).toStdString(), action->isSeparator() ? "" : text.shown) << s.text;
        EXPECT_EQ(action->isEnabled(), s.state != 0) << s.text;
        EXPECT_FALSE(action->isChecked()) << s.text;
        if (text.key != 0) {
            EXPECT_EQ(action->shortcut().toString(),
                      QStringLiteral("Ctrl+") + QChar::fromLatin1(text.key).toUpper())
                << s.text;
        }
    }
    EXPECT_EQ(items, 1 + 8 + 16 + 12 + 2 + 23);
}

TEST(Menus, TextsKeysAndBarOrderAsShown) {
    struct Case {
        int16_t menu, item;
        const char* shown;
        const char* key;
    };
    const Case cases[] = {
        {kPlayerMenu, 7, "Volume Up ", "Ctrl+]"},
        {kPlayerMenu, 8, "Volume Down ", "Ctrl+["},
        {kPlayerMenu, 6, "Mute", "Ctrl+."},
        {kPlaylistsMenu, 1, "All Tunes", "Ctrl+0"},
        {kPlaylistsMenu, 11, "Maximum Wild", "Ctrl+9"},
        {kFileMenu, 8, "Close Window & Quit", "Ctrl+W"},
        {kFileMenu, 6, "Send Current Playlist To iTunes...", ""},
        {kAppMenu, 1, "About Harmovia", ""},
        {kEditMenu, 2, "Redo", "Ctrl+Shift+Z"},
    };
    BuiltMenus built;
    for (const Case& c : cases) {
        const QAction* action = built.menus.Item(c.menu, c.item);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(Shown(action), QString::fromUtf8(c.shown));
        EXPECT_EQ(action->shortcut().toString(), QString::fromUtf8(c.key)) << c.shown;
    }
    QStringList titles;
    for (const QAction* menu : built.menus.Bar()->actions()) {
        titles << menu->text();
    }
    EXPECT_EQ(titles, QStringList({QStringLiteral("Harmovia"), QStringLiteral("File"),
                                   QStringLiteral("Edit"), QStringLiteral("Playlists"),
                                   QStringLiteral("Player"), QStringLiteral("Window")}));
    for (int16_t item = 3; item <= 11; ++item) {
        EXPECT_FALSE(built.menus.Item(kPlaylistsMenu, item)->icon().isNull()) << item;
    }
    ASSERT_NE(built.menus.QuitAction(), nullptr);
    EXPECT_EQ(built.menus.QuitAction()->shortcut().toString(), QStringLiteral("Ctrl+Q"));
}

TEST(Menus, GenreMenusAndMoodSubmenus) {
    BuiltMenus built;
    for (const int16_t menu : {kArtistGenreMenu, kAlbumGenreMenu, kMoodByGenreMenu}) {
        ASSERT_EQ(built.menus.ItemCount(menu), 28) << menu;
        for (int16_t k = 1; k <= 28; ++k) {
            EXPECT_EQ(Shown(built.menus.Item(menu, k)).toStdString(),
                      GenreMenuList[static_cast<size_t>(k)]);
        }
    }
    EXPECT_EQ(built.menus.Item(kEditMenu, 15)->menu(), built.menus.Menu(kArtistGenreMenu));
    EXPECT_EQ(built.menus.Item(kEditMenu, 16)->menu(), built.menus.Menu(kAlbumGenreMenu));
    EXPECT_EQ(built.menus.Item(kPlayerMenu, 10)->menu(), built.menus.Menu(kLoopMenu));
    for (int16_t k = 1; k <= 28; ++k) {
        const auto id = static_cast<int16_t>(168 + k);
        ASSERT_NE(built.menus.Menu(id), nullptr) << id;
        EXPECT_EQ(built.menus.Item(kMoodByGenreMenu, k)->menu(), built.menus.Menu(id));
        ASSERT_EQ(built.menus.ItemCount(id), 9);
        EXPECT_EQ(Shown(built.menus.Item(id, 9)), QStringLiteral("Maximum Wild"));
    }
    EXPECT_EQ(built.menus.Menu(168), nullptr);
    EXPECT_EQ(built.menus.Menu(197), nullptr);
}

TEST(Menus, ChoicesReachTheHandlerAsMenuAndItem) {
    BuiltMenus built;
    const Choice choices[] = {{kPlaylistsMenu, 5},    {169, 1},     {196, 9}, {kLoopMenu, 2},
                              {kArtistGenreMenu, 28}, {kAppMenu, 1}};
    std::vector<Choice> expected;
    for (const Choice& c : choices) {
        built.menus.Item(c.menu, c.item)->trigger();
        expected.push_back(c);
    }
    EXPECT_EQ(built.chosen, expected);
}

TEST(Menus, SetMenuItemChangesStatesTextsAndExtendsMenus) {
    BuiltMenus built;
    QtMenuBar& m = built.menus;
    m.SetMenuItem(kPlayerMenu, 1, kItemEnabled, "Stop Playing");
    EXPECT_EQ(m.Item(kPlayerMenu, 1)->text(), QStringLiteral("Stop Playing"));
    EXPECT_TRUE(m.Item(kPlayerMenu, 1)->shortcut().isEmpty());
    m.SetMenuItem(kPlayerMenu, 6, kItemChecked);
    EXPECT_TRUE(m.Item(kPlayerMenu, 6)->isChecked());
    EXPECT_TRUE(m.Item(kPlayerMenu, 6)->isEnabled());
    EXPECT_EQ(m.Item(kPlayerMenu, 6)->text(), QStringLiteral("Mute"));
    m.SetMenuItem(kPlayerMenu, 6, kItemEnabled);
    EXPECT_FALSE(m.Item(kPlayerMenu, 6)->isChecked());

    m.SetMenuItem(kFileMenu, 0, kItemDisabled);
    EXPECT_FALSE(m.Menu(kFileMenu)->menuAction()->isEnabled());
    m.SetMenuItem(kFileMenu, 0, kItemEnabled);
    EXPECT_TRUE(m.Menu(kFileMenu)->menuAction()->isEnabled());

    m.SetMenuItem(kLoopMenu, 5, kItemEnabled);  // beyond the end without a text
    EXPECT_EQ(m.ItemCount(kLoopMenu), 2);
    m.SetMenuItem(kLoopMenu, 5, kItemEnabled, "Shuffle/U");  // with one: gap of separators
    ASSERT_EQ(m.ItemCount(kLoopMenu), 5);
    EXPECT_TRUE(m.Item(kLoopMenu, 3)->isSeparator());
    EXPECT_TRUE(m.Item(kLoopMenu, 4)->isSeparator());
    EXPECT_EQ(m.Item(kLoopMenu, 5)->shortcut().toString(), QStringLiteral("Ctrl+U"));

    // Item 0 with a text restarts a menu: created in id order before a higher id.
    m.SetMenuItem(9, 0, kItemEnabled, "Extras");
    m.SetMenuItem(kPlaylistsMenu, 0, kItemEnabled, "Playlists");
    EXPECT_EQ(m.ItemCount(kPlaylistsMenu), 0);
    const QList<QAction*> bar = m.Bar()->actions();
    EXPECT_EQ(bar.indexOf(m.Menu(9)->menuAction()), bar.size() - 2);  // before Window
    m.SetMenuItem(77, 1, kItemEnabled, "Nowhere");                    // a menu that does not exist
    EXPECT_EQ(m.Menu(77), nullptr);
}

TEST(Menus, MoodByGenrePopupRunsOnceWithItemAndMood) {
    BuiltMenus built;
    std::vector<Choice> chosen;
    QMenu* popup = BuildMoodByGenrePopup(built.menus, [&chosen](int item, int mood) {
        chosen.push_back({static_cast<int16_t>(item), static_cast<int16_t>(mood)});
    });
    ASSERT_EQ(built.menus.ItemCount(kMoodByGenrePopupMenu), 29);
    EXPECT_EQ(Shown(built.menus.Item(40, 1)), QStringLiteral("Mood By Genre: All Tunes"));
    EXPECT_EQ(Shown(built.menus.Item(40, 2)), QStringLiteral("Mood By Genre: Alternative Rock"));
    EXPECT_EQ(Shown(built.menus.Item(40, 25)), QStringLiteral("Mood By Genre: R&B"));
    EXPECT_EQ(Shown(built.menus.Item(40, 29)),
              QStringLiteral("Mood By Genre: Young Adult & Children"));
    built.menus.Item(40, 2)->menu()->actions()[3]->trigger();
    EXPECT_EQ(chosen, std::vector<Choice>({{2, 4}}));
    EXPECT_FALSE(built.menus.Item(40, 29)->menu()->actions()[8]->icon().isNull());
    delete popup;
}

}  // namespace
}  // namespace harmovia
