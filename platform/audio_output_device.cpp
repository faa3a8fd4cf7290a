#include "platform/audio_output_device.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <chrono>
#include <optional>
#include <span>

namespace harmovia {
namespace {

using Clock = std::chrono::steady_clock;

// Enough to ride out a busy main thread, short enough that a volume change is heard soon.
constexpr int kBufferMilliseconds = 250;
constexpr int kFallbackRate = 44100;

// The sink reads the source through this in pull mode.
class SourceReader final : public QIODevice {
  public:
    explicit SourceReader(int channels) : channels_(channels) {}

    void SetSource(SampleSource* source) { source_ = source; }
    qint64 BytesPulled() const { return pulled_; }

    // A sink that once read nothing stops asking until it is told that there is more.
    void NudgeIfStarved() {
        if (starved_) {
            starved_ = false;
            emit readyRead();
        }
    }

    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (source_ == nullptr) {
            return 0;
        }
        const auto frameBytes = static_cast<qint64>(sizeof(int16_t)) * channels_;
        const qint64 frames = maxSize / frameBytes;
        // QIODevice hands a char buffer; the sink's buffer is aligned for any sample type.
        const size_t got = source_->Pull(std::span<int16_t>(
            reinterpret_cast<int16_t*>(data), static_cast<size_t>(frames * channels_)));
        const auto bytes = static_cast<qint64>(got * sizeof(int16_t));
        pulled_ += bytes;
        starved_ = bytes == 0;
        return bytes;
    }

    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    int channels_;
    SampleSource* source_ = nullptr;
    qint64 pulled_ = 0;
    bool starved_ = false;
};

class DeviceOutput final : public AudioOutput {
  public:
    DeviceOutput(const QAudioDevice& device, const QAudioFormat& format)
        : format_{format.sampleRate(), format.channelCount()},
          reader_(format.channelCount()),
          sink_(device, format) {
        sink_.setBufferSize(format.bytesForDuration(kBufferMilliseconds * 1000));
    }

    ~DeviceOutput() override {
        sink_.stop();
        reader_.SetSource(nullptr);
    }

    AudioFormat Format() const override { return format_; }

    bool Start(SampleSource& source) override {
        if (failed_) {
            return false;
        }
        source_ = &source;
        reader_.SetSource(&source);
        giveUpAt_.reset();
        if (!started_) {
            reader_.open(QIODevice::ReadOnly);
            sink_.start(&reader_);
            started_ = true;
        } else if (sink_.state() == QAudio::SuspendedState) {
            sink_.resume();
        }
        CheckHealth();
        return !failed_;
    }

    void Pause() override {
        if (started_ && !failed_) {
            sink_.suspend();
        }
    }

    void Task() override {
        CheckHealth();
        if (failed_ || source_ == nullptr) {
            return;
        }
        if (!source_->Exhausted()) {
            reader_.NudgeIfStarved();
        } else if (!giveUpAt_) {
            // Should the server's clock stall, the tune still ends.
            const qint64 unheard =
                std::max<qint64>(0, PulledMicroseconds() - sink_.processedUSecs());
            giveUpAt_ = Clock::now() + std::chrono::microseconds(unheard) + std::chrono::seconds(2);
        }
    }

    int64_t FramesPlayed() const override {
        return sink_.processedUSecs() * format_.sampleRate / 1000000;
    }

    // The sink counts what the server has played (read less its latency).
    bool Drained() const override {
        return giveUpAt_ &&
               (sink_.processedUSecs() >= PulledMicroseconds() || Clock::now() >= *giveUpAt_);
    }
    bool Failed() const override { return failed_; }

  private:
    // In 64 bits: QAudioFormat's own conversions stop at 2^31 bytes (three hours).
    qint64 PulledMicroseconds() const {
        const qint64 frames = reader_.BytesPulled() / (format_.channels * qint64{2});
        return frames * 1000000 / format_.sampleRate;
    }

    void CheckHealth() {
        const QAudio::Error error = sink_.error();
        if (started_ && (error == QAudio::OpenError || error == QAudio::FatalError ||
                         (error == QAudio::IOError && sink_.state() == QAudio::StoppedState))) {
            failed_ = true;
            reader_.SetSource(nullptr);
        }
    }

    AudioFormat format_;
    SourceReader reader_;
    QAudioSink sink_;
    SampleSource* source_ = nullptr;
    bool started_ = false;
    bool failed_ = false;
    std::optional<Clock::time_point> giveUpAt_;
};

// No sound server is an expected state, answered by the silent output: Qt's own warning
// about it is dropped while the device is looked up; every other message passes on.
QtMessageHandler previousHandler = nullptr;

void DropSoundServerWarning(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (message.startsWith(QStringLiteral("PulseAudioService:"))) {
        return;
    }
    if (previousHandler != nullptr) {
        previousHandler(type, context, message);
    }
}

QAudioDevice DefaultAudioOutput() {
    previousHandler = qInstallMessageHandler(DropSoundServerWarning);
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    qInstallMessageHandler(previousHandler);
    return device;
}

}  // namespace

std::unique_ptr<AudioOutput> MakeDeviceOutput() {
    if (QCoreApplication::instance() == nullptr) {
        return nullptr;
    }
    const QAudioDevice device = DefaultAudioOutput();
    if (device.isNull()) {
        return nullptr;
    }
    QAudioFormat format;
    format.setSampleFormat(QAudioFormat::Int16);
    format.setChannelCount(2);
    format.setSampleRate(device.preferredFormat().sampleRate());
    if (format.sampleRate() <= 0 || !device.isFormatSupported(format)) {
        format.setSampleRate(kFallbackRate);
        if (!device.isFormatSupported(format)) {
            return nullptr;
        }
    }
    return std::make_unique<DeviceOutput>(device, format);
}

}  // namespace harmovia
