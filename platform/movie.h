#pragma once

// The movie framework the program decodes audio through: open a file as a movie, read its
// time scale and duration, and extract one second of its sound as a sound block. The
// program's framework decodes with FFmpeg (movie_ffmpeg.h); tests use stand-ins that
// compute their own samples.

#include <cstdint>
#include <filesystem>
#include <memory>
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
