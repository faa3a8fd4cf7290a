#include "shell/player_menus.h"

#include "shell/app_state.h"
#include "shell/main_window.h"
#include "shell/menu_table.h"
#include "shell/qt_menu_bar.h"

namespace harmovia {
namespace {

// The add commands and Send Current Playlist, offered again when a run ends.
constexpr int16_t kFileItemsAfterARun[] = {1, 2, 6};

}  // namespace

std::vector<MenuItemLook> PlayerMenuItems(const PlayerState& p) {
    const PlayerControls& c = p.Controls;
    const int offered = c.transportEnabled ? kItemEnabled : kItemDisabled;
    // A mode's mark shows only on an item that is offered.
    const auto marked = [&](bool on) {
        return !c.transportEnabled ? offered : on ? kItemChecked : kItemEnabled;
    };
    return {
        {kPlayerMenu, kPlayItem, kItemEnabled, c.playSaysStop ? "Stop Playing" : "Play"},
        {kPlayerMenu, kNextItem, offered, {}},
        {kPlayerMenu, kBackItem, offered, {}},
        {kPlayerMenu, kMuteItem, marked(p.Muted == 1), {}},
        {kPlayerMenu, kVolumeUpItem, offered, {}},
        {kPlayerMenu, kVolumeDownItem, offered, {}},
        {kPlayerMenu, kLoopItem, marked(p.LoopTune == 1 || p.LoopPlaylist == 1), {}},
        {kPlayerMenu, kRevealNowPlayingItem, offered, {}},
        {kLoopMenu, 1, p.LoopTune == 1 ? kItemChecked : kItemEnabled, {}},
        {kLoopMenu, 2, p.LoopPlaylist == 1 ? kItemChecked : kItemEnabled, {}},
    };
}

void ShowPlayerControls(App& app) {
    if (!app.player || app.menus == nullptr) {
        return;
    }
    const PlayerState& p = *app.player;
    std::vector<MenuItemLook> looks = PlayerMenuItems(p);
    for (size_t i = 0; i < looks.size(); ++i) {
        const MenuItemLook& look = looks[i];
        if (i < app.shownPlayerItems.size() && app.shownPlayerItems[i] == look) {
            continue;
        }
        if (look.text.empty()) {
            app.menus->SetMenuItem(look.menu, look.item, look.state);
        } else {
            app.menus->SetMenuItem(look.menu, look.item, look.state, look.text);
        }
    }
    app.shownPlayerItems = std::move(looks);
    if (p.Controls.runsEnded != app.shownRunsEnded) {
        app.shownRunsEnded = p.Controls.runsEnded;
        for (const int16_t item : kFileItemsAfterARun) {
            app.menus->SetMenuItem(kFileMenu, item, kItemEnabled);
        }
    }
    if (app.window && p.Controls.playButton != app.shownPlayButton) {
        app.shownPlayButton = p.Controls.playButton;
        app.window->SetPlayButton(p.Controls.playButton);
    }
}

}  // namespace harmovia
