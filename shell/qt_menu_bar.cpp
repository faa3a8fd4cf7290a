#include "shell/qt_menu_bar.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>
#include <array>
#include <cctype>

#include "library/genre_table.h"
#include "library/mac_roman_qt.h"
#include "library/mood.h"
#include "shell/artwork.h"
#include "shell/menu_table.h"
#include "shell/platform_texts.h"

namespace harmovia {
namespace {

// Menus made through their item 0 stand before the next existing menu with a higher id up
// to this one.
constexpr int16_t kHighestOrderedMenu = 31;

// "&" would be taken for a mnemonic.
QString ShownText(std::string_view shown) {
    return MenuLabel(FromMacRoman(shown), -1);
}

void ApplyState(QAction* action, int state) {
    action->setEnabled(state != kItemDisabled);
    action->setCheckable(state == kItemChecked);
    action->setChecked(state == kItemChecked);
}

// Where Alt opens the menus, every title and item has a letter to reach it by.
constexpr bool kMnemonics = !kMacPlatform;

// The shown text, with its mnemonic where menus take one: a letter of `shown` not among
// `taken`, which it joins.
QString LabelText(std::string_view shown, QString* taken) {
    const QString plain = FromMacRoman(shown);
    const int mnemonic = taken != nullptr ? MnemonicIndex(plain, *taken) : -1;
    if (mnemonic >= 0) {
        taken->append(plain[mnemonic].toLower());
    }
    return MenuLabel(plain, mnemonic);
}

// `taken`: the mnemonics the item's neighbours use, or nullptr for an item without one.
void ApplyText(QAction* action, std::string_view stored, QString* taken = nullptr) {
    stored = PlatformTextFor(stored);
    const MenuItemText text = SplitMenuItemText(stored);
    action->setSeparator(stored == "-");
    action->setText(stored == "-" ? QString() : LabelText(text.shown, taken));
    if (text.key != 0) {
        const auto key = static_cast<Qt::Key>(std::toupper(static_cast<unsigned char>(text.key)));
        action->setShortcut(QKeySequence(QKeyCombination(Qt::ControlModifier, key)));
    } else {
        action->setShortcut(QKeySequence());
    }
}

// The nine moods, each with its disc; discs[m] is mood m's (the icons share their pixels).
QMenu* MoodMenu(QWidget* parent, const std::array<QIcon, kMoodCount + 1>& discs) {
    auto* menu = new QMenu(parent);
    for (int m = 1; m <= kMoodCount; ++m) {
        QAction* action = menu->addAction(ShownText(MoodTable[static_cast<size_t>(m)].name));
        action->setIcon(discs[static_cast<size_t>(m)]);
    }
    return menu;
}

}  // namespace

int MnemonicIndex(const QString& plain, const QString& taken) {
    const auto free = [&](qsizetype i) {
        return plain[i].isLetterOrNumber() && !taken.contains(plain[i].toLower());
    };
    // A word's initial reads best; any other letter will do.
    for (qsizetype i = 0; i < plain.size(); ++i) {
        if ((i == 0 || plain[i - 1].isSpace()) && free(i)) {
            return static_cast<int>(i);
        }
    }
    for (qsizetype i = 0; i < plain.size(); ++i) {
        if (free(i)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QString MenuLabel(const QString& plain, int mnemonic) {
    QString label;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        if (i == mnemonic) {
            label += QLatin1Char('&');
        }
        label += plain[i];
        if (plain[i] == QLatin1Char('&')) {
            label += QLatin1Char('&');  // a literal "&", not a mnemonic
        }
    }
    return label;
}

QString TakenMnemonics(const QWidget& menu, const QAction* except) {
    QString taken;
    for (const QAction* action : menu.actions()) {
        const QString text = action->text();
        for (qsizetype i = 0; action != except && i + 1 < text.size(); ++i) {
            if (text[i] == QLatin1Char('&')) {
                if (text[i + 1] != QLatin1Char('&')) {
                    taken += text[i + 1].toLower();
                }
                ++i;
            }
        }
    }
    return taken;
}

QtMenuBar::QtMenuBar(CommandHandler onCommand, std::function<void()> onQuit)
    : bar_(new QMenuBar), onCommand_(std::move(onCommand)), onQuit_(std::move(onQuit)) {}

QtMenuBar::~QtMenuBar() {
    if (bar_ != nullptr && bar_->parent() == nullptr) {
        delete bar_.data();
    }
}

QtMenuBar::Entry* QtMenuBar::Find(int16_t menu) {
    const auto it = menus_.find(menu);
    return it == menus_.end() ? nullptr : &it->second;
}

QMenu* QtMenuBar::Menu(int16_t menu) const {
    const auto it = menus_.find(menu);
    return it == menus_.end() ? nullptr : it->second.menu;
}

QAction* QtMenuBar::Item(int16_t menu, int16_t item) const {
    const auto it = menus_.find(menu);
    if (it == menus_.end() || item < 1 || item >= static_cast<int>(it->second.items.size())) {
        return nullptr;
    }
    return it->second.items[static_cast<size_t>(item)];
}

int QtMenuBar::ItemCount(int16_t menu) const {
    const auto it = menus_.find(menu);
    return it == menus_.end() ? 0 : static_cast<int>(it->second.items.size()) - 1;
}

QtMenuBar::Entry& QtMenuBar::StartMenu(int16_t menu, std::string_view title) {
    Entry* entry = Find(menu);
    if (entry == nullptr) {
        entry = &menus_[menu];
        entry->menu = new QMenu(bar_);
        // Before the next menu of the bar with a higher id (up to 31), else at the end;
        // the Window menu stays last.
        QAction* before = windowMenu_ != nullptr ? windowMenu_->menuAction() : nullptr;
        for (const auto& [id, other] : menus_) {
            if (id > menu && id <= kHighestOrderedMenu && other.menu != nullptr &&
                bar_->actions().contains(other.menu->menuAction())) {
                before = other.menu->menuAction();
                break;
            }
        }
        bar_->insertMenu(before, entry->menu);
    }
    QString taken = TakenMnemonics(*bar_, entry->menu->menuAction());
    entry->menu->setTitle(LabelText(title, kMnemonics ? &taken : nullptr));
    entry->menu->clear();
    entry->items.assign(1, nullptr);
    if (menu == kAppMenu) {
        entry->menu->menuAction()->setMenuRole(QAction::ApplicationSpecificRole);
    }
    return *entry;
}

QAction* QtMenuBar::AppendItem(int16_t menu, Entry& entry, std::string_view stored) {
    auto* action = new QAction(entry.menu);
    QString taken = TakenMnemonics(*entry.menu, action);
    ApplyText(action, stored, kMnemonics ? &taken : nullptr);
    entry.menu->addAction(action);
    const auto item = static_cast<int16_t>(entry.items.size());
    entry.items.push_back(action);
    if (menu == kAppMenu && item == 1) {
        action->setMenuRole(QAction::AboutRole);
    }
    QObject::connect(action, &QAction::triggered, action, [this, menu, item] {
        if (onCommand_) {
            onCommand_(menu, item);
        }
    });
    return action;
}

void QtMenuBar::SetMenuItem(int16_t menu, int16_t item, int state,
                            std::optional<std::string_view> text) {
    if (item == 0) {
        if (text) {
            StartMenu(menu, *text);
        }
        if (Entry* entry = Find(menu)) {
            entry->menu->menuAction()->setEnabled(state != kItemDisabled);
        }
        return;
    }
    Entry* entry = Find(menu);
    if (entry == nullptr || item < 0) {
        return;
    }
    if (item >= static_cast<int>(entry->items.size())) {
        if (!text) {
            return;
        }
        while (static_cast<int>(entry->items.size()) < item) {
            ApplyState(AppendItem(menu, *entry, "-"), kItemDisabled);
        }
        AppendItem(menu, *entry, *text);
    } else if (text) {
        QAction* action = entry->items[static_cast<size_t>(item)];
        QString taken = TakenMnemonics(*entry->menu, action);
        ApplyText(action, *text, kMnemonics ? &taken : nullptr);
    }
    ApplyState(entry->items[static_cast<size_t>(item)], state);
    if (menu == kAppMenu && item == 1 && quit_ == nullptr) {
        // The platform's Quit follows the About item; it has no item number.
        entry->menu->addSeparator();
        QString taken = TakenMnemonics(*entry->menu, nullptr);
        quit_ = entry->menu->addAction(LabelText("Quit Harmovia", kMnemonics ? &taken : nullptr));
        quit_->setShortcut(QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_Q)));
        quit_->setMenuRole(QAction::QuitRole);
        QObject::connect(quit_, &QAction::triggered, quit_, [this] {
            if (onQuit_) {
                onQuit_();
            }
        });
    }
}

int QtMenuBar::AttachSubmenu(int16_t menu, int16_t item, std::string_view text, int16_t submenu) {
    Entry* entry = Find(menu);
    if (entry == nullptr) {
        return -1;
    }
    SetMenuItem(menu, item, kItemEnabled, text);
    QAction* action = Item(menu, item);
    Entry& sub = menus_[submenu];
    if (sub.menu == nullptr) {
        sub.menu = new QMenu(entry->menu);
    }
    sub.menu->setTitle(action->text());
    sub.items.assign(1, nullptr);
    sub.menu->clear();
    action->setMenu(sub.menu);
    return 0;
}

QMenu* QtMenuBar::BuildPopupMenu(int16_t menu, const std::vector<std::string_view>& texts) {
    Entry& entry = menus_[menu];
    if (entry.menu == nullptr) {
        entry.menu = new QMenu;
    }
    entry.menu->clear();
    entry.items.assign(1, nullptr);
    for (const std::string_view text : texts) {
        auto* action = new QAction(entry.menu);
        ApplyText(action, text);
        entry.menu->addAction(action);
        entry.items.push_back(action);
    }
    return entry.menu;
}

void QtMenuBar::SetItemIcon(int16_t menu, int16_t item, const QIcon& icon) {
    if (QAction* action = Item(menu, item)) {
        action->setIcon(icon);
    }
}

void QtMenuBar::AddWindowMenu() {
    if (windowMenu_ != nullptr) {
        return;
    }
    QString taken = TakenMnemonics(*bar_, nullptr);
    windowMenu_ = bar_->addMenu(LabelText("Window", kMnemonics ? &taken : nullptr));
    QAction* minimize = windowMenu_->addAction(kMnemonics ? QStringLiteral("&Minimize")
                                                          : QStringLiteral("Minimize"));
    minimize->setShortcut(QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_M)));
    QObject::connect(minimize, &QAction::triggered, minimize, [this] {
        if (window_ != nullptr) {
            window_->showMinimized();
        }
    });
    QAction* zoom =
        windowMenu_->addAction(kMnemonics ? QStringLiteral("&Zoom") : QStringLiteral("Zoom"));
    QObject::connect(zoom, &QAction::triggered, zoom, [this] {
        if (window_ != nullptr) {
            window_->isMaximized() ? window_->showNormal() : window_->showMaximized();
        }
    });
}

