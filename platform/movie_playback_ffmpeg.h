#pragma once

// The movie player the program uses: FFmpeg decodes into the machine's audio output.
//
// A movie decodes on a thread of its own into a ring of about half a second, which the
// output pulls from on the main thread, applying the movie volume on the way. A Device
// output needs the main thread to run a Qt event loop; when there is no device (no sound
// server), or the device fails while playing, the movie goes on in real time silently.
// FFmpeg's own log is silenced when a player is made.

#include <memory>

#include "platform/movie_player.h"
#include "platform/sample_levels.h"

namespace harmovia {

enum class AudioOutputChoice {
    Device,          // the default audio device; silent in real time when there is none
    SilentRealTime,  // no sound, samples consumed at the tune's own pace
    SilentFast,      // no sound, samples consumed as fast as they are decoded (tests)
};

std::unique_ptr<MoviePlayer> MakeFfmpegMoviePlayer(AudioOutputChoice output);

// The same, for tests and benchmarks: every movie of this player also adds each sample it
// hands to its output (volume applied) to `levels`. `levels` must outlive the player's
// movies and is touched only on the main thread.
std::unique_ptr<MoviePlayer> MakeFfmpegMoviePlayer(AudioOutputChoice output, SampleLevels& levels);

}  // namespace harmovia
