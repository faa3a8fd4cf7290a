#pragma once

// The rule behind the Tune Based view: which library tunes are similar to a seed tune, and
// how closely (the score the ranking orders by).

#include <cstdint>
#include <optional>
#include <string>

#include "library/tune_record.h"

namespace harmovia {

// The seed's figures, computed once per build. Holds a reference to the seed record, which
// must outlive it.
struct SimilaritySeed {
    const TuneRecord& Record;
    double Ratio;  // min/max of DistinctBinCount and SignificantCount
    std::string UpperArtist;
    std::string UpperTitle;
    std::string UpperAlbum;
};

SimilaritySeed MakeSimilaritySeed(const TuneRecord& seed);

// min(x, y) / max(x, y): 1 when the two are equal (both 0 included), so it lies in 0..1 for
// values that are not negative. 0 when the larger is not positive.
double MinMaxRatio(double x, double y);

// The candidate's match score, or nothing when it does not qualify: it must be checked, lie
// within one mood of the seed, share the seed's side of each exclusive category (Heavy
// Metal, Classical, Holiday & Seasonal; a "Country" candidate needs a "Country" seed, not
// the other way round), have ratio and SignificantCount similarities of at least 0.88 and a
// weighted similarity of at least 0.77. The score is the similarity in percent plus 10 for
// the same known genre category, 10 for the same known genre, 5, 3 and 3 for the same
// artist, title and album (ignoring case). The seed scores 131 against itself when none of
// its texts is "Unknown".
std::optional<int32_t> SimilarityScore(const SimilaritySeed& seed, const TuneRecord& candidate);

}  // namespace harmovia
