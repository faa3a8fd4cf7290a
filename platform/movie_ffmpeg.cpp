#include "platform/movie_ffmpeg.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "platform/ffmpeg_audio_file.h"
#include "platform/ffmpeg_handles.h"
#include "platform/mpeg_audio_frames.h"

namespace harmovia {
namespace {

namespace fs = std::filesystem;
using ffmpeg::FromAvError;
using ffmpeg::kMaxChannels;
using ffmpeg::OpenDecoder;

// Decoded and dropped before each window, so that its first kept frame is exact.
// An MP3 frame borrows up to 511 bytes of main data from earlier frames, and its output
// overlaps the previous frame's, whose data is borrowed the same way. So a window starts
// at least three frames before the frame that holds its first sample, and far enough
// before the frame two back that 511 bytes of main data lie in between (each frame's
// header, check word and side information take at most 38 bytes). Measured here: a fixed
// 100 ms is enough at 128 kbit/s but not at 32 kbit/s, where 511 bytes span nine frames.
// Other codecs need their previous frame for the overlap; two frames leave a margin.
constexpr int kMpegPrerollFrames = 3;
constexpr int64_t kMpegReservoirBytes = 511;
constexpr int64_t kMpegFrameOverheadBytes = 38;
// Should an MP3 have no seek index after all: half a second covers any reservoir.
constexpr int64_t kMpegPrerollWithoutIndexMs = 500;
constexpr int64_t kPrerollFrames = 2;
// Opus's filters carry state far: after 80 ms (the format's own advice) a window could
// still be hundreds of steps off a decode from the start; after 300 ms, at most one.
constexpr int64_t kOpusPrerollMs = 300;
// Read at the end of an Ogg stream to find its last page: far more than a page lasts.
constexpr int64_t kOggTailSeconds = 20;

// Seek index entries an MP3's frame walk keeps at most (beyond that, every n-th frame);
// FFmpeg's own index holds about 43000 before it thins itself.
constexpr int64_t kMaxWalkedIndexEntries = 20000;
// Frames demuxed at the end of an MP3 for the padding the demuxer marks there: the
// encoder's padding (a 12-bit count of samples) spans at most four frames.
constexpr int64_t kTailFrames = 10;
constexpr int64_t kDefaultFrameSize = 2048;
constexpr int kMaxFrameSize = 65536;

// Timestamps and lengths beyond these come from a broken or hostile file; they are
// refused or ignored so that no arithmetic on them can overflow.
constexpr int64_t kTimestampLimit = int64_t{1} << 60;
constexpr int64_t kMaxFrameCount = int64_t{1} << 50;

bool Plausible(int64_t timestamp) {
    return timestamp > -kTimestampLimit && timestamp < kTimestampLimit;
}

// Turns native little-endian 16-bit samples high byte first, four at a time.
void SwapSampleBytes(uint8_t* bytes, size_t samples) {
    constexpr uint64_t kLowBytes = 0x00FF00FF00FF00FF;
    size_t i = 0;
    for (; i + 4 <= samples; i += 4) {
        uint64_t word;
        std::memcpy(&word, bytes + 2 * i, 8);
        word = (word & kLowBytes) << 8 | (word >> 8 & kLowBytes);
        std::memcpy(bytes + 2 * i, &word, 8);
    }
    for (; i < samples; ++i) {
        std::swap(bytes[2 * i], bytes[2 * i + 1]);
    }
}

bool IsMpegAudio(AVCodecID id) {
    return id == AV_CODEC_ID_MP1 || id == AV_CODEC_ID_MP2 || id == AV_CODEC_ID_MP3;
}

// What a movie needs to know about its audio stream, fixed when it is opened.
struct StreamFacts {
    int index = -1;
    AVRational timeBase{1, 1};
    int sampleRate = 0;
    int channels = 0;
    int64_t origin = 0;          // stream timestamp of the tune's first sample frame
    int64_t firstTimestamp = 0;  // earliest packet timestamp: seeks go no earlier
    int64_t frameCount = 0;      // sample frames in the tune
    int64_t prerollFrames = 0;   // decoded before a window, unless the MPEG rule applies
    bool mpegAudio = false;
    int64_t lastSeek = std::numeric_limits<int64_t>::max();  // seeks go no later
    // Ogg: the last packet is already shortened by the padding the demuxer marks on it, and
    // after a seek into the last page the demuxer numbers the packets from the seek's
    // target, so seeks stop short of that page.
    bool ogg = false;
    // Vorbis in Ogg: the demuxer guesses the duration of each page's first packet, so that
    // packet's timestamp is off where the block size changes, while every packet still ends
    // where the demuxer says: frames are placed by their ends.
    bool vorbisInOgg = false;
};

// Where a run of packets read up to the end of the stream starts and ends.
struct PacketSpan {
    int64_t first = std::numeric_limits<int64_t>::max();  // earliest timestamp
    int64_t end = std::numeric_limits<int64_t>::min();    // where the last sample ends
    int64_t last = std::numeric_limits<int64_t>::min();   // the last packet's timestamp
    // The first timestamp of the packets read from the last container page (Ogg gives the
    // packets of one page its position), and how many pages the packets came from.
    int64_t lastPageFirst = std::numeric_limits<int64_t>::min();
    int pages = 0;
};

// Reads packets from where the demuxer stands to the end of the stream. A packet ends
// where its duration says, less the padding the demuxer marks for discarding (the
// encoder's padding at the end of an MP3; Ogg's demuxer has taken it off already). Any
// read error ends the stream there: what came before it still plays. Nothing when no
// packet had a timestamp.
std::optional<PacketSpan> ReadPacketsToEnd(AVFormatContext& format, const AVStream& stream,
                                           const StreamFacts& facts) {
    ffmpeg::PacketHandle packet(av_packet_alloc());
    if (!packet) {
        return std::nullopt;
    }
    const AVRational sampleUnit{1, facts.sampleRate};
    const int64_t fallbackDuration = av_rescale_q(
        stream.codecpar->frame_size > 0 ? stream.codecpar->frame_size : kDefaultFrameSize,
        sampleUnit, stream.time_base);
    PacketSpan span;
    int64_t pagePosition = -1;
    while (av_read_frame(&format, packet.get()) >= 0) {
        const int64_t timestamp = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        if (packet->stream_index == facts.index && Plausible(timestamp) &&
            Plausible(packet->duration)) {
            int64_t packetEnd =
                timestamp + (packet->duration > 0 ? packet->duration : fallbackDuration);
            size_t size = 0;
            const uint8_t* skip =
                av_packet_get_side_data(packet.get(), AV_PKT_DATA_SKIP_SAMPLES, &size);
            if (skip != nullptr && size >= 8 && !facts.ogg) {
                const uint32_t discard =
                    static_cast<uint32_t>(skip[4]) | static_cast<uint32_t>(skip[5]) << 8 |
                    static_cast<uint32_t>(skip[6]) << 16 | static_cast<uint32_t>(skip[7]) << 24;
                packetEnd -= av_rescale_q(discard, sampleUnit, stream.time_base);
            }
            if (packet->pos != pagePosition) {
                pagePosition = packet->pos;
                span.lastPageFirst = timestamp;
                ++span.pages;
            }
            span.first = std::min(span.first, timestamp);
            span.end = std::max(span.end, packetEnd);
            span.last = std::max(span.last, timestamp);
        }
        av_packet_unref(packet.get());
    }
    if (span.last == std::numeric_limits<int64_t>::min()) {
        return std::nullopt;
    }
    return span;
}

void SetLength(const AVStream& stream, int64_t firstTimestamp, int64_t end, StreamFacts& facts) {
    // The demuxer sets the start time from the first packet and the priming it skips.
    facts.origin = Plausible(stream.start_time) ? stream.start_time : firstTimestamp;
    facts.firstTimestamp = firstTimestamp;
    facts.frameCount =
        av_rescale_q(end - facts.origin, stream.time_base, AVRational{1, facts.sampleRate});
}

// For containers that record no exact length (MP3 and other raw streams): reads every
// packet once. The reading also fills the demuxer's seek index, so that every later seek
// lands on the same packet whatever was read before. The demuxer must stand at the start.
bool CountFramesByReading(AVFormatContext& format, const AVStream& stream, StreamFacts& facts) {
    const std::optional<PacketSpan> span = ReadPacketsToEnd(format, stream, facts);
    if (!span) {
        return false;
    }
    SetLength(stream, span->first, span->end, facts);
    if (facts.ogg && span->lastPageFirst > span->first) {
        facts.lastSeek = span->lastPageFirst - 1;
    }
    return true;
}

// Ogg records its length in its last page, but seeks must stop short of that page (see
// StreamFacts::ogg): its start is found among the packets of the stream's last seconds,
// read after a seek there. False when they all came from one page; the whole stream is read
// then.
bool FindOggLastPage(AVFormatContext& format, const AVStream& stream, StreamFacts& facts) {
    const AVRational sampleUnit{1, facts.sampleRate};
    const int64_t end = facts.origin + av_rescale_q(facts.frameCount, sampleUnit, facts.timeBase);
    const int64_t back =
        av_rescale_q(kOggTailSeconds * facts.sampleRate, sampleUnit, facts.timeBase);
    if (av_seek_frame(&format, facts.index, end - back, AVSEEK_FLAG_BACKWARD) < 0) {
        return false;
    }
    const std::optional<PacketSpan> tail = ReadPacketsToEnd(format, stream, facts);
    if (!tail || tail->pages < 2) {
        return false;
    }
    facts.lastSeek = tail->lastPageFirst - 1;
    return true;
}

// The same for an MP3 whose frames run back to back: the frame walk gives the positions
// for the seek index, and only the last frames are demuxed, for the padding the demuxer
// marks there. False (with the demuxer back at the start) when the walk cannot vouch for
// the file or the demuxer disagrees with it; then every packet has to be read.
bool CountMpegFramesByWalking(AVFormatContext& format, AVStream& stream, const fs::path& file,
                              StreamFacts& facts) {
    ffmpeg::PacketHandle packet(av_packet_alloc());
    if (!packet) {
        return false;
    }
    int64_t firstPosition = -1;
    int64_t firstTimestamp = AV_NOPTS_VALUE;
    while (firstPosition < 0 && av_read_frame(&format, packet.get()) >= 0) {
        if (packet->stream_index == facts.index) {
            firstPosition = packet->pos;
            firstTimestamp = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        }
        av_packet_unref(packet.get());
    }
    if (firstPosition < 0 || !Plausible(firstTimestamp)) {
        return false;
    }
    const auto rewind = [&] {
        av_seek_frame(&format, facts.index, firstTimestamp, AVSEEK_FLAG_BACKWARD);
        return false;
    };
    const std::optional<MpegAudioFrames> frames =
        WalkMpegAudioFrames(file, firstPosition, kMaxWalkedIndexEntries);
    const AVRational sampleUnit{1, facts.sampleRate};
    if (!frames) {
        return rewind();
    }
    const int64_t frameTicks = av_rescale_q(frames->samplesPerFrame, sampleUnit, stream.time_base);
    if (av_rescale_q(frameTicks, stream.time_base, sampleUnit) != frames->samplesPerFrame) {
        return rewind();  // a time base that cannot hold the frames' timestamps exactly
    }
    for (size_t i = 0; i < frames->positions.size(); ++i) {
        const int64_t frame = static_cast<int64_t>(i) * frames->step;
        if (av_add_index_entry(&stream, frames->positions[i], firstTimestamp + frame * frameTicks,
                               0, 0, AVINDEX_KEYFRAME) < 0) {
            return rewind();
        }
    }
    const int64_t lastTimestamp = firstTimestamp + (frames->frameCount - 1) * frameTicks;
    const int64_t tailTimestamp =
        firstTimestamp + std::max<int64_t>(frames->frameCount - kTailFrames, 0) * frameTicks;
    if (av_seek_frame(&format, facts.index, tailTimestamp, AVSEEK_FLAG_BACKWARD) < 0) {
        return rewind();
    }
    const std::optional<PacketSpan> tail = ReadPacketsToEnd(format, stream, facts);
    if (!tail || tail->last != lastTimestamp) {
        return rewind();
    }
    SetLength(stream, firstTimestamp, tail->end, facts);
    return true;
}

class FfmpegMovie final : public Movie {
  public:
    FfmpegMovie(ffmpeg::FormatHandle format, const AVCodec* codec, const StreamFacts& facts,
                MovieFormat kind, MovieTags tags)
        : format_(std::move(format)),
          codec_(codec),
          facts_(facts),
          kind_(kind),
          tags_(std::move(tags)) {}

