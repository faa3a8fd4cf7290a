#include "analysis/sound_window.h"

#include <algorithm>

#include "platform/movie.h"

namespace harmovia {

int SoundBlockFrames(std::span<const uint8_t> block) {
    if (block.size() < kSoundBlockHeaderSize + 4) {
        return 0;
    }
    const size_t frames = (block.size() - kSoundBlockHeaderSize) / 4;
    return static_cast<int>(std::min<size_t>(frames, kWindowFrames));
}

void BuildMonoBlock(std::span<const uint8_t> block, std::span<uint8_t, kMonoBlockSize> mono) {
    const int frames = SoundBlockFrames(block);
    for (int q = 0; q < kMonoSamples; ++q) {
        const int sample = 4 * (q / 3) + q % 3 + 1;  // the q-th index not divisible by 4
        const size_t channel = q < kMonoLeftSamples ? 0 : 2;
        const size_t out = 2 * static_cast<size_t>(q);
        if (sample < frames) {
            const size_t in = kSoundBlockHeaderSize + 4 * static_cast<size_t>(sample) + channel;
            mono[out] = block[in];
            mono[out + 1] = block[in + 1];
        } else {
            mono[out] = 0;
            mono[out + 1] = 0;
        }
    }
}

void LoadSpectrumInput(std::span<const uint8_t, kMonoBlockSize> mono, int pass,
                       SpectrumSpan spectrum) {
    std::fill(spectrum.begin(), spectrum.end(), 0.0);
    const size_t base = pass == 2 ? 1 + kSpectrumValues : 1;
    for (size_t j = 0; j < kSpectrumPoints; ++j) {
        const uint8_t low = mono[base + 2 * j];
        const uint8_t high = mono[base + 2 * j + 1];
        const auto value = static_cast<int16_t>(static_cast<uint16_t>(high << 8 | low));
        spectrum[1 + 2 * j] = value;
    }
}

}  // namespace harmovia
