#include "browse/mood_journey.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "browse/mood_views.h"
#include "browse/view_builder.h"
#include "library/mood.h"

namespace harmovia {
namespace {

// An artist or album that says who or what it is; "Unknown" says nothing.
bool Names(std::string_view text) {
    return !text.empty() && text != "Unknown";
}

// Whether a tune travels on a path of moods low..high: checked, of a mood on it.
bool Travels(const TuneRecord& r, int32_t low, int32_t high) {
    return r.Checked == 1 && r.Mood >= low && r.Mood <= high;
}

// Which tune a row is: the slot it was scored in is not unique once tunes were removed, the
// serial of its add tells such tunes apart.
int64_t TuneKey(const TuneRecord& r) {
    return (int64_t{r.AddedSerial} << 32) | static_cast<uint32_t>(r.RecordIndex);
}

// How far back row `rows.ViewCount + 1` would be from the nearest row with the same text,
// looking back at most `limit + 1` rows; limit + 1 when none is that close.
template <class Field>
int32_t GapBack(const ViewList& rows, std::string_view text, int32_t limit, Field field) {
    if (!Names(text)) {
        return limit + 1;
    }
    const int32_t next = rows.ViewCount + 1;
    for (int32_t gap = 1; gap <= limit && next - gap >= 1; ++gap) {
        if (field(rows[next - gap]) == text) {
            return gap;
        }
    }
    return limit + 1;
}

// The walk of one leg over the library: the unused checked tunes of each mood on the path.
class Walk {
  public:
    Walk(ViewList& rows, const Library& library, const JourneyLeg& leg, RandomSource& random)
        : rows_(rows), library_(library), leg_(leg), random_(random) {
        low_ = std::min(leg.FromMood, leg.ToMood);
        high_ = std::max(leg.FromMood, leg.ToMood);
        for (int32_t row = 1; row <= rows.ViewCount; ++row) {
            inList_.insert(TuneKey(std::as_const(rows)[row]));
        }
        FillPools(/*newRound=*/false, 0);
    }

    int32_t Run() {
        const int32_t before = rows_.ViewCount;
        int32_t standing = leg_.FromMood;  // the walk never goes back behind this mood
        int64_t elapsed = 0;
        for (int32_t step = 0;; ++step) {
            if (leg_.Count > 0 ? step >= leg_.Count : elapsed >= int64_t{leg_.Minutes} * 60) {
                break;
            }
            int32_t mood = NearestMoodAhead(Target(step, elapsed), standing);
            if (mood == 0 && leg_.RepeatWhenExhausted && PathExhausted()) {
                FillPools(/*newRound=*/true, std::min(kJourneyAlbumSpacing, pathSize_ - 1));
                mood = NearestMoodAhead(Target(step, elapsed), standing);
            }
            if (mood == 0) {
                break;
            }
            const int32_t slot = TakeTune(mood);
            if (!AppendShared(rows_, library_.Slots, slot)) {
                break;
            }
            standing = mood;
            elapsed += std::max(library_[slot].DurationSeconds, 0);
        }
        return rows_.ViewCount - before;
    }

  private:
    // The mood due at this step: from the leg's first mood to its last, evenly.
    int32_t Target(int32_t step, int64_t elapsed) const {
        double done = 0;
        if (leg_.Count > 1) {
            done = static_cast<double>(step) / (leg_.Count - 1);
        } else if (leg_.Count == 0) {
            // The last tune starts about one tune's length before the end.
            const double span = std::max(1.0, leg_.Minutes * 60.0 - meanSeconds_);
            done = std::min(1.0, static_cast<double>(elapsed) / span);
        }
        return static_cast<int32_t>(
            std::nearbyint(leg_.FromMood + (leg_.ToMood - leg_.FromMood) * done));
    }

    // The mood with tunes left nearest `target`, between `standing` and the leg's end; on a
    // tie the one nearer `standing`. 0 when none has a tune left.
    int32_t NearestMoodAhead(int32_t target, int32_t standing) const {
        const int32_t direction = leg_.ToMood >= leg_.FromMood ? 1 : -1;
        int32_t best = 0;
        for (int32_t mood = standing;; mood += direction) {
            if (!pools_[static_cast<size_t>(mood)].empty() &&
                (best == 0 || std::abs(mood - target) < std::abs(best - target))) {
                best = mood;
            }
            if (mood == leg_.ToMood) {
                break;
            }
        }
        return best;
    }

    bool PathExhausted() const {
        return std::all_of(pools_.begin(), pools_.end(), [](const auto& p) { return p.empty(); });
    }

    // The pools of the tunes not in the list. In a new round of an endless list every tune
    // of the path is unused again but those of the last `keepRecent` rows.
    void FillPools(bool newRound, int32_t keepRecent) {
        for (auto& pool : pools_) {
            pool.clear();
        }
        std::unordered_set<int64_t> recent;
        for (int32_t back = 0; back < keepRecent && rows_.ViewCount - back >= 1; ++back) {
            recent.insert(TuneKey(std::as_const(rows_)[rows_.ViewCount - back]));
        }
        int64_t seconds = 0;
        pathSize_ = 0;
        for (int32_t slot = 1; slot <= CommittedCount(library_); ++slot) {
            const TuneRecord& r = library_[slot];
            if (!Travels(r, low_, high_)) {
                continue;
            }
            ++pathSize_;
            seconds += std::max(r.DurationSeconds, 0);
            const auto& skip = newRound ? recent : inList_;
            if (!skip.contains(TuneKey(r))) {
                pools_[static_cast<size_t>(r.Mood)].push_back(slot);
            }
        }
        meanSeconds_ = pathSize_ > 0 ? static_cast<double>(seconds) / pathSize_ : 0;
    }

