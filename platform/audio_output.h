#pragma once

// Where a playing tune's samples go. An output pulls interleaved signed 16-bit frames from
// a SampleSource at its own pace and reports how far it has played.
//
// Threads: an output belongs to the thread that made it (the main thread); every call,
// including the source's Pull, happens there. Pull never blocks, so an output never waits
// on a decoder.
//
// Life: Start begins (or resumes) pulling; Pause stops pulling and playing until the next
// Start; destroying the output stops it at once. The source must stay alive until then.
// A device that fails (server gone) makes the output Failed: it pulls no more and what it
// held is lost; the owner may go on with another output from the same source.

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
    // Time for outputs that the caller drives (the silent ones pull here); checks a
    // device's health. Never blocks. Call it often (the program does every 2/60 s).
    virtual void Task() = 0;
    // Frames played so far (for a device: handed to it, less what its buffer still holds).
    virtual int64_t FramesPlayed() const = 0;
    // True once the source is exhausted and everything pulled from it has been played.
    virtual bool Drained() const = 0;
    virtual bool Failed() const = 0;
};

}  // namespace harmovia
