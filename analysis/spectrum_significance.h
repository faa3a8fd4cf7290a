#pragma once

// What one spectrum contributes to a tune's measurement: its peak bin and power, its
// significant bins, and their running averages.

#include <cstdint>

#include "analysis/sound_analysis_state.h"
#include "analysis/spectrum_transform.h"

namespace harmovia {

struct SpectrumFindings {
    int32_t peakBin = 0;          // bin 0..8192 with the largest re² + im², the lower on ties
    double peakPower = 0.0;       // P = (re/1e6)² + (im/1e6)² of the peak bin
    int32_t significantBins = 0;  // n
    double average = 0.0;         // the pass's average bin, after the blend with Centroid
};

// Finds the peak and the significant bins of a transformed spectrum and advances the
// accumulators: SignificantBinSum, SignificantCount, DistinctBins (with DistinctBinCount
// and DistinctBinMean), PeakBinsSeen and Centroid. A bin b of 1..8192 is significant when
// pb · x^1.7373 > x², with pb its power scaled as P is and x = P / 500.
SpectrumFindings AccumulateSpectrum(ConstSpectrumSpan spectrum, SoundAnalysisState& state);

// The same rule as first written: the power x^1.7373 evaluated for every bin and
// DistinctBins searched from its start for every significant bin. The reference the
// production step is proven against, and the benchmark's baseline.
SpectrumFindings AccumulateSpectrumAsWritten(ConstSpectrumSpan spectrum, SoundAnalysisState& state);

}  // namespace harmovia
