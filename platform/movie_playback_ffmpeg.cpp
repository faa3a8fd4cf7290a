#include "platform/movie_playback_ffmpeg.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <utility>

extern "C" {
#include <libavutil/log.h>
}

#include "platform/audio_output_device.h"
#include "platform/audio_output_silent.h"
#include "platform/movie_volume.h"
#include "platform/sample_ring.h"
#include "platform/tune_decoder.h"
#include "platform/tune_sequence.h"

namespace harmovia {
namespace {

constexpr int kOutputChannels = 2;
// Decoded ahead of the output: long enough that the next tune is opened and under way
// well before this one's last sample is heard.
constexpr int kRingMilliseconds = 1500;

// What the sequence pulls of one tune: its ring's samples with the movie volume applied,
// so that a new volume is heard from the next pull on rather than after the ring's length.
class VolumeStage final : public SampleSource {
  public:
    VolumeStage(SampleRing& ring, const TuneDecoder& decoder, SampleLevels* levels)
        : ring_(ring), decoder_(decoder), levels_(levels) {}

    void SetVolume(int16_t volume) { volume_.store(volume, std::memory_order_relaxed); }

    size_t Pull(std::span<int16_t> samples) override {
        const size_t got = ring_.Read(samples);
        const std::span<int16_t> pulled = samples.first(got);
        ApplyMovieVolume(pulled, volume_.load(std::memory_order_relaxed));
        if (levels_ != nullptr && got > 0) {
            AddToLevels(*levels_, pulled, kOutputChannels);
        }
        return got;
    }

    bool Exhausted() const override {
        // Finished first: the decoder sets it after its last write.
        return decoder_.Finished() && ring_.Available() == 0;
    }

  private:
    SampleRing& ring_;
    const TuneDecoder& decoder_;
    SampleLevels* levels_;
    std::atomic<int16_t> volume_{kUnityMovieVolume};
};

// The player's half of the work: one output for a run of tunes, fed by the sequence of the
// movies started on it.
class FfmpegMoviePlayer final : public MoviePlayer {
  public:
    FfmpegMoviePlayer(AudioOutputChoice choice, SampleLevels* levels)
        : choice_(choice), levels_(levels) {}

    OsError OpenPlayingMovie(const std::filesystem::path& file,
                             std::unique_ptr<PlayingMovie>& movie) override;

    // Nothing sticks between two opens here.
    void ClearStickyError() override {}

    void CloseOutput() override {
        output_.reset();
        running_ = false;
    }

    TuneSequence& Sequence() { return sequence_; }
    SampleLevels* Levels() const { return levels_; }

    // The run's format, opening the output first if there is none (a silent one takes the
    // first tune's own rate, so that nothing is resampled for it).
    AudioFormat OpenOutput(int tuneRate) {
        if (!output_) {
            const AudioFormat own{tuneRate, kOutputChannels};
            switch (choice_) {
                case AudioOutputChoice::Device:
                    output_ = MakeDeviceOutput();
                    if (!output_) {
                        output_ = MakeRealTimeSilentOutput(own);
                    }
                    break;
                case AudioOutputChoice::SilentRealTime:
                    output_ = MakeRealTimeSilentOutput(own);
                    break;
                case AudioOutputChoice::SilentFast:
                    output_ = MakeFastSilentOutput(own);
                    break;
            }
            heardBefore_ = sequence_.FramesPulled();
        }
        return output_->Format();
    }

    void Resume() {
        running_ = true;
        if (output_ && !output_->Start(sequence_)) {
            FallBackToSilence();
        }
    }
    void Pause() {
        running_ = false;
        if (output_) {
            output_->Pause();
        }
    }
    void Flush() {
        if (output_) {
            output_->Flush();
        }
    }
    void Task() {
        if (!output_) {
            return;
        }
        output_->Task();
        if (output_->Failed()) {
            FallBackToSilence();
        }
    }
    int64_t FramesHeard() const { return heardBefore_ + (output_ ? output_->FramesHeard() : 0); }

  private:
    // The device could not play (or stopped playing): the run goes on, silently, in real
    // time and in the same format, from where the device left it.
    void FallBackToSilence() {
        const AudioFormat format = output_->Format();
        output_.reset();
        heardBefore_ = sequence_.FramesPulled();
        output_ = MakeRealTimeSilentOutput(format);
        if (running_) {
            output_->Start(sequence_);
        }
    }

    AudioOutputChoice choice_;
    SampleLevels* levels_;
    TuneSequence sequence_{kOutputChannels};  // before the output, which pulls from it
    std::unique_ptr<AudioOutput> output_;
    int64_t heardBefore_ = 0;  // frames pulled before the present output took over
    bool running_ = false;
};

class FfmpegPlayingMovie final : public PlayingMovie {
  public:
    FfmpegPlayingMovie(FfmpegMoviePlayer& player, std::unique_ptr<TuneDecoder> decoder)
        : player_(player), decoder_(std::move(decoder)) {}

    ~FfmpegPlayingMovie() override {
        Leave();
        decoder_->Stop();
    }