    int32_t TimeScale() const override { return kMovieTimeScale; }

    uint32_t Duration() const override {
        const int64_t units = facts_.frameCount * kMovieTimeScale / facts_.sampleRate;
        return static_cast<uint32_t>(
            std::min<int64_t>(units, std::numeric_limits<uint32_t>::max()));
    }

    MovieFormat Format() const override { return kind_; }
    MovieTags Tags() const override { return tags_; }

    OsError ExtractSecond(uint32_t start, std::vector<uint8_t>& block) override {
        try {
            return Extract(start, block);
        } catch (const std::bad_alloc&) {
            block.clear();
            return kMemFullErr;
        }
    }

  private:
    // One window being filled: frames [first, end) of the tune go to `block`.
    struct Window {
        int64_t first = 0;
        int64_t end = 0;
        int64_t nextFrame = 0;  // where a frame without a timestamp starts
        int64_t filled = 0;     // frames written so far
        bool complete = false;  // a decoded frame reached `end`
        std::vector<uint8_t>* block = nullptr;
    };

    OsError Extract(uint32_t start, std::vector<uint8_t>& block) {
        Window window;
        window.first = static_cast<int64_t>(start) * facts_.sampleRate / kMovieTimeScale;
        window.end = std::min(window.first + facts_.sampleRate, facts_.frameCount);
        const int64_t frames = std::max<int64_t>(0, window.end - window.first);
        block.assign(kSoundBlockHeaderSize + static_cast<size_t>(frames * facts_.channels * 2), 0);
        block[kSoundBlockChannelsOffset] = static_cast<uint8_t>(facts_.channels);
        if (frames == 0) {
            return kNoErr;
        }
        window.block = &block;

        // A fresh decoder for every window: decoders keep state from frame to frame (AAC's
        // noise substitution draws from a running generator), and the same window must
        // give the same frames whatever was decoded before it.
        ffmpeg::CodecContextHandle decoder = OpenDecoder(codec_, Stream());
        if (!decoder || !packet_ || !frame_) {
            return kIoErr;
        }
        const std::optional<int64_t> seekTarget = SeekTimestamp(window.first);
        if (!seekTarget) {
            return kIoErr;
        }
        // A demuxer's search can fail close to the end (FLAC without a seek table cannot
        // find a frame there); from further back it finds one, and decoding the difference
        // costs only time: what precedes the window is dropped by its timestamps.
        const int64_t earliest = facts_.firstTimestamp != std::numeric_limits<int64_t>::min()
                                     ? std::min(facts_.firstTimestamp, *seekTarget)
                                     : std::min(facts_.origin, *seekTarget);
        int64_t target = *seekTarget;
        while (av_seek_frame(format_.get(), facts_.index, target, AVSEEK_FLAG_BACKWARD) < 0) {
            if (target == earliest) {
                return kIoErr;
            }
            target = earliest + (target - earliest) / 2;
        }
        window.nextFrame =
            av_rescale_q(target - facts_.origin, facts_.timeBase, AVRational{1, facts_.sampleRate});

        OsError readError = kNoErr;
        while (!window.complete) {
            const int read = av_read_frame(format_.get(), packet_.get());
            if (read < 0) {
                if (read != AVERROR_EOF) {
                    readError = FromAvError(read);
                }
                break;
            }
            if (packet_->stream_index != facts_.index) {
                av_packet_unref(packet_.get());
                continue;
            }
            // A seek lands on a page (Ogg) or further back (FLAC's retries) before the
            // pre-roll: what ends before it is not decoded at all. MPEG audio keeps its
            // own rule: its frames before the target hold data the later ones borrow.
            const int64_t packetStart =
                packet_->pts != AV_NOPTS_VALUE ? packet_->pts : packet_->dts;
            if (!facts_.mpegAudio && Plausible(packetStart) && packet_->duration > 0 &&
                Plausible(packet_->duration) && packetStart + packet_->duration <= *seekTarget) {
                window.nextFrame = av_rescale_q(packetStart + packet_->duration - facts_.origin,
                                                facts_.timeBase, AVRational{1, facts_.sampleRate});
                av_packet_unref(packet_.get());
                continue;
            }
            // A packet the decoder refuses leaves its frames silent; the rest still counts.
            if (avcodec_send_packet(decoder.get(), packet_.get()) == AVERROR(EAGAIN)) {
                Receive(*decoder, window);
                avcodec_send_packet(decoder.get(), packet_.get());
            }
            av_packet_unref(packet_.get());
            Receive(*decoder, window);
        }
        if (!window.complete) {
            avcodec_send_packet(decoder.get(), nullptr);
            Receive(*decoder, window);
        }
        if (window.filled == 0) {
            return readError != kNoErr ? readError : kIoErr;
        }
        if (!window.complete) {
            return readError != kNoErr ? readError : kEofErr;
        }
        return kNoErr;
    }

