#pragma once

// From one extracted second of sound to the transform's input values. The byte handling
// is part of what every stored mood is defined by, quirks included: the mono block drops
// every fourth sample and takes its first 22050 samples from the left channel and the
// rest from the right, and the transform's input values are read one byte off, pairing
// the low byte of one sample with the high byte of the next.

#include <cstdint>
#include <span>
#include <vector>

#include "analysis/spectrum_transform.h"

namespace harmovia {

inline constexpr int kWindowFrames = 44100;     // frames taken from a block at most
inline constexpr int kMonoSamples = 33075;      // 3 of every 4 frames
inline constexpr int kMonoLeftSamples = 22050;  // the first part comes from the left
inline constexpr size_t kMonoBlockSize = 2 * kMonoSamples;

// Frames the block holds (at most 44100): a frame is taken only when it lies wholly
// inside the block; a block of 87 bytes or fewer holds none.
int SoundBlockFrames(std::span<const uint8_t> block);

// Fills `mono` (66150 bytes, samples high byte first as in the block) from a two-channel
// block: sample i of 0..44099, skipping multiples of 4, from the left channel for the first
// 22050 samples and from the right after. Frames the block lacks count as silence.
void BuildMonoBlock(std::span<const uint8_t> block, std::span<uint8_t, kMonoBlockSize> mono);

// Zeroes `spectrum` and stores the 16384 input values of pass 1 or 2 (any other number is
// pass 1) as real parts: value j has the low byte at mono byte 1 + 32768·(pass−1) + 2j and
// the high byte after it.
void LoadSpectrumInput(std::span<const uint8_t, kMonoBlockSize> mono, int pass,
                       SpectrumSpan spectrum);

}  // namespace harmovia
