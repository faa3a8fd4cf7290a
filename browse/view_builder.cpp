#include "browse/view_builder.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "browse/mood_journey.h"
#include "browse/search.h"
#include "browse/tune_similarity.h"
#include "library/genre_table.h"
#include "library/mac_roman.h"

namespace harmovia {
namespace {

const TuneRecord* SeedRecord(const ViewState& view, const Library& library) {
    const int32_t slot = view.SelectedTuneIndex;
    return slot >= 1 && slot <= CommittedCount(library) ? &library[slot] : nullptr;
}

void ClearTotals(ViewState& view) {
    view.ViewSeconds = 0;
    view.ViewMegabytes = 0;
}

// Totals saturate instead of wrapping: damaged records may hold any number, and the
// seconds are shown through a signed formatter.
void AddToTotals(ViewState& view, const TuneRecord& record) {
    constexpr uint32_t kMaxSeconds = std::numeric_limits<int32_t>::max();
    const uint32_t seconds = static_cast<uint32_t>(std::max(record.DurationSeconds, 0));
    view.ViewSeconds = std::min(kMaxSeconds, view.ViewSeconds + std::min(seconds, kMaxSeconds));
    view.ViewMegabytes += record.FileSize >> 20;  // at most 2000 x 4095: no overflow
}

// What a plain (not tune-based) view selects.
struct Selection {
    uint16_t mode = 0;
    const TuneRecord* seed = nullptr;
    int mood = 0;
    bool anyGenre = true;
    std::string_view category;
    PStr upperSearchText;

