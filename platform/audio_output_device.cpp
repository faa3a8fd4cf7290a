#include "platform/audio_output_device.h"

#include <algorithm>
#include <atomic>
#include <span>
#include <utility>

#include <pulse/pulseaudio.h>
#include <pulse/rtclock.h>

namespace harmovia {
namespace {

// What the server holds ahead of the speaker. Short, so that Next, a seek or a volume
// change is heard at once; the server's thread refills it whatever the main thread does.
constexpr pa_usec_t kTargetLatencyUsec = 100'000;
// Playback begins once this much is there, so a slow first decode cannot make it stutter.
constexpr pa_usec_t kStartThresholdUsec = 20'000;
// How often the server's thread looks for samples when the source had none to give.
constexpr pa_usec_t kRefillUsec = 10'000;
constexpr uint32_t kFallbackRate = 44100;

class PulseOutput final : public AudioOutput {
  public:
    PulseOutput() = default;
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    ~PulseOutput() override {
        if (loop_ == nullptr) {
            return;
        }
        pa_threaded_mainloop_lock(loop_);
        if (refill_ != nullptr) {
            pa_threaded_mainloop_get_api(loop_)->time_free(refill_);
        }
        if (stream_ != nullptr) {
            pa_stream_set_write_callback(stream_, nullptr, nullptr);
            pa_stream_set_underflow_callback(stream_, nullptr, nullptr);
            pa_stream_set_state_callback(stream_, nullptr, nullptr);
            pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
        }
        if (context_ != nullptr) {
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
            pa_context_unref(context_);
        }
        pa_threaded_mainloop_unlock(loop_);
        pa_threaded_mainloop_stop(loop_);
        pa_threaded_mainloop_free(loop_);
    }

    // Connects to the server and opens a corked stream; false when either fails.
    bool Open() {
        loop_ = pa_threaded_mainloop_new();
        if (loop_ == nullptr) {
            return false;
        }
        context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Harmovia");
        if (context_ == nullptr) {
            return false;
        }
        pa_context_set_state_callback(context_, &PulseOutput::OnContextState, this);
        // Never start a server of our own: no server means the silent output.
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
            pa_threaded_mainloop_start(loop_) < 0) {
            return false;
        }
        pa_threaded_mainloop_lock(loop_);
        const bool opened = WaitForContext() && OpenStream();
        pa_threaded_mainloop_unlock(loop_);
        return opened;
    }

    AudioFormat Format() const override { return format_; }

    bool Start(SampleSource& source) override {
        if (failed_) {
            return false;
        }
        pa_threaded_mainloop_lock(loop_);
        source_ = &source;
        if (corked_) {
            corked_ = false;
            Forget(pa_stream_cork(stream_, 0, nullptr, nullptr));
        }
        Fill(pa_stream_writable_size(stream_));
        pa_threaded_mainloop_unlock(loop_);
        return !failed_;
    }

    void Pause() override {
        pa_threaded_mainloop_lock(loop_);
        if (!corked_ && !failed_) {
            corked_ = true;
            Forget(pa_stream_cork(stream_, 1, nullptr, nullptr));
        }
        pa_threaded_mainloop_unlock(loop_);
    }

    void Flush() override {
        pa_threaded_mainloop_lock(loop_);
        if (!failed_) {
            Forget(pa_stream_flush(stream_, nullptr, nullptr));
            Forget(pa_stream_update_timing_info(stream_, nullptr, nullptr));
            flushedAt_ = written_;
            triggered_ = false;
            if (!corked_) {
                Fill(pa_stream_writable_size(stream_));
            }
        }
        pa_threaded_mainloop_unlock(loop_);
    }

    // The server's thread does the pulling; failures are seen through the callbacks.
    void Task() override {}

    int64_t FramesHeard() const override {
        pa_threaded_mainloop_lock(loop_);
        int64_t heard = flushedAt_;
        pa_usec_t latency = 0;
        int negative = 0;
        if (!failed_ && pa_stream_get_latency(stream_, &latency, &negative) == 0) {
            const auto waiting =
                negative != 0 ? int64_t{0}
                              : static_cast<int64_t>(latency * format_.sampleRate / 1'000'000);
            heard = std::max(heard, written_ - waiting);
        } else if (failed_) {
            heard = written_;
        }
        // Timing updates come in steps; what was heard once stays heard.
        heard_ = std::clamp(heard, heard_, written_);
        const int64_t result = heard_;
        pa_threaded_mainloop_unlock(loop_);
        return result;
    }

    bool Failed() const override { return failed_; }

  private:
    static void Forget(pa_operation* operation) {
        if (operation != nullptr) {
            pa_operation_unref(operation);
        }
    }

    // Waits, holding the loop's lock, until `state()` says ready; false once it went bad
    // (the state callbacks wake the wait).
    template <typename State>
    bool AwaitReady(State state) {
        while (true) {
            const auto [ready, good] = state();
            if (ready) {
                return true;
            }
            if (!good) {
                return false;
            }
            pa_threaded_mainloop_wait(loop_);
        }
    }

    bool WaitForContext() {
        if (!AwaitReady([this] {
                const pa_context_state_t state = pa_context_get_state(context_);
                return std::pair(state == PA_CONTEXT_READY, PA_CONTEXT_IS_GOOD(state));
            })) {
            return false;
        }
        // The server's own rate, so that it resamples nothing.
        pa_operation* info = pa_context_get_server_info(context_, &PulseOutput::OnServerInfo, this);
        while (info != nullptr && pa_operation_get_state(info) == PA_OPERATION_RUNNING) {
            pa_threaded_mainloop_wait(loop_);
        }
        Forget(info);
        return true;
    }

