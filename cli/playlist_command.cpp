#include "cli/playlist_command.h"

#include <charconv>
#include <optional>
#include <string_view>
#include <utility>

#include "browse/mood_views.h"
#include "browse/search.h"
#include "browse/seed_views.h"
#include "browse/view_builder.h"
#include "cli/record_json.h"
#include "cli/record_tsv.h"
#include "library/genre_table.h"
#include "library/mac_roman.h"
#include "library/mood.h"
#include "platform/clock.h"
#include "platform/user_notices.h"

namespace harmovia {
namespace {

constexpr const char* kUsageText =
    "usage: harmovia-cli playlist VIEW [--format tsv|json|m3u]\n"
    "views (exactly one):\n"
    "  --all                        every tune, in library order\n"
    "  --last-added                 the tunes of the last add, shuffled\n"
    "  --mood K [--genre CATEGORY]  the tunes of mood K (1..9), of one genre category\n"
    "                               (\"All Tunes\" for every genre), shuffled\n"
    "  --like SLOT                  up to 100 tunes similar to the tune in library slot\n"
    "                               SLOT, most similar first\n"
    "  --artist SLOT                up to 100 tunes by the artist of the tune in SLOT\n"
    "  --album SLOT                 up to 100 tunes from the album of the tune in SLOT\n"
    "  --genre SLOT                 up to 100 tunes of the genre of the tune in SLOT\n"
    "  --search TEXT                the tunes whose title, artist, album or genre contain\n"
    "                               TEXT (ignoring case), shuffled\n"
    "formats:\n"
    "  tsv   a header line, then one line per tune: its row, then the columns of `list`\n"
    "  json  one JSON object per tune and line, with every field of the record\n"
    "  m3u   an extended M3U playlist of the tunes' files\n";

enum class Format { Tsv, Json, M3u };

enum class ViewKind { None, All, LastAdded, Mood, Like, Artist, Album, Genre, Search };

struct Request {
    ViewKind kind = ViewKind::None;
    std::string value;                         // K, SLOT or TEXT
    std::optional<std::string> genreCategory;  // --genre with --mood
    Format format = Format::Tsv;
};

// A usage problem: its reason, printed before the usage text.
struct UsageError {
    std::string reason;
};

std::optional<int32_t> ParseWholeNumber(std::string_view text) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<UsageError> ParseArguments(const std::vector<std::string>& args, Request& request) {
    // --genre names a category after --mood and a seed slot otherwise.
    bool hasMood = false;
    for (const std::string& arg : args) {
        hasMood = hasMood || arg == "--mood";
    }
    auto setKind = [&request](ViewKind kind, std::string value) -> std::optional<UsageError> {
        if (request.kind != ViewKind::None) {
            return UsageError{"choose exactly one view"};
        }
        request.kind = kind;
        request.value = std::move(value);
        return std::nullopt;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--mood" || arg == "--like" || arg == "--artist" ||
                                arg == "--album" || arg == "--genre" || arg == "--search" ||
                                arg == "--format";
        if (takesValue && i + 1 >= args.size()) {
            return UsageError{arg + " needs a value"};
        }
        std::optional<UsageError> problem;
        if (arg == "--all") {
            problem = setKind(ViewKind::All, "");
        } else if (arg == "--last-added") {
            problem = setKind(ViewKind::LastAdded, "");
        } else if (!takesValue) {
            return UsageError{"unknown argument \"" + arg + "\""};
        } else {
            const std::string& value = args[++i];
            if (arg == "--format") {
                if (value == "tsv") {
                    request.format = Format::Tsv;
                } else if (value == "json") {
                    request.format = Format::Json;
                } else if (value == "m3u") {
                    request.format = Format::M3u;
                } else {
                    return UsageError{"unknown format \"" + value + "\""};
                }
            } else if (arg == "--genre" && hasMood) {
                if (request.genreCategory) {
                    return UsageError{"--genre given twice"};
                }
                request.genreCategory = value;
            } else {
                const ViewKind kind = arg == "--mood"     ? ViewKind::Mood
                                      : arg == "--like"   ? ViewKind::Like
                                      : arg == "--artist" ? ViewKind::Artist
                                      : arg == "--album"  ? ViewKind::Album
                                      : arg == "--genre"  ? ViewKind::Genre
                                                          : ViewKind::Search;
                problem = setKind(kind, value);
            }
        }
        if (problem) {
            return problem;
        }
    }
    if (request.kind == ViewKind::None) {
        return UsageError{"choose a view"};
    }
    if (request.genreCategory && request.kind != ViewKind::Mood) {
        return UsageError{"--genre CATEGORY goes with --mood"};
    }
    if (request.kind == ViewKind::Search && request.value.empty()) {
        return UsageError{"the search text is empty"};
    }
    return std::nullopt;
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

// The library slot a row was copied from: a freshly loaded library numbers its records by
// slot in AddedSerial; otherwise the first slot with the row's RecordIndex; 0 when none.
int32_t SlotOfRow(const Library& library, const TuneRecord& row) {
    const int32_t serial = row.AddedSerial;
    if (serial >= 1 && serial <= library.TuneCount && serial <= kMaxTunes &&
        library[serial].RecordIndex == row.RecordIndex) {
        return serial;
    }
    return FindSlotByRecordIndex(library, row.RecordIndex).value_or(0);
}

// Record text as UTF-8 for an M3U line: line breaks and other control bytes become blanks.
std::string OneLineUtf8(std::string_view macRoman) {
    std::string text = MacRomanToUtf8(macRoman);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    return text;
}

// The path bytes as they are, so that every file the library reaches is reached from the
// playlist too; only a line break, which would end the entry, and NUL are replaced.
std::string PathLine(std::string_view location) {
    std::string path(location);
    for (char& c : path) {
        if (c == '\n' || c == '\r' || c == '\0') {
            c = '?';
        }
    }
    return path;
}

void WriteRows(const ViewList& list, const Library& library, Format format, std::FILE* out) {
    if (format == Format::Tsv) {
        std::fprintf(out, "Row\t%s\n", TuneRecordTsvHeader().c_str());
    } else if (format == Format::M3u) {
        std::fputs("#EXTM3U\n", out);
    }
    for (int32_t row = 1; row <= list.ViewCount; ++row) {
        const TuneRecord& r = list[row];
        const int32_t slot = SlotOfRow(library, r);
        switch (format) {
            case Format::Tsv:
                std::fprintf(out, "%d\t%s\n", row, TuneRecordTsv(r, slot).c_str());
                break;
            case Format::Json:
                std::fprintf(out, "%s\n", TuneRecordJson(r, slot).c_str());
                break;
            case Format::M3u:
                std::fprintf(out, "#EXTINF:%d,%s - %s\n%s\n",
                             r.DurationSeconds >= 0 ? r.DurationSeconds : -1,
                             OneLineUtf8(r.Artist.view()).c_str(),
                             OneLineUtf8(r.Title.view()).c_str(),
                             PathLine(r.Location.view()).c_str());
                break;
        }
    }
}

int Fail(std::FILE* err, std::string_view reason) {
    std::fprintf(err, "harmovia-cli playlist: %s\n", std::string(reason).c_str());
    return 1;
}

int Usage(std::FILE* err, std::string_view reason) {
    std::fprintf(err, "harmovia-cli playlist: %s\n%s", std::string(reason).c_str(), kUsageText);
    return 2;
}

// The notice the program would have shown, or a plain reason.
std::string NoticeOr(const RecordingNotices& notices, std::string_view otherwise) {
    return notices.overlays.empty() ? std::string(otherwise)
                                    : MacRomanToUtf8(notices.overlays.back().text);
}

}  // namespace

const char* PlaylistUsage() {
    return kUsageText;
}

int RunPlaylistCommand(const std::vector<std::string>& args, const Library& library,
                       RandomSource& random, std::FILE* out, std::FILE* err) {
    Request request;
    if (const auto problem = ParseArguments(args, request)) {
        return Usage(err, problem->reason);
    }
    std::optional<int32_t> number;
    std::optional<int> genreItem;
    if (request.kind == ViewKind::Mood) {
        number = ParseWholeNumber(request.value);
        if (!number || !IsMood(*number)) {
            return Usage(err, "the mood must be a number from 1 to 9");
        }
        if (request.genreCategory) {
            genreItem = GenreItemOfCategory(*request.genreCategory);
            if (!genreItem) {
                return Usage(err, "unknown genre category \"" + *request.genreCategory + "\"");
            }
        }
    } else if (request.kind == ViewKind::Like || request.kind == ViewKind::Artist ||
               request.kind == ViewKind::Album || request.kind == ViewKind::Genre) {
        number = ParseWholeNumber(request.value);
        if (!number) {
            return Usage(err, "the slot must be a whole number");
        }
    }
    if (library.TuneCount < 1) {
        return Fail(err, "the library holds no tunes");
    }

    SystemClock clock;
    RecordingNotices notices;
    ViewState view;
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
                return Fail(err, "no tune in slot " + request.value + " (the library holds " +
                                     std::to_string(library.TuneCount) + ")");
            }
            break;
        }
        case ViewKind::Search:
            built = RunSearch(view, library, Utf8ToMacRoman(request.value), clock, random,
                              notices) == SearchOutcome::Shown;
            break;
        case ViewKind::None:
            break;
    }
    if (!built) {
        return Fail(err, NoticeOr(notices, "nothing to show"));
    }
    WriteRows(view.List, library, request.format, out);
    if (std::fflush(out) != 0 || std::ferror(out)) {
        return Fail(err, "cannot write the output");
    }
    return 0;
}

}  // namespace harmovia
