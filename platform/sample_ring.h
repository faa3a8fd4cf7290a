#pragma once

// A ring of interleaved 16-bit samples between exactly two threads: one writer (the
// decoding thread) and one reader (the thread that owns the audio output). Neither Write
// nor Read ever blocks; only the writer may wait, for room, until the reader takes samples
// or someone calls Wake. Samples move in whole frames.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace harmovia {

class SampleRing {
  public:
    // Room for at least `frames` frames of `channels` samples.
    SampleRing(size_t frames, int channels);
    SampleRing(const SampleRing&) = delete;
    SampleRing& operator=(const SampleRing&) = delete;

    // Writer: copies the leading whole frames of `samples` that fit; returns the samples
    // written.
    size_t Write(std::span<const int16_t> samples);
    // Writer: returns once there is room for a frame, `stop` is true or Wake was called.
    void WaitForRoom(const std::atomic<bool>& stop);

    // Reader: moves up to `samples.size()` samples (whole frames) out; returns how many.
    size_t Read(std::span<int16_t> samples);
    // Samples waiting to be read.
    size_t Available() const;

    // Any thread: ends the writer's wait (call after setting its stop flag).
    void Wake();
    // Empties the ring; only while neither thread uses it.
    void Clear();

  private:
    size_t Room() const;

    std::vector<int16_t> samples_;
    size_t mask_;
    size_t frameSamples_;
    // Counts of samples ever written and read; their difference is what waits.
    std::atomic<uint64_t> written_{0};
    std::atomic<uint64_t> read_{0};
    // Bumped by every read and every Wake: the writer sleeps on it.
    std::atomic<uint32_t> wakes_{0};
};

}  // namespace harmovia