void BuildMenuBar(QtMenuBar& menus) {
    for (const MenuBuildStep& build : kMenuBuild) {
        const MenuStep& s = build.step;
        switch (build.fill) {
            case MenuFill::WindowMenu:
                menus.AddWindowMenu();
                continue;
            case MenuFill::GenreNames:
                menus.AttachSubmenu(s.menu, s.item, s.text, s.submenu);
                for (int k = 1; k < kGenreMenuCount; ++k) {
                    menus.SetMenuItem(s.submenu, static_cast<int16_t>(k), kItemEnabled,
                                      GenreMenuList[static_cast<size_t>(k)]);
                }
                continue;
            case MenuFill::GenreMoodSubmenus:
                menus.AttachSubmenu(s.menu, s.item, s.text, s.submenu);
                for (int k = 1; k < kGenreMenuCount; ++k) {
                    const auto submenu = static_cast<int16_t>(kFirstGenreMoodMenu - 1 + k);
                    menus.AttachSubmenu(s.submenu, static_cast<int16_t>(k),
                                        GenreMenuList[static_cast<size_t>(k)], submenu);
                    for (int m = 1; m <= kMoodCount; ++m) {
                        menus.SetMenuItem(submenu, static_cast<int16_t>(m), kItemEnabled,
                                          MoodTable[static_cast<size_t>(m)].name);
                    }
                }
                continue;
            case MenuFill::None:
                break;
        }
        if (s.submenu != 0) {
            menus.AttachSubmenu(s.menu, s.item, s.text, s.submenu);
            menus.SetMenuItem(s.menu, s.item, s.state);
        } else {
            menus.SetMenuItem(s.menu, s.item, s.state, s.text);
        }
    }
    for (int m = 1; m <= kMoodCount; ++m) {
        const QIcon disc = MoodDiscIcon(m);
        menus.SetItemIcon(kPlaylistsMenu, static_cast<int16_t>(kFirstMoodPlaylistItem + m - 1),
                          disc);
        menus.SetItemIcon(kSetMoodMenu, static_cast<int16_t>(m), disc);
    }
    // The standard edit items act on the focused text field.
    using Edit = void (*)(QLineEdit&);
    const std::array<std::pair<int16_t, Edit>, 7> editItems = {{
        {1, [](QLineEdit& f) { f.undo(); }},
        {2, [](QLineEdit& f) { f.redo(); }},
        {4, [](QLineEdit& f) { f.cut(); }},
        {5, [](QLineEdit& f) { f.copy(); }},
        {6, [](QLineEdit& f) { f.paste(); }},
        {7, [](QLineEdit& f) { f.del(); }},
        {8, [](QLineEdit& f) { f.selectAll(); }},
    }};
    for (const auto& [item, edit] : editItems) {
        QAction* action = menus.Item(kEditMenu, item);
        QObject::connect(action, &QAction::triggered, action, [edit] {
            if (auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
                edit(*field);
            }
        });
    }
    menus.Item(kEditMenu, 2)
        ->setShortcut(
            QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)));
}

