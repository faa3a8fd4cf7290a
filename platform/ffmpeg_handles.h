#pragma once

// Owning handles for FFmpeg's objects: each unique_ptr frees its object with FFmpeg's own
// release call. Included only by platform/ sources that talk to FFmpeg.

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace harmovia::ffmpeg {

struct FormatCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecContextFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct ResamplerFreer {
    void operator()(SwrContext* context) const { swr_free(&context); }
};

using FormatHandle = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecContextHandle = std::unique_ptr<AVCodecContext, CodecContextFreer>;
using PacketHandle = std::unique_ptr<AVPacket, PacketFreer>;
using FrameHandle = std::unique_ptr<AVFrame, FrameFreer>;
using ResamplerHandle = std::unique_ptr<SwrContext, ResamplerFreer>;

// An AVChannelLayout that owns what it points to (custom layouts allocate a map).
class ChannelLayout {
  public:
    ChannelLayout() = default;
    ~ChannelLayout() { av_channel_layout_uninit(&layout_); }
    ChannelLayout(const ChannelLayout&) = delete;
    ChannelLayout& operator=(const ChannelLayout&) = delete;
    // Replaces the held layout with a copy of `other`; false when FFmpeg cannot copy it.
    bool CopyFrom(const AVChannelLayout& other) {
        return av_channel_layout_copy(&layout_, &other) == 0;
    }
    const AVChannelLayout& get() const { return layout_; }

  private:
    AVChannelLayout layout_{};
};

}  // namespace harmovia::ffmpeg