    void SetVolume(int16_t volume) override {
        volume_ = volume;
        if (stage_) {
            stage_->SetVolume(volume);
        }
    }

    void GoToBeginning() override {
        Restart([this] { decoder_->Rewind(); }, 0);
    }

    void Seek(int64_t microseconds) override {
        const int64_t at = std::max<int64_t>(microseconds, 0);
        Restart([this, at] { decoder_->Seek(at); }, at);
    }

    void Start() override {
        if (playing_) {
            return;
        }
        if (!stage_) {
            format_ = player_.OpenOutput(decoder_->SampleRate());
            ring_ = std::make_unique<SampleRing>(
                static_cast<size_t>(format_.sampleRate) * kRingMilliseconds / 1000,
                format_.channels);
            stage_ = std::make_unique<VolumeStage>(*ring_, *decoder_, player_.Levels());
            stage_->SetVolume(volume_);
        } else {
            player_.OpenOutput(format_.sampleRate);
        }
        playing_ = true;
        if (!inSequence_) {
            player_.Sequence().Append(*stage_);
            inSequence_ = true;
        }
        decoder_->Start(format_, *ring_);
        player_.Resume();
    }

    void Task() override { player_.Task(); }

    bool IsDone() const override {
        const FrameSpan span = Span();
        return span.end >= 0 && player_.FramesHeard() >= span.end;
    }

    void Stop() override {
        if (!playing_) {
            return;
        }
        playing_ = false;
        decoder_->Stop();
        if (Sounding()) {
            player_.Pause();
        }
    }

    int64_t HeardMicroseconds() const override {
        const FrameSpan span = Span();
        int64_t frames = 0;
        if (span.first >= 0) {
            const int64_t heard = player_.FramesHeard();
            frames = std::max<int64_t>(
                0, (span.end >= 0 ? std::min(heard, span.end) : heard) - span.first);
        }
        return startMicroseconds_ + frames * 1'000'000 / std::max(format_.sampleRate, 1);
    }

  private:
    FrameSpan Span() const {
        return inSequence_ ? player_.Sequence().SpanOf(*stage_) : FrameSpan{};
    }

    // Pulled into the output and not yet heard to its end.
    bool Sounding() const {
        const FrameSpan span = Span();
        return span.first >= 0 && (span.end < 0 || player_.FramesHeard() < span.end);
    }

    // Leaves the sequence; what the output still holds of it is dropped.
    void Leave() {
        if (!inSequence_) {
            return;
        }
        const bool sounding = Sounding();
        player_.Sequence().Remove(*stage_);
        inSequence_ = false;
        if (sounding) {
            player_.Flush();
        }
    }

    // Moves the decoder elsewhere in the tune (`move`), stopped, and goes on from there as
    // the next samples the output pulls.
    template <typename Move>
    void Restart(Move move, int64_t microseconds) {
        const bool wasPlaying = playing_;
        const bool wasInSequence = inSequence_;
        Leave();
        playing_ = false;
        decoder_->Stop();
        move();
        if (ring_) {
            ring_->Clear();  // neither the decoder nor the sequence touches it now
        }
        startMicroseconds_ = microseconds;
        if (wasInSequence) {
            player_.Sequence().Append(*stage_, /*first=*/true);
            inSequence_ = true;
        }
        if (wasPlaying) {
            Start();
        }
    }

    FfmpegMoviePlayer& player_;
    std::unique_ptr<TuneDecoder> decoder_;
    AudioFormat format_{};
    std::unique_ptr<SampleRing> ring_;    // made at the first Start, in the run's format
    std::unique_ptr<VolumeStage> stage_;  // likewise
    int16_t volume_ = kUnityMovieVolume;
    int64_t startMicroseconds_ = 0;  // where in the tune the samples of the span begin
    bool playing_ = false;
    bool inSequence_ = false;
};

OsError FfmpegMoviePlayer::OpenPlayingMovie(const std::filesystem::path& file,
                                            std::unique_ptr<PlayingMovie>& movie) {
    movie.reset();
    try {
        std::unique_ptr<TuneDecoder> decoder;
        if (const OsError result = OpenTuneDecoder(file, decoder); result != kNoErr) {
            return result;
        }
        movie = std::make_unique<FfmpegPlayingMovie>(*this, std::move(decoder));
        return kNoErr;
    } catch (const std::bad_alloc&) {
        return kMemFullErr;
    }
}

std::unique_ptr<MoviePlayer> MakePlayer(AudioOutputChoice output, SampleLevels* levels) {
    av_log_set_level(AV_LOG_QUIET);
    return std::make_unique<FfmpegMoviePlayer>(output, levels);
}

}  // namespace

std::unique_ptr<MoviePlayer> MakeFfmpegMoviePlayer(AudioOutputChoice output) {
    return MakePlayer(output, nullptr);
}

std::unique_ptr<MoviePlayer> MakeFfmpegMoviePlayer(AudioOutputChoice output, SampleLevels& levels) {
    return MakePlayer(output, &levels);
}

}  // namespace harmovia
