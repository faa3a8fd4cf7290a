#include "cli/view_request.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

#include "browse/mood_journey.h"
#include "browse/mood_views.h"
#include "browse/search.h"
#include "browse/seed_views.h"
#include "browse/view_builder.h"
#include "library/genre_table.h"
#include "library/mac_roman.h"
#include "library/mood.h"
#include "platform/clock.h"
#include "platform/user_notices.h"

namespace harmovia {
namespace {

constexpr const char* kViewOptionsUsage =
    "views (exactly one):\n"
    "  --all                        every tune, in library order\n"
    "  --last-added                 the tunes of the last add, shuffled\n"
    "  --mood K [--category NAME]   the tunes of mood K (1..9), of one genre category\n"
    "                               (\"All Tunes\" for every genre; see the list below),\n"
    "                               shuffled\n"
    "  --like SLOT                  up to 100 tunes similar to the tune in library slot\n"
    "                               SLOT, most similar first\n"
    "  --artist SLOT                up to 100 tunes by the artist of the tune in SLOT\n"
    "  --album SLOT                 up to 100 tunes from the album of the tune in SLOT\n"
    "  --genre SLOT                 up to 100 tunes of the genre of the tune in SLOT\n"
    "  --search TEXT                the tunes whose title, artist, album or genre contain\n"
    "                               TEXT (ignoring case), shuffled\n"
    "  --journey A:B [--count N | --minutes M]\n"
    "                               tunes that move step by step from mood A to mood B\n"
    "                               (1..9; A > B walks down, A = B stays): N tunes\n"
    "                               (default 20, at most 2000) or M minutes; no artist\n"
    "                               twice within 4 tunes, no album within 8, where the\n"
    "                               library allows; --seed N gives the same journey again\n"
    "  --seed N                     shuffles in the same order every time (N: 0..4294967295);\n"
    "                               without it the order changes, as in the window\n";

template <class T>
std::optional<T> ParseWhole(std::string_view text) {
    T value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

// Genre item 1..29 of a category name given in UTF-8: the exact name, else the name
// ignoring case.
std::optional<int> GenreItemOfCategory(std::string_view utf8) {
    const std::string name = Utf8ToMacRoman(utf8);
    for (int item = 1; item <= kGenreMenuCount; ++item) {
        if (GenreItemText(item) == name) {
            return item;
        }
    }
    const std::string upper = UpperCasedString(name);
    for (int item = 1; item <= kGenreMenuCount; ++item) {
        if (UpperCasedString(GenreItemText(item)) == upper) {
            return item;
        }
    }
    return std::nullopt;
}

// "A:B" with two moods 1..9.
std::optional<std::pair<int16_t, int16_t>> ParseJourneyMoods(std::string_view text) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<int32_t> from = ParseWhole<int32_t>(text.substr(0, colon));
    const std::optional<int32_t> to = ParseWhole<int32_t>(text.substr(colon + 1));
    if (!from || !to || !IsMood(*from) || !IsMood(*to)) {
        return std::nullopt;
    }
    return std::pair(static_cast<int16_t>(*from), static_cast<int16_t>(*to));
}

std::string MoodNameUtf8(int32_t mood) {
    return MacRomanToUtf8(MoodTable[static_cast<size_t>(mood)].name);
}

// Which view came out empty. A mood goes by its name: the colour word belongs to the
// window's overlay.
std::string EmptyViewNote(const ViewRequest& request, std::optional<int32_t> mood,
                          std::optional<int> genreItem) {
    switch (request.kind) {
        case ViewKind::All:
            return "the library holds no tunes";
        case ViewKind::LastAdded:
            return "the last add kept no tunes";
        case ViewKind::Mood:
            return "no " + MoodNameUtf8(mood.value_or(0)) + " tunes" +
                   (genreItem ? " in " + MacRomanToUtf8(GenreItemText(*genreItem)) : "");
        case ViewKind::Search:
            return "no tunes match \"" + request.value + "\"";
        case ViewKind::Journey:
            if (const auto moods = ParseJourneyMoods(request.value)) {
                return "no checked tunes from " + MoodNameUtf8(moods->first) + " to " +
                       MoodNameUtf8(moods->second);
            }
            return "the view holds no tunes";
        default:
            return "the view holds no tunes";
    }
}

bool IsSeedKind(ViewKind kind) {
    return kind == ViewKind::Like || kind == ViewKind::Artist || kind == ViewKind::Album ||
           kind == ViewKind::Genre;
}

}  // namespace

std::optional<int32_t> ParseWholeNumber(std::string_view text) {
    return ParseWhole<int32_t>(text);
}

const char* ViewOptionsUsage() {
    return kViewOptionsUsage;
}

std::string GenreCategoriesUsage() {
    std::string text = "genre categories (--category):\n";
    for (int item = 1; item <= kGenreMenuCount; ++item) {
        text += "  " + MacRomanToUtf8(GenreItemText(item)) + "\n";
    }
    return text;
}

std::optional<std::string> ParseViewRequest(const std::vector<std::string>& args,
                                            ViewRequest& request, std::vector<std::string>& rest) {
    const bool journey = std::ranges::find(args, "--journey") != args.end();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool lengthOption = arg == "--minutes" || (journey && arg == "--count");
        const bool takesValue = arg == "--mood" || arg == "--like" || arg == "--artist" ||
                                arg == "--album" || arg == "--genre" || arg == "--search" ||
                                arg == "--category" || arg == "--seed" || arg == "--journey" ||
                                lengthOption;
        const bool isView = takesValue || arg == "--all" || arg == "--last-added";
        if (!isView) {
            rest.push_back(arg);
            continue;
        }
        if (takesValue && i + 1 >= args.size()) {
            return arg + " needs a value";
        }
        const std::string value = takesValue ? args[++i] : std::string();
        if (arg == "--category") {
            if (request.genreCategory) {
                return std::string("--category given twice");
            }
            request.genreCategory = value;
            continue;
        }
        if (lengthOption) {
            const std::optional<int32_t> length = ParseWhole<int32_t>(value);
            const bool minutes = arg == "--minutes";
            if (request.count || request.minutes) {
                return std::string("give a journey's length once, as --count N or --minutes M");
            }
            if (!length || *length < 1 ||
                *length > (minutes ? kMaxJourneyMinutes : kMaxJourneyCount)) {
                return minutes ? std::string("--minutes takes a whole number from 1 to 6000")
                               : std::string("--count takes a whole number from 1 to 2000");
            }
            (minutes ? request.minutes : request.count) = *length;
            continue;
        }
        if (arg == "--seed") {
            const std::optional<int64_t> seed = ParseWhole<int64_t>(value);
            if (request.seed || !seed || *seed < 0 || *seed > UINT32_MAX) {
                return std::string("--seed takes one whole number from 0 to 4294967295");
            }
            request.seed = static_cast<uint32_t>(*seed);
            continue;
        }
        if ((request.kind == ViewKind::Mood && arg == "--genre") ||
            (request.kind == ViewKind::Genre && arg == "--mood")) {
            return std::string(
                "--genre SLOT is a view of its own; the genre category of a mood view is "
                "--category NAME");
        }
        if (request.kind != ViewKind::None) {
            return std::string("choose exactly one view");
        }
        request.kind = arg == "--all"          ? ViewKind::All
                       : arg == "--last-added" ? ViewKind::LastAdded
                       : arg == "--mood"       ? ViewKind::Mood
                       : arg == "--like"       ? ViewKind::Like
                       : arg == "--artist"     ? ViewKind::Artist
                       : arg == "--album"      ? ViewKind::Album
                       : arg == "--genre"      ? ViewKind::Genre
                       : arg == "--journey"    ? ViewKind::Journey
                                               : ViewKind::Search;
        request.value = value;
    }
    if (request.kind == ViewKind::None) {
        return std::string("choose a view");
    }
    if (request.genreCategory && request.kind == ViewKind::Genre) {
        return std::string(
            "--genre SLOT is a view of its own; the genre category of a mood view is "
            "--category NAME");
    }
    if (request.genreCategory && request.kind != ViewKind::Mood) {
        return std::string("--category NAME goes with --mood K");
    }
    if (request.minutes && request.kind != ViewKind::Journey) {
        return std::string("--minutes M goes with --journey A:B");
    }
    if (request.kind == ViewKind::Journey && !ParseJourneyMoods(request.value)) {
        return std::string("--journey takes two moods from 1 to 9, as A:B");
    }
    if (request.kind == ViewKind::Search && request.value.empty()) {
        return std::string("the search text is empty");
    }
    return std::nullopt;
}

