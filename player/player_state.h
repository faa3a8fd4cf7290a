#pragma once

// The player's state: the list being played (a copy taken when playback starts, so the
// user can browse other views meanwhile), the tune playing, the open movie, the request
// flags that commands set and the player's tick consumes, and the loop modes. One
// PlayerState is owned by the program (tests make their own); main thread only.

#include <cstdint>
#include <memory>

#include "browse/view_state.h"
#include "library/pstr.h"
#include "library/view_list.h"
#include "platform/movie_player.h"

namespace harmovia {

// Where a run of the play loop is between two ticks.
enum class PlayPhase {
    Idle,       // no run
    NextTune,   // a run is on and the tune at NowPlayingPosition is to be opened
    TunePlays,  // CurrentMovie plays the tune at NowPlayingIndex
};

// What the player shows of itself, for the window to map onto its menus and play button
// (the terminal has neither). Changed only by the player's own operations.
struct PlayerControls {
    int playButton = 1;             // 1: the idle look; 2: the playing look
    bool playSaysStop = false;      // the Play command reads "Stop Playing"
    bool transportEnabled = false;  // Next, Back, Mute, the volume steps, Loop, Reveal
    uint32_t runsEnded = 0;         // after each run the add and send commands are offered
};

struct PlayerState {
    // NowPlayingList rows 1..NowPlayingCount (ViewCount of the copy).
    ViewList NowPlayingList;
    uint16_t NowPlayingKind = 0;  // ViewMode when playback started
    PStr NowPlayingTitle;         // ViewTitle when playback started; empty when idle
    // What the playing list is (its titles) and which build it came from: the list on
    // screen is the playing list exactly when the view's ViewStamp equals this stamp.
    // Showing the playing list again (Reveal Now Playing) restores both into the view.
    ViewLabel NowPlayingLabel;
    uint64_t NowPlayingStamp = 0;
    int32_t NowPlayingIndex = 0;     // position of the tune playing; 0 when idle
    int32_t LastPlayedPosition = 0;  // the last tune played, or 1 after the list's last
    uint16_t IsPlaying = 0;          // 1 while a run plays; commands may lower it early
    std::unique_ptr<PlayingMovie> CurrentMovie;
    int16_t AppliedVolume = 0;  // what the movie was last given
    // The tune the run's rules choose after the one playing, opened and started ahead so
    // that its first sample follows the last one heard; thrown away as soon as the rules
    // would choose another. A ReadAheadPosition without a movie: opening it failed (the
    // usual rule counts that when the run gets there).
    std::unique_ptr<PlayingMovie> ReadAhead;
    int32_t ReadAheadPosition = 0;

    uint16_t PlayRequest = 0;
    uint16_t PlayFromSelectionRequest = 0;
    uint16_t NextRequest = 0;
    uint16_t BackRequest = 0;
    uint16_t StopRequest = 0;
    uint16_t LoopTune = 0;  // at most one of the two loop modes is 1
    uint16_t LoopPlaylist = 0;
    uint16_t Muted = 0;  // the movie plays at volume 0 until unmuted
    uint16_t CheckToggleRequest = 0;
    int32_t CheckToggleRow = 0;
    // Pause keeps the tune's place, Resume plays on from it; a seek jumps to SeekTarget
    // microseconds into the tune playing.
    uint16_t PauseRequest = 0;
    uint16_t ResumeRequest = 0;
    uint16_t SeekRequest = 0;
    int64_t SeekTarget = 0;
    bool Paused = false;  // the tune playing holds its place
    uint32_t Seeks = 0;   // seeks carried out, ever: a jump the media keys announce

    PlayerControls Controls;

    // The run's progress.
    PlayPhase Phase = PlayPhase::Idle;
    int32_t NowPlayingPosition = 0;  // the tune the run is at (opened or about to be)
    int32_t Failures = 0;            // files that would not open in this run
    int32_t TunesStarted = 0;        // tunes that began to play in this run
    bool MovingBack = false;         // skipping over tunes toward the top
    bool ProgramEnding = false;      // the missing-tunes path ended the program
};

}  // namespace harmovia
