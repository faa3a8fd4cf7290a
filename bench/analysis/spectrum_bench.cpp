// One measurement pass (input load + transform) and the significance step, each against
// the loop as first written, measured in the same run.

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "analysis/sound_analysis.h"
#include "analysis/sound_window.h"
#include "analysis/spectrum_significance.h"
#include "analysis/spectrum_transform.h"
#include "bench/support/ratio_main.h"

namespace harmovia {
namespace {

// Music-like mono blocks: a sawtooth voice rich in harmonics, a second tone and hiss, 16-bit,
// high byte first. Its spectra have a few hundred significant bins each, as tunes do.
std::vector<uint8_t> MonoBlock(uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> mono(kMonoBlockSize);
    const int period = 60 + 17 * static_cast<int>(seed % 9);
    for (int q = 0; q < kMonoSamples; ++q) {
        const double v = (q % period) * 16000.0 / period - 8000 + 5000 * std::sin(q * 0.21) +
                         static_cast<int>(random() % 3001) - 1500;
        const auto sample = static_cast<uint16_t>(static_cast<int16_t>(std::lround(v)));
        mono[2 * static_cast<size_t>(q)] = static_cast<uint8_t>(sample >> 8);
        mono[2 * static_cast<size_t>(q) + 1] = static_cast<uint8_t>(sample);
    }
    return mono;
}

std::span<const uint8_t, kMonoBlockSize> Mono(const std::vector<uint8_t>& mono) {
    return std::span<const uint8_t, kMonoBlockSize>(mono.data(), kMonoBlockSize);
}

void BM_PassAsWritten(benchmark::State& state) {
    const auto mono = MonoBlock(1);
    std::vector<double> spectrum(kSpectrumSize);
    const SpectrumSpan span(spectrum.data(), kSpectrumSize);
    for (auto _ : state) {
        LoadSpectrumInput(Mono(mono), 1, span);
        TransformSpectrumAsWritten(span);
        benchmark::DoNotOptimize(spectrum.data());
    }
}
BENCHMARK(BM_PassAsWritten)->Unit(benchmark::kMicrosecond);

void BM_Pass(benchmark::State& state) {
    const auto mono = MonoBlock(1);
    std::vector<double> spectrum(kSpectrumSize);
    const SpectrumSpan span(spectrum.data(), kSpectrumSize);
    for (auto _ : state) {
        LoadSpectrumInput(Mono(mono), 1, span);
        TransformSpectrum(span);
        benchmark::DoNotOptimize(spectrum.data());
    }
}
BENCHMARK(BM_Pass)->Unit(benchmark::kMicrosecond);

// The input load alone, the part of a pass that is not the transform.
void BM_PassInputOnly(benchmark::State& state) {
    const auto mono = MonoBlock(1);
    std::vector<double> spectrum(kSpectrumSize);
    const SpectrumSpan span(spectrum.data(), kSpectrumSize);
    for (auto _ : state) {
        LoadSpectrumInput(Mono(mono), 1, span);
        benchmark::DoNotOptimize(spectrum.data());
    }
}
BENCHMARK(BM_PassInputOnly)->Unit(benchmark::kMicrosecond);

HARMOVIA_RATIO("pass", "BM_Pass", "BM_PassAsWritten");

// A tune's twenty spectra; each iteration is one pass's significance step, the state being
// reset every twenty passes as for a new tune.
const std::vector<std::vector<double>>& TuneSpectra() {
    static const std::vector<std::vector<double>> spectra = [] {
        std::vector<std::vector<double>> all;
        for (uint32_t w = 0; w < 20; ++w) {
            all.emplace_back(kSpectrumSize);
            const SpectrumSpan span(all.back().data(), kSpectrumSize);
            LoadSpectrumInput(Mono(MonoBlock(w)), 1 + w % 2, span);
            TransformSpectrum(span);
        }
        return all;
    }();
    return spectra;
}

template <SpectrumFindings (*Step)(ConstSpectrumSpan, SoundAnalysisState&)>
void SignificanceBench(benchmark::State& state) {
    const auto& spectra = TuneSpectra();
    auto analysis = std::make_unique<SoundAnalysisState>();
    size_t pass = 0;
    for (auto _ : state) {
        if (pass % spectra.size() == 0) {
            ResetSoundAnalysis(*analysis);
        }
        const auto& s = spectra[pass++ % spectra.size()];
        benchmark::DoNotOptimize(Step(ConstSpectrumSpan(s.data(), kSpectrumSize), *analysis));
    }
    state.counters["distinct_bins"] = analysis->DistinctBinCount;
}

void BM_SignificanceAsWritten(benchmark::State& state) {
    SignificanceBench<AccumulateSpectrumAsWritten>(state);
}
BENCHMARK(BM_SignificanceAsWritten)->Unit(benchmark::kMicrosecond);

void BM_Significance(benchmark::State& state) {
    SignificanceBench<AccumulateSpectrum>(state);
}
BENCHMARK(BM_Significance)->Unit(benchmark::kMicrosecond);

HARMOVIA_RATIO("significance", "BM_Significance", "BM_SignificanceAsWritten");

}  // namespace
}  // namespace harmovia
