#include "player/tune_volume.h"

#include <algorithm>

namespace harmovia {

int16_t LevelledVolume(int32_t volume, int32_t peakPowerMean) {
    const double v = std::clamp<int32_t>(volume, 0, kMaxVolume);
    const int32_t p = peakPowerMean;
    double levelled = 0;
    if (p >= 900) {
        levelled = v * 0.4;
    } else if (p < 81) {
        levelled = v * 1.6;
    } else {
        // Written as the original formula so that truncation lands on the same values.
        const double t = v / p / (-7.37) + 1.0;
        levelled = (v - t * v) + v;
    }
    return static_cast<int16_t>(levelled);  // at most 730 + 730^2 / 597: fits
}

namespace {

int16_t TuneVolumeAt(const PlayerContext& ctx, int32_t position) {
    const PlayerState& p = ctx.player;
    if (!p.NowPlayingList.HasRow(position)) {
        return std::clamp<int16_t>(ctx.preferences.Volume, 0, kMaxVolume);
    }
    return LevelledVolume(ctx.preferences.Volume, p.NowPlayingList[position].PeakPowerMean);
}

}  // namespace

int16_t TuneVolume(const PlayerContext& ctx) {
    return TuneVolumeAt(ctx, ctx.player.NowPlayingIndex);
}

int16_t MovieVolume(const PlayerContext& ctx) {
    return MovieVolumeAt(ctx, ctx.player.NowPlayingIndex);
}

int16_t MovieVolumeAt(const PlayerContext& ctx, int32_t position) {
    return ctx.player.Muted == 1 ? int16_t{0} : TuneVolumeAt(ctx, position);
}

}  // namespace harmovia
