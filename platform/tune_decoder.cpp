#include "platform/tune_decoder.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <new>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "platform/ffmpeg_audio_file.h"
#include "platform/ffmpeg_handles.h"

namespace harmovia {
namespace {

// How far before a seek's point decoding starts.
constexpr int64_t kRunUp = 200'000;

class FfmpegTuneDecoder final : public TuneDecoder {
  public:
    FfmpegTuneDecoder(ffmpeg::AudioFile file, ffmpeg::CodecContextHandle decoder)
        : file_(std::move(file)), decoder_(std::move(decoder)) {
        const AVStream& stream = file_.Stream();
        const std::string_view container = file_.format->iformat->name;
        if (container.find("mp4") != std::string_view::npos && stream.duration > 0 &&
            stream.duration != AV_NOPTS_VALUE) {
            endPts_ =
                (stream.start_time != AV_NOPTS_VALUE ? stream.start_time : 0) + stream.duration;
        }
    }

    ~FfmpegTuneDecoder() override { Stop(); }

    int SampleRate() const override { return file_.Stream().codecpar->sample_rate; }

    void Start(const AudioFormat& format, SampleRing& ring) override {
        if (thread_.joinable() || finished_.load(std::memory_order_acquire)) {
            return;
        }
        if (ring_ == nullptr) {
            format_ = format;
            ring_ = &ring;
        }
        stop_.store(false, std::memory_order_release);
        thread_ = std::thread([this] { Run(); });
    }

    void Stop() override {
        if (!thread_.joinable()) {
            return;
        }
        stop_.store(true, std::memory_order_release);
        ring_->Wake();
        thread_.join();
    }

    void Rewind() override {
        Stop();
        if (touched_) {
            Reposition(0, false);
        }
    }

    void Seek(int64_t microseconds) override {
        Stop();
        Reposition(std::max<int64_t>(microseconds, 0), true);
    }

    bool Finished() const override { return finished_.load(std::memory_order_acquire); }

  private:
    // The thread: decode, convert, and hand over, until the end, a failure or Stop.
    void Run() {
        touched_ = true;
        try {
            while (!stop_.load(std::memory_order_acquire)) {
                if (pendingAt_ < pending_.size()) {
                    pendingAt_ +=
                        ring_->Write(std::span<const int16_t>(pending_).subspan(pendingAt_));
                    if (pendingAt_ < pending_.size()) {
                        ring_->WaitForRoom(stop_);
                    }
                    continue;
                }
                pending_.clear();
                pendingAt_ = 0;
                if (decoderEmpty_ || !DecodeMore()) {
                    finished_.store(true, std::memory_order_release);
                    return;
                }
            }
        } catch (const std::bad_alloc&) {
            finished_.store(true, std::memory_order_release);  // what was decoded still plays
        }
    }

    // Stopped: forgets what was decoded and moves the demuxer to `microseconds` from the
    // stream's start. Decoders need a run-up before a point in the middle (an MP3's bit
    // reservoir), so a seek lands a little early and the samples before the point are
    // dropped by their timestamps.
    void Reposition(int64_t microseconds, bool dropBefore) {
        touched_ = false;
        pending_.clear();
        pendingAt_ = 0;
        inputEnded_ = false;
        decoderEmpty_ = false;
        resampler_.reset();
        avcodec_flush_buffers(decoder_.get());
        const AVStream& stream = file_.Stream();
        const int64_t origin = stream.start_time != AV_NOPTS_VALUE ? stream.start_time : 0;
        const auto at = [&](int64_t us) {
            return origin + av_rescale_q(us, AVRational{1, AV_TIME_BASE}, stream.time_base);
        };
        const int64_t early =
            microseconds > 0 ? at(std::max<int64_t>(0, microseconds - kRunUp)) : origin;
        // The stream's start is the first timestamp: seeking there (or before) reads it all.
        const bool moved =
            avformat_seek_file(file_.format.get(), file_.streamIndex,
                               std::numeric_limits<int64_t>::min(), early, early, 0) >= 0;
        dropBefore_ = dropBefore ? at(microseconds) : AV_NOPTS_VALUE;
        finished_.store(!moved, std::memory_order_release);
    }

