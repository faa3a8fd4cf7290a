#include "platform/movie_volume.h"

#include <algorithm>

namespace harmovia {

void ApplyMovieVolume(std::span<int16_t> samples, int16_t volume) {
    if (volume <= 0) {
        std::fill(samples.begin(), samples.end(), int16_t{0});
        return;
    }
    // 32768 × 32767 fits 32 bits; the clamp keeps the scale symmetric (no -32768).
    const int32_t gain = volume;
    for (int16_t& sample : samples) {
        const int32_t scaled = sample * gain / 256;
        sample = static_cast<int16_t>(std::clamp(scaled, -32767, 32767));
    }
}

}  // namespace harmovia
