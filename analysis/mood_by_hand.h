#pragma once

// A mood set by hand. The record's Mood and mood colour become the chosen mood's, so every
// view, count and copy uses it as it uses a measured one; the measured values stay. The
// record's MoodMark byte (offset 2417, spare to older builds) holds 0x80 + the measured
// mood, so that "As Measured" can bring it back.
//
// A mark counts only while it is consistent: the kept mood is the one the record's
// MoodEnergy gives and differs from its Mood. A stale byte left in a reused slot, or one an
// older build carried along, is therefore never taken for a choice.

#include <cstdint>

#include "library/tune_record.h"

namespace harmovia {

inline constexpr uint8_t kMoodMarkBase = 0x80;

bool IsMoodSetByHand(const TuneRecord& record);

// The mood the measurement gave: the kept one when set by hand, else the record's Mood.
int32_t MeasuredMood(const TuneRecord& record);

enum class MoodChoice {
    Changed,
    Unchanged,    // the record already had that mood, chosen the same way
    NotMeasured,  // the record's Mood is not the one its energy gives: nothing to keep
};

// Sets the record's mood to `mood` (1..9) by hand, or back to the measured one with 0.
// Choosing the measured mood is the same as choosing "As Measured". A record that is not
// changed keeps every byte. `mood` outside 0..9 changes nothing (NotMeasured is not said
// for it: callers check the range).
[[nodiscard]] MoodChoice ChooseMood(TuneRecord& record, int32_t mood);

// Copies the mood, its colour and the mark from `from` (a library record) to a copy of it.
void CopyChosenMood(const TuneRecord& from, TuneRecord& to);

}  // namespace harmovia
