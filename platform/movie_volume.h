#pragma once

// The movie volume applied to 16-bit samples in software.

#include <cstdint>
#include <span>

namespace harmovia {

// Scales every sample by volume / 256 (kUnityMovieVolume plays them as decoded), truncating
// toward zero. Results beyond full scale saturate at ±32767, so a loud tune clips instead
// of wrapping round to the opposite sign; a volume of 0 or below silences.
void ApplyMovieVolume(std::span<int16_t> samples, int16_t volume);

}  // namespace harmovia
