#include "cli/add_command.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>
#include <set>
#include <thread>

#include "cli/cli_library.h"
#include "cli/export_moods_command.h"
#include "cli/record_json.h"
#include "cli/terminal_text.h"
#include "import/add_tunes.h"
#include "import/tune_add_steps.h"
#include "library/library_file.h"
#include "library/mac_roman.h"
#include "platform/app_folders.h"
#include "platform/movie_ffmpeg.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace harmovia {
namespace {

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t gInterrupted = 0;

void OnInterrupt(int) {
    gInterrupted = 1;
    std::signal(SIGINT, SIG_DFL);  // a second Ctrl-C ends the program at once
}

// Alerts go to stderr, worded for the terminal; nobody is there to answer, so the default
// button is taken.
class TerminalNotices final : public UserNotices {
  public:
    void Beep(int) override {}
    bool ShowAlert(const Alert& alert) override {
        std::fprintf(stderr, "harmovia-cli: %s\n",
                     TerminalWording(MacRomanToUtf8(alert.message)).c_str());
        return true;
    }
    void ShowOverlayNotice(std::string_view text, int) override {
        std::fprintf(stderr, "%s\n", MacRomanToUtf8(text).c_str());
    }
    void CloseOverlay() override {}
    void WaitMilliseconds(int) override {}
};

struct AddOptions {
    std::filesystem::path folder;
    bool musicFolder = false;
    int workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    bool quiet = false;
};

// Reads the options into `options`; returns the problem of a usage error.
std::optional<std::string> ParseAddOptions(const std::vector<std::string>& args,
                                           AddOptions& options) {
    bool haveFolder = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--music-folder") {
            options.musicFolder = true;
        } else if (args[i] == "--quiet") {
            options.quiet = true;
        } else if (args[i] == "--workers") {
            constexpr const char* kWorkersRange =
                "--workers takes 0..256; 0 measures on the main thread";
            if (i + 1 >= args.size()) {
                return kWorkersRange;
            }
            const std::string& value = args[++i];
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), options.workers);
            if (error != std::errc() || end != value.data() + value.size() || options.workers < 0 ||
                options.workers > 256) {
                return kWorkersRange;
            }
        } else if (!args[i].starts_with("--") && !haveFolder) {
            options.folder = args[i];
            haveFolder = true;
        } else if (!args[i].starts_with("--")) {
            return "one FOLDER at a time";
        } else {
            return "unknown option \"" + args[i] + "\"";
        }
    }
    if (haveFolder == options.musicFolder) {
        return std::string(haveFolder ? "give FOLDER or --music-folder, not both"
                                      : "give a FOLDER to add, or --music-folder");
    }
    return std::nullopt;
}

// The progress line cut to the terminal's width, so that redrawing it never wraps.
std::string FitToTerminal(const std::string& utf8) {
    winsize size{};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col < 8) {
        return utf8;
    }
    const size_t columns = size.ws_col - 1;
    size_t count = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && count++ == columns) {
            return utf8.substr(0, i);
        }
    }
    return utf8;
}

}  // namespace

