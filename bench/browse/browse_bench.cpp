// Views over a full 2000-tune library: every kind of build, a search that matches and one
// that does not, and sorting the full list by each column; against a plain copy of the
// library into the view list, measured in the same run.

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/support/ratio_main.h"
#include "browse/mood_journey.h"
#include "browse/mood_views.h"
#include "browse/search.h"
#include "browse/seed_views.h"
#include "browse/view_builder.h"
#include "library/genre_table.h"
#include "platform/clock.h"

namespace harmovia {
namespace {

struct Fixture {
    std::unique_ptr<Library> library = std::make_unique<Library>();
    // Every tune within the similarity thresholds of every other: the largest Tune Based view.
    std::unique_ptr<Library> alike = std::make_unique<Library>();

    Fixture() {
        std::mt19937 random(17);
        auto pick = [&random](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        for (int slot = 1; slot <= kMaxTunes; ++slot) {
            TuneRecord& r = library->Slots.Write(slot);
            r.Title.Set("Title number " + std::to_string(slot));
            r.Artist.Set("Artist " + std::to_string(pick(1, 150)));
            r.Album.Set("Album " + std::to_string(pick(1, 300)));
            const std::string_view category = GenreMenuList[static_cast<size_t>(pick(1, 28))];
            r.Genre.Set(category);
            r.GenreCategory.Set(category);
            r.Location.Set("/home/user/Music/Artist/Album/Title number " + std::to_string(slot) +
                           ".mp3");
            r.Mood = pick(1, 9);
            r.MoodEnergy = pick(0, 60000);
            r.Checked = 1;
            r.FileKind = pick(0, 1) ? kFileKindMp3 : kFileKindMp4;
            r.DistinctBinCount = pick(200, 600);
            r.SignificantCount = pick(200, 600);
            r.PeakBinMean = pick(50, 200);
            r.Centroid = pick(500, 2000);
            r.DurationSeconds = pick(60, 600);
            r.DurationText.Set(std::to_string(r.DurationSeconds / 60) + ":" +
                               std::to_string(r.DurationSeconds % 60 / 10) +
                               std::to_string(r.DurationSeconds % 10));
            r.FileSize = static_cast<uint32_t>(pick(2, 12)) << 20;
            r.LastAddedFlag = slot > 1800;
            r.SmartPlayCount = slot % 10 == 0;
            r.RecordIndex = r.AddedSerial = slot;
            TuneRecord& a = alike->Slots.Write(slot);
            a = r;
            a.Mood = 5;
            a.DistinctBinCount = a.SignificantCount = 400;
        }
        library->TuneCount = library->CurrentTuneIndex = kMaxTunes;
        alike->TuneCount = alike->CurrentTuneIndex = kMaxTunes;
        RecountMoods(*library);
        RecountMoods(*alike);
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_CopyLibrary(benchmark::State& state) {
    const Library& library = *Shared().library;
    auto view = std::make_unique<ViewState>();
    for (auto _ : state) {
        view->List.ViewCount = 0;
        for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
            AppendShared(view->List, library.Slots, slot);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyLibrary)->Unit(benchmark::kMicrosecond);

void RunBuild(benchmark::State& state, uint16_t mode) {
    const Library& library = *Shared().library;
    auto view = std::make_unique<ViewState>();
    view->SelectedTuneIndex = 1000;
    view->SearchText = "number 1";
    SystemClock clock;
    RandomSource random(1);
    for (auto _ : state) {
        view->ViewMode = mode;
        BuildView(*view, library, clock, random);
        if (RanksAfterBuild(mode)) {
            RankView(*view);
        }
        benchmark::ClobberMemory();
    }
    state.counters["rows"] = view->List.ViewCount;
}
BENCHMARK_CAPTURE(RunBuild, AllTunes, kModeAllTunes)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunBuild, LastAdded, kModeLastAdded)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunBuild, SmartPlays, kModeSmartPlays)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunBuild, MoreFromArtist, kModeMoreFromArtist)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunBuild, SearchResults, kModeSearchResults)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunBuild, MoreFromGenre, kModeMoreFromGenre)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunBuild, MoreFromAlbum, kModeMoreFromAlbum)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RunBuild, Mood5, MoodViewMode(5))->Unit(benchmark::kMicrosecond);

