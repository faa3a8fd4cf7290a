// The player's published state as the menus show it: one table, state in, items out.

#include "shell/player_menus.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/menu_bar.h"
#include "shell/menu_table.h"

namespace harmovia {
namespace {

TEST(PlayerMenus, TheItemsFollowThePlayersState) {
    constexpr int D = kItemDisabled, E = kItemEnabled, C = kItemChecked;
    const struct {
        const char* what;
        bool playing, saysStop, muted, loopTune, loopPlaylist;
        // Play's text, then Next, Back, Mute, Up, Down, Loop, Reveal, Loop 1, Loop 2.
        const char* playText;
        std::vector<int> states;
    } cases[] = {
        {"idle", false, false, false, false, false, "Play", {D, D, D, D, D, D, D, E, E}},
        {"asked to play",
         false,
         true,
         false,
         false,
         false,
         "Stop Playing",
         {D, D, D, D, D, D, D, E, E}},
        {"playing", true, true, false, false, false, "Stop Playing", {E, E, E, E, E, E, E, E, E}},
        {"playing muted, a tune looped",
         true,
         true,
         true,
         true,
         false,
         "Stop Playing",
         {E, E, C, E, E, C, E, C, E}},
        {"idle, the list looped",
         false,
         false,
         true,
         false,
         true,
         "Play",
         {D, D, D, D, D, D, D, E, C}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PlayerState p;
        p.Controls.transportEnabled = c.playing;
        p.Controls.playSaysStop = c.saysStop;
        p.Muted = c.muted ? 1 : 0;
        p.LoopTune = c.loopTune ? 1 : 0;
        p.LoopPlaylist = c.loopPlaylist ? 1 : 0;
        const std::vector<MenuItemLook> items = PlayerMenuItems(p);
        ASSERT_EQ(items.size(), 10u);
        EXPECT_EQ(
            std::tuple(items[0].menu, items[0].item, items[0].state, std::string(items[0].text)),
            std::tuple(kPlayerMenu, kPlayItem, E, std::string(c.playText)));
        std::vector<int> states;
        for (size_t i = 1; i < items.size(); ++i) {
            states.push_back(items[i].state);
        }
        EXPECT_EQ(states, c.states);
    }
}

}  // namespace
}  // namespace harmovia
