#include "analysis/mood_scoring.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "library/durations.h"
#include "library/genre_table.h"
#include "library/mood.h"
#include "library/number_text.h"

namespace harmovia {
namespace {

constexpr int kScoredSpectra = 2 * 10;  // the add pipeline measures ten windows
constexpr double kBitRateFactor = 1.0173;
constexpr uint16_t kFactorFirstByteRate = 15;
constexpr uint16_t kFactorLastByteRate = 34;
constexpr int32_t kKeepFewestBins = 8;
constexpr int32_t kKeepMostBins = 59999;
constexpr int32_t kKeepHighestBinMean = 2736;
constexpr int32_t kNoTuneToScore = -50;  // CurrentTuneIndex names no slot

// Lower edges of moods 2..9.
constexpr std::array<int32_t, kMoodCount + 1> kMoodFloors = {0,     0,     6000,  11200, 15220,
                                                             23800, 37300, 39000, 45000, 51000};

// Every value scoring stores is far inside int32; out-of-range values are clamped rather
// than left to undefined conversion.
double ClampToInt32(double value) {
    if (std::isnan(value)) {
        return 0.0;
    }
    return std::clamp(value, static_cast<double>(std::numeric_limits<int32_t>::min()),
                      static_cast<double>(std::numeric_limits<int32_t>::max()));
}
int32_t Truncated(double value) {
    return static_cast<int32_t>(ClampToInt32(value));
}
int32_t Rounded(double value) {
    return static_cast<int32_t>(RoundHalfEven(ClampToInt32(value)));
}

// The value of a genre number's digits: an optional sign, then the digits up to the first
// other character ("17Rock" is 17, "" is 0). Values beyond any code are capped.
int32_t GenreNumber(std::string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), 1'000'000'000);
    }
    return static_cast<int32_t>(negative ? -value : value);
}

// Most frequent peak bin 1..7000, the lower of equal counts; 0 when none is above 0.
int16_t PeakBinMode(const std::array<int16_t, kPeakHistogramTop + 1>& histogram) {
    int16_t mode = 0;
    int16_t largest = 0;
    for (int t = 1; t <= kPeakHistogramTop; ++t) {
        if (histogram[static_cast<size_t>(t)] > largest) {
            largest = histogram[static_cast<size_t>(t)];
            mode = static_cast<int16_t>(t);
        }
    }
    return mode;
}

}  // namespace

double MoodEnergyForCount(int32_t significantCount) {
    const double t = static_cast<double>(significantCount) / 10 / 10;
    if (t <= 73) {
        return t / 73 * 35000;
    }
    return t / 237 * 30565 + 25457;
}

int32_t MoodForEnergy(int32_t energy) {
    int32_t mood = 1;
    for (int32_t m = 2; m <= kMoodCount; ++m) {
        if (energy >= kMoodFloors[static_cast<size_t>(m)]) {
            mood = m;
        }
    }
    return mood;
}

int32_t MoodFloor(int32_t mood) {
    return mood >= 2 && mood <= kMoodCount ? kMoodFloors[static_cast<size_t>(mood)] : 0;
}

void ResolveGenre(TuneRecord& record) {
    record.GenreCode = 0;
    const std::string genre(record.Genre.view());
    if (genre.empty()) {
        record.GenreCode = kUnknownGenreCode;
        record.Genre.Set("Unknown");
        return;
    }
    if (genre.front() == '(') {
        std::string digits;
        for (char c : genre) {
            if (c != '(' && c != ')') {
                digits += c;
            }
        }
        if (const GenreEntry* entry = GenreForCode(GenreNumber(digits))) {
            record.GenreCode = entry->Code;
            record.Genre.Set(entry->Name);
        } else {
            record.GenreCode = kUnknownGenreCode;
            record.Genre.Set("Unknown");
        }
        return;
    }
    if (const std::optional<int16_t> code = GenreCodeForName(genre)) {
        record.GenreCode = *code;
    } else {
        record.GenreCategory.Set(genre);
        record.GenreCode = kUnlistedGenreCode;
    }
}

