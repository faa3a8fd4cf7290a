#pragma once

// The machine's default audio device, through the PulseAudio client library (PipeWire's
// PulseAudio server on modern desktops). One stream, pulled from the server's own thread
// as the server asks: it plays while the main thread is busy, starts as soon as the
// first samples are there, and drops what it holds on Flush without closing.
//
// Qt Multimedia's sink (as shipped with Qt 6.4) could do neither of the last two: it can
// only discard its buffer by closing the stream, and its pull timer and drain test sit on
// the main thread.

#include <memory>

#include "platform/audio_output.h"

namespace harmovia {

// Null when there is no device to play on: no sound server answers, or it refuses a 16-bit
// stereo stream. The format is 16-bit stereo at the server's own rate. Connecting may wait
// for the server (on the same machine: milliseconds).
std::unique_ptr<AudioOutput> MakeDeviceOutput();

}  // namespace harmovia