    const AVStream& Stream() const { return *format_->streams[facts_.index]; }

    // The stream timestamp to seek to (backward) for a window whose first frame is
    // `firstFrame`: early enough that the decoder's state is right when it gets there.
    // Nothing when the time base cannot hold the time.
    std::optional<int64_t> SeekTimestamp(int64_t firstFrame) const {
        AVStream& stream = *format_->streams[facts_.index];
        const AVRational sampleUnit{1, facts_.sampleRate};
        const int64_t offset =
            av_rescale_q_rnd(firstFrame, sampleUnit, facts_.timeBase, AV_ROUND_DOWN);
        if (!Plausible(offset)) {
            return std::nullopt;
        }
        const int64_t target = facts_.origin + offset;
        int entry = facts_.mpegAudio
                        ? av_index_search_timestamp(&stream, target, AVSEEK_FLAG_BACKWARD)
                        : -1;
        if (entry < 0) {
            const int64_t preroll = facts_.mpegAudio
                                        ? facts_.sampleRate * kMpegPrerollWithoutIndexMs / 1000
                                        : facts_.prerollFrames;
            const int64_t back = av_rescale_q(preroll, sampleUnit, facts_.timeBase);
            if (!Plausible(back)) {
                return std::nullopt;
            }
            return std::max(std::min(target - back, facts_.lastSeek), facts_.firstTimestamp);
        }
        // Index entries are packets in stream order: every packet, or every n-th in a long
        // file whose index FFmpeg thinned, so frames are counted by their timestamps.
        const AVIndexEntry& borrower = *avformat_index_get_entry(&stream, std::max(entry - 2, 0));
        const int64_t frameDuration = std::max<int64_t>(
            1,
            av_rescale_q(Stream().codecpar->frame_size > 0 ? Stream().codecpar->frame_size : 1152,
                         sampleUnit, facts_.timeBase));
        entry = std::max(entry - kMpegPrerollFrames, 0);
        while (entry > 0) {
            const AVIndexEntry& candidate = *avformat_index_get_entry(&stream, entry);
            if (!Plausible(borrower.timestamp) || !Plausible(candidate.timestamp)) {
                return std::nullopt;
            }
            const int64_t frames = (borrower.timestamp - candidate.timestamp) / frameDuration;
            const int64_t mainData =
                borrower.pos - candidate.pos - frames * kMpegFrameOverheadBytes;
            if (mainData >= kMpegReservoirBytes) {
                break;
            }
            --entry;
        }
        const int64_t timestamp = avformat_index_get_entry(&stream, entry)->timestamp;
        return Plausible(timestamp) ? std::optional<int64_t>(timestamp) : std::nullopt;
    }

