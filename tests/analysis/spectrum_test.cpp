// The production transform and significance pass against the loops as written: the same
// bits and the same figures, whatever the input.

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/sound_analysis.h"
#include "analysis/spectrum_significance.h"
#include "analysis/spectrum_transform.h"

namespace harmovia {
namespace {

using Buffer = std::vector<double>;

TEST(SpectrumTransform, ProductionIsBitIdenticalToTheLoopAsWritten) {
    std::mt19937 random(1);
    std::uniform_real_distribution<double> value(-1e4, 1e4);
    using Point = std::pair<double, double>;
    const std::function<Point(int)> inputs[] = {
        [&](int) { return Point(value(random), value(random)); },
        [&](int) { return Point(std::round(value(random) * 3.2768), 0.0); },
        [](int) { return Point(0.0, 0.0); },
        // Music-like 16-bit input: two tones and a little hiss.
        [&](int j) {
            return Point(std::round(9000 * std::sin(j * 0.0627) + 4000 * std::sin(j * 0.31) +
                                    static_cast<double>(random() % 301) - 150),
                         0.0);
        },
        [](int j) { return Point(j % 2 == 0 ? -32768.0 : 32767.0, 0.0); },
    };
    for (size_t i = 0; i < std::size(inputs); ++i) {
        Buffer expected(kSpectrumSize, 0.0);
        for (int j = 0; j < kSpectrumPoints; ++j) {
            std::tie(expected[1 + 2 * j], expected[2 + 2 * j]) = inputs[i](j);
        }
        Buffer actual = expected;
        TransformSpectrumAsWritten(SpectrumSpan(expected.data(), kSpectrumSize));
        TransformSpectrum(SpectrumSpan(actual.data(), kSpectrumSize));
        EXPECT_EQ(std::memcmp(actual.data(), expected.data(), actual.size() * sizeof(double)), 0)
            << "input " << i;
    }
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
        const ConstSpectrumSpan spectrum(x.data(), kSpectrumSize);
        const SpectrumFindings a = AccumulateSpectrum(spectrum, *fast);
        const SpectrumFindings b = AccumulateSpectrumAsWritten(spectrum, *literal);
        EXPECT_EQ(std::tie(a.peakBin, a.peakPower, a.significantBins, a.average),
                  std::tie(b.peakBin, b.peakPower, b.significantBins, b.average))
            << "pass " << pass;
    }
    EXPECT_TRUE(Accumulators(*fast) == Accumulators(*literal));
    EXPECT_GT(fast->DistinctBinCount, 2000) << "the input should exercise the distinct list";
}

}  // namespace
}  // namespace harmovia
