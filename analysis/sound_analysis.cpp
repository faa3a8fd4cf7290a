#include "analysis/sound_analysis.h"

#include <algorithm>
#include <array>
#include <new>
#include <vector>

#include "analysis/sound_window.h"
#include "analysis/spectrum_significance.h"
#include "analysis/spectrum_transform.h"
#include "library/number_text.h"

namespace harmovia {
namespace {

constexpr std::array<double, kWindowPositions + 1> kWindowFractions = {
    0.0, 0.05, 0.1,  0.15, 0.2,  0.3,  0.4,  0.5,  0.6,  0.7, 0.8,
    0.9, 0.55, 0.65, 0.75, 0.53, 0.13, 0.23, 0.33, 0.37, 0.87};

constexpr int kPassesPerWindow = 2;

}  // namespace

double WindowFraction(int position) {
    if (position < 1 || position > kWindowPositions) {
        return 0.0;
    }
    return kWindowFractions[static_cast<size_t>(position)];
}

int32_t ResetSoundAnalysis(SoundAnalysisState& state) {
    std::vector<double> spectrum = std::move(state.Spectrum);
    state = SoundAnalysisState{};
    state.Spectrum = std::move(spectrum);
    return 0;
}

OsError MeasureSoundWindow(SoundAnalysisState& state, Movie& movie, uint16_t position,
                           TuneRecord& record) {
    if (position < 1 || position > kWindowPositions || state.WindowCounter < 0 ||
        state.WindowCounter > kMaxTuneSpectra - kPassesPerWindow) {
        return kBadWindowPosition;
    }
    std::vector<uint8_t> block;
    const int32_t timeScale = movie.TimeScale();
    const uint32_t duration = movie.Duration();
    if (timeScale <= 0) {
        return kTuneTooShort;
    }
    const int32_t seconds = static_cast<int32_t>(duration) / timeScale;
    if (seconds < kMinimumTuneSeconds) {
        return kTuneTooShort;
    }
    if (record.FileSize != 0) {
        const uint32_t unitsInWholeSeconds =
            static_cast<uint32_t>(seconds) * static_cast<uint32_t>(timeScale);
        record.ByteRateIndex = static_cast<uint16_t>(record.FileSize / unitsInWholeSeconds);
    }
    record.DurationSeconds = seconds;

    const auto start = static_cast<uint32_t>(RoundHalfEven(duration * WindowFraction(position)));
    OsError extracted = kNoErr;
    try {
        extracted = movie.ExtractSecond(start, block);
    } catch (const std::bad_alloc&) {
        extracted = kMemFullErr;
    }
    if (extracted != kNoErr) {
        return extracted;
    }
    // A block too short to hold the channel field has no channel count of 2.
    if (block.size() <= kSoundBlockChannelsOffset || block[kSoundBlockChannelsOffset] != 2) {
        return kNotTwoChannels;
    }
    std::vector<uint8_t> mono;
    try {
        mono.resize(kMonoBlockSize);
        state.Spectrum.resize(kSpectrumSize);
    } catch (const std::bad_alloc&) {
        return kNoChannelMemory;
    }
    const std::span<uint8_t, kMonoBlockSize> monoBlock(mono.data(), kMonoBlockSize);
    BuildMonoBlock(block, monoBlock);
    block = {};

    const SpectrumSpan spectrum(state.Spectrum.data(), kSpectrumSize);
    for (int pass = 1; pass <= kPassesPerWindow; ++pass) {
        LoadSpectrumInput(monoBlock, pass, spectrum);
        TransformSpectrum(spectrum);
        const SpectrumFindings found = AccumulateSpectrum(spectrum, state);

        const int w = ++state.WindowCounter;
        const int64_t roundedPower = RoundHalfEven(found.peakPower);
        // Only the low 16 bits are kept: a power above 32767 reads back negative.
        record.PeakPowers[static_cast<size_t>(w)] =
            static_cast<int16_t>(static_cast<uint16_t>(roundedPower & 0xFFFF));
        record.PeakBins[static_cast<size_t>(w)] = found.peakBin;
        if (w == 1) {
            record.FirstWindowSignificant = found.significantBins;
            record.FirstWindowDistinct = state.DistinctBinCount;
            record.FirstWindowCentroid = static_cast<int32_t>(found.average);
        }
    }
    return kNoErr;
}

OsError MeasureTune(SoundAnalysisState& state, Movie& movie, TuneRecord& record) {
    ResetSoundAnalysis(state);
    OsError code = kNoErr;
    for (uint16_t position = 1; position <= kWindowsPerTune && code == kNoErr; ++position) {
        code = MeasureSoundWindow(state, movie, position, record);
    }
    return code;
}

void CopySoundMeasurement(const TuneRecord& measured, TuneRecord& record) {
    record.DurationSeconds = measured.DurationSeconds;
    record.ByteRateIndex = measured.ByteRateIndex;
    // Entries 1..30; element 0 of each array is never written.
    std::copy(measured.PeakBins.begin() + 1, measured.PeakBins.end(), record.PeakBins.begin() + 1);
    std::copy(measured.PeakPowers.begin() + 1, measured.PeakPowers.end(),
              record.PeakPowers.begin() + 1);
    record.FirstWindowSignificant = measured.FirstWindowSignificant;
    record.FirstWindowDistinct = measured.FirstWindowDistinct;
    record.FirstWindowCentroid = measured.FirstWindowCentroid;
}

}  // namespace harmovia