    // Takes every frame the decoder has ready and copies what lies in the window.
    void Receive(AVCodecContext& decoder, Window& window) {
        while (!window.complete && avcodec_receive_frame(&decoder, frame_.get()) >= 0) {
            Place(*frame_, window);
            av_frame_unref(frame_.get());
        }
    }

    void Place(const AVFrame& frame, Window& window) {
        int64_t position = window.nextFrame;
        if (frame.pts != AV_NOPTS_VALUE && Plausible(frame.pts)) {
            position = av_rescale_q_rnd(frame.pts - facts_.origin, facts_.timeBase,
                                        AVRational{1, facts_.sampleRate}, AV_ROUND_NEAR_INF);
            if (facts_.vorbisInOgg && frame.pkt_duration > 0 && Plausible(frame.pkt_duration)) {
                position += av_rescale_q_rnd(frame.pkt_duration, facts_.timeBase,
                                             AVRational{1, facts_.sampleRate}, AV_ROUND_NEAR_INF) -
                            frame.nb_samples;
            }
        }
        window.nextFrame = position + frame.nb_samples;
        if (frame.sample_rate != facts_.sampleRate || frame.nb_samples <= 0) {
            return;  // a rate change mid-stream cannot be kept without resampling
        }
        const int64_t from = std::max(position, window.first);
        const int64_t to = std::min(position + frame.nb_samples, window.end);
        if (position + frame.nb_samples >= window.end) {
            window.complete = true;
        }
        if (from >= to ||
            !Convert(frame, from - position, to - from, from - window.first, window)) {
            return;
        }
        window.filled += to - from;
    }