int RunAddCommand(const std::vector<std::string>& args) {
    AddOptions parsed;
    if (const auto problem = ParseAddOptions(args, parsed)) {
        return ReportProblem(stderr, "add", *problem, 2);
    }
    const AddOptions* options = &parsed;
    std::error_code error;
    if (!options->musicFolder && !std::filesystem::is_directory(options->folder, error)) {
        // Said before the library is opened, which would create its folder and file.
        std::fprintf(stderr, "harmovia-cli: %s is not a folder\n", options->folder.c_str());
        return 1;
    }
    auto movies = MakeFfmpegMovieFramework();
    auto cli = OpenCliLibrary(/*forWriting=*/true, stderr);
    if (!cli) {
        return 1;
    }
    TuneAddSteps steps(*movies);
    TerminalNotices notices;
    const bool terminal = ::isatty(STDOUT_FILENO) == 1;
    const auto started = Clock::now();
    int32_t shownKept = 0;
    AddHooks hooks;
    hooks.saveLibrary = [&](const Library& library) {
        return SaveLibrary(library, cli->files, cli->folder);
    };
    hooks.notices = &notices;
    AddTask* running = nullptr;
    hooks.progressChanged = [&](const AddProgress& progress) {
        if (options->quiet || !running || running->summary().kept == shownKept) {
            return;
        }
        shownKept = running->summary().kept;
        const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
        const std::string title = MacRomanToUtf8(progress.StatusText.view());
        if (terminal) {
            char rate[32];
            std::snprintf(rate, sizeof rate, "  (%.1f tunes/s)  ",
                          seconds > 0 ? shownKept / seconds : 0.0);
            // The title goes last: it is what a narrow terminal loses.
            const std::string line = MacRomanToUtf8(TotalTunesText(progress).view()) + rate + title;
            std::printf("\r\033[K%s", FitToTerminal(line).c_str());
        } else {
            std::printf("%s\n", title.c_str());
        }
        std::fflush(stdout);
    };

    AddStart start = options->musicFolder
                         ? AddTunesFromITunes(*cli->library, *movies, steps, hooks,
                                              MusicFolder(ProcessEnvironment()), options->workers)
                         : AddTunesFromFolder(*cli->library, *movies, steps, hooks,
                                              std::filesystem::absolute(options->folder, error),
                                              options->workers);
    switch (start.result) {
        case AddStartResult::Started:
            break;
        case AddStartResult::NoAudioDecoders:
            std::fprintf(stderr, "harmovia-cli: MP3 and AAC decoding is not available\n");
            return 1;
        case AddStartResult::NoMusicFound:
            return 1;  // the alert said why
        case AddStartResult::NotAFolder:
            std::fprintf(stderr, "harmovia-cli: %s is not a folder\n", options->folder.c_str());
            return 1;
    }
    AddTask& task = *start.task;
    gInterrupted = 0;
    std::signal(SIGINT, OnInterrupt);
    running = &task;
    Clock::duration longestStep{};
    for (;;) {
        if (gInterrupted == 1 && !task.progress().StopAddingRequest) {
            task.RequestStop();
            std::fprintf(stderr, "%sStopping after the file in hand...\n", terminal ? "\n" : "");
        }
        // Steps never block, as in a window's event loop, so the longest one is the main
        // thread's own work; waiting for the next tune's measurement happens between them.
        const auto before = Clock::now();
        const AddTask::State state = task.Step();
        longestStep = std::max(longestStep, Clock::now() - before);
        if (state == AddTask::State::Waiting) {
            task.WaitForMeasurement(std::chrono::milliseconds(100));
        }
        if (state == AddTask::State::Finished) {
            break;
        }
    }
    std::signal(SIGINT, SIG_DFL);
    running = nullptr;

    const AddSummary& summary = task.summary();
    const bool stopped = gInterrupted == 1;
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    if (terminal && !options->quiet && summary.kept > 0) {
        std::printf("\n");
    }
    std::map<AddOutcome, int> reasons;
    std::set<std::string> unreadExtensions;  // lower-cased, for the summary
    for (const SkippedFile& skipped : summary.skipped) {
        ++reasons[skipped.outcome];
        if (skipped.outcome == AddOutcome::UnreadKind) {
            std::string extension = PathTextAsUtf8(skipped.file.extension().native());
            std::transform(extension.begin(), extension.end(), extension.begin(),
                           [](unsigned char c) { return std::tolower(c); });
            unreadExtensions.insert(extension);
        }
        if (!options->quiet) {
            std::printf("skipped (%s): %s\n", std::string(AddOutcomeName(skipped.outcome)).c_str(),
                        PathTextAsUtf8(skipped.file.native()).c_str());
        }
    }
    const std::string kept = CountOf(summary.kept, "tune");
    std::printf("%s in %.1f s (%.1f tunes/s); skipped %s",
                (stopped ? "Stopped: kept " + kept : "Kept " + kept).c_str(), seconds,
                seconds > 0 ? summary.kept / seconds : 0.0,
                CountOf(static_cast<long long>(summary.skipped.size()), "file").c_str());
    const char* separator = ": ";
    for (const auto& [outcome, count] : reasons) {
        std::printf("%s%d %s", separator, count, std::string(AddOutcomeName(outcome)).c_str());
        if (outcome == AddOutcome::UnreadKind) {
            const char* between = " (";
            for (const std::string& extension : unreadExtensions) {
                std::printf("%s%s", between, extension.c_str());
                between = ", ";
            }
            std::printf(")");
        }
        separator = ", ";
    }
    if (summary.leftOut > 0) {
        std::printf("; %s left out: the library is full", CountOf(summary.leftOut, "file").c_str());
    }
    std::printf(".\nThe library holds %s. Longest step: %.1f ms.\n",
                CountOf(cli->library->TuneCount, "tune").c_str(),
                std::chrono::duration<double, std::milli>(longestStep).count());
    if (summary.saveError != kNoErr) {
        std::fprintf(stderr, "harmovia-cli: the library could not be saved (error %d)\n",
                     summary.saveError);
        return 1;
    }
    // The kept mood playlists follow what was saved, also after a stop.
    const int playlists =
        summary.kept > 0 ? KeepMoodPlaylistsAfterChange(*cli, ProcessEnvironment(), "add", stderr)
                         : 0;
    if (stopped) {
        return 130;  // as a shell reports a program ended by Ctrl-C
    }
    return summary.leftOut > 0 ? 1 : playlists;
}

