#include "platform/movie_playback_ffmpeg.h"

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

namespace harmovia {
namespace {

constexpr int kOutputChannels = 2;
constexpr int kRingMilliseconds = 500;

// What the output pulls: the ring's samples with the movie volume applied, so that a new
// volume is heard from the next pull on rather than after the ring's half second.
class VolumeStage final : public SampleSource {
  public:
    VolumeStage(SampleRing& ring, const TuneDecoder& decoder, SampleLevels* levels)
        : ring_(ring), decoder_(decoder), levels_(levels) {}

    void SetVolume(int16_t volume) { volume_ = volume; }

    size_t Pull(std::span<int16_t> samples) override {
        const size_t got = ring_.Read(samples);
        const std::span<int16_t> pulled = samples.first(got);
        ApplyMovieVolume(pulled, volume_);
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
    int16_t volume_ = kUnityMovieVolume;
};

class FfmpegPlayingMovie final : public PlayingMovie {
  public:
    FfmpegPlayingMovie(std::unique_ptr<TuneDecoder> decoder, std::unique_ptr<AudioOutput> output,
                       SampleLevels* levels)
        : format_(output->Format()),
          ring_(static_cast<size_t>(format_.sampleRate) * kRingMilliseconds / 1000,
                format_.channels),
          decoder_(std::move(decoder)),
          stage_(ring_, *decoder_, levels),
          output_(std::move(output)) {}

    ~FfmpegPlayingMovie() override {
        // The output goes first: it pulls from the stage, which reads the ring.
        output_.reset();
        decoder_->Stop();
    }

    void SetVolume(int16_t volume) override { stage_.SetVolume(volume); }

    void GoToBeginning() override {
        const bool wasPlaying = playing_;
        Stop();
        decoder_->Rewind();
        ring_.Clear();
        if (wasPlaying) {
            Start();
        }
    }

    void Start() override {
        if (playing_) {
            return;
        }
        playing_ = true;
        decoder_->Start(format_, ring_);
        if (!output_->Start(stage_)) {
            FallBackToSilence();
        }
    }

    void Task() override {
        if (!playing_) {
            return;
        }
        output_->Task();
        if (output_->Failed()) {
            FallBackToSilence();
        }
    }

    bool IsDone() const override { return stage_.Exhausted() && output_->Drained(); }

    void Stop() override {
        if (!playing_) {
            return;
        }
        playing_ = false;
        output_->Pause();
        decoder_->Stop();
    }

  private:
    // The device could not play (or stopped playing): the tune goes on, silently, in real
    // time and in the same format, from where the device left it.
    void FallBackToSilence() {
        output_ = MakeRealTimeSilentOutput(format_);
        output_->Start(stage_);
    }

    AudioFormat format_;
    SampleRing ring_;
    std::unique_ptr<TuneDecoder> decoder_;
    VolumeStage stage_;
    std::unique_ptr<AudioOutput> output_;
    bool playing_ = false;
};

class FfmpegMoviePlayer final : public MoviePlayer {
  public:
    FfmpegMoviePlayer(AudioOutputChoice choice, SampleLevels* levels)
        : choice_(choice), levels_(levels) {}

    OsError OpenPlayingMovie(const std::filesystem::path& file,
                             std::unique_ptr<PlayingMovie>& movie) override {
        movie.reset();
        try {
            std::unique_ptr<TuneDecoder> decoder;
            if (const OsError result = OpenTuneDecoder(file, decoder); result != kNoErr) {
                return result;
            }
            // Silent outputs take the tune's own rate, so nothing is resampled for them.
            const AudioFormat ownFormat{decoder->SampleRate(), kOutputChannels};
            std::unique_ptr<AudioOutput> output;
            switch (choice_) {
                case AudioOutputChoice::Device:
                    output = MakeDeviceOutput();
                    if (!output) {
                        output = MakeRealTimeSilentOutput(ownFormat);
                    }
                    break;
                case AudioOutputChoice::SilentRealTime:
                    output = MakeRealTimeSilentOutput(ownFormat);
                    break;
                case AudioOutputChoice::SilentFast:
                    output = MakeFastSilentOutput(ownFormat);
                    break;
            }
            movie = std::make_unique<FfmpegPlayingMovie>(std::move(decoder), std::move(output),
                                                         levels_);
            return kNoErr;
        } catch (const std::bad_alloc&) {
            return kMemFullErr;
        }
    }

    // Nothing sticks between two opens here.
    void ClearStickyError() override {}

  private:
    AudioOutputChoice choice_;
    SampleLevels* levels_;
};

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
