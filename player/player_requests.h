#pragma once

// What the player's commands do, wherever they come from (buttons, menus, media keys, the
// CLI): they set the request flags that the next tick of the play loop reads, and the
// player's published controls to match. Main thread only.

#include <cstdint>

#include "player/player_context.h"

namespace harmovia {

// Play while idle: the Play item reads "Stop Playing", the button looks playing and
// PlayRequest = 1 (the next tick plays the view from SelectedRow). Nothing for an empty
// view.
void RequestPlay(PlayerContext& ctx);
// Stop while playing: StopRequest = 1.
void RequestStop(PlayerContext& ctx);
// The play button: RequestPlay while idle, RequestStop while playing.
void PlayOrStop(PlayerContext& ctx);
// Next and Back: only while playing a non-empty view.
void RequestNext(PlayerContext& ctx);
void RequestBack(PlayerContext& ctx);

// The Loop submenu's two items: each toggles its mode and turns the other off.
void ToggleLoopTune(PlayerContext& ctx);
void ToggleLoopPlaylist(PlayerContext& ctx);

// Mute: a loaded tune goes silent, or back to its levelled volume. Nothing happens while
// no tune is loaded.
void ToggleMute(PlayerContext& ctx);

// Pause inside the tune playing, and play on from the same sample; PauseOrResume toggles
// (and plays the view while idle, as the play button does). Only during a run.
void RequestPause(PlayerContext& ctx);
void RequestResume(PlayerContext& ctx);
void PauseOrResume(PlayerContext& ctx);
// Whether the tune playing is, or is about to be, paused.
bool WillBePaused(const PlayerState& p);
// Jumps to `microseconds` into the tune playing (below 0: its start; past its end: the
// tune ends and the run moves on as after a tune played).
void RequestSeek(PlayerContext& ctx, int64_t microseconds);

// The check box of ViewList row `row` was clicked: the next tick flips it.
void RequestCheckToggle(PlayerContext& ctx, int32_t row);

}  // namespace harmovia
