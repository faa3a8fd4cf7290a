#pragma once

// Why a tune has its mood, in a few plain sentences from what its record stores: where its
// energy lies in its mood's band, what made that energy, and how much activity the moods on
// either side begin or end at. The same words go to the list's swatch tooltip and to
// `harmovia-cli explain`. Pure: the record in, the text out (ASCII).

#include <cstdint>
#include <string>

#include "library/tune_record.h"

namespace harmovia {

std::string ExplainMood(const TuneRecord& record);

// The least significant-bin count S (activity S/100) whose energy reaches mood 2..9; 0 for
// any other mood. The energy scale is not monotone at S = 7300, but no band edge lies in the
// step, so every mood from its least count upwards is at least that mood.
int32_t LeastCountForMood(int32_t mood);

}  // namespace harmovia
