#include "analysis/spectrum_significance.h"

#include <cmath>

namespace harmovia {
namespace {

constexpr double kPowerScale = 1000000.0;
constexpr double kPeakDivisor = 500.0;
constexpr double kSignificanceExponent = 1.7373;

double Real(ConstSpectrumSpan s, int bin) {
    return s[1 + 2 * static_cast<size_t>(bin)];
}
double Imag(ConstSpectrumSpan s, int bin) {
    return s[2 + 2 * static_cast<size_t>(bin)];
}

double ScaledPower(ConstSpectrumSpan s, int bin) {
    const double re = Real(s, bin) / kPowerScale;
    const double im = Imag(s, bin) / kPowerScale;
    return re * re + im * im;
}

// Bins 0..8192; only a strictly larger power replaces, so ties keep the lower bin.
int PeakBin(ConstSpectrumSpan s) {
    int peak = 0;
    double largest = Real(s, 0) * Real(s, 0) + Imag(s, 0) * Imag(s, 0);
    for (int b = 1; b <= kSpectrumBins; ++b) {
        const double power = Real(s, b) * Real(s, b) + Imag(s, b) * Imag(s, b);
        if (power > largest) {
            largest = power;
            peak = b;
        }
    }
    return peak;
}

// Per-pass running values while the significant bins are walked.
struct PassAverage {
    int32_t count = 0;
    double average = 0.0;
};

// Bookkeeping for one significant bin; `seen` says whether DistinctBins already holds it.
void CountSignificantBin(int b, bool seen, PassAverage& pass, SoundAnalysisState& state) {
    state.SignificantBinSum += static_cast<uint32_t>(b);
    pass.average = pass.count == 0 ? b : (pass.average + b) / 2;
    ++pass.count;
    if (!seen) {
        state.DistinctBins[static_cast<size_t>(state.DistinctBinListLength++)] = b;
        state.DistinctBinSeen[static_cast<size_t>(b)] = true;
        state.DistinctBinMean = state.DistinctBinCount == 0 ? b : (b + state.DistinctBinMean) / 2;
        ++state.DistinctBinCount;
    }
}

SpectrumFindings FinishPass(int peakBin, double peakPower, const PassAverage& pass,
                            SoundAnalysisState& state) {
    state.SignificantCount += pass.count;
    bool peakSeen = false;
    for (int k = 0; k < state.PeakBinDistinctCount; ++k) {
        peakSeen = peakSeen || state.PeakBinsSeen[static_cast<size_t>(k)] == peakBin;
    }
    if (!peakSeen && state.PeakBinDistinctCount < kMaxTuneSpectra) {
        state.PeakBinsSeen[static_cast<size_t>(state.PeakBinDistinctCount++)] = peakBin;
    }
    double average = pass.count == 0 ? peakBin : pass.average;
    if (state.Centroid != 0.0) {
        average = (average + state.Centroid) / 2;
    }
    state.Centroid = average;
    return {peakBin, peakPower, pass.count, average};
}

}  // namespace

SpectrumFindings AccumulateSpectrum(ConstSpectrumSpan spectrum, SoundAnalysisState& state) {
    const int peakBin = PeakBin(spectrum);
    const double peakPower = ScaledPower(spectrum, peakBin);
    const double x = peakPower / kPeakDivisor;
    // The same two values the rule names for every bin, computed once.
    const double raised = std::pow(x, kSignificanceExponent);
    const double squared = x * x;
    PassAverage pass;
    for (int b = 1; b <= kSpectrumBins; ++b) {
        if (ScaledPower(spectrum, b) * raised > squared) {
            CountSignificantBin(b, state.DistinctBinSeen[static_cast<size_t>(b)], pass, state);
        }
    }
    return FinishPass(peakBin, peakPower, pass, state);
}

SpectrumFindings AccumulateSpectrumAsWritten(ConstSpectrumSpan spectrum,
                                             SoundAnalysisState& state) {
    const int peakBin = PeakBin(spectrum);
    const double peakPower = ScaledPower(spectrum, peakBin);
    const double x = peakPower / kPeakDivisor;
    PassAverage pass;
    for (int b = 1; b <= kSpectrumBins; ++b) {
        if (ScaledPower(spectrum, b) * std::pow(x, kSignificanceExponent) > x * x) {
            bool seen = false;
            for (int k = 0; k < state.DistinctBinListLength && !seen; ++k) {
                seen = state.DistinctBins[static_cast<size_t>(k)] == b;
            }
            CountSignificantBin(b, seen, pass, state);
        }
    }
    return FinishPass(peakBin, peakPower, pass, state);
}

}  // namespace harmovia
