#pragma once

// The play loop: plays the tunes of a copied view one after the other. It is a state
// machine advanced by PlayerEventHook, which the event loop calls every 2/60 s and before
// every event it dispatches; nothing here waits or runs an event loop of its own.
// Commands steer it only through the request flags of PlayerState (player_requests.h),
// read at the next tick.
//
// Next tune: when the list on screen is the playing list (the view's ViewStamp equals
// NowPlayingStamp) the player follows the list's display order, which the user may have
// re-sorted; otherwise it follows the copy's own order. In both:
//   - a tune that finished (or Next) moves one down; after the last one the run ends, or
//     with LoopPlaylist starts again at the top (only if the run played a tune at all);
//   - LoopTune replays a tune that was played, also on Next;
//   - Back moves one up; on the first tune it replays it;
//   - an unchecked tune is passed over without opening it, as is a file that does not
//     open or holds no playable audio (counted as a failure), in the direction of travel;
//   - an endless mood journey never runs out: when its last tune starts (or the run would
//     pass its end) the next leg of the journey is added behind it;
//   - a failure when ten have already been counted, or one that would reach the size of
//     the list, ends the program through the missing-tunes path (player_seams.h).

#include <cstdint>

#include "player/player_context.h"

namespace harmovia {

// The volume slider's indicator part.
inline constexpr int kVolumeIndicatorPart = 129;

// Starts a run over a fresh copy of the view from position `position` (out of range or 0
// means 1) and starts its first playable tune. Does nothing when the view is empty.
void PlayFrom(PlayerContext& ctx, int32_t position);

// The menu's Play command: the Play command reads "Stop Playing", then PlayFrom(1).
void PlayCommand(PlayerContext& ctx);

// One tick: takes PlayRequest, PlayFromSelectionRequest (both start at SelectedRow) and
// CheckToggleRequest, then the pause, resume and seek requests, gives the playing movie
// time and moves on when it is done or a Next, Back or Stop request came.
//
// Without gaps: near the end of a tune the tune the rules choose next is opened and
// started ahead (PlayerState::ReadAhead), so its first sample follows the last one of the
// tune before. When the tune ends, the rules run as always; if they choose the tune read
// ahead, it simply goes on playing, otherwise (and on Next, Back, Stop, a new list) it is
// thrown away. The display and the rest follow once the new tune is heard.
void PlayerEventHook(PlayerContext& ctx);

// Whether the player needs its tick: a run is on, or a request waits for the next tick.
// Idle without requests, nothing happens at a tick, so the program need not tick at all.
bool PlayerNeedsTicks(const PlayerState& player);

// State 1: the play button looks idle. State 2: it looks playing and the Play command
// reads "Stop Playing". (PlayerState::Controls; the window shows them.)
void SetPlayButton(PlayerContext& ctx, int state);

// A stop was asked for: the Play command reads "Play" and the button looks idle at once,
// before the next tick ends the run.
void ShowStopping(PlayerContext& ctx);

// The volume slider moved, or the volume was set from elsewhere (the media keys, the
// menu): on its indicator part the user's volume becomes `value` (held to 0..730), the
// slider shows it, and it applies to the playing tune at once.
void VolumeChanged(PlayerContext& ctx, int part, int value);

// Gives the playing tune and the one read ahead their volumes as they are now (the user's
// volume, levelled for each, or 0 while muted).
void ApplyMovieVolumes(PlayerContext& ctx);

}  // namespace harmovia