    // Converts `count` sample frames from frame `skip` of the decoded frame into the
    // window's block from its frame `at` on: 16-bit, high byte first, at the movie's
    // channel count and the frame's own rate.
    bool Convert(const AVFrame& frame, int64_t skip, int64_t count, int64_t at, Window& window) {
        if (!resampler_ || frame.format != resamplerFormat_ ||
            av_channel_layout_compare(&frame.ch_layout, &resamplerLayout_.get()) != 0) {
            if (!ConfigureResampler(frame)) {
                return false;
            }
        }
        const auto format = static_cast<AVSampleFormat>(frame.format);
        const bool planar = av_sample_fmt_is_planar(format) != 0;
        const int planes = planar ? frame.ch_layout.nb_channels : 1;
        const int64_t stride =
            av_get_bytes_per_sample(format) * (planar ? 1 : frame.ch_layout.nb_channels);
        std::array<const uint8_t*, kMaxChannels> input{};
        if (planes > kMaxChannels || stride <= 0) {
            return false;
        }
        for (int plane = 0; plane < planes; ++plane) {
            input[plane] = frame.extended_data[plane] + skip * stride;
        }
        const size_t channels = static_cast<size_t>(facts_.channels);
        const size_t samples = static_cast<size_t>(count) * channels;
        uint8_t* out[] = {window.block->data() + kSoundBlockHeaderSize +
                          static_cast<size_t>(at) * channels * 2};
        const int made = swr_convert(resampler_.get(), out, static_cast<int>(count), input.data(),
                                     static_cast<int>(count));
        if (made != count) {
            resampler_.reset();  // whatever it kept back must not reach the next frame
            return false;
        }
        if constexpr (std::endian::native == std::endian::little) {
            SwapSampleBytes(out[0], samples);
        }
        return true;
    }

