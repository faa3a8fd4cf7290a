#include "platform/ffmpeg_audio_file.h"

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace harmovia::ffmpeg {
namespace {

namespace fs = std::filesystem;

// "mov" is the MPEG-4 demuxer.
constexpr const char* kAllowedFormats = "mp3,mov,caf,aac,wav,aiff,flac,ogg";

std::optional<std::string> Tag(const AudioFile& file, const char* key) {
    // Keys are matched in any letter case: Vorbis comments are often upper case.
    const AVDictionaryEntry* entry = av_dict_get(file.format->metadata, key, nullptr, 0);
    if (entry == nullptr) {
        entry = av_dict_get(file.Stream().metadata, key, nullptr, 0);
    }
    if (entry == nullptr || entry->value == nullptr) {
        return std::nullopt;
    }
    const std::string_view value(entry->value);
    return std::string(value.substr(0, kMaxMovieTagBytes));
}

}  // namespace

MovieFormat FormatOf(const AudioFile& file) {
    const std::string_view container = file.format->iformat->name;
    const AVCodecID codec = file.Stream().codecpar->codec_id;
    if (container == "ogg") {
        return codec == AV_CODEC_ID_VORBIS ? MovieFormat::Vorbis
               : codec == AV_CODEC_ID_OPUS ? MovieFormat::Opus
               : codec == AV_CODEC_ID_FLAC ? MovieFormat::Flac
                                           : MovieFormat::Other;
    }
    struct Name {
        std::string_view container;
        MovieFormat format;
    };
    static constexpr Name kNames[] = {{"flac", MovieFormat::Flac},
                                      {"wav", MovieFormat::Wav},
                                      {"aiff", MovieFormat::Aiff},
                                      {"mp3", MovieFormat::Mp3},
                                      {"caf", MovieFormat::Caf}};
    for (const Name& name : kNames) {
        if (container == name.container) {
            return name.format;
        }
    }
    // The MPEG-4 demuxer names every container it reads ("mov,mp4,m4a,3gp,3g2,mj2").
    return container.starts_with("mov,") ? MovieFormat::Mpeg4 : MovieFormat::Other;
}

MovieTags TagsOf(const AudioFile& file) {
    MovieTags tags{Tag(file, "title"), Tag(file, "artist"), Tag(file, "album"), Tag(file, "genre")};
    if (!tags.artist) {
        tags.artist = Tag(file, "author");
    }
    return tags;
}

OsError FromAvError(int error) {
    if (error == AVERROR(ENOMEM)) {
        return kMemFullErr;
    }
    // AVERROR(e) is -e for system errors; FFmpeg's own codes lie far below.
    if (error < 0 && error > -4096) {
        return OsErrorFromErrno(-error);
    }
    return kIoErr;
}

CodecContextHandle OpenDecoder(const AVCodec* codec, const AVStream& stream) {
    CodecContextHandle decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream.codecpar) < 0) {
        return nullptr;
    }
    decoder->pkt_timebase = stream.time_base;
    decoder->thread_count = 1;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        return nullptr;
    }
    return decoder;
}

OsError OpenAudioFile(const fs::path& file, AudioFile& opened) {
    opened = AudioFile{};
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (status.type() == fs::file_type::not_found) {
        return kFileNotFoundErr;
    }
    if (error) {
        return OsErrorFromErrno(error.value());
    }
    if (status.type() != fs::file_type::regular) {
        return kNotAFileErr;
    }

    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "format_whitelist", kAllowedFormats, 0);
    AVFormatContext* context = nullptr;
    // "file:" keeps a name such as "http:x.mp3" from being taken for a URL.
    const std::string url = "file:" + file.string();
    const int openResult = avformat_open_input(&context, url.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (openResult < 0) {
        return FromAvError(openResult);
    }
    FormatHandle format(context);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        return kIoErr;
    }
    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (index < 0 || codec == nullptr) {
        return kIoErr;  // no audio, or none FFmpeg can decode
    }
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (static_cast<int>(i) != index) {
            format->streams[i]->discard = AVDISCARD_ALL;
        }
    }
    const AVStream& stream = *format->streams[index];
    const int rate = stream.codecpar->sample_rate;
    const int channels = stream.codecpar->ch_layout.nb_channels;
    if (rate <= 0 || rate > kMaxSampleRate || channels <= 0 || channels > kMaxChannels ||
        stream.time_base.num <= 0 || stream.time_base.den <= 0) {
        return kIoErr;
    }
    if (!OpenDecoder(codec, stream)) {
        return kIoErr;
    }
    opened.format = std::move(format);
    opened.codec = codec;
    opened.streamIndex = index;
    return kNoErr;
}

}  // namespace harmovia::ffmpeg