int32_t ScoreMood(SoundAnalysisState& state, Library& library, std::string_view fileName) {
    const int32_t slot = library.CurrentTuneIndex;
    if (slot < 1 || slot > kMaxTunes) {
        return kNoTuneToScore;
    }
    TuneRecord& r = library.Slots.Write(slot);

    r.Spare1844 = 0;
    r.DistinctBinCountRaw = state.DistinctBinCount;
    r.SignificantCountRaw = state.SignificantCount;

    std::array<double, kScoredSpectra> peakBins{};
    for (int k = 0; k < kScoredSpectra; ++k) {
        peakBins[static_cast<size_t>(k)] = r.PeakBins[static_cast<size_t>(k + 1)];
        const auto t = static_cast<size_t>(
            std::clamp(r.PeakBins[static_cast<size_t>(k + 1)], 0, kPeakHistogramTop));
        state.PeakBinHistogram[t] = static_cast<int16_t>(state.PeakBinHistogram[t] + 1);
    }
    r.PeakBinMode = PeakBinMode(state.PeakBinHistogram);

    std::sort(peakBins.begin(), peakBins.end());
    double sum = 0.0;
    double trimmedSum = 0.0;
    for (size_t k = 0; k < peakBins.size(); ++k) {
        sum += peakBins[k];
        if (k != 0 && k != peakBins.size() - 1) {
            trimmedSum += peakBins[k];
        }
    }
    r.PeakBinMean = Truncated(sum / kScoredSpectra);
    state.TrimmedPeakMean = trimmedSum / (kScoredSpectra - 2);

    int32_t powerSum = 0;
    for (int k = 1; k <= kScoredSpectra; ++k) {
        powerSum += r.PeakPowers[static_cast<size_t>(k)];
    }
    state.PeakPowerMean = static_cast<double>(powerSum) / kScoredSpectra;

    if (state.SignificantBinSum == 0) {
        return kNoSignificantBins;
    }

    r.Spare1844 = 0;
    if (r.ByteRateIndex >= kFactorFirstByteRate && r.ByteRateIndex <= kFactorLastByteRate) {
        state.SignificantCount = Truncated(state.SignificantCount * kBitRateFactor);
        state.DistinctBinCount = Truncated(state.DistinctBinCount * kBitRateFactor);
    }
    const int32_t s = state.SignificantCount;
    const double t = static_cast<double>(s) / 10 / 10;
    const double energy = MoodEnergyForCount(s);

    r.AddedSerial = ++library.AddedSerialCounter;
    r.LastAddedFlag = 1;
    r.Checked = 1;
    r.FileName.Set(fileName);
    r.RecordIndex = slot;

    r.ActivityTens = Rounded(static_cast<double>(s) / 10);
    r.ActivityLevel = Rounded(t);
    r.MoodEnergy = Truncated(energy);
    r.PitchIndex = Rounded(
        (state.Centroid + 0.01 + 0.02 * state.DistinctBinMean + 0.97 * state.TrimmedPeakMean) /
        3.7);
    r.SignificantBinSum = static_cast<int32_t>(state.SignificantBinSum);
    r.PeakBinDistinctCount = state.PeakBinDistinctCount;
    r.PeakBinTrimmedMean = Rounded(state.TrimmedPeakMean);
    r.PeakPowerMean = Rounded(state.PeakPowerMean);
    r.Reserved2406 = 0;
    const auto rawCount = static_cast<uint32_t>(r.SignificantCountRaw);
    r.SignificantBinMean =
        rawCount == 0 ? 0 : static_cast<int32_t>(state.SignificantBinSum / rawCount);
    r.Centroid = Rounded(state.Centroid);
    r.DistinctBinMean = Rounded(state.DistinctBinMean);
    r.DistinctBinCount = state.DistinctBinCount;
    r.SignificantCount = s;
    r.Reserved2410 = 0;
    r.Reserved2416 = 0;
    r.DurationText.Set(DurationText(r.DurationSeconds));

    r.DistinctRatio =
        r.SignificantCount == 0
            ? 0
            : Truncated(static_cast<double>(r.DistinctBinCount) / r.SignificantCount * 1000);

    r.Mood = MoodForEnergy(r.MoodEnergy);
    const MoodColour& colour = MoodTable[static_cast<size_t>(r.Mood)].colour;
    r.MoodColourRed = colour.red;
    r.MoodColourGreen = colour.green;
    r.MoodColourBlue = colour.blue;

    ResolveGenre(r);
    return 0;
}

bool PassesKeepTest(int32_t code, const SoundAnalysisState& state, const TuneRecord& record) {
    return code == 0 && state.SignificantCount >= kKeepFewestBins &&
           state.SignificantCount <= kKeepMostBins &&
           record.SignificantBinMean <= kKeepHighestBinMean;
}

bool CommitAtInterval(Library& library, const LibrarySaveHook& save) {
    const int32_t current = library.CurrentTuneIndex;
    if (current <= library.TuneCount || current % kCommitInterval != 0) {
        return false;
    }
    // Slot 0 is never touched: a first commit starts at slot 1.
    AssignGenreCategories(library, std::max(library.TuneCount, 1), current);
    CommitTunes(library);
    if (save) {
        save();
    }
    return true;
}

}  // namespace harmovia
