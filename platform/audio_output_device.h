#pragma once

// The machine's default audio device through Qt Multimedia (QAudioSink, which reaches
// PulseAudio or PipeWire). It pulls from the source on Qt's timer, so the thread that made
// it must run a Qt event loop (the program's main thread does).

#include <memory>

#include "platform/audio_output.h"

namespace harmovia {

// Null when there is no device to play on: no Qt application object, no sound server, or
// a device that takes no 16-bit stereo. The format is 16-bit stereo at the device's own
// preferred rate.
std::unique_ptr<AudioOutput> MakeDeviceOutput();

}  // namespace harmovia
