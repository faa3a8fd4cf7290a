#pragma once

// Loudness levelling: the movie volume for one tune, from the user's volume and the tune's
// measured peak power, so that quiet and loud recordings come out alike.

#include <cstdint>

#include "player/player_context.h"

namespace harmovia {

// With V = the user's volume (held to the slider's 0..730, so that a damaged preferences
// file cannot blow up the gain) and P = the tune's PeakPowerMean: V x 0.4 when P >= 900,
// V x 1.6 when P < 81, otherwise V + V^2 / (7.37 P); truncated toward zero.
int16_t LevelledVolume(int32_t volume, int32_t peakPowerMean);

// TuneVolume: LevelledVolume for the tune at NowPlayingIndex (the user's volume itself
// when no tune is playing).
int16_t TuneVolume(const PlayerContext& ctx);

// What the movie is given now: 0 while muted, TuneVolume otherwise.
int16_t MovieVolume(const PlayerContext& ctx);

// The same for the tune at NowPlayingList position `position`.
int16_t MovieVolumeAt(const PlayerContext& ctx, int32_t position);

}  // namespace harmovia
