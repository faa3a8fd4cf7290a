#pragma once

// Turning a measured tune into a library entry: the activity and energy figures, the mood
// with its colour, the spectral statistics, the duration text, the genre code and the
// record's bookkeeping fields. The mood depends on one number only, the significant-bin
// count S of the twenty spectra (scaled for one band of byte rates), through a two-piece
// scale onto nine energy bands.
//
// Main thread only (it numbers tunes through the library's AddedSerialCounter).

#include <cstdint>
#include <functional>
#include <string_view>

#include "analysis/sound_analysis_state.h"
#include "library/tune_library.h"

namespace harmovia {

inline constexpr int32_t kNoSignificantBins = 900;  // ScoreMood: the tune is silent
inline constexpr int32_t kCommitInterval = 200;

// Scores the record at library.CurrentTuneIndex from the measurement in `state`, whose
// accumulators SignificantCount and DistinctBinCount it scales by the bit-rate factor, and
// names the record `fileName`. Returns 0, or kNoSignificantBins (having written only
// Spare1844, the two raw counts, PeakBinMode and PeakBinMean) when no bin was significant.
// Raises library.AddedSerialCounter for a scored tune. Commits nothing: see
// CommitAtInterval.
[[nodiscard]] int32_t ScoreMood(SoundAnalysisState& state, Library& library,
                                std::string_view fileName);

// The add pipeline's keep test for a scored tune: code 0, S in 8..59999 and
// SignificantBinMean at most 2736.
bool PassesKeepTest(int32_t code, const SoundAnalysisState& state, const TuneRecord& record);

// Saves the library; supplied by the add pipeline (the save belongs to the library file).
using LibrarySaveHook = std::function<void()>;

// The periodic commit of a long add, for a tune that was kept and has its Location: when
// CurrentTuneIndex is a multiple of 200, runs the holiday and category pass over the
// claimed records, commits them (TuneCount = CurrentTuneIndex) and calls `save`. Returns
// whether it committed.
bool CommitAtInterval(Library& library, const LibrarySaveHook& save);

// E for a significant-bin count S: T = S / 10 / 10; T / 73 · 35000 up to T = 73, else
// T / 237 · 30565 + 25457.
double MoodEnergyForCount(int32_t significantCount);

// The mood 1..9 of an energy: bands from 6000, 11200, 15220, 23800, 37300, 39000, 45000
// and 51000; anything lower (negative included) is mood 1.
int32_t MoodForEnergy(int32_t energy);
// The lowest energy of mood 2..9's band (6000 for mood 2); 0 for any other mood.
int32_t MoodFloor(int32_t mood);

// Sets GenreCode, and Genre or GenreCategory, from the record's Genre text: "" becomes
// "Unknown" (-2); "(n)" is looked up by the number n (the table's name, or "Unknown" and
// -2 when no entry has it); any other text gets the code of its last matching table name,
// or keeps its text as GenreCategory with code 255.
void ResolveGenre(TuneRecord& record);

}  // namespace harmovia
