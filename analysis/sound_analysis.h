#pragma once

// Measuring a tune's sound: ten one-second windows at fixed fractions of its length, each
// reduced to mono and transformed twice; the peaks and significant bins of the twenty
// spectra go into the tune's record and into the accumulators ScoreMood reads.
//
// Per tune: ResetSoundAnalysis, then MeasureSoundWindow for positions 1..10 while each
// returns 0, then ScoreMood. The operations touch only the state, movie and record they
// are given: tunes may be measured on several threads at once, each with its own state,
// movie and record.

#include <cstdint>

#include "analysis/sound_analysis_state.h"
#include "library/tune_record.h"
#include "platform/movie.h"
#include "platform/os_error.h"

namespace harmovia {

// Result codes of MeasureSoundWindow besides kNoErr, kMemFullErr and the movie's own.
inline constexpr OsError kTuneTooShort = 37;        // under 15 seconds
inline constexpr OsError kNotTwoChannels = 20;      // mono or more than two channels
inline constexpr OsError kNoChannelMemory = 7;      // the window's buffers could not be had
inline constexpr OsError kBadWindowPosition = -50;  // position outside 1..20, or no entry left

inline constexpr int32_t kMinimumTuneSeconds = 15;
inline constexpr int kWindowPositions = 20;
inline constexpr int kWindowsPerTune = 10;  // the add pipeline measures positions 1..10

// Where window `position` (1..20) starts, as a fraction of the tune's length; 0 outside.
double WindowFraction(int position);

// Clears every accumulator for a new tune (keeps the transform's buffer). Returns 0.
int32_t ResetSoundAnalysis(SoundAnalysisState& state);

// Measures window `position` (1..20) of `movie` into `state` and `record`:
//   - always, once the length is known: DurationSeconds, and ByteRateIndex when FileSize is
//     not 0 (bytes per time unit, low 16 bits);
//   - per spectrum: PeakBins and PeakPowers entry WindowCounter (2 spectra per window);
//   - after the tune's first spectrum: FirstWindowSignificant, FirstWindowDistinct and
//     FirstWindowCentroid.
// Returns 0; kTuneTooShort before writing anything (also when the movie reports no usable
// time scale); the movie's non-zero extraction result unchanged, or kMemFullErr when the
// extraction ran out of memory; kNotTwoChannels; kNoChannelMemory; kBadWindowPosition
// (nothing written) for a position outside 1..20 or when the record's 30 per-window entries
// would be exceeded. A window the tune ends inside is padded with silence.
[[nodiscard]] OsError MeasureSoundWindow(SoundAnalysisState& state, Movie& movie, uint16_t position,
                                         TuneRecord& record);

// A whole tune as the add pipeline measures it: ResetSoundAnalysis, then windows 1 to 10
// while each returns 0. Returns the last window's code.
[[nodiscard]] OsError MeasureTune(SoundAnalysisState& state, Movie& movie, TuneRecord& record);

// Copies the fields MeasureSoundWindow writes from the record a tune was measured into
// (entries 1..30 of the per-window arrays included) to the record it is scored in.
void CopySoundMeasurement(const TuneRecord& measured, TuneRecord& record);

}  // namespace harmovia
