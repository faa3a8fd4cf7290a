#include "browse/tune_similarity.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "library/mac_roman.h"
#include "library/mood.h"

namespace harmovia {
namespace {

constexpr double kRatioThreshold = 0.88;
constexpr double kScoreThreshold = 0.77;
constexpr std::string_view kUnknown = "Unknown";

double OwnRatio(const TuneRecord& r) {
    return MinMaxRatio(r.DistinctBinCount, r.SignificantCount);
}

// Both or neither of the two tunes belong to the category.
bool SameSide(std::string_view seedCategory, std::string_view candidateCategory,
              std::string_view category) {
    return (seedCategory == category) == (candidateCategory == category);
}

// `upper` is already upper-cased.
bool EqualsUpperCased(std::string_view upper, std::string_view text) {
    if (upper.size() != text.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (static_cast<uint8_t>(upper[i]) != MacRomanUpper(static_cast<uint8_t>(text[i]))) {
            return false;
        }
    }
    return true;
}

bool SameKnownText(std::string_view seed, std::string_view candidate) {
    return candidate != kUnknown && candidate == seed;
}

}  // namespace

double MinMaxRatio(double x, double y) {
    if (x == y) {
        return 1.0;
    }
    const double low = std::min(x, y);
    const double high = std::max(x, y);
    return high > 0.0 ? low / high : 0.0;
}

SimilaritySeed MakeSimilaritySeed(const TuneRecord& seed) {
    return SimilaritySeed{seed, OwnRatio(seed), UpperCasedString(seed.Artist.view()),
                          UpperCasedString(seed.Title.view()), UpperCasedString(seed.Album.view())};
}

std::optional<int32_t> SimilarityScore(const SimilaritySeed& seed, const TuneRecord& candidate) {
    const TuneRecord& s = seed.Record;
    const TuneRecord& r = candidate;
    // A damaged record's mood counts as 0.
    if (r.Checked != 1 || std::abs(MoodOrNone(r.Mood) - MoodOrNone(s.Mood)) > 1) {
        return std::nullopt;
    }
    const std::string_view seedCategory = s.GenreCategory.view();
    const std::string_view category = r.GenreCategory.view();
    if (!SameSide(seedCategory, category, "Heavy Metal") ||
        !SameSide(seedCategory, category, "Classical") ||
        !SameSide(seedCategory, category, "Holiday & Seasonal")) {
        return std::nullopt;
    }
    // One way only: a Country seed may collect tunes of other genres.
    if (r.Genre.view() == "Country" && s.Genre.view() != "Country") {
        return std::nullopt;
    }
    const double a = MinMaxRatio(seed.Ratio, OwnRatio(r));
    const double b = MinMaxRatio(s.SignificantCount, r.SignificantCount);
    if (!(a >= kRatioThreshold && b >= kRatioThreshold)) {
        return std::nullopt;
    }
    const double c = MinMaxRatio(s.PeakBinMean, r.PeakBinMean);
    const double d = MinMaxRatio(s.Centroid, r.Centroid);
    const double q = (10.0 * a + b + c + d) / 13.0;
    if (!(q >= kScoreThreshold)) {
        return std::nullopt;
    }
    // q lies in 0.77..1, so the percentage fits easily.
    int32_t score = static_cast<int32_t>(std::fabs(q * 100.0));
    if (SameKnownText(seedCategory, category)) {
        score += 10;
    }
    if (SameKnownText(s.Genre.view(), r.Genre.view())) {
        score += 10;
    }
    if (EqualsUpperCased(seed.UpperArtist, r.Artist.view())) {
        score += 5;
    }
    if (EqualsUpperCased(seed.UpperTitle, r.Title.view())) {
        score += 3;
    }
    if (EqualsUpperCased(seed.UpperAlbum, r.Album.view())) {
        score += 3;
    }
    return score;
}

}  // namespace harmovia
