#pragma once

// Everything the player reads and changes, by reference, in one place: the operations of
// player/ take it instead of reaching for globals. The program builds one; tests build
// their own over fakes.

#include "browse/view_state.h"
#include "library/preferences_file.h"
#include "library/tune_library.h"
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
    UserNotices& notices;
    PlayerSeams& seams;
};

// The slider's range.
inline constexpr int16_t kMaxVolume = 730;

}  // namespace harmovia
