#pragma once

// A stand-in movie whose sound the test computes: frame f of channel c is sample(f, c) at
// 44.1 kHz, in blocks laid out as the decoder lays them out; a window past the end of the
// sound is shorter.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <new>
#include <vector>

#include "platform/movie.h"

namespace harmovia::testing {

class SyntheticMovie final : public Movie {
  public:
    using Sample = std::function<int16_t(int64_t frame, int channel)>;

    // `seconds` of sound; a duration of `reportedUnits` (0: the sound's own length).
    SyntheticMovie(double seconds, Sample sample, int channels = 2, uint32_t reportedUnits = 0)
        : sample_(std::move(sample)),
          channels_(channels),
          frames_(static_cast<int64_t>(seconds * kRate)),
          units_(reportedUnits != 0 ? reportedUnits
                                    : static_cast<uint32_t>(seconds * kMovieTimeScale)) {}

    int32_t TimeScale() const override { return timeScale; }
    uint32_t Duration() const override { return units_; }
    OsError ExtractSecond(uint32_t start, std::vector<uint8_t>& block) override {
        starts.push_back(start);
        if (failWith == kMemFullErr) {
            throw std::bad_alloc();  // as the decoder runs out of memory
        }
        if (failWith != kNoErr) {
            return failWith;
        }
        const int64_t first = int64_t{start} * kRate / kMovieTimeScale;
        const int64_t last = std::min(first + kRate, frames_);
        block.assign(kSoundBlockHeaderSize, 0);
        block[kSoundBlockChannelsOffset] = static_cast<uint8_t>(channels_);
        for (int64_t f = first; f < last; ++f) {
            for (int c = 0; c < channels_; ++c) {
                const auto v = static_cast<uint16_t>(sample_(f, c));
                block.push_back(static_cast<uint8_t>(v >> 8));
                block.push_back(static_cast<uint8_t>(v & 0xFF));
            }
        }
        block.resize(std::min(block.size(), truncateTo));
        return kNoErr;
    }

    size_t truncateTo = SIZE_MAX;  // cuts every block to this many bytes
    int32_t timeScale = kMovieTimeScale;
    OsError failWith = kNoErr;
    std::vector<uint32_t> starts;  // every start asked for

  private:
    Sample sample_;
    int channels_;
    static constexpr int64_t kRate = 44100;
    int64_t frames_;
    uint32_t units_;
};

}  // namespace harmovia::testing