    bool ConfigureResampler(const AVFrame& frame) {
        resampler_.reset();
        // Same channels in, same out: a plain format conversion. A frame with another
        // channel count (rare, mid-stream) is mixed to the movie's count.
        AVChannelLayout outLayout{};
        if (frame.ch_layout.nb_channels == facts_.channels) {
            if (av_channel_layout_copy(&outLayout, &frame.ch_layout) < 0) {
                return false;
            }
        } else {
            av_channel_layout_default(&outLayout, facts_.channels);
        }
        SwrContext* context = nullptr;
        const int made = swr_alloc_set_opts2(
            &context, &outLayout, AV_SAMPLE_FMT_S16, frame.sample_rate,
            // FFmpeg 5.1 takes the layout without const; it only reads it.
            const_cast<AVChannelLayout*>(&frame.ch_layout),
            static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
        av_channel_layout_uninit(&outLayout);
        resampler_.reset(context);
        if (made < 0 || swr_init(resampler_.get()) < 0 ||
            !resamplerLayout_.CopyFrom(frame.ch_layout)) {
            resampler_.reset();
            return false;
        }
        resamplerFormat_ = frame.format;
        return true;
    }

    ffmpeg::FormatHandle format_;
    const AVCodec* codec_;
    StreamFacts facts_;
    MovieFormat kind_;
    MovieTags tags_;
    ffmpeg::PacketHandle packet_{av_packet_alloc()};
    ffmpeg::FrameHandle frame_{av_frame_alloc()};
    ffmpeg::ResamplerHandle resampler_;
    ffmpeg::ChannelLayout resamplerLayout_;
    int resamplerFormat_ = -1;
};

class FfmpegMovieFramework final : public MovieFramework {
  public:
    OsError EnterMovies() override {
        av_log_set_level(AV_LOG_QUIET);
        const bool usable = avcodec_find_decoder(AV_CODEC_ID_MP3) != nullptr &&
                            avcodec_find_decoder(AV_CODEC_ID_AAC) != nullptr &&
                            av_find_input_format("mp3") != nullptr &&
                            av_find_input_format("mov") != nullptr;
        return usable ? kNoErr : kIoErr;
    }