int RunInspectCommand(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return ReportProblem(stderr, "inspect",
                             args.empty() ? "give the FILE to inspect" : "one FILE at a time", 2);
    }
    std::error_code error;
    const std::filesystem::path file = std::filesystem::absolute(args[0], error);
    const MusicFileKind kind = MusicFileKindForName(file.filename().native());
    if (!IsReadKind(kind)) {
        std::fprintf(stderr,
                     "harmovia-cli: %s is not named as an MP3, M4A, CAF, FLAC, Ogg, Opus, WAV or "
                     "AIFF file\n",
                     args[0].c_str());
        return 1;
    }
    if (!std::filesystem::is_regular_file(file, error)) {
        std::fprintf(stderr, "harmovia-cli: %s is not a file that can be read\n", args[0].c_str());
        return 1;
    }
    auto movies = MakeFfmpegMovieFramework();
    if (movies->EnterMovies() != kNoErr) {
        std::fprintf(stderr, "harmovia-cli: MP3 and AAC decoding is not available\n");
        return 1;
    }
    // A copy of the library in memory, so that a tune already there is a duplicate as `add`
    // would find it; the library file is neither created nor changed.
    std::unique_ptr<CliLibrary> cli;
    if (const auto folder = AppDataFolder(ProcessEnvironment());
        folder && std::filesystem::exists(*folder / kLibraryFileName, error)) {
        cli = OpenCliLibrary(/*forWriting=*/false, stderr);
        if (!cli) {
            return 1;
        }
    }
    auto library = cli ? std::move(cli->library) : std::make_unique<Library>();
    // The scratch slot must exist: a full library lends its last slot.
    library->TuneCount = library->CurrentTuneIndex = std::min(library->TuneCount, kMaxTunes - 1);
    const int32_t slot = library->TuneCount + 1;
    TuneAddSteps steps(*movies);
    const char* refusedBy = nullptr;
    // As the add does it: tags that come with the sound are read from its measurement.
    std::unique_ptr<MeasuredFile> measured;
    if (TagsComeWithSound(kind)) {
        measured = steps.Measure(file);
    }
    AddOutcome outcome = steps.ReadTags(*library, file, kind, measured.get());
    if (outcome == AddOutcome::PermissionDenied || outcome == AddOutcome::Unreadable) {
        std::fprintf(stderr, "harmovia-cli: cannot read %s: %s\n", args[0].c_str(),
                     std::string(AddOutcomeName(outcome)).c_str());
        return 1;
    }
    if (outcome != AddOutcome::Kept) {
        refusedBy = outcome == AddOutcome::NotDecodable ? "measurement" : "tags";
    } else {
        if (!measured) {
            measured = steps.Measure(file);
        }
        outcome = steps.Score(*library, *measured);
        library->Slots.Write(slot).Location.Set(file.native());
        if (outcome != AddOutcome::Kept) {
            refusedBy = outcome == AddOutcome::NoSound || outcome == AddOutcome::OutsideKeepRange
                            ? "scoring"
                            : "measurement";
        }
    }
    std::string json = TuneRecordJson(library->Slots.Read(slot), 0);
    json.insert(1, "\"ResultCode\":" + std::to_string(steps.lastResultCode()) +
                       ",\"RefusedBy\":" + (refusedBy ? JsonString(refusedBy) : "null") +
                       ",\"Outcome\":" + JsonString(AddOutcomeName(outcome)) + ",");
    std::printf("%s\n", json.c_str());
    return 0;
}

}  // namespace harmovia