    // Of a decoded frame, how many leading samples lie before the point of a seek.
    int64_t SamplesBeforeSeekPoint(const AVFrame& frame) {
        if (dropBefore_ == AV_NOPTS_VALUE) {
            return 0;
        }
        const int64_t pts = frame.best_effort_timestamp;
        if (pts == AV_NOPTS_VALUE || frame.sample_rate <= 0) {
            dropBefore_ = AV_NOPTS_VALUE;  // no timestamps: play from wherever it landed
            return 0;
        }
        const int64_t before = av_rescale_q(dropBefore_ - pts, file_.Stream().time_base,
                                            AVRational{1, frame.sample_rate});
        if (before < frame.nb_samples) {
            dropBefore_ = AV_NOPTS_VALUE;  // the point lies in this frame: the rest plays
        }
        return std::clamp<int64_t>(before, 0, frame.nb_samples);
    }

    // Of a decoded frame, how many trailing samples lie past the tune's end as an MP4
    // container gives it: its edit list ends before the encoder's padding, which FFmpeg
    // leaves in (it trims only the priming at the start).
    int64_t SamplesPastTheEnd(const AVFrame& frame) const {
        const int64_t pts = frame.best_effort_timestamp;
        if (endPts_ == AV_NOPTS_VALUE || pts == AV_NOPTS_VALUE || frame.sample_rate <= 0) {
            return 0;
        }
        const int64_t kept =
            av_rescale_q(endPts_ - pts, file_.Stream().time_base, AVRational{1, frame.sample_rate});
        return std::clamp<int64_t>(frame.nb_samples - kept, 0, frame.nb_samples);
    }

    // Appends the next decoded frame's samples (possibly none) to pending_. False when the
    // tune has nothing more to give.
    bool DecodeMore() {
        while (true) {
            const int received = avcodec_receive_frame(decoder_.get(), frame_.get());
            if (received == 0) {
                const int64_t early = SamplesBeforeSeekPoint(*frame_);
                const int64_t late = SamplesPastTheEnd(*frame_);
                const size_t at = pending_.size();
                const bool converted = Convert(frame_.get());
                if (converted) {
                    // In the output's rate: the resampler may have changed it.
                    const auto samples = [&](int64_t frames) {
                        return static_cast<size_t>(
                                   av_rescale(frames, format_.sampleRate, frame_->sample_rate)) *
                               static_cast<size_t>(format_.channels);
                    };
                    const size_t made = pending_.size() - at;
                    const size_t tail = std::min(samples(late), made);
                    pending_.resize(pending_.size() - tail);
                    const size_t head = std::min(samples(early), made - tail);
                    pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(at),
                                   pending_.begin() + static_cast<std::ptrdiff_t>(at + head));
                }
                av_frame_unref(frame_.get());
                return converted;
            }
            if (received == AVERROR_EOF) {
                decoderEmpty_ = true;
                return Convert(nullptr);  // what the resampler still holds
            }
            if (received != AVERROR(EAGAIN) || inputEnded_) {
                return false;  // the decoder broke down: the tune ends here
            }
            if (!packet_ || !frame_) {
                return false;
            }
            const int read = av_read_frame(file_.format.get(), packet_.get());
            if (read < 0) {
                // The end, or a read error: what came before it still plays.
                inputEnded_ = true;
                avcodec_send_packet(decoder_.get(), nullptr);
                continue;
            }
            if (packet_->stream_index == file_.streamIndex) {
                // A packet the decoder refuses is skipped; the ones after it still play.
                avcodec_send_packet(decoder_.get(), packet_.get());
            }
            av_packet_unref(packet_.get());
        }
    }

