#pragma once

// The tunes of a run as one stream of frames, which one audio output pulls from for the
// whole run: the first tune's samples, then the next tune's from the very next frame, and
// so on. Nothing is inserted or lost at a boundary, so tunes follow each other without a
// gap, each at its own volume (every tune's source applies its own).
//
// The sequence also keeps, for each tune, where its frames lie in the stream ("span"), so
// that the owner can tell from the frames heard which tune a listener hears and when a
// tune has been heard to its end.
//
// Threads: the owner calls everything here; Pull comes from the output, which may be
// another thread. A mutex keeps the two apart; no call waits on anything else.

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/audio_output.h"

namespace harmovia {

// Where a tune's frames lie in the stream: its first frame and one past its last; -1
// while not known (not pulled yet, or not pulled to its end yet).
struct FrameSpan {
    int64_t first = -1;
    int64_t end = -1;
};

class TuneSequence final : public SampleSource {
  public:
    explicit TuneSequence(int channels) : channels_(channels) {}

    // Adds `source` after the tunes already waiting; it is pulled once those before it are
    // exhausted. With `first`, it goes before them, to be pulled next.
    void Append(SampleSource& source, bool first = false);
    // Pulls no more from `source` and forgets it. Returns its span as it was.
    FrameSpan Remove(const SampleSource& source);
    // The span of a tune in the sequence ({} for one that is not).
    FrameSpan SpanOf(const SampleSource& source) const;
    // Frames pulled so far, over the sequence's whole life.
    int64_t FramesPulled() const;

    // From the first tune not yet exhausted; when it runs out in the middle of a pull, the
    // pull goes on with the next. Fewer when the decoder of the tune at hand is behind.
    size_t Pull(std::span<int16_t> samples) override;
    // Every tune in the sequence has been pulled to its end (true for an empty one).
    bool Exhausted() const override;

  private:
    struct Entry {
        SampleSource* source;
        FrameSpan span;
    };

    int channels_;
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;  // pull order; exhausted ones stay until removed
    int64_t pulled_ = 0;
};

}  // namespace harmovia
