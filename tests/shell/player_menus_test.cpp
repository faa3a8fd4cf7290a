// The player's published state as the menus show it: one table, state in, items out.

#include "shell/player_menus.h"

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/menu_bar.h"
#include "shell/menu_table.h"

namespace harmovia {
namespace {

TEST(PlayerMenus, TheItemsFollowThePlayersState) {
    // Set of p(laying), s(Play says stop), m(uted), t(une looped), l(ist looped); Play's text;
    // then Next, Back, Mute, Up, Down, Loop, Reveal, Loop 1, Loop 2: Disabled, Enabled, Checked.
    const std::tuple<std::string, const char*, std::string> cases[] = {
        {"", "Play", "DDDDDDDEE"},
        {"s", "Stop Playing", "DDDDDDDEE"},
        {"ps", "Stop Playing", "EEEEEEEEE"},
        {"psmt", "Stop Playing", "EECEECECE"},
        {"ml", "Play", "DDDDDDDEC"}};
    for (const auto& [set, playText, states] : cases) {
        SCOPED_TRACE(set);
        const auto has = [&set](char flag) { return set.find(flag) != std::string::npos; };
        PlayerState p;
        p.Controls.transportEnabled = has('p');
        p.Controls.playSaysStop = has('s');
        p.Muted = has('m') ? 1 : 0;
        p.LoopTune = has('t') ? 1 : 0;
        p.LoopPlaylist = has('l') ? 1 : 0;
        const std::vector<MenuItemLook> items = PlayerMenuItems(p);
        ASSERT_EQ(items.size(), 10u);
        EXPECT_EQ(
            std::tuple(items[0].menu, items[0].item, items[0].state, std::string(items[0].text)),
            std::tuple(kPlayerMenu, kPlayItem, kItemEnabled, std::string(playText)));
        std::string shown;
        for (size_t i = 1; i < items.size(); ++i) {
            shown += std::string_view("DEC").at(static_cast<size_t>(items[i].state));
        }
        EXPECT_EQ(shown, states);
    }
}

}  // namespace
}  // namespace harmovia
