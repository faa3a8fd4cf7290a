#pragma once

// The one way the program changes its menus: SetMenuItem by menu id and item number. The
// desktop program's menu bar implements it over its menus; tests and the CLI record it.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace harmovia {

// Item states: 0 disabled, 1 enabled, 2 enabled with a check mark. Item 0 is the menu's
// title: its state enables or disables the whole menu.
enum MenuItemState : int { kItemDisabled = 0, kItemEnabled = 1, kItemChecked = 2 };

class MenuBar {
  public:
    virtual ~MenuBar() = default;
    // Without a text only the state changes. Texts are Mac Roman, as stored in the menu
    // table ("Volume Up /]" included: the shell shows the text before the "/").
    virtual void SetMenuItem(int16_t menu, int16_t item, int state,
                             std::optional<std::string_view> text = std::nullopt) = 0;
};

// Remembers the last state and text of every item it was told about.
class RecordingMenuBar final : public MenuBar {
  public:
    struct Item {
        int state = kItemEnabled;
        std::string text;
    };
    void SetMenuItem(int16_t menu, int16_t item, int state,
                     std::optional<std::string_view> text = std::nullopt) override {
        Item& entry = items[{menu, item}];
        entry.state = state;
        if (text) {
            entry.text = std::string(*text);
        }
    }
    std::map<std::pair<int16_t, int16_t>, Item> items;
};

}  // namespace harmovia