void BM_MoodByGenre(benchmark::State& state) {
    const Library& library = *Shared().library;
    auto view = std::make_unique<ViewState>();
    SystemClock clock;
    RandomSource random(1);
    for (auto _ : state) {
        BuildMoodByGenreView(*view, library, 5, 24 /* Rock */, clock, random);
        benchmark::ClobberMemory();
    }
    state.counters["rows"] = view->List.ViewCount;
}
BENCHMARK(BM_MoodByGenre)->Unit(benchmark::kMicrosecond);

// The Tune Based command as the program runs it: the build, then the ranking.
void TuneBased(benchmark::State& state, const Library& library) {
    auto view = std::make_unique<ViewState>();
    SystemClock clock;
    RandomSource random(1);
    for (auto _ : state) {
        BuildSeedView(*view, library, SeedCommand::TuneBased, 1000, clock, random);
        benchmark::ClobberMemory();
    }
    state.counters["rows"] = view->List.ViewCount;
}
void BM_TuneBased(benchmark::State& state) {
    TuneBased(state, *Shared().library);
}
void BM_TuneBasedAllAlike(benchmark::State& state) {
    TuneBased(state, *Shared().alike);
}
BENCHMARK(BM_TuneBased)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TuneBasedAllAlike)->Unit(benchmark::kMicrosecond);

// A 60-tune journey across all nine moods (goal: under 5 ms), and one that stays in one
// mood, where every row weighs the spacing against the most tunes.
void Journey(benchmark::State& state, int16_t from, int16_t to) {
    const Library& library = *Shared().library;
    auto view = std::make_unique<ViewState>();
    SystemClock clock;
    uint32_t seed = 0;
    for (auto _ : state) {
        BuildJourneyView(*view, library, {from, to, 60, 0, ++seed}, clock);
        benchmark::ClobberMemory();
    }
    state.counters["rows"] = view->List.ViewCount;
}
BENCHMARK_CAPTURE(Journey, OneToNine, 1, 9)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Journey, FiveToFive, 5, 5)->Unit(benchmark::kMicrosecond);

void Search(benchmark::State& state, const char* text) {
    const Library& library = *Shared().library;
    auto view = std::make_unique<ViewState>();
    SystemClock clock;
    RandomSource random(1);
    RecordingNotices notices;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RunSearch(*view, library, text, clock, random, notices));
    }
    state.counters["rows"] = view->List.ViewCount;
}
BENCHMARK_CAPTURE(Search, Matching, "artist 12")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Search, NotMatching, "no such tune")->Unit(benchmark::kMicrosecond);

// Sorting the full 2000-row list by one column, as a table widget sorts its row numbers.
void SortBy(benchmark::State& state, ViewColumn column) {
    const Library& library = *Shared().library;
    auto view = std::make_unique<ViewState>();
    SystemClock clock;
    RandomSource random(1);
    BuildView(*view, library, clock, random);  // All Tunes: 2000 rows
    std::vector<int32_t> rows(static_cast<size_t>(view->List.ViewCount));
    for (auto _ : state) {
        std::iota(rows.begin(), rows.end(), 1);
        std::stable_sort(rows.begin(), rows.end(), [&](int32_t a, int32_t b) {
            return CompareRows(view->List, a, b, column);
        });
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK_CAPTURE(SortBy, Check, ViewColumn::Check)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SortBy, Energy, ViewColumn::Energy)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SortBy, Title, ViewColumn::Title)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SortBy, Artist, ViewColumn::Artist)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SortBy, Album, ViewColumn::Album)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SortBy, Time, ViewColumn::Time)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SortBy, Genre, ViewColumn::Genre)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SortBy, RowNumber, ViewColumn::RowNumber)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SortBy, Type, ViewColumn::Type)->Unit(benchmark::kMicrosecond);

HARMOVIA_RATIO("Tune Based build / plain copy", "BM_TuneBased", "BM_CopyLibrary");
HARMOVIA_RATIO("60-tune journey 1:9 / plain copy", "Journey/OneToNine", "BM_CopyLibrary");
HARMOVIA_RATIO("Tune Based build, all tunes alike / plain copy", "BM_TuneBasedAllAlike",
               "BM_CopyLibrary");

}  // namespace
}  // namespace harmovia
