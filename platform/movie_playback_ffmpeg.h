#pragma once

// The movie player the program uses: FFmpeg decodes into the machine's audio output.

#include <memory>

#include "platform/movie_player.h"

namespace harmovia {

enum class AudioOutputChoice {
    Device,          // the default audio device; silent in real time when there is none
    SilentRealTime,  // no sound, samples consumed at the tune's own pace
    SilentFast,      // no sound, samples consumed as fast as they are decoded (tests)
};

std::unique_ptr<MoviePlayer> MakeFfmpegMoviePlayer(AudioOutputChoice output);

}  // namespace harmovia
