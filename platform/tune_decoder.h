#pragma once

// Decodes one tune with FFmpeg, converts it to an output's format (16-bit interleaved, the
// output's rate and channel count) and writes it into a SampleRing, on a thread of its own
// while started. The thread waits only for room in the ring; Stop ends it within one
// packet's decoding.
//
// Threads: the owner (the main thread) calls everything here; Finished may be asked from
// any thread.

#include <cstdint>
#include <filesystem>
#include <memory>

#include "platform/audio_output.h"
#include "platform/os_error.h"
#include "platform/sample_ring.h"

namespace harmovia {

class TuneDecoder {
  public:
    // Destroying the decoder stops its thread first.
    virtual ~TuneDecoder() = default;
    // The tune's own sample rate.
    virtual int SampleRate() const = 0;
    // Starts or resumes decoding from where it stopped. `format` and `ring` are fixed by the
    // first call; the ring must outlive the decoder.
    virtual void Start(const AudioFormat& format, SampleRing& ring) = 0;
    // Ends the thread and waits for it; decoding can be resumed with Start.
    virtual void Stop() = 0;
    // Stopped: the next Start decodes from the tune's first sample again.
    virtual void Rewind() = 0;
    // Stopped: the next Start decodes from `microseconds` after the tune's first sample (to
    // within a millisecond; past the end, nothing more comes).
    virtual void Seek(int64_t microseconds) = 0;
    // True once the last sample of the tune is in the ring, or decoding failed part-way and
    // everything before the failure is.
    virtual bool Finished() const = 0;
};

// 0 and a decoder ready to start; non-zero as OpenAudioFile gives (kFileNotFoundErr,
// kAccessDeniedErr, kIoErr for a file without playable audio, ...).
OsError OpenTuneDecoder(const std::filesystem::path& file, std::unique_ptr<TuneDecoder>& decoder);

}  // namespace harmovia
