#pragma once

// Where the tunes' samples go. An output pulls interleaved signed 16-bit frames from a
// SampleSource at its own pace and tells how many of them a listener has heard.
//
// Threads: the owner (the main thread) makes the output and calls everything here. The
// silent outputs pull inside Task; the device output pulls on its sound server's thread,
// so a source given to it must guard what its Pull shares with the owner. Pull never
// blocks, so an output never waits on a decoder.
//
// Life: Start begins pulling, or resumes after Pause at the very sample where it paused;
// Flush drops what was pulled and not yet heard (the frames count as heard); destroying
// the output stops it at once. The source must outlive the output. A device that fails
// (server gone) makes the output Failed: it pulls no more and what it held is lost; the
// owner may go on with another output from the same source.

#include <cstdint>
#include <memory>
#include <span>

namespace harmovia {

struct AudioFormat {
    int sampleRate = 44100;
    int channels = 2;
};

class SampleSource {
  public:
    virtual ~SampleSource() = default;
    // Moves up to `samples.size()` samples (whole frames, gain applied) into `samples` and
    // returns how many; fewer, or none, when the decoder has not caught up.
    virtual size_t Pull(std::span<int16_t> samples) = 0;
    // True once Pull will never give anything again: the tune has been pulled to its end.
    virtual bool Exhausted() const = 0;
};

class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    // The frames this output takes; fixed for its life.
    virtual AudioFormat Format() const = 0;
    // Begins or resumes pulling from `source`. False when the output cannot play at all
    // (no device after all); then it pulls nothing.
    virtual bool Start(SampleSource& source) = 0;
    virtual void Pause() = 0;
    virtual void Flush() = 0;
    // Time for outputs that the caller drives (the silent ones pull here); checks a
    // device's health. Never blocks. Call it often (the program does every 2/60 s).
    virtual void Task() = 0;
    // Frames pulled so far less those still on their way to the listener: for a device,
    // what its server has played; for the silent ones, what they consumed.
    virtual int64_t FramesHeard() const = 0;
    virtual bool Failed() const = 0;
};

}  // namespace harmovia
