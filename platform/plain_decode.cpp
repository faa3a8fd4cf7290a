#include "platform/plain_decode.h"

#include <string>

#include "platform/ffmpeg_handles.h"

namespace harmovia {

int64_t DecodeSecondsPlainly(const std::filesystem::path& file,
                             std::span<const double> startFractions) {
    AVFormatContext* opened = nullptr;
    const std::string url = "file:" + file.string();
    if (avformat_open_input(&opened, url.c_str(), nullptr, nullptr) < 0) {
        return -1;
    }
    ffmpeg::FormatHandle format(opened);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        return -1;
    }
    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (index < 0 || codec == nullptr) {
        return -1;
    }
    const AVStream& stream = *format->streams[index];
    ffmpeg::CodecContextHandle decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream.codecpar) < 0) {
        return -1;
    }
    decoder->thread_count = 1;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        return -1;
    }
    ffmpeg::PacketHandle packet(av_packet_alloc());
    ffmpeg::FrameHandle frame(av_frame_alloc());
    if (!packet || !frame) {
        return -1;
    }
    const int64_t length =
        stream.duration != AV_NOPTS_VALUE
            ? stream.duration
            : av_rescale_q(format->duration, AVRational{1, AV_TIME_BASE}, stream.time_base);
    const int64_t second = decoder->sample_rate;
    int64_t total = 0;
    for (const double fraction : startFractions) {
        const int64_t start = static_cast<int64_t>(static_cast<double>(length) * fraction);
        if (av_seek_frame(format.get(), index, start, AVSEEK_FLAG_BACKWARD) < 0) {
            return -1;
        }
        avcodec_flush_buffers(decoder.get());
        int64_t decoded = 0;
        while (decoded < second && av_read_frame(format.get(), packet.get()) >= 0) {
            if (packet->stream_index == index &&
                avcodec_send_packet(decoder.get(), packet.get()) >= 0) {
                while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
                    decoded += frame->nb_samples;
                    av_frame_unref(frame.get());
                }
            }
            av_packet_unref(packet.get());
        }
        total += decoded;
    }
    return total;
}

}  // namespace harmovia