    // Converts a decoded frame (null: flushes the resampler) and appends it to pending_.
    bool Convert(const AVFrame* frame) {
        if (frame != nullptr && !MatchesResampler(*frame)) {
            if (resampler_ && !Convert(nullptr)) {
                return false;
            }
            if (!ConfigureResampler(*frame)) {
                return false;
            }
        }
        if (!resampler_) {
            return frame == nullptr;
        }
        const int inFrames = frame != nullptr ? frame->nb_samples : 0;
        const int room = swr_get_out_samples(resampler_.get(), inFrames);
        if (room < 0) {
            return false;
        }
        const size_t at = pending_.size();
        pending_.resize(at + static_cast<size_t>(room) * static_cast<size_t>(format_.channels));
        uint8_t* out[] = {reinterpret_cast<uint8_t*>(pending_.data() + at)};
        const int made = swr_convert(
            resampler_.get(), out, room,
            frame != nullptr ? const_cast<const uint8_t**>(frame->extended_data) : nullptr,
            inFrames);
        if (made < 0) {
            pending_.resize(at);
            return false;
        }
        pending_.resize(at + static_cast<size_t>(made) * static_cast<size_t>(format_.channels));
        return true;
    }

    bool MatchesResampler(const AVFrame& frame) const {
        return resampler_ && frame.format == inFormat_ && frame.sample_rate == inRate_ &&
               av_channel_layout_compare(&frame.ch_layout, &inLayout_.get()) == 0;
    }

    bool ConfigureResampler(const AVFrame& frame) {
        resampler_.reset();
        if (frame.sample_rate <= 0 || frame.sample_rate > ffmpeg::kMaxSampleRate) {
            return false;
        }
        AVChannelLayout outLayout{};
        av_channel_layout_default(&outLayout, format_.channels);
        SwrContext* context = nullptr;
        const int made = swr_alloc_set_opts2(
            &context, &outLayout, AV_SAMPLE_FMT_S16, format_.sampleRate,
            // FFmpeg 5.1 takes the layout without const; it only reads it.
            const_cast<AVChannelLayout*>(&frame.ch_layout),
            static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
        av_channel_layout_uninit(&outLayout);
        resampler_.reset(context);
        if (made < 0 || swr_init(resampler_.get()) < 0 || !inLayout_.CopyFrom(frame.ch_layout)) {
            resampler_.reset();
            return false;
        }
        inFormat_ = frame.format;
        inRate_ = frame.sample_rate;
        return true;
    }

    ffmpeg::AudioFile file_;
    ffmpeg::CodecContextHandle decoder_;
    ffmpeg::PacketHandle packet_{av_packet_alloc()};
    ffmpeg::FrameHandle frame_{av_frame_alloc()};
    ffmpeg::ResamplerHandle resampler_;
    ffmpeg::ChannelLayout inLayout_;
    int inFormat_ = -1;
    int inRate_ = 0;

    AudioFormat format_;
    SampleRing* ring_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};

    // Touched only by the thread while it runs, and by the owner while it does not.
    std::vector<int16_t> pending_;  // converted, not yet in the ring from pendingAt_ on
    size_t pendingAt_ = 0;
    bool inputEnded_ = false;              // no more packets; the decoder has been told
    bool decoderEmpty_ = false;            // the decoder gave its last frame
    bool touched_ = false;                 // something was read since the start
    int64_t dropBefore_ = AV_NOPTS_VALUE;  // a seek's point, in the stream's time base
    int64_t endPts_ = AV_NOPTS_VALUE;      // where an MP4's edit list ends the tune
};

}  // namespace

OsError OpenTuneDecoder(const std::filesystem::path& file, std::unique_ptr<TuneDecoder>& decoder) {
    decoder.reset();
    try {
        ffmpeg::AudioFile opened;
        if (const OsError result = ffmpeg::OpenAudioFile(file, opened); result != kNoErr) {
            return result;
        }
        ffmpeg::CodecContextHandle codec = ffmpeg::OpenDecoder(opened.codec, opened.Stream());
        if (!codec) {
            return kIoErr;
        }
        decoder = std::make_unique<FfmpegTuneDecoder>(std::move(opened), std::move(codec));
        return kNoErr;
    } catch (const std::bad_alloc&) {
        return kMemFullErr;
    }
}

}  // namespace harmovia
