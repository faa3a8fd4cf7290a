#pragma once

// The level of a run of interleaved 16-bit samples, added block by block: what an audio
// output received, for tests and benchmarks.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace harmovia {

struct SampleLevels {
    int64_t samples = 0;
    int16_t lowest = 0;
    int16_t highest = 0;
    double sumOfSquares = 0;
    // The largest difference between two successive samples of one channel. Audio moves
    // smoothly; a sample that wrapped round to the opposite sign jumps by more than 32767.
    int32_t largestStep = 0;
    // The previous block's last frame, for the steps across blocks.
    std::array<int16_t, 8> lastFrame{};
    bool hasLastFrame = false;
    // With `keep`, every sample added, in order: for tests that compare the stream itself.
    bool keep = false;
    std::vector<int16_t> kept;
};

// Adds `samples` (whole frames of `channels` samples, 1..8) to `levels`.
void AddToLevels(SampleLevels& levels, std::span<const int16_t> samples, int channels);

// The root mean square of everything added, as a fraction of full scale (32767).
double RmsOf(const SampleLevels& levels);

}  // namespace harmovia
