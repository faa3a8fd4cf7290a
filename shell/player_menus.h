#pragma once

// The player's state as the window shows it: the Player and Loop menus, the add and send
// commands after a run, and the play button. The player publishes (PlayerState::Controls,
// the mute and loop modes); this maps, and is the only code that writes those items.

#include <cstdint>
#include <string_view>
#include <vector>

#include "player/player_state.h"

namespace harmovia {

struct App;

struct MenuItemLook {
    int16_t menu;
    int16_t item;
    int state;
    std::string_view text;  // empty: the item keeps its text

    bool operator==(const MenuItemLook&) const = default;
};

// The Player and Loop menu items for `player`, in menu order.
std::vector<MenuItemLook> PlayerMenuItems(const PlayerState& player);

// Shows the player's state: every item of PlayerMenuItems whose look changed since the last
// call, the play button, and, once after each run, the add and send commands enabled.
void ShowPlayerControls(App& app);

}  // namespace harmovia
