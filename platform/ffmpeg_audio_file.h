#pragma once

// Opening a local audio file with FFmpeg, with the rules every reader of tunes keeps: only
// local regular files (a pipe would block the open forever), only audio containers (no
// playlist, concat or streaming demuxer, whose files could make FFmpeg open other files or
// URLs), and only a stream whose rate, channel count and time base are plausible and whose
// decoder opens. Included only by platform/ sources that talk to FFmpeg.

#include <filesystem>

#include "platform/ffmpeg_handles.h"
#include "platform/movie.h"
#include "platform/os_error.h"

namespace harmovia::ffmpeg {

// Bounds that keep a hostile header from asking for a huge block.
inline constexpr int kMaxSampleRate = 384000;
inline constexpr int kMaxChannels = 32;

struct AudioFile {
    FormatHandle format;
    const AVCodec* codec = nullptr;
    int streamIndex = -1;  // the chosen audio stream; every other stream is discarded

    AVStream& Stream() const { return *format->streams[streamIndex]; }
};

// 0 and the opened file; kFileNotFoundErr for a missing file, kNotAFileErr for a folder,
// pipe or device, the errno's code when the file cannot be read (kAccessDeniedErr), kIoErr
// when it holds no audio FFmpeg can decode, kMemFullErr when memory runs out.
OsError OpenAudioFile(const std::filesystem::path& file, AudioFile& opened);

// A decoder for the stream, single-threaded (callers run one tune per thread); null when
// FFmpeg cannot open one.
CodecContextHandle OpenDecoder(const AVCodec* codec, const AVStream& stream);

// What the opened file's container and codec are.
MovieFormat FormatOf(const AudioFile& file);

// The title, artist, album and genre tags of the opened file: the container's own, else the
// audio stream's (Ogg keeps its comments there). An author (an AIFF's AUTH chunk) stands
// in for a missing artist.
MovieTags TagsOf(const AudioFile& file);

// The platform code for an FFmpeg error.
OsError FromAvError(int error);

}  // namespace harmovia::ffmpeg