    OsError OpenMovie(const fs::path& file, std::unique_ptr<Movie>& movie) override {
        movie.reset();
        try {
            return Open(file, movie, /*readOgg=*/false);
        } catch (const std::bad_alloc&) {
            return kMemFullErr;
        }
    }

  private:
    // `readOgg`: read an Ogg stream whole, as when its end told nothing.
    static OsError Open(const fs::path& file, std::unique_ptr<Movie>& movie, bool readOgg) {
        ffmpeg::AudioFile opened;
        if (const OsError result = ffmpeg::OpenAudioFile(file, opened); result != kNoErr) {
            return result;
        }
        const MovieFormat kind = ffmpeg::FormatOf(opened);
        MovieTags tags = ffmpeg::TagsOf(opened);
        ffmpeg::FormatHandle format = std::move(opened.format);
        const AVCodec* codec = opened.codec;
        const int index = opened.streamIndex;
        AVStream& stream = *format->streams[index];

        StreamFacts facts;
        facts.index = index;
        facts.timeBase = stream.time_base;
        facts.sampleRate = stream.codecpar->sample_rate;
        facts.channels = stream.codecpar->ch_layout.nb_channels;
        const int64_t frameSize = stream.codecpar->frame_size > 0
                                      ? std::min(stream.codecpar->frame_size, kMaxFrameSize)
                                      : kDefaultFrameSize;
        facts.prerollFrames = kPrerollFrames * frameSize;
        if (stream.codecpar->codec_id == AV_CODEC_ID_OPUS) {
            facts.prerollFrames = facts.sampleRate * kOpusPrerollMs / 1000;
        }
        facts.mpegAudio = IsMpegAudio(stream.codecpar->codec_id);

        const std::string_view container = format->iformat->name;
        facts.ogg = container == "ogg";
        facts.vorbisInOgg = facts.ogg && stream.codecpar->codec_id == AV_CODEC_ID_VORBIS;
        // FLAC's stream header and Ogg's last page record the exact length, though their
        // demuxers build a generic index.
        const bool exactFromStream =
            (container == "flac" || (facts.ogg && !readOgg)) &&
            format->duration_estimation_method == AVFMT_DURATION_FROM_STREAM;
        const bool lengthRecorded =
            ((format->iformat->flags & AVFMT_GENERIC_INDEX) == 0 || exactFromStream) &&
            stream.duration > 0 && Plausible(stream.duration);
        if (lengthRecorded) {
            facts.origin = Plausible(stream.start_time) ? stream.start_time : 0;
            // Ogg's length counts the samples an Opus decoder drops at the start.
            facts.frameCount =
                av_rescale_q(stream.duration, stream.time_base, AVRational{1, facts.sampleRate}) -
                (facts.ogg ? stream.codecpar->initial_padding : 0);
            facts.firstTimestamp = std::numeric_limits<int64_t>::min();
            if (const AVIndexEntry* entry = avformat_index_get_entry(&stream, 0)) {
                facts.firstTimestamp = entry->timestamp;
            }
        } else if (!(facts.mpegAudio && CountMpegFramesByWalking(*format, stream, file, facts)) &&
                   !CountFramesByReading(*format, stream, facts)) {
            return kIoErr;
        }
        if (lengthRecorded && facts.ogg && !FindOggLastPage(*format, stream, facts)) {
            return Open(file, movie, /*readOgg=*/true);
        }
        const bool firstKnown = facts.firstTimestamp != std::numeric_limits<int64_t>::min();
        if (facts.frameCount <= 0 || facts.frameCount > kMaxFrameCount ||
            !Plausible(facts.origin) || (firstKnown && !Plausible(facts.firstTimestamp))) {
            return kIoErr;  // nothing playable, or a length no file has
        }
        movie =
            std::make_unique<FfmpegMovie>(std::move(format), codec, facts, kind, std::move(tags));
        return kNoErr;
    }
};

}  // namespace

std::unique_ptr<MovieFramework> MakeFfmpegMovieFramework() {
    return std::make_unique<FfmpegMovieFramework>();
}

}  // namespace harmovia
