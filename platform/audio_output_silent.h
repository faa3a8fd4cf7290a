#pragma once

// Outputs that play nothing. The real-time one consumes frames at the format's rate, by
// the steady clock, whenever Task runs: the player behaves as with a device, without one.
// The fast one consumes, at every Task, all that the decoder has made so far: for tests.

#include <memory>

#include "platform/audio_output.h"

namespace harmovia {

std::unique_ptr<AudioOutput> MakeRealTimeSilentOutput(const AudioFormat& format);
std::unique_ptr<AudioOutput> MakeFastSilentOutput(const AudioFormat& format);

}  // namespace harmovia
