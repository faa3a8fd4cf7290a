#include "player/play_loop.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <tuple>
#include <utility>

#include "browse/display_area.h"
#include "browse/mood_journey.h"
#include "browse/view_builder.h"
#include "library/number_text.h"
#include "library/tune_identity.h"
#include "player/tune_volume.h"

namespace harmovia {
namespace {

int32_t Count(const PlayerContext& ctx) {
    return ctx.player.NowPlayingList.ViewCount;
}

// The list on screen is the list being played (and not merely a view of the same kind).
bool InViewOrder(const PlayerContext& ctx) {
    return ctx.player.NowPlayingStamp != 0 && ctx.view.ViewStamp == ctx.player.NowPlayingStamp;
}

// A position past the end: the run is over.
int32_t EndPosition(const PlayerContext& ctx) {
    return Count(ctx) + 1;
}

// A run is on: the Play command reads "Stop Playing", the transport is offered.
void ShowPlaying(PlayerContext& ctx) {
    PlayerControls& c = ctx.player.Controls;
    c.playSaysStop = true;
    c.transportEnabled = true;
    ctx.seams.ControlsChanged();
}

// The run is over: the Play command reads "Play", the transport is withdrawn and the add
// and send commands are offered again.
void ShowIdle(PlayerContext& ctx) {
    PlayerControls& c = ctx.player.Controls;
    c.playSaysStop = false;
    c.transportEnabled = false;
    c.runsEnded += 1;
    ctx.seams.ControlsChanged();
}

// Stops the movie unless it finished, and releases it (DisposeMovie).
void CloseMovie(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    if (p.CurrentMovie) {
        if (!p.CurrentMovie->IsDone()) {
            p.CurrentMovie->Stop();
        }
        p.CurrentMovie.reset();
    }
    p.Paused = false;
}

void DropReadAhead(PlayerContext& ctx) {
    ctx.player.ReadAhead.reset();
    ctx.player.ReadAheadPosition = 0;
}

// Pause, resume and seek requests are for the tune playing; they die with it.
void ClearTransportRequests(PlayerState& p) {
    p.PauseRequest = 0;
    p.ResumeRequest = 0;
    p.SeekRequest = 0;
}

// Everything the run holds of the sound: the movies, their read-ahead and the output.
void CloseRunAudio(PlayerContext& ctx) {
    CloseMovie(ctx);
    DropReadAhead(ctx);
    ClearTransportRequests(ctx.player);
    ctx.movies.CloseOutput();
}

// The run is over: back to idle, menus, button and display say so.
void EndRun(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    p.NextRequest = 0;
    p.BackRequest = 0;
    p.IsPlaying = 0;
    CloseRunAudio(ctx);
    p.LastPlayedPosition = p.NowPlayingIndex == Count(ctx) ? 1 : p.NowPlayingIndex;
    p.NowPlayingIndex = 0;
    p.NowPlayingList = ViewList{};  // nothing reads the copy between runs: its memory goes
    p.NowPlayingTitle = PStr();
    p.Phase = PlayPhase::Idle;
    ctx.seams.RefreshList();
    ShowIdle(ctx);
    SetPlayButton(ctx, 1);
    ctx.seams.UpdateDisplayArea(BrowsingDisplayLines(ctx.view.Label));
}

void MoveForward(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    p.MovingBack = false;
    if (!InViewOrder(ctx)) {
        p.NowPlayingPosition += 1;
        return;
    }
    const int32_t row = ctx.seams.DisplayRowOfItem(p.NowPlayingPosition);
    // The bottom row ends the run, as the last position does in list order.
    p.NowPlayingPosition =
        row + 1 >= Count(ctx) ? EndPosition(ctx) : ctx.seams.ItemAtDisplayRow(row + 1);
}

// Moves one up; false on the first tune, where there is no tune above.
bool MoveBack(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    if (!InViewOrder(ctx)) {
        if (p.NowPlayingPosition <= 1) {
            return false;
        }
        p.NowPlayingPosition -= 1;
        return true;
    }
    const int32_t row = ctx.seams.DisplayRowOfItem(p.NowPlayingPosition);
    if (row <= 0) {
        return false;
    }
    p.NowPlayingPosition = ctx.seams.ItemAtDisplayRow(row - 1);
    return true;
}

// Chooses the tune after the one at NowPlayingPosition; `played` tells whether that one
// played (rather than being passed over).
void ChooseNext(PlayerContext& ctx, bool played) {
    PlayerState& p = ctx.player;
    const bool back = p.BackRequest == 1 || (!played && p.MovingBack);
    if (played && p.BackRequest == 0 && p.LoopTune == 1) {
        p.MovingBack = false;  // the same tune again
    } else if (back) {
        p.MovingBack = MoveBack(ctx);
        if (!p.MovingBack && !played) {
            MoveForward(ctx);  // nothing playable above: turn round
        }
    } else {
        MoveForward(ctx);
    }
    p.NextRequest = 0;
    p.BackRequest = 0;
}

void TooManyMissingTunes(PlayerContext& ctx, OsError error) {
    PlayerState& p = ctx.player;
    ctx.notices.ShowAlert({"Missing Tunes Alert" + NumberText(error).str(),
                           "Many of the tunes in your database are not available. Please make "
                           "sure you have the volume mounted. Quit Harmovia and try again.",
                           "Quit", AlertIcon::Stop});
    CloseRunAudio(ctx);
    p.IsPlaying = 0;
    p.Phase = PlayPhase::Idle;
    p.ProgramEnding = true;
    ctx.seams.ShowSavingNotice();
    const OsError librarySaved = ctx.seams.SaveLibraryFile();
    const OsError preferencesSaved = ctx.seams.SavePreferencesFile();
    // A failed save is no orderly end: the caller must not read it as one.
    ctx.seams.EndProgram(librarySaved == kNoErr && preferencesSaved == kNoErr ? 0 : 1);
}

// An endless journey's next leg joins the playing list; when that list is the one on screen,
// the screen's list grows with it and its totals count the new rows. False when nothing was
// added (the list is full, or the path holds no tune).
bool RefillEndlessJourney(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    const int32_t before = Count(ctx);
    const bool shown = InViewOrder(ctx);
    if (ExtendEndlessJourney(p.NowPlayingList, p.NowPlayingLabel, ctx.library) == 0) {
        return false;
    }
    if (shown) {
        for (int32_t row = before + 1; row <= Count(ctx); ++row) {
            AppendShared(ctx.view.List, p.NowPlayingList.Rows, row);
        }
        ctx.view.Label = p.NowPlayingLabel;
        RecountViewTotals(ctx.view);
        ctx.seams.RowsAppended();
    }
    return true;
}

// The last tune of an endless journey began: the next leg is added now, so that the tune
// after it is there to be read ahead.
void RefillWhenLast(PlayerContext& ctx) {
    const PlayerState& p = ctx.player;
    if (!IsEndlessJourney(ctx.player.NowPlayingLabel)) {
        return;
    }
    const bool last = InViewOrder(ctx)
                          ? ctx.seams.DisplayRowOfItem(p.NowPlayingIndex) + 1 >= Count(ctx)
                          : p.NowPlayingIndex >= Count(ctx);
    if (last) {
        RefillEndlessJourney(ctx);
    }
}

// `started`: the movie was read ahead and already plays (or is about to, gaplessly).
void StartTune(PlayerContext& ctx, std::unique_ptr<PlayingMovie> movie, bool started) {
    PlayerState& p = ctx.player;
    const TuneRecord& tune = std::as_const(p.NowPlayingList)[p.NowPlayingIndex];
    p.IsPlaying = 1;
    p.CurrentMovie = std::move(movie);
    p.AppliedVolume = MovieVolume(ctx);
    p.CurrentMovie->SetVolume(p.AppliedVolume);
    if (!started) {
        p.CurrentMovie->GoToBeginning();
        p.CurrentMovie->Start();
    }
    p.Paused = false;
    ClearTransportRequests(p);
    p.Phase = PlayPhase::TunePlays;
    p.TunesStarted += 1;
    if (InViewOrder(ctx)) {
        ctx.view.SelectedRow = p.NowPlayingIndex;
        ctx.seams.SelectListRow(p.NowPlayingIndex);
    }
    if (tune.Mood >= 1 && tune.Mood <= kMoodCount) {
        ctx.view.SelectedMood = static_cast<int16_t>(tune.Mood);
    }
    ctx.seams.UpdateDisplayArea(PlayingDisplayLines(p.NowPlayingLabel, tune));
    SetPlayButton(ctx, 2);
    ctx.seams.TuneStarted(p.NowPlayingIndex, p.AppliedVolume);
    RefillWhenLast(ctx);
}

// Moves NowPlayingPosition over what is not to be played (unchecked tunes; the end of a
// looped list) to a checked tune; false when the run is to end instead. Every pass moves
// toward an end of the list, so the passes are bounded; the guard only protects against a
// display order that contradicts itself.
bool FindPlayable(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    for (int32_t pass = 0;; ++pass) {
        if (p.StopRequest == 1 || pass > 3 * Count(ctx) + 3) {
            return false;
        }
        if (p.NowPlayingPosition < 1 || p.NowPlayingPosition > Count(ctx)) {
            if (p.NowPlayingPosition > Count(ctx) && IsEndlessJourney(ctx.player.NowPlayingLabel)) {
                return false;  // the run refills rather than loop or end
            }
            if (p.LoopPlaylist == 1 && p.TunesStarted > 0) {
                p.NowPlayingPosition = InViewOrder(ctx) ? ctx.seams.ItemAtDisplayRow(0) : 1;
                p.Failures = 0;
                p.TunesStarted = 0;
                p.MovingBack = false;
                continue;
            }
            return false;
        }
        if (std::as_const(p.NowPlayingList)[p.NowPlayingPosition].Checked != 1) {
            ChooseNext(ctx, /*played=*/false);
            continue;
        }
        return true;
    }
}

// The position the rules would play after the tune playing, were it to end now; 0 when
// the run would end. Changes nothing.
int32_t PeekNextPosition(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    const auto saved = std::tuple(p.NowPlayingPosition, p.MovingBack, p.NextRequest, p.BackRequest,
                                  p.Failures, p.TunesStarted);
    ChooseNext(ctx, /*played=*/true);
    const int32_t next = FindPlayable(ctx) ? p.NowPlayingPosition : 0;
    std::tie(p.NowPlayingPosition, p.MovingBack, p.NextRequest, p.BackRequest, p.Failures,
             p.TunesStarted) = saved;
    return next;
}

std::filesystem::path PathOf(const TuneRecord& tune) {
    return std::filesystem::path(tune.Location.view());
}

// From PlayPhase::NextTune: passes over what cannot play until a tune starts, the run
// ends or the program does. The tune read ahead is taken when the rules chose it.
void OpenNextTune(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    while (p.Phase == PlayPhase::NextTune) {
        if (!FindPlayable(ctx)) {
            if (p.StopRequest == 0 && p.NowPlayingPosition > Count(ctx) &&
                IsEndlessJourney(ctx.player.NowPlayingLabel) && RefillEndlessJourney(ctx)) {
                continue;
            }
            EndRun(ctx);
            return;
        }
        const TuneRecord& tune = std::as_const(p.NowPlayingList)[p.NowPlayingPosition];
        p.NowPlayingIndex = p.NowPlayingPosition;
        if (p.ReadAhead && p.ReadAheadPosition == p.NowPlayingPosition) {
            p.ReadAheadPosition = 0;
            StartTune(ctx, std::move(p.ReadAhead), /*started=*/true);
            return;
        }
        DropReadAhead(ctx);
        ctx.movies.ClearStickyError();
        std::unique_ptr<PlayingMovie> movie;
        const OsError error = ctx.movies.OpenPlayingMovie(PathOf(tune), movie);
        if (error != kNoErr || !movie) {
            ctx.movies.ClearStickyError();
            if (p.Failures > 9 || p.Failures + 1 >= Count(ctx)) {
                TooManyMissingTunes(ctx, error != kNoErr ? error : kIoErr);
                return;
            }
            p.Failures += 1;
            ChooseNext(ctx, /*played=*/false);
            continue;
        }
        StartTune(ctx, std::move(movie), /*started=*/false);
    }
}

// Opened this long before the tune playing ends, the next one is decoding well before its
// first sample is due, even from a slow disk.
constexpr int64_t kReadAheadMicroseconds = 4'000'000;

// While a tune plays: keeps the read-ahead in step with the rules (a Loop mode, a check
// box, a re-sorted list or a deleted file may change their choice at any time) and, near
// the tune's end, opens and starts the tune they choose next, so that it follows this
// one's last sample. A file that does not open now is left to the usual rule.
void KeepReadAhead(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    const TuneRecord& playing = std::as_const(p.NowPlayingList)[p.NowPlayingIndex];
    const int64_t left = int64_t{std::max(playing.DurationSeconds, 0)} * 1'000'000 -
                         p.CurrentMovie->HeardMicroseconds();
    if (p.ReadAheadPosition == 0 && (p.Paused || left > kReadAheadMicroseconds)) {
        return;
    }
    const int32_t next = PeekNextPosition(ctx);
    if (p.ReadAheadPosition != 0) {
        std::error_code ignored;
        if (p.ReadAheadPosition == next &&
            (!p.ReadAhead ||
             std::filesystem::exists(PathOf(std::as_const(p.NowPlayingList)[next]), ignored))) {
            return;
        }
        DropReadAhead(ctx);
    }
    if (next == 0 || p.Paused || left > kReadAheadMicroseconds) {
        return;
    }
    p.ReadAheadPosition = next;
    ctx.movies.ClearStickyError();
    if (ctx.movies.OpenPlayingMovie(PathOf(std::as_const(p.NowPlayingList)[next]), p.ReadAhead) !=
        kNoErr) {
        p.ReadAhead.reset();
        ctx.movies.ClearStickyError();
        return;
    }
    p.ReadAhead->SetVolume(MovieVolumeAt(ctx, next));
    p.ReadAhead->GoToBeginning();
    p.ReadAhead->Start();
}

// Pause, resume and seek act on the tune playing only.
void ApplyTransportRequests(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    const TuneRecord& tune = std::as_const(p.NowPlayingList)[p.NowPlayingIndex];
    if (p.PauseRequest == 1 && !p.Paused) {
        p.CurrentMovie->Stop();
        p.Paused = true;
        DisplayAreaLines lines = PlayingDisplayLines(p.NowPlayingLabel, tune);
        lines.Line1 = "Paused";
        ctx.seams.UpdateDisplayArea(lines);
    } else if (p.ResumeRequest == 1 && p.Paused) {
        p.CurrentMovie->Start();
        p.Paused = false;
        ctx.seams.UpdateDisplayArea(PlayingDisplayLines(p.NowPlayingLabel, tune));
    }
    if (p.SeekRequest == 1) {
        // The read-ahead began where this tune was to end; it is opened again from there.
        DropReadAhead(ctx);
        p.CurrentMovie->Seek(p.SeekTarget);
        p.Seeks += 1;
    }
    ClearTransportRequests(p);
}

// Gives the playing movie time; when it is done or a request came, releases it and opens
// the next tune.
void Advance(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    if (p.Phase == PlayPhase::TunePlays) {
        if (p.CurrentMovie) {
            ApplyTransportRequests(ctx);
            p.CurrentMovie->Task();
        }
        const bool done = !p.CurrentMovie || p.CurrentMovie->IsDone();
        if (!done && p.NextRequest == 0 && p.BackRequest == 0 && p.StopRequest == 0) {
            KeepReadAhead(ctx);
            return;
        }
        if (!done) {
            DropReadAhead(ctx);  // ended early: the rules choose afresh
        }
        CloseMovie(ctx);
        ctx.movies.ClearStickyError();
        if (p.StopRequest == 1) {
            EndRun(ctx);
            return;
        }
        ChooseNext(ctx, /*played=*/true);
        p.Phase = PlayPhase::NextTune;
    }
    if (p.Phase == PlayPhase::NextTune) {
        OpenNextTune(ctx);
    }
}

void ApplyCheckToggle(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    ViewList& rows = ctx.view.List;
    if (!rows.HasRow(p.CheckToggleRow)) {
        return;
    }
    TuneRecord& toggled = rows.Rows.Write(p.CheckToggleRow);
    toggled.Checked = toggled.Checked == 1 ? 0 : 1;
    const auto sameTune = [&toggled](const TuneRecord& r) { return SameTitleAndAlbum(r, toggled); };
    for (int32_t i = 1; i <= p.NowPlayingList.ViewCount; ++i) {
        if (sameTune(std::as_const(p.NowPlayingList)[i])) {
            p.NowPlayingList.Rows.Write(i).Checked = toggled.Checked;
            break;
        }
    }
    for (int32_t slot = 1; slot <= ctx.library.TuneCount; ++slot) {
        if (sameTune(std::as_const(ctx.library)[slot])) {
            ctx.library.Slots.Write(slot).Checked = toggled.Checked;
            break;
        }
    }
}

// A play request that found nothing to play leaves no control in its playing look.
void PlayFromRequest(PlayerContext& ctx) {
    PlayFrom(ctx, ctx.view.SelectedRow);
    if (ctx.player.Phase == PlayPhase::Idle && !ctx.player.ProgramEnding) {
        ShowStopping(ctx);
    }
}

}  // namespace

void PlayFrom(PlayerContext& ctx, int32_t position) {
    PlayerState& p = ctx.player;
    if (ctx.view.List.ViewCount < 1 || p.ProgramEnding) {
        return;
    }
    ShowPlaying(ctx);
    p.NowPlayingTitle = ctx.view.ViewTitle;
    p.NowPlayingKind = ctx.view.ViewMode;
    p.NowPlayingLabel = ctx.view.Label;
    p.NowPlayingStamp = ctx.view.ViewStamp;
    CloseMovie(ctx);
    DropReadAhead(ctx);
    ClearTransportRequests(p);
    CopyRows(p.NowPlayingList, ctx.view.List);
    p.StopRequest = 0;
    p.NextRequest = 0;
    p.BackRequest = 0;
    p.NowPlayingPosition = position < 1 || position > Count(ctx) ? 1 : position;
    p.Failures = 0;
    p.TunesStarted = 0;
    p.MovingBack = false;
    p.Phase = PlayPhase::NextTune;
    OpenNextTune(ctx);
}

void PlayCommand(PlayerContext& ctx) {
    ctx.player.Controls.playSaysStop = true;
    ctx.seams.ControlsChanged();
    PlayFrom(ctx, 1);
}

void PlayerEventHook(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    if (p.ProgramEnding) {
        return;
    }
    if (p.PlayRequest == 1) {
        p.PlayRequest = 0;
        PlayFromRequest(ctx);
    }
    if (p.PlayFromSelectionRequest == 1) {
        p.PlayFromSelectionRequest = 0;
        SetPlayButton(ctx, 2);
        PlayFromRequest(ctx);
    }
    if (p.CheckToggleRequest == 1) {
        ApplyCheckToggle(ctx);
        p.CheckToggleRequest = 0;
    }
    if (!p.ProgramEnding) {
        Advance(ctx);
    }
}

bool PlayerNeedsTicks(const PlayerState& p) {
    // Next, Back, Stop, pause and seek requests act only on a run; a Stop left over from a
    // run that ended waits for nothing.
    return p.Phase != PlayPhase::Idle || p.PlayRequest == 1 || p.PlayFromSelectionRequest == 1 ||
           p.CheckToggleRequest == 1;
}

void SetPlayButton(PlayerContext& ctx, int state) {
    PlayerControls& c = ctx.player.Controls;
    if (state == 2) {
        c.playSaysStop = true;
    }
    c.playButton = state == 2 ? 2 : 1;
    ctx.seams.ControlsChanged();
}

void ShowStopping(PlayerContext& ctx) {
    ctx.player.Controls.playSaysStop = false;
    SetPlayButton(ctx, 1);
}

void VolumeChanged(PlayerContext& ctx, int part, int value) {
    if (part != kVolumeIndicatorPart) {
        return;
    }
    ctx.preferences.Volume = static_cast<int16_t>(std::clamp(value, 0, int{kMaxVolume}));
    ctx.seams.ShowVolume(ctx.preferences.Volume);
    ctx.seams.TickSoon();  // the media keys hear of it at the next tick
    if (ctx.player.Phase == PlayPhase::TunePlays) {
        ApplyMovieVolumes(ctx);
    }
}

void ApplyMovieVolumes(PlayerContext& ctx) {
    PlayerState& p = ctx.player;
    if (p.CurrentMovie) {
        p.AppliedVolume = MovieVolume(ctx);
        p.CurrentMovie->SetVolume(p.AppliedVolume);
    }
    if (p.ReadAhead) {
        p.ReadAhead->SetVolume(MovieVolumeAt(ctx, p.ReadAheadPosition));
    }
}

}  // namespace harmovia