QMenu* BuildMoodByGenrePopup(QtMenuBar& menus, std::function<void(int item, int mood)> onChoice) {
    std::vector<std::string> texts;
    for (int j = 1; j <= kGenreMenuCount; ++j) {
        texts.push_back("Mood By Genre: " + std::string(GenreMenuList[static_cast<size_t>(j - 1)]));
    }
    std::vector<std::string_view> views(texts.begin(), texts.end());
    QMenu* popup = menus.BuildPopupMenu(kMoodByGenrePopupMenu, views);
    // Drawn once for all 29 genres' menus.
    std::array<QIcon, kMoodCount + 1> discs;
    for (int m = 1; m <= kMoodCount; ++m) {
        discs[static_cast<size_t>(m)] = MoodDiscIcon(m);
    }
    for (int j = 1; j <= kGenreMenuCount; ++j) {
        QAction* item = menus.Item(kMoodByGenrePopupMenu, static_cast<int16_t>(j));
        QMenu* moods = MoodMenu(popup, discs);
        item->setMenu(moods);
        const QList<QAction*> choices = moods->actions();
        for (int m = 1; m <= choices.size(); ++m) {
            QObject::connect(choices[m - 1], &QAction::triggered, choices[m - 1],
                             [onChoice, j, m] { onChoice(j, m); });
        }
    }
    return popup;
}

}  // namespace harmovia
