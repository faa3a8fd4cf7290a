#pragma once

// The movie framework the program decodes audio through: open a file as a movie, read its
// time scale and duration, extract one second of its sound as a sound block, and say what
// container holds it and what the container's tags are. The program's framework decodes
// with FFmpeg (movie_ffmpeg.h); tests use stand-ins that compute their own samples.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/os_error.h"

namespace harmovia {

// Movies count time in 1/600 s.
inline constexpr int32_t kMovieTimeScale = 600;

// Sound block layout: an 84-byte header whose byte 24 holds the channel count (the rest of
// the header is zero), then frames of 16-bit signed samples, one per channel, high byte
// first, at the file's own sample rate and channel count.
inline constexpr size_t kSoundBlockHeaderSize = 84;
inline constexpr size_t kSoundBlockChannelsOffset = 24;

// What the container holds, as the decoder found it (not as the file is named). Ogg is
// told apart by its codec; FLAC in Ogg is FLAC.
enum class MovieFormat { Other, Mp3, Mpeg4, Caf, Flac, Vorbis, Opus, Wav, Aiff };

// The container's own tags (Vorbis comments; ID3 chunks, RIFF INFO lists and AIFF name
// chunks), as the file writes them: UTF-8 as a rule, but any bytes. A value is cut to
// kMaxMovieTagBytes, enough for the longest text a record keeps. Nothing: no such tag.
inline constexpr size_t kMaxMovieTagBytes = 4 * 255;
struct MovieTags {
    std::optional<std::string> title, artist, album, genre;
};

// One opened audio file. Not thread-safe: one thread uses a movie at a time; different
// movies may be used on different threads at once.
class Movie {
  public:
    virtual ~Movie() = default;
    // Time units per second.
    virtual int32_t TimeScale() const = 0;
    // The tune's length in time units.
    virtual uint32_t Duration() const = 0;
    // Replaces `block` with one second of sound starting at `start` (time units), the first
    // frame being the one at `start` exactly. A window that runs past the end of the tune
    // is shorter, not an error. Returns kNoErr, or a non-zero code when decoding fails.
    virtual OsError ExtractSecond(uint32_t start, std::vector<uint8_t>& block) = 0;
    // The container and the tags found when the movie was opened (stand-ins have none).
    virtual MovieFormat Format() const { return MovieFormat::Other; }
    virtual MovieTags Tags() const { return {}; }
};

class MovieFramework {
  public:
    virtual ~MovieFramework() = default;
    // 0 when the framework can decode MP3 and AAC.
    virtual OsError EnterMovies() = 0;
    // 0 and a movie; non-zero for a missing or unreadable file, or one without audio.
    virtual OsError OpenMovie(const std::filesystem::path& file, std::unique_ptr<Movie>& movie) = 0;
};

}  // namespace harmovia
