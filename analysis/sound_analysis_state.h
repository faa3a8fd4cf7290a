#pragma once

// The accumulators of one tune's measurement: cleared by ResetSoundAnalysis before the
// tune, advanced by MeasureSoundWindow once per spectrum, read (and partly rewritten) by
// ScoreMood. One instance per tune being measured; an instance is used by one thread at a
// time, and different instances may be used on different threads at once.
//
// Large (about 300 kB once the transform buffer exists): hold it on the heap.

#include <array>
#include <cstdint>
#include <vector>

#include "library/tune_record.h"

namespace harmovia {

inline constexpr int kSpectrumBins = 8192;            // bins 1..8192 are tested for significance
inline constexpr int kMaxTuneSpectra = kPeakEntries;  // entries of PeakBins / PeakPowers
inline constexpr int kPeakHistogramTop = 7000;        // PeakBinHistogram indices 0..7000

struct SoundAnalysisState {
    // Spectra measured so far; also the 1-based entry of the record's per-window arrays.
    int16_t WindowCounter = 0;
    // Sum of the bin numbers of all significant bins over all spectra.
    uint32_t SignificantBinSum = 0;
    // Significant bins over all spectra (a bin counts once per spectrum). ScoreMood scales it
    // by the bit-rate factor.
    int32_t SignificantCount = 0;
    // The bins significant in any spectrum so far, each once, in order of first appearance
    // (the first DistinctBinListLength entries), with DistinctBinSeen[b] set for each for a
    // constant-time membership test.
    std::array<int32_t, kSpectrumBins> DistinctBins{};
    int32_t DistinctBinListLength = 0;
    std::array<bool, kSpectrumBins + 1> DistinctBinSeen{};
    // Their number; ScoreMood scales it by the bit-rate factor (the list stays as it was).
    int32_t DistinctBinCount = 0;
    // Running mean over the distinct bins in order of first appearance.
    double DistinctBinMean = 0.0;
    // The peak bins seen, each once (at most one per spectrum).
    std::array<int32_t, kMaxTuneSpectra> PeakBinsSeen{};
    int32_t PeakBinDistinctCount = 0;
    // Running blend of the per-spectrum average bins.
    double Centroid = 0.0;
    // Written by ScoreMood.
    double TrimmedPeakMean = 0.0;
    double PeakPowerMean = 0.0;
    std::array<int16_t, kPeakHistogramTop + 1> PeakBinHistogram{};

    // Working memory of the transform (1-based, see spectrum_transform.h), kept between
    // windows and tunes; its content has no meaning outside one pass.
    std::vector<double> Spectrum;
};

}  // namespace harmovia
