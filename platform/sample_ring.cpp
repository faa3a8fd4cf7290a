#include "platform/sample_ring.h"

#include <algorithm>
#include <bit>

namespace harmovia {

SampleRing::SampleRing(size_t frames, int channels)
    : samples_(std::bit_ceil(std::max<size_t>(frames, 1) * static_cast<size_t>(channels))),
      mask_(samples_.size() - 1),
      frameSamples_(static_cast<size_t>(channels)) {}

size_t SampleRing::Room() const {
    const size_t waiting = static_cast<size_t>(written_.load(std::memory_order_relaxed) -
                                               read_.load(std::memory_order_acquire));
    // Whole frames only, so that a frame never straddles what the reader may take.
    const size_t room = samples_.size() - waiting;
    return room - room % frameSamples_;
}

size_t SampleRing::Write(std::span<const int16_t> samples) {
    const size_t count = std::min(Room(), samples.size() - samples.size() % frameSamples_);
    const uint64_t at = written_.load(std::memory_order_relaxed);
    for (size_t i = 0; i < count; ++i) {
        samples_[(at + i) & mask_] = samples[i];
    }
    written_.store(at + count, std::memory_order_release);
    return count;
}

void SampleRing::WaitForRoom(const std::atomic<bool>& stop) {
    // Read the counter before testing, so that a read or Wake after the test ends the wait.
    const uint32_t seen = wakes_.load(std::memory_order_acquire);
    if (stop.load(std::memory_order_acquire) || Room() > 0) {
        return;
    }
    wakes_.wait(seen, std::memory_order_acquire);
}

size_t SampleRing::Available() const {
    return static_cast<size_t>(written_.load(std::memory_order_acquire) -
                               read_.load(std::memory_order_relaxed));
}

size_t SampleRing::Read(std::span<int16_t> samples) {
    const size_t count = std::min(Available(), samples.size() - samples.size() % frameSamples_);
    if (count == 0) {
        return 0;
    }
    const uint64_t at = read_.load(std::memory_order_relaxed);
    for (size_t i = 0; i < count; ++i) {
        samples[i] = samples_[(at + i) & mask_];
    }
    read_.store(at + count, std::memory_order_release);
    Wake();
    return count;
}

void SampleRing::Wake() {
    wakes_.fetch_add(1, std::memory_order_release);
    wakes_.notify_one();
}

void SampleRing::Clear() {
    read_.store(written_.load());
}

}  // namespace harmovia
