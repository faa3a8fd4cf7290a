#pragma once

// The playback half of the movie framework: open a tune as a playing movie, set its volume
// (also while it plays), go to its beginning, start it, give it time, ask whether it is
// done, stop it, and release it (destroy the object); beyond that, jump within it and tell
// how far it has been heard. The program's player decodes with FFmpeg into the machine's
// audio output (movie_playback_ffmpeg.h); tests pass stand-ins whose tunes end when the
// test says.
//
// The movies of one player share one audio output. A movie started while another one
// still sounds follows it: its first sample comes right after the other's last, with
// nothing in between, so a player that starts the next tune ahead of time plays a list
// without gaps.
//
// Threads: the main thread calls everything here. An implementation decodes on a thread of
// its own; no call waits on a decoder or on the audio device.

#include <cstdint>
#include <filesystem>
#include <memory>

#include "platform/os_error.h"

namespace harmovia {

// The movie volume: 256 plays the samples as decoded, 512 twice as loud (samples saturate,
// never wrap), 0 silent. Negative values are silent too.
inline constexpr int16_t kUnityMovieVolume = 256;

class PlayingMovie {
  public:
    // Destroying the movie stops it and releases it (DisposeMovie); what the output still
    // held of it is not heard.
    virtual ~PlayingMovie() = default;
    // Applies from the next samples on, also while playing.
    virtual void SetVolume(int16_t volume) = 0;
    virtual void GoToBeginning() = 0;
    // Starts, or resumes a stopped movie at the very sample where it stopped.
    virtual void Start() = 0;
    // Gives the movie time (MoviesTask): never blocks.
    virtual void Task() = 0;
    // True once the tune has been heard to its end (or its decoding failed part-way and
    // what came before has been heard).
    virtual bool IsDone() const = 0;
    // Stops (and silences the output at once while this movie sounds), keeping the place.
    virtual void Stop() = 0;
    // Goes to `microseconds` after the tune's start (a jump past its end ends it), and
    // plays on from there if it was playing.
    virtual void Seek(int64_t microseconds) = 0;
    // How far into the tune the listener is, in microseconds.
    virtual int64_t HeardMicroseconds() const = 0;
};

class MoviePlayer {
  public:
    virtual ~MoviePlayer() = default;
    // OpenMovieFile and NewMovieFromFile in one: 0 and a movie ready to start; non-zero
    // when the file is missing or unreadable (kFileNotFoundErr, kAccessDeniedErr, …) or
    // holds no playable audio (kIoErr).
    virtual OsError OpenPlayingMovie(const std::filesystem::path& file,
                                     std::unique_ptr<PlayingMovie>& movie) = 0;
    // ClearMoviesStickyError: a previous failure does not affect the next call.
    virtual void ClearStickyError() = 0;
    // The run of tunes is over: the audio output closes (the next Start opens it again).
    virtual void CloseOutput() {}
};

}  // namespace harmovia
