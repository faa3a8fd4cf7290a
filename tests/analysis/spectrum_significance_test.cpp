#include "analysis/spectrum_significance.h"

#include <cmath>
#include <memory>
#include <random>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/sound_analysis.h"

namespace harmovia {
namespace {

using Buffer = std::vector<double>;

ConstSpectrumSpan Span(const Buffer& x) {
    return ConstSpectrumSpan(x.data(), kSpectrumSize);
}

void SetBin(Buffer& x, int bin, double re, double im = 0.0) {
    x[1 + 2 * static_cast<size_t>(bin)] = re;
    x[2 + 2 * static_cast<size_t>(bin)] = im;
}

// Every accumulator a spectrum advances.
auto Accumulators(const SoundAnalysisState& s) {
    return std::tuple(s.SignificantBinSum, s.SignificantCount, s.DistinctBins,
                      s.DistinctBinListLength, s.DistinctBinSeen, s.DistinctBinCount,
                      s.DistinctBinMean, s.PeakBinsSeen, s.PeakBinDistinctCount, s.Centroid);
}

// Once-per-pass power and flag lookups give exactly what the per-bin rule gives, over a
// tune's worth of transformed spectra (including silence and repeated peaks).
TEST(SpectrumSignificance, MatchesTheRuleAsWritten) {
    auto fast = std::make_unique<SoundAnalysisState>();
    auto literal = std::make_unique<SoundAnalysisState>();
    std::mt19937 random(17);
    for (int pass = 0; pass < 20; ++pass) {
        Buffer x(kSpectrumSize, 0.0);
        if (pass != 4) {
            const double step = 0.01 + 0.003 * (pass % 7);
            const int noise = 2000 + 1500 * pass;
            for (int j = 0; j < kSpectrumPoints; ++j) {
                x[1 + 2 * static_cast<size_t>(j)] =
                    std::round(8000 * std::sin(j * step) +
                               static_cast<int>(random() % 4001) * noise / 2000 - noise);
            }
            TransformSpectrum(SpectrumSpan(x.data(), kSpectrumSize));
        }
        const SpectrumFindings a = AccumulateSpectrum(Span(x), *fast);
        const SpectrumFindings b = AccumulateSpectrumAsWritten(Span(x), *literal);
        EXPECT_EQ(a.peakBin, b.peakBin);
        EXPECT_EQ(a.peakPower, b.peakPower);
        EXPECT_EQ(a.significantBins, b.significantBins);
        EXPECT_EQ(a.average, b.average);
    }
    EXPECT_TRUE(Accumulators(*fast) == Accumulators(*literal));
    EXPECT_GT(fast->DistinctBinCount, 2000) << "the input should exercise the distinct list";
}

TEST(SpectrumSignificance, PeakSignificanceAndRunningMeans) {
    // Peak power P = 500 at bin 10 (re = 1e6·√500) gives x = 1: a bin is significant when its
    // scaled power exceeds 1.
    const double unit = 1e6;
    Buffer x(kSpectrumSize, 0.0);
    SetBin(x, 0, 0.0, unit * 0.5);  // bin 0 may be the peak but is never significant
    SetBin(x, 10, unit * std::sqrt(500.0));
    SetBin(x, 20, unit * 1.0001);
    SetBin(x, 30, 0.0, unit * 0.9999);
    SetBin(x, 40, unit * 0.8, unit * 0.8);  // 1.28
    auto state = std::make_unique<SoundAnalysisState>();
    SpectrumFindings f = AccumulateSpectrum(Span(x), *state);
    EXPECT_EQ(f.peakBin, 10);
    EXPECT_NEAR(f.peakPower, 500.0, 1e-9);
    EXPECT_EQ(f.significantBins, 3);  // 10, 20, 40
    EXPECT_EQ(f.average, ((10 + 20) / 2.0 + 40) / 2);
    EXPECT_EQ(state->SignificantBinSum, 70u);
    EXPECT_EQ(state->DistinctBinMean, ((20 + 10) / 2.0 + 40) / 2);
    EXPECT_EQ(state->Centroid, f.average);

    // Again, plus bin 50: only 50 is new to the distinct list, and the averages blend.
    SetBin(x, 50, unit * 2);
    const double previousCentroid = state->Centroid;
    f = AccumulateSpectrum(Span(x), *state);
    EXPECT_EQ(state->SignificantCount, 7);
    EXPECT_EQ(state->DistinctBinCount, 4);
    EXPECT_EQ(state->DistinctBinMean, (50 + 27.5) / 2);
    EXPECT_EQ(f.average, ((27.5 + 50) / 2 + previousCentroid) / 2);
    EXPECT_EQ(state->PeakBinDistinctCount, 1);

    // Silence: peak bin 0, nothing significant, the average is the peak bin and blends in.
    const Buffer silence(kSpectrumSize, 0.0);
    const double centroid = state->Centroid;
    f = AccumulateSpectrum(Span(silence), *state);
    EXPECT_EQ(f.peakBin, 0);
    EXPECT_EQ(f.significantBins, 0);
    EXPECT_EQ(f.average, centroid / 2);
    EXPECT_EQ(state->PeakBinDistinctCount, 2);

    // Two bins of equal largest power: the lower one is the peak.
    Buffer tie(kSpectrumSize, 0.0);
    SetBin(tie, 700, 3e6);
    SetBin(tie, 300, 0.0, -3e6);
    EXPECT_EQ(AccumulateSpectrum(Span(tie), *state).peakBin, 300);
}

}  // namespace
}  // namespace harmovia
