#pragma once

// Everything the player reads and changes, by reference, in one place: the operations of
// player/ take it instead of reaching for globals. The program builds one; tests build
// their own over fakes.

#include "browse/view_state.h"
#include "library/preferences_file.h"
#include "library/tune_library.h"
#include "platform/menu_bar.h"
#include "platform/movie_player.h"
#include "platform/user_notices.h"
#include "player/player_seams.h"
#include "player/player_state.h"

namespace harmovia {

struct PlayerContext {
    PlayerState& player;
    ViewState& view;
    Library& library;
    Preferences& preferences;  // Volume: the user's volume, 0..730
    MoviePlayer& movies;
    MenuBar& menus;
    UserNotices& notices;
    PlayerSeams& seams;
};

// Menu ids the player changes.
inline constexpr int16_t kFileMenu = 1;
inline constexpr int16_t kPlayerMenu = 4;
inline constexpr int16_t kLoopMenu = 7;

// "Player" menu items.
inline constexpr int16_t kPlayItem = 1;
inline constexpr int16_t kNextItem = 3;
inline constexpr int16_t kBackItem = 4;
inline constexpr int16_t kMuteItem = 6;
inline constexpr int16_t kVolumeUpItem = 7;
inline constexpr int16_t kVolumeDownItem = 8;
inline constexpr int16_t kLoopItem = 10;
inline constexpr int16_t kRevealNowPlayingItem = 12;

// The slider's range.
inline constexpr int16_t kMaxVolume = 730;

}  // namespace harmovia