    // A tune of `mood` by the spacing rules, taken out of its pool.
    int32_t TakeTune(int32_t mood) {
        std::vector<int32_t>& pool = pools_[static_cast<size_t>(mood)];
        const auto artistOf = [](const TuneRecord& r) { return r.Artist.view(); };
        const auto albumOf = [](const TuneRecord& r) { return r.Album.view(); };
        // Both rules kept first, then the artist rule alone, then the farthest repeats.
        std::array<int32_t, 4> bestKey{-1, -1, -1, -1};
        best_.clear();
        for (size_t i = 0; i < pool.size(); ++i) {
            const TuneRecord& r = library_[pool[i]];
            const int32_t artistGap =
                GapBack(rows_, r.Artist.view(), kJourneyArtistSpacing, artistOf);
            const int32_t albumGap = GapBack(rows_, r.Album.view(), kJourneyAlbumSpacing, albumOf);
            const std::array<int32_t, 4> key{artistGap > kJourneyArtistSpacing,
                                             albumGap > kJourneyAlbumSpacing, artistGap, albumGap};
            if (key > bestKey) {
                bestKey = key;
                best_.clear();
            }
            if (key == bestKey) {
                best_.push_back(i);
            }
        }
        const size_t chosen =
            best_[static_cast<size_t>(random_.Random(static_cast<int32_t>(best_.size())) - 1)];
        const int32_t slot = pool[chosen];
        pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(chosen));
        return slot;
    }

    ViewList& rows_;
    const Library& library_;
    const JourneyLeg& leg_;
    RandomSource& random_;
    int32_t low_ = 1;
    int32_t high_ = 1;
    std::unordered_set<int64_t> inList_;  // the tunes of the rows before the leg
    std::array<std::vector<int32_t>, kMoodCount + 1> pools_;
    std::vector<size_t> best_;
    int32_t pathSize_ = 0;
    double meanSeconds_ = 0;
};

// Each leg draws from a generator of its own, so that a leg is the same whenever it is made.
RandomSource LegRandom(uint32_t seed, int32_t leg) {
    return RandomSource(seed + static_cast<uint32_t>(leg) * 0x9E3779B9u);
}

}  // namespace

int32_t AppendJourneyLeg(ViewList& rows, const Library& library, const JourneyLeg& leg,
                         RandomSource& random) {
    if (!IsMood(leg.FromMood) || !IsMood(leg.ToMood) || (leg.Count <= 0 && leg.Minutes <= 0)) {
        return 0;
    }
    return Walk(rows, library, leg, random).Run();
}

std::optional<std::string_view> JourneyRequestProblem(const JourneyRequest& request) {
    if (!IsMood(request.FromMood) || !IsMood(request.ToMood)) {
        return "the moods of a journey are numbers from 1 to 9";
    }
    if (request.Count > 0 ? request.Count > kMaxJourneyCount
                          : request.Minutes < 1 || request.Minutes > kMaxJourneyMinutes) {
        return "a journey is 1 to 2000 tunes or 1 to 6000 minutes long";
    }
    return std::nullopt;
}

void BuildJourneyView(ViewState& view, const Library& library, const JourneyRequest& request,
                      Clock& clock) {
    view.ViewMode = kModeMoodJourney;
    ViewLabel label;
    label.Mode = kModeMoodJourney;
    label.Journey = request;
    label.JourneyLegs = 1;
    BeginBuild(view, clock, label);
    if (!JourneyRequestProblem(request)) {
        RandomSource random = LegRandom(request.Seed, 0);
        AppendJourneyLeg(view.List, library,
                         {request.FromMood, request.ToMood, request.Count, request.Minutes, false},
                         random);
    }
    RecountViewTotals(view);
}

int32_t JourneyPathTunes(const Library& library, const JourneyRequest& request) {
    const int32_t low = std::min(request.FromMood, request.ToMood);
    const int32_t high = std::max(request.FromMood, request.ToMood);
    int32_t count = 0;
    for (int32_t slot = 1; slot <= CommittedCount(library); ++slot) {
        const TuneRecord& r = library[slot];
        count += Travels(r, low, high) && IsMood(r.Mood) ? 1 : 0;
    }
    return count;
}

bool ShowJourney(ViewState& view, const Library& library, const JourneyRequest& request,
                 Clock& clock, UserNotices& notices) {
    if (JourneyRequestProblem(request) || JourneyPathTunes(library, request) == 0) {
        ShowMoodNotice(notices, kNoTunesFoundNotice,
                       IsMood(request.FromMood) ? request.FromMood : 0);
        return false;
    }
    BuildJourneyView(view, library, request, clock);
    return true;
}

bool IsEndlessJourney(const ViewLabel& label) {
    return label.Mode == kModeMoodJourney && label.Journey.Endless;
}

int32_t ExtendEndlessJourney(ViewList& rows, ViewLabel& label, const Library& library) {
    const JourneyRequest& journey = label.Journey;
    if (!IsEndlessJourney(label) || JourneyRequestProblem(journey)) {
        return 0;
    }
    const int32_t leg = std::max(label.JourneyLegs, 1);
    const bool back = leg % 2 == 1;
    RandomSource random = LegRandom(journey.Seed, leg);
    const int32_t added = AppendJourneyLeg(
        rows, library,
        {back ? journey.ToMood : journey.FromMood, back ? journey.FromMood : journey.ToMood,
         journey.Count, journey.Minutes, true},
        random);
    if (added > 0) {
        label.JourneyLegs = leg + 1;
    }
    return added;
}

}  // namespace harmovia
