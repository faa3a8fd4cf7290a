#include "analysis/mood_explanation.h"

#include <cstdio>
#include <limits>

#include "analysis/mood_by_hand.h"
#include "analysis/mood_scoring.h"
#include "library/mood.h"

namespace harmovia {
namespace {

// The keep test lets no tune above this count into the library.
constexpr int32_t kMostCount = 60000;

std::string Name(int32_t mood) {
    return std::string(MoodTable[static_cast<size_t>(mood)].name);
}

// Activity as the person compares it between tunes: S / 100 with two decimals.
std::string Activity(int32_t count) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", count / 100.0);
    return text;
}

int32_t EnergyOf(int32_t count) {
    const double energy = MoodEnergyForCount(count);
    return energy >= std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                         : static_cast<int32_t>(energy);
}

std::string Where(int32_t mood, int32_t energy) {
    const std::string e = std::to_string(energy);
    if (mood == 1) {
        return Name(1) + ": energy " + e + ", below the " + std::to_string(MoodFloor(2)) +
               " where " + Name(2) + " begins.";
    }
    const int32_t floor = MoodFloor(mood);
    if (mood == kMoodCount) {
        return Name(mood) + ": energy " + e + ", " + std::to_string(energy - floor) +
               " above the " + std::to_string(floor) + " where its band begins.";
    }
    const int32_t next = MoodFloor(mood + 1);
    const auto percent = static_cast<long long>(energy - floor) * 100 / (next - floor);
    return Name(mood) + ": energy " + e + ", " + std::to_string(percent) +
           "% of the way through its band (" + std::to_string(floor) + " to " +
           std::to_string(next - 1) + ").";
}

std::string WhatMadeIt(const TuneRecord& r) {
    const int32_t counted = r.SignificantCount;
    const int32_t raw = r.SignificantCountRaw;
    std::string made;
    if (EnergyOf(counted) != r.MoodEnergy) {
        made = "Its stored activity " + Activity(counted) + " gives " +
               std::to_string(EnergyOf(counted)) +
               ", not its energy, so the record does not tell what made it";
    } else if (raw > 0 && raw != counted) {
        made = "Activity " + Activity(raw) + " gave " + std::to_string(EnergyOf(raw)) +
               " and the correction for its bit rate added " +
               std::to_string(r.MoodEnergy - EnergyOf(raw)) + " (activity " + Activity(counted) +
               ")";
    } else {
        made = "Activity " + Activity(counted) + " made all of it";
    }
    return made + "; pitch " + std::to_string(r.PitchIndex) + ", spectral spread " +
           std::to_string(r.DistinctRatio) + ", genre and album do not enter the energy.";
}

std::string Neighbours(int32_t mood) {
    std::string below;
    std::string above;
    if (mood > 1) {
        below = "Below activity " + Activity(LeastCountForMood(mood)) + " it would be " +
                Name(mood - 1);
    }
    if (mood < kMoodCount) {
        above = (below.empty() ? "From activity " : ", from ") +
                Activity(LeastCountForMood(mood + 1)) + (below.empty() ? " it would be " : " ") +
                Name(mood + 1);
    }
    return below + above + ".";
}

}  // namespace

int32_t LeastCountForMood(int32_t mood) {
    if (mood < 2 || mood > kMoodCount) {
        return 0;
    }
    int32_t low = 0;
    int32_t high = kMostCount;
    while (low < high) {
        const int32_t middle = low + (high - low) / 2;
        if (MoodForEnergy(EnergyOf(middle)) >= mood) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

std::string ExplainMood(const TuneRecord& r) {
    if (!IsMood(r.Mood)) {
        return "Not measured: there is no mood to explain.";
    }
    const int32_t measured = MeasuredMood(r);
    std::string text;
    if (IsMoodSetByHand(r)) {
        text = "Set by hand to " + Name(r.Mood) + "; measured " + Name(measured) + ". ";
    }
    if (MoodForEnergy(r.MoodEnergy) != measured) {
        return text + "Its stored energy " + std::to_string(r.MoodEnergy) + " gives " +
               Name(MoodForEnergy(r.MoodEnergy)) + ", not " + Name(measured) +
               ": the measurement does not explain this mood.";
    }
    return text + Where(measured, r.MoodEnergy) + " " + WhatMadeIt(r) + " " + Neighbours(measured);
}

}  // namespace harmovia
