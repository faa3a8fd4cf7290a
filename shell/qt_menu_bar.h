#pragma once

// The menu bar over Qt's menus: menus by id, items by number, and SetMenuItem as the one way
// to change them. Every choice of a numbered item is handed to one handler as (menu, item).

#include <QMenuBar>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/menu_bar.h"

class QAction;
class QIcon;
class QMenu;

class QWidget;

namespace harmovia {

class QtMenuBar final : public MenuBar {
  public:
    using CommandHandler = std::function<void(int16_t menu, int16_t item)>;
    // onQuit runs for the application menu's Quit (Ctrl+Q), which has no item number.
    QtMenuBar(CommandHandler onCommand, std::function<void()> onQuit);
    ~QtMenuBar() override;
    QtMenuBar(const QtMenuBar&) = delete;
    QtMenuBar& operator=(const QtMenuBar&) = delete;

    void SetMenuItem(int16_t menu, int16_t item, int state,
                     std::optional<std::string_view> text = std::nullopt) override;
    // Sets the item's text (state 1) and hangs a new empty menu `submenu` under it. -1 when
    // the parent menu does not exist.
    int AttachSubmenu(int16_t menu, int16_t item, std::string_view text, int16_t submenu);
    // A menu outside the bar with these items in order ("-" a separator).
    QMenu* BuildPopupMenu(int16_t menu, const std::vector<std::string_view>& texts);
    void SetItemIcon(int16_t menu, int16_t item, const QIcon& icon);

    // The bar itself, until a window takes it (QMainWindow::setMenuBar).
    QMenuBar* Bar() const { return bar_; }
    QMenu* Menu(int16_t menu) const;
    QAction* Item(int16_t menu, int16_t item) const;  // nullptr when there is none
    int ItemCount(int16_t menu) const;
    // The Window menu's Minimize and Zoom act on this window.
    void SetWindow(QWidget* window) { window_ = window; }
    void AddWindowMenu();
    QAction* QuitAction() const { return quit_; }

  private:
    struct Entry {
        QMenu* menu = nullptr;
        std::vector<QAction*> items{nullptr};  // [1..]; [0] unused
    };
    Entry* Find(int16_t menu);
    Entry& StartMenu(int16_t menu, std::string_view title);
    QAction* AppendItem(int16_t menu, Entry& entry, std::string_view stored);

    QPointer<QMenuBar> bar_;
    std::map<int16_t, Entry> menus_;
    QMenu* windowMenu_ = nullptr;
    QAction* quit_ = nullptr;
    QPointer<QWidget> window_;
    CommandHandler onCommand_;
    std::function<void()> onQuit_;
};

// The index of the letter of a menu text (`plain`, shown as it is) that becomes its mnemonic:
// the first word's initial not in `taken` (lower-case letters already used beside it), else
// the first other letter or digit not in it; -1 when none is left.
int MnemonicIndex(const QString& plain, const QString& taken);
// `plain` as a menu label: a literal "&" doubled, and "&" before the letter at `mnemonic`
// (none when -1).
QString MenuLabel(const QString& plain, int mnemonic);
// The mnemonics the items of a menu or menu bar use, lower-cased, `except` not counted.
QString TakenMnemonics(const QWidget& menu, const QAction* except);

// Builds every menu of the bar in order, the mood discs on "Playlists" items 3..11, and the
// standard Edit items acting on the focused text field.
void BuildMenuBar(QtMenuBar& menus);

// Menu 40: "Mood By Genre: " + each genre item, each with the nine moods (with discs) as a
// submenu. onChoice(item, mood) runs once per choice.
QMenu* BuildMoodByGenrePopup(QtMenuBar& menus, std::function<void(int item, int mood)> onChoice);

}  // namespace harmovia
