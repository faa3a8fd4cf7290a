#include "player/player_requests.h"

#include <algorithm>

#include "player/play_loop.h"
#include "player/tune_volume.h"

namespace harmovia {

void RequestPlay(PlayerContext& ctx) {
    if (ctx.view.List.ViewCount < 1 || ctx.player.IsPlaying == 1) {
        return;
    }
    ctx.player.PlayRequest = 1;
    SetPlayButton(ctx, 2);
    ctx.seams.TickSoon();
}

void RequestStop(PlayerContext& ctx) {
    if (ctx.player.IsPlaying == 1) {
        ctx.player.StopRequest = 1;
        ctx.seams.TickSoon();
    }
}

void PlayOrStop(PlayerContext& ctx) {
    if (ctx.player.IsPlaying == 1) {
        RequestStop(ctx);
    } else {
        RequestPlay(ctx);
    }
}

void RequestNext(PlayerContext& ctx) {
    if (ctx.player.IsPlaying == 1 && ctx.view.List.ViewCount >= 1) {
        ctx.player.NextRequest = 1;
        ctx.seams.TickSoon();
    }
}

void RequestBack(PlayerContext& ctx) {
    if (ctx.player.IsPlaying == 1 && ctx.view.List.ViewCount >= 1) {
        ctx.player.BackRequest = 1;
        ctx.seams.TickSoon();
    }
}

void ToggleLoopTune(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    p.LoopTune = p.LoopTune == 1 ? 0 : 1;
    p.LoopPlaylist = 0;
    ctx.seams.ControlsChanged();
    ctx.seams.TickSoon();
}

void ToggleLoopPlaylist(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    p.LoopPlaylist = p.LoopPlaylist == 1 ? 0 : 1;
    p.LoopTune = 0;
    ctx.seams.ControlsChanged();
    ctx.seams.TickSoon();
}

void ToggleMute(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    if (!p.CurrentMovie) {
        return;
    }
    p.Muted = p.Muted == 1 ? 0 : 1;
    ApplyMovieVolumes(ctx);
    ctx.seams.ControlsChanged();
}

bool WillBePaused(const PlayerState& p) {
    return (p.Paused || p.PauseRequest == 1) && p.ResumeRequest == 0;
}

void RequestPause(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    if (p.IsPlaying == 1 && !WillBePaused(p)) {
        p.PauseRequest = 1;
        p.ResumeRequest = 0;
        ctx.seams.TickSoon();
    }
}

void RequestResume(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    if (p.IsPlaying == 1 && WillBePaused(p)) {
        p.ResumeRequest = 1;
        p.PauseRequest = 0;
        ctx.seams.TickSoon();
    }
}

void PauseOrResume(PlayerContext& ctx) {
    if (ctx.player.IsPlaying != 1) {
        RequestPlay(ctx);
    } else if (WillBePaused(ctx.player)) {
        RequestResume(ctx);
    } else {
        RequestPause(ctx);
    }
}

void RequestSeek(PlayerContext& ctx, int64_t microseconds) {
    PlayerState& p = ctx.player;
    if (p.IsPlaying == 1) {
        p.SeekRequest = 1;
        p.SeekTarget = std::max<int64_t>(microseconds, 0);
        ctx.seams.TickSoon();
    }
}

void RequestCheckToggle(PlayerContext& ctx, int32_t row) {
    ctx.player.CheckToggleRow = row;
    ctx.player.CheckToggleRequest = 1;
    ctx.seams.TickSoon();
}

}  // namespace harmovia