    bool Selects(const TuneRecord& r) const {
        switch (mode) {
            case kModeAllTunes:
                return true;
            case kModeLastAdded:
                return r.LastAddedFlag == 1;
            case kModeSmartPlays:
                return r.SmartPlayCount >= 1;
            case kModeMoreFromArtist:
                return seed != nullptr && r.Artist.view() == seed->Artist.view();
            case kModeSearchResults:
                return TuneMatchesUpperCasedText(r, upperSearchText);
            case kModeMoreFromGenre:
                return seed != nullptr && r.Genre.view() == seed->Genre.view();
            case kModeMoreFromAlbum:
                return seed != nullptr && r.Album.view() == seed->Album.view();
            case kModeMoodByGenre:
                return r.Mood == mood && (anyGenre || r.GenreCategory.view() == category);
            default:
                return IsMoodViewMode(mode) && r.Mood == mode - 10;
        }
    }
};

// Appends the selected tunes in library order, shuffled unless `shuffle` is false. The
// shuffle runs over slot numbers so that each record is copied once.
void FillRows(ViewState& view, const Library& library, const Selection& selection, bool shuffle,
              RandomSource& random) {
    std::vector<int32_t> slots;
    slots.reserve(static_cast<size_t>(CommittedCount(library)));
    for (int32_t slot = 1; slot <= CommittedCount(library); ++slot) {
        if (selection.Selects(library[slot])) {
            slots.push_back(slot);
        }
    }
    if (shuffle) {
        ShufflePositions(slots, random);
    }
    for (const int32_t slot : slots) {
        AppendShared(view.List, library.Slots, slot);
        AddToTotals(view, library[slot]);
    }
}

void FillTuneBasedRows(ViewState& view, const Library& library) {
    const TuneRecord* seed = SeedRecord(view, library);
    if (seed == nullptr) {
        return;
    }
    const SimilaritySeed figures = MakeSimilaritySeed(*seed);
    for (int32_t slot = 1; slot <= CommittedCount(library); ++slot) {
        const TuneRecord& candidate = library[slot];
        if (const std::optional<int32_t> score = SimilarityScore(figures, candidate)) {
            AppendShared(view.List, library.Slots, slot);
            view.List.Rows.Write(view.List.ViewCount).Similarity = *score;
            AddToTotals(view, candidate);
        }
    }
}

void BuildMoodByGenre(ViewState& view, const Library& library, int mood, int genreItem,
                      Clock& clock, RandomSource& random) {
    ViewLabel label;
    label.Mode = kModeMoodByGenre;
    label.Mood = static_cast<int16_t>(mood);
    label.GenreItem = static_cast<int16_t>(genreItem);
    BeginBuild(view, clock, label);
    view.ViewMode = kModeMoodByGenre;
    const std::string_view category = GenreItemText(genreItem);
    if (!IsMood(mood) || category.empty()) {
        return;  // nothing matches a mood or a genre item that does not exist
    }
    Selection selection;
    selection.mode = kModeMoodByGenre;
    selection.mood = mood;
    selection.anyGenre = genreItem == kAllGenresItem;
    selection.category = category;
    FillRows(view, library, selection, true, random);
}

}  // namespace

void BeginBuild(ViewState& view, Clock& clock, const ViewLabel& label) {
    ClearTotals(view);
    view.List.ViewCount = 0;
    view.ViewTitle = PStr(clock.TimeOfDayText());
    view.ViewStamp = ++view.BuildCount;
    view.Label = label;
}

std::string_view GenreItemText(int item) {
    if (item < 1 || item > kGenreMenuCount) {
        return {};
    }
    return GenreMenuList[static_cast<size_t>(item - 1)];
}

void ShufflePositions(std::span<int32_t> positions, RandomSource& random) {
    const auto n = static_cast<int32_t>(positions.size());
    for (int32_t i = 1; i <= n; ++i) {
        if (random.Random(100) >= 51) {
            const int32_t j = random.Random(n);
            std::swap(positions[static_cast<size_t>(i - 1)], positions[static_cast<size_t>(j - 1)]);
        }
    }
}

void BuildView(ViewState& view, const Library& library, Clock& clock, RandomSource& random) {
    if (CommittedCount(library) < 1) {
        return;
    }
    const uint16_t mode = view.ViewMode;
    if (mode == kModeMoodByGenre) {
        BuildMoodByGenre(view, library, view.Label.Mood, view.Label.GenreItem, clock, random);
        return;
    }
    if (mode == kModeMoodJourney) {
        BuildJourneyView(view, library, view.Label.Journey, clock);  // the same journey again
        return;
    }
    ViewLabel label;
    label.Mode = mode;
    switch (mode) {
        case kModeTuneBased:
        case kModeMoreFromArtist:
        case kModeMoreFromGenre:
        case kModeMoreFromAlbum:
            label.BaseText = view.BaseText;
            break;
        case kModeSearchResults:
            label.SearchText = view.SearchText;
            break;
        default:
            if (IsMoodViewMode(mode)) {
                label.Mood = static_cast<int16_t>(mode - 10);
            }
    }
    BeginBuild(view, clock, label);
    if (mode == kModeTuneBased) {
        FillTuneBasedRows(view, library);
        return;
    }
    Selection selection;
    selection.mode = mode;
    selection.seed = SeedRecord(view, library);
    if (mode == kModeSearchResults) {
        selection.upperSearchText = UpperCased(view.SearchText.view());
    }
    FillRows(view, library, selection, mode != kModeAllTunes, random);
}

void BuildMoodByGenreView(ViewState& view, const Library& library, int mood, int genreItem,
                          Clock& clock, RandomSource& random) {
    if (CommittedCount(library) < 1) {
        return;
    }
    BuildMoodByGenre(view, library, mood, genreItem, clock, random);
}

bool RanksAfterBuild(uint16_t mode) {
    switch (mode) {
        case kModeSmartPlays:
        case kModeTuneBased:
        case kModeMoreFromArtist:
        case kModeMoreFromGenre:
        case kModeMoreFromAlbum:
            return true;
        default:
            return false;
    }
}

void RankView(ViewState& view) {
    if (view.List.ViewCount <= 0) {
        return;
    }
    const int32_t before = view.List.ViewCount;
    RankViewList(view.List);
    if (view.List.ViewCount == before) {
        return;
    }
    ClearTotals(view);
    for (int32_t row = 1; row <= view.List.ViewCount; ++row) {
        AddToTotals(view, std::as_const(view.List)[row]);
    }
}

void RecountViewTotals(ViewState& view) {
    ClearTotals(view);
    for (int32_t row = 1; row <= view.List.ViewCount; ++row) {
        AddToTotals(view, std::as_const(view.List)[row]);
    }
}

}  // namespace harmovia