    bool OpenStream() {
        const pa_sample_spec spec{PA_SAMPLE_S16NE, serverRate_, 2};
        format_ = {static_cast<int>(spec.rate), spec.channels};
        pa_proplist* properties = pa_proplist_new();
        pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "music");
        pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, "org.harmovia.Harmovia");
        stream_ = pa_stream_new_with_proplist(context_, "Harmovia", &spec, nullptr, properties);
        pa_proplist_free(properties);
        if (stream_ == nullptr) {
            return false;
        }
        pa_stream_set_state_callback(stream_, &PulseOutput::OnStreamState, this);
        pa_stream_set_write_callback(stream_, &PulseOutput::OnWritable, this);
        pa_stream_set_underflow_callback(stream_, &PulseOutput::OnUnderflow, this);
        pa_buffer_attr attributes{};
        attributes.maxlength = static_cast<uint32_t>(-1);
        attributes.tlength = static_cast<uint32_t>(pa_usec_to_bytes(kTargetLatencyUsec, &spec));
        attributes.prebuf = static_cast<uint32_t>(pa_usec_to_bytes(kStartThresholdUsec, &spec));
        attributes.minreq = static_cast<uint32_t>(-1);
        attributes.fragsize = static_cast<uint32_t>(-1);
        const auto flags =
            static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_INTERPOLATE_TIMING |
                                           PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY);
        if (pa_stream_connect_playback(stream_, nullptr, &attributes, flags, nullptr, nullptr) <
            0) {
            return false;
        }
        if (!AwaitReady([this] {
                const pa_stream_state_t state = pa_stream_get_state(stream_);
                return std::pair(state == PA_STREAM_READY, PA_STREAM_IS_GOOD(state));
            })) {
            return false;
        }
        refill_ = pa_context_rttime_new(context_, pa_rtclock_now() + kRefillUsec,
                                        &PulseOutput::OnRefillTime, this);
        return true;
    }

    // On the server's thread (or the owner's, holding the lock): hands the server what the
    // source has, up to `bytes`.
    void Fill(size_t bytes) {
        if (source_ == nullptr || corked_ || failed_ || bytes == 0) {
            return;
        }
        void* buffer = nullptr;
        size_t size = bytes;
        if (pa_stream_begin_write(stream_, &buffer, &size) < 0 || buffer == nullptr) {
            return;
        }
        const size_t samples = size / sizeof(int16_t) / 2 * 2;
        // The server's buffers are aligned for any sample type.
        const size_t got =
            source_->Pull(std::span<int16_t>(static_cast<int16_t*>(buffer), samples));
        if (got == 0) {
            pa_stream_cancel_write(stream_);
        } else {
            pa_stream_write(stream_, buffer, got * sizeof(int16_t), nullptr, 0, PA_SEEK_RELATIVE);
            written_ += static_cast<int64_t>(got / 2);
            triggered_ = false;
        }
        // The last samples of a run may be fewer than the start threshold: play them now.
        if (got < samples && !triggered_ && source_->Exhausted()) {
            triggered_ = true;
            Forget(pa_stream_trigger(stream_, nullptr, nullptr));
        }
    }

    static void OnContextState(pa_context* context, void* self) {
        auto* output = static_cast<PulseOutput*>(self);
        if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) {
            output->failed_ = true;
        }
        pa_threaded_mainloop_signal(output->loop_, 0);
    }

    static void OnStreamState(pa_stream* stream, void* self) {
        auto* output = static_cast<PulseOutput*>(self);
        if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
            output->failed_ = true;
        }
        pa_threaded_mainloop_signal(output->loop_, 0);
    }

    static void OnServerInfo(pa_context*, const pa_server_info* info, void* self) {
        auto* output = static_cast<PulseOutput*>(self);
        if (info != nullptr && info->sample_spec.rate >= 8000 && info->sample_spec.rate <= 192000) {
            output->serverRate_ = info->sample_spec.rate;
        }
        pa_threaded_mainloop_signal(output->loop_, 0);
    }

    // The server played everything it had: all that was written has been heard (the
    // latency it reports still counts the sink's own, which never reaches zero).
    static void OnUnderflow(pa_stream*, void* self) {
        auto* output = static_cast<PulseOutput*>(self);
        output->flushedAt_ = output->written_;
    }

    static void OnWritable(pa_stream*, size_t bytes, void* self) {
        static_cast<PulseOutput*>(self)->Fill(bytes);
    }

    static void OnRefillTime(pa_mainloop_api*, pa_time_event* event, const struct timeval*,
                             void* self) {
        auto* output = static_cast<PulseOutput*>(self);
        if (output->stream_ != nullptr && pa_stream_get_state(output->stream_) == PA_STREAM_READY) {
            const size_t writable = pa_stream_writable_size(output->stream_);
            if (writable != static_cast<size_t>(-1)) {
                output->Fill(writable);
            }
        }
        pa_context_rttime_restart(output->context_, event, pa_rtclock_now() + kRefillUsec);
    }

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    pa_time_event* refill_ = nullptr;
    uint32_t serverRate_ = kFallbackRate;
    AudioFormat format_;

    // Guarded by the loop's lock.
    SampleSource* source_ = nullptr;
    bool corked_ = true;
    bool triggered_ = false;
    int64_t written_ = 0;    // frames handed to the server
    int64_t flushedAt_ = 0;  // written_ at the last Flush or underflow: all before it is heard
    mutable int64_t heard_ = 0;

    std::atomic<bool> failed_{false};
};

}  // namespace

std::unique_ptr<AudioOutput> MakeDeviceOutput() {
    auto output = std::make_unique<PulseOutput>();
    if (!output->Open()) {
        return nullptr;
    }
    return output;
}

}  // namespace harmovia
