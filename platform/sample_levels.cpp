#include "platform/sample_levels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace harmovia {

void AddToLevels(SampleLevels& levels, std::span<const int16_t> samples, int channels) {
    const size_t width = static_cast<size_t>(std::clamp(channels, 1, 8));
    for (size_t i = 0; i < samples.size(); ++i) {
        const int16_t sample = samples[i];
        const size_t channel = i % width;
        if (i >= width) {
            levels.largestStep =
                std::max(levels.largestStep, std::abs(sample - samples[i - width]));
        } else if (levels.hasLastFrame) {
            levels.largestStep =
                std::max(levels.largestStep, std::abs(sample - levels.lastFrame[channel]));
        }
        levels.lowest = std::min(levels.lowest, sample);
        levels.highest = std::max(levels.highest, sample);
        levels.sumOfSquares += static_cast<double>(sample) * sample;
    }
    if (samples.size() >= width) {
        std::copy(samples.end() - static_cast<std::ptrdiff_t>(width), samples.end(),
                  levels.lastFrame.begin());
        levels.hasLastFrame = true;
    }
    levels.samples += static_cast<int64_t>(samples.size());
    if (levels.keep) {
        levels.kept.insert(levels.kept.end(), samples.begin(), samples.end());
    }
}

double RmsOf(const SampleLevels& levels) {
    if (levels.samples == 0) {
        return 0;
    }
    return std::sqrt(levels.sumOfSquares / static_cast<double>(levels.samples)) / 32767.0;
}

}  // namespace harmovia
