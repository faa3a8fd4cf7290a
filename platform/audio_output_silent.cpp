#include "platform/audio_output_silent.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace harmovia {
namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kPullFrames = 4096;

// What both silent outputs share: the format, a scratch block pulled samples are dropped
// into, and the frames played so far.
struct DroppedFrames {
    explicit DroppedFrames(const AudioFormat& f)
        : format(f), scratch(kPullFrames * static_cast<size_t>(f.channels)) {}

    // Pulls up to `frames` frames from `source` and drops them; returns the frames pulled.
    int64_t Pull(SampleSource& source, int64_t frames) {
        const auto channels = static_cast<size_t>(format.channels);
        int64_t pulled = 0;
        while (pulled < frames) {
            const size_t want =
                static_cast<size_t>(std::min<int64_t>(frames - pulled, kPullFrames));
            const size_t got = source.Pull(std::span<int16_t>(scratch).first(want * channels));
            pulled += static_cast<int64_t>(got / channels);
            if (got < want * channels) {
                break;
            }
        }
        played += pulled;
        return pulled;
    }

    AudioFormat format;
    std::vector<int16_t> scratch;
    int64_t played = 0;
};

class RealTimeSilentOutput final : public AudioOutput {
  public:
    explicit RealTimeSilentOutput(const AudioFormat& format) : frames_(format) {}

    AudioFormat Format() const override { return frames_.format; }

    bool Start(SampleSource& source) override {
        if (!running_) {
            source_ = &source;
            running_ = true;
            // The clock restarts: time spent paused is not owed.
            startedAt_ = Clock::now();
            playedAtStart_ = frames_.played;
        }
        return true;
    }

    void Pause() override {
        Task();
        running_ = false;
    }

    // Nothing is held between two pulls.
    void Flush() override {}

    void Task() override {
        if (!running_) {
            return;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - startedAt_).count();
        const int64_t due = playedAtStart_ +
                            static_cast<int64_t>(seconds * frames_.format.sampleRate) -
                            frames_.played;
        if (due <= 0) {
            return;
        }
        const int64_t pulled = frames_.Pull(*source_, due);
        // When the decoder fell behind, or nothing is left to play, the time lost is not
        // made up by hurrying later.
        if (pulled < due) {
            playedAtStart_ += due - pulled;
        }
    }

    int64_t FramesHeard() const override { return frames_.played; }
    bool Failed() const override { return false; }

  private:
    DroppedFrames frames_;
    SampleSource* source_ = nullptr;
    bool running_ = false;
    Clock::time_point startedAt_{};
    int64_t playedAtStart_ = 0;  // frames played when the clock last started, plus time lost
};

class FastSilentOutput final : public AudioOutput {
  public:
    explicit FastSilentOutput(const AudioFormat& format) : frames_(format) {}

    AudioFormat Format() const override { return frames_.format; }

    bool Start(SampleSource& source) override {
        source_ = &source;
        running_ = true;
        return true;
    }

    void Pause() override { running_ = false; }
    void Flush() override {}

    // At most a quarter second a call, however fast the decoder refills: a caller can then
    // act between two calls while the tune is still playing.
    void Task() override {
        if (running_) {
            frames_.Pull(*source_, frames_.format.sampleRate / 4);
        }
    }

    int64_t FramesHeard() const override { return frames_.played; }
    bool Failed() const override { return false; }

  private:
    DroppedFrames frames_;
    SampleSource* source_ = nullptr;
    bool running_ = false;
};

}  // namespace

std::unique_ptr<AudioOutput> MakeRealTimeSilentOutput(const AudioFormat& format) {
    return std::make_unique<RealTimeSilentOutput>(format);
}

std::unique_ptr<AudioOutput> MakeFastSilentOutput(const AudioFormat& format) {
    return std::make_unique<FastSilentOutput>(format);
}

}  // namespace harmovia