ViewBuildResult BuildRequestedView(const ViewRequest& request, const Library& library,
                                   RandomSource& random, ViewState& view) {
    std::optional<int32_t> number;
    std::optional<int> genreItem;
    if (request.kind == ViewKind::Mood) {
        number = ParseWholeNumber(request.value);
        if (!number || !IsMood(*number)) {
            return {2, "the mood must be a number from 1 to 9", {}};
        }
        if (request.genreCategory) {
            genreItem = GenreItemOfCategory(*request.genreCategory);
            if (!genreItem) {
                return {2,
                        "unknown genre category \"" + *request.genreCategory +
                            "\" (harmovia-cli help lists them)",
                        {}};
            }
        }
    } else if (IsSeedKind(request.kind)) {
        number = ParseWholeNumber(request.value);
        if (!number) {
            return {2, "the slot must be a whole number", {}};
        }
    }
    if (library.TuneCount < 1) {
        const std::string note = EmptyViewNote(request, number, genreItem);
        return {
            0, {}, request.kind == ViewKind::All ? note : note + " (the library holds no tunes)"};
    }

    SystemClock clock;
    RecordingNotices notices;
    bool built = true;
    switch (request.kind) {
        case ViewKind::All:
        case ViewKind::LastAdded:
            view.ViewMode = request.kind == ViewKind::All ? kModeAllTunes : kModeLastAdded;
            BuildView(view, library, clock, random);
            break;
        case ViewKind::Mood:
            if (genreItem) {
                built = ShowMoodByGenre(view, library, *genreItem, *number, clock, random, notices);
            } else {
                built = ShowMoodView(view, library, kFirstMoodButton + *number - 1, clock, random,
                                     notices)
                            .outcome == MoodViewOutcome::Built;
            }
            break;
        case ViewKind::Like:
        case ViewKind::Artist:
        case ViewKind::Album:
        case ViewKind::Genre: {
            const SeedCommand command =
                request.kind == ViewKind::Like     ? SeedCommand::TuneBased
                : request.kind == ViewKind::Artist ? SeedCommand::MoreFromArtist
                : request.kind == ViewKind::Album  ? SeedCommand::MoreFromAlbum
                                                   : SeedCommand::MoreFromGenre;
            if (!BuildSeedView(view, library, command, *number, clock, random)) {
                return {1,
                        "no tune in slot " + request.value + " (the library holds " +
                            std::to_string(library.TuneCount) + ")",
                        {}};
            }
            break;
        }
        case ViewKind::Journey: {
            const auto moods =
                ParseJourneyMoods(request.value).value_or(std::pair<int16_t, int16_t>{1, 1});
            JourneyRequest journey;
            journey.FromMood = moods.first;
            journey.ToMood = moods.second;
            journey.Count = request.minutes ? 0 : request.count.value_or(kDefaultJourneyCount);
            journey.Minutes = request.minutes.value_or(0);
            journey.Seed = request.seed ? *request.seed : random.Next31();
            BuildJourneyView(view, library, journey, clock);
            break;
        }
        case ViewKind::Search:
            built = RunSearch(view, library, Utf8ToMacRoman(request.value), clock, random,
                              notices) == SearchOutcome::Shown;
            break;
        case ViewKind::None:
            break;
    }
    if (!built || view.List.ViewCount < 1) {
        view = ViewState{};
        return {0, {}, EmptyViewNote(request, number, genreItem)};
    }
    return {};
}

int32_t SlotOfRow(const Library& library, const TuneRecord& row) {
    const int32_t serial = row.AddedSerial;
    if (serial >= 1 && serial <= library.TuneCount && serial <= kMaxTunes &&
        library[serial].RecordIndex == row.RecordIndex) {
        return serial;
    }
    return FindSlotByRecordIndex(library, row.RecordIndex).value_or(0);
}

}  // namespace harmovia
