#include "platform/audio_output_silent.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace harmovia {
namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kPullFrames = 4096;

// Pulls up to `frames` frames into a scratch block and drops them; returns frames pulled.
int64_t PullAndDrop(SampleSource& source, std::vector<int16_t>& scratch, int channels,
                    int64_t frames) {
    int64_t pulled = 0;
    while (pulled < frames) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(frames - pulled, kPullFrames));
        const size_t got =
            source.Pull(std::span<int16_t>(scratch).first(want * static_cast<size_t>(channels)));
        pulled += static_cast<int64_t>(got) / channels;
        if (got < want * static_cast<size_t>(channels)) {
            break;
        }
    }
    return pulled;
}

class RealTimeSilentOutput final : public AudioOutput {
  public:
    explicit RealTimeSilentOutput(const AudioFormat& format)
        : format_(format), scratch_(kPullFrames * static_cast<size_t>(format.channels)) {}

    AudioFormat Format() const override { return format_; }

    bool Start(SampleSource& source) override {
        if (!running_) {
            source_ = &source;
            running_ = true;
            drained_ = false;
            // The clock restarts: time spent paused is not owed.
            startedAt_ = Clock::now();
            playedAtStart_ = played_;
        }
        return true;
    }

    void Pause() override {
        Task();
        running_ = false;
    }

    void Task() override {
        if (!running_ || drained_) {
            return;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - startedAt_).count();
        const int64_t due =
            playedAtStart_ + static_cast<int64_t>(seconds * format_.sampleRate) - played_;
        if (due <= 0) {
            return;
        }
        const int64_t pulled = PullAndDrop(*source_, scratch_, format_.channels, due);
        played_ += pulled;
        if (pulled < due && source_->Exhausted()) {
            drained_ = true;
        }
        // When the decoder fell behind, the time it lost is not made up by hurrying later.
        if (pulled < due) {
            playedAtStart_ += due - pulled;
        }
    }

    int64_t FramesPlayed() const override { return played_; }
    bool Drained() const override { return drained_; }
    bool Failed() const override { return false; }

  private:
    AudioFormat format_;
    std::vector<int16_t> scratch_;
    SampleSource* source_ = nullptr;
    bool running_ = false;
    bool drained_ = false;
    Clock::time_point startedAt_{};
    int64_t playedAtStart_ = 0;  // played_ when the clock last started, plus time lost
    int64_t played_ = 0;
};

class FastSilentOutput final : public AudioOutput {
  public:
    explicit FastSilentOutput(const AudioFormat& format)
        : format_(format), scratch_(kPullFrames * static_cast<size_t>(format.channels)) {}

    AudioFormat Format() const override { return format_; }

    bool Start(SampleSource& source) override {
        source_ = &source;
        running_ = true;
        return true;
    }

    void Pause() override { running_ = false; }

    // At most a quarter second a call, however fast the decoder refills: a caller can then
    // act between two calls while the tune is still playing.
    void Task() override {
        if (running_) {
            played_ += PullAndDrop(*source_, scratch_, format_.channels, format_.sampleRate / 4);
        }
    }

    int64_t FramesPlayed() const override { return played_; }
    bool Drained() const override { return source_ != nullptr && source_->Exhausted(); }
    bool Failed() const override { return false; }

  private:
    AudioFormat format_;
    std::vector<int16_t> scratch_;
    SampleSource* source_ = nullptr;
    bool running_ = false;
    int64_t played_ = 0;
};

}  // namespace

std::unique_ptr<AudioOutput> MakeRealTimeSilentOutput(const AudioFormat& format) {
    return std::make_unique<RealTimeSilentOutput>(format);
}

std::unique_ptr<AudioOutput> MakeFastSilentOutput(const AudioFormat& format) {
    return std::make_unique<FastSilentOutput>(format);
}

}  // namespace harmovia
