// The whole add pipeline as a user runs it: `harmovia-cli add CORPUS --quiet` as a child
// process into an empty library, once with one measuring worker and once with the default
// (one per core), against the floor: plain FFmpeg decoding of the ten one-second windows
// of every tune (decode_bench's baseline), on one thread per core. The floor on one thread
// shows how far the machine itself lets work scale. Every figure comes from the same run,
// after the corpus has been read once into the page cache.
//
// A plain main rather than Google Benchmark: a measurement is one run of a child process,
// the configurations take turns for a few repetitions (5, or --repetitions N) and the
// medians are printed beside their goals. The exit status is 1 when a run failed or did not
// keep every tune.
//
// The corpus is the folder named by HARMOVIA_CORPUS (fill it with
// `bench/make_corpus --count 200 FOLDER`), or else one of 200 tunes that the benchmark
// makes once in the temporary folder.
//
// `add_bench --formats` instead adds the same 200 tunes as MP3, as FLAC and as Opus (three
// corpora it makes once in the temporary folder, about 8 GB, most of it FLAC), each against
// its own floor on all cores, and prints the ratios side by side.

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/movie_ffmpeg.h"
#include "platform/plain_decode.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace harmovia {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kMadeCorpusTunes = 200;
constexpr double kWindowFractions[] = {0.05, 0.1, 0.15, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8};

// The goals.
constexpr double kSpeedupGoal = 1.7;       // all cores against one worker, at least
constexpr double kFloorRatioGoal = 1.6;    // all cores against the floor, at most
constexpr double kPeakMemoryGoalMb = 200;  // resident, below
constexpr double kLongestStepGoalMs = 50;  // below

// `format`: empty for the mixed MP3 and M4A corpus (or HARMOVIA_CORPUS), else mp3, flac or
// opus for a corpus of that format alone.
fs::path CorpusFolder(const std::string& format = {}) {
    if (const char* named = std::getenv("HARMOVIA_CORPUS");
        format.empty() && named != nullptr && *named != 0) {
        return named;
    }
    const fs::path folder =
        fs::temp_directory_path() / ("harmovia-bench-corpus-" + std::to_string(kMadeCorpusTunes) +
                                     (format.empty() ? "" : "-" + format));
    // Idempotent: a complete corpus costs only a look at each name.
    const std::string command =
        std::string("'") + HARMOVIA_MAKE_CORPUS + "' --count " + std::to_string(kMadeCorpusTunes) +
        (format.empty() ? "" : " --format " + format) + " '" + folder.string() + "'";
    std::fprintf(stderr, "add_bench: %s\n", command.c_str());
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "add_bench: %s failed\n", command.c_str());
    }
    return folder;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// The tunes the add should keep, found without the program's own walk so that a walk
// which missed some would show as a shortfall.
std::vector<fs::path> CorpusTunes(const fs::path& folder) {
    std::vector<fs::path> tunes;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::string extension = Lower(it->path().extension().string());
        if (it->is_regular_file() && !name.starts_with("._") &&
            (extension == ".mp3" || extension == ".m4a" || extension == ".flac" ||
             extension == ".opus")) {
            tunes.push_back(it->path());
        }
    }
    std::sort(tunes.begin(), tunes.end());
    return tunes;
}

// Reads every file once so that no run pays the disk for the ones after it. Returns bytes.
uint64_t ReadIntoCache(const std::vector<fs::path>& tunes) {
    uint64_t total = 0;
    std::vector<char> buffer(1 << 20);
    for (const fs::path& tune : tunes) {
        std::ifstream in(tune, std::ios::binary);
        while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) ||
               in.gcount() > 0) {
            total += static_cast<uint64_t>(in.gcount());
        }
    }
    return total;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct FloorRun {
    double seconds = 0;
    double cpuSeconds = 0;
    int failures = 0;
};

// The ten windows of every tune, decoded plainly on `threads` threads taking tunes in turn.
FloorRun DecodeFloor(const std::vector<fs::path>& tunes, unsigned threads) {
    std::atomic<size_t> next{0};
    std::atomic<int> failures{0};
    const double cpuBefore = ProcessCpuSeconds();
    const auto started = Clock::now();
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t) {
        pool.emplace_back([&] {
            for (size_t i = next++; i < tunes.size(); i = next++) {
                if (DecodeSecondsPlainly(tunes[i], kWindowFractions) <= 0) {
                    ++failures;
                }
            }
        });
    }
    for (std::thread& thread : pool) {
        thread.join();
    }
    return {Seconds(Clock::now() - started), ProcessCpuSeconds() - cpuBefore, failures.load()};
}

struct ChildRun {
    int status = -1;     // the exit status, or -1 when the child did not exit normally
    std::string output;  // stdout and stderr together
    double seconds = 0;
    double cpuSeconds = 0;
    double peakMb = 0;
};

// Runs harmovia-cli with `args` and XDG_DATA_HOME = dataHome, waiting for it.
ChildRun RunCli(const std::vector<std::string>& args, const fs::path& dataHome) {
    ChildRun run;
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!std::string_view(*entry).starts_with("XDG_DATA_HOME=")) {
            environment.emplace_back(*entry);
        }
    }
    environment.push_back("XDG_DATA_HOME=" + dataHome.string());
    std::vector<std::string> argv = {HARMOVIA_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    auto pointers = [](std::vector<std::string>& texts) {
        std::vector<char*> list;
        for (std::string& text : texts) {
            list.push_back(text.data());
        }
        list.push_back(nullptr);
        return list;
    };
    std::vector<char*> argvList = pointers(argv);
    std::vector<char*> envList = pointers(environment);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
    const auto started = Clock::now();
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, argvList[0], &actions, nullptr, argvList.data(), envList.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (spawned != 0) {
        ::close(fds[0]);
        run.output = std::string("cannot start ") + HARMOVIA_CLI + ": " + std::strerror(spawned);
        return run;
    }
    char buffer[4096];
    for (ssize_t got; (got = ::read(fds[0], buffer, sizeof buffer)) != 0;) {
        if (got > 0) {
            run.output.append(buffer, static_cast<size_t>(got));
        } else if (errno != EINTR) {
            break;
        }
    }
    ::close(fds[0]);
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.seconds = Seconds(Clock::now() - started);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    auto toSeconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    run.cpuSeconds = toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime);
    run.peakMb = static_cast<double>(usage.ru_maxrss) * 1024 / 1e6;  // ru_maxrss is in KiB
    return run;
}

// A fresh, empty data folder for one run's library.
fs::path FreshDataHome() {
    std::string pattern = (fs::temp_directory_path() / "harmovia-add-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("add_bench: mkdtemp");
        std::exit(1);
    }
    return pattern;
}

struct AddRun {
    ChildRun child;
    fs::path dataHome;
    int kept = -1;
    double cliSeconds = 0;
    double cliRate = 0;
    double longestStepMs = -1;
};

AddRun RunAdd(const fs::path& corpus, std::optional<int> workers) {
    AddRun run;
    run.dataHome = FreshDataHome();
    std::vector<std::string> args = {"add", corpus.string(), "--quiet"};
    if (workers) {
        args.insert(args.end(), {"--workers", std::to_string(*workers)});
    }
    run.child = RunCli(args, run.dataHome);
    const std::string& out = run.child.output;
    if (const size_t at = out.find("Kept "); at != std::string::npos) {
        std::sscanf(out.c_str() + at, "Kept %d tunes in %lf s (%lf tunes/s)", &run.kept,
                    &run.cliSeconds, &run.cliRate);
    }
    if (const size_t at = out.find("Longest step: "); at != std::string::npos) {
        std::sscanf(out.c_str() + at, "Longest step: %lf ms", &run.longestStepMs);
    }
    return run;
}

// The value of "key": in a line of JSON, as written (a string keeps its quotes).
std::string JsonField(const std::string& json, const std::string& key) {
    const size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) {
        return "?";
    }
    const size_t start = at + key.size() + 3;
    size_t end = start;
    if (end < json.size() && json[end] == '"') {
        end = json.find('"', end + 1);
        end = end == std::string::npos ? json.size() : end + 1;
    } else {
        end = json.find_first_of(",}", start);
    }
    return json.substr(start, end - start);
}

// Names the corpus tunes the run's library does not hold, and why `inspect` refuses them.
void ReportMissing(const AddRun& run, const std::vector<fs::path>& tunes) {
    const ChildRun list = RunCli({"list", "--format", "tsv"}, run.dataHome);
    std::set<std::string> held;
    size_t from = list.output.find('\n');  // after the header
    while (from != std::string::npos && from + 1 < list.output.size()) {
        const size_t end = list.output.find('\n', from + 1);
        const std::string row = list.output.substr(from + 1, end - from - 1);
        held.insert(row.substr(row.rfind('\t') + 1));  // Location is the last column
        from = end;
    }
    int shown = 0;
    for (const fs::path& tune : tunes) {
        if (held.count(tune.string()) > 0) {
            continue;
        }
        if (++shown > 20) {
            std::printf("    ... and more\n");
            break;
        }
        const ChildRun inspect = RunCli({"inspect", tune.string()}, run.dataHome);
        std::printf("    not kept: %s\n      inspect: Outcome %s, RefusedBy %s, ResultCode %s\n",
                    tune.c_str(), JsonField(inspect.output, "Outcome").c_str(),
                    JsonField(inspect.output, "RefusedBy").c_str(),
                    JsonField(inspect.output, "ResultCode").c_str());
    }
}

const char* Verdict(bool met) {
    return met ? "met" : "MISSED";
}

// The middle of a few timings, with their spread.
struct Spread {
    double median = 0, least = 0, most = 0;
};
Spread SpreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

// What one configuration measured over the repetitions.
struct Series {
    std::string name;
    std::vector<double> seconds, cpuSeconds, cliSeconds;
};

void PrintRow(const Series& series, double tunes) {
    const Spread wall = SpreadOf(series.seconds);
    std::printf("%-30s %8.2f  (%5.2f-%5.2f) %9.1f %12.1f", series.name.c_str(), wall.median,
                wall.least, wall.most, tunes / wall.median,
                SpreadOf(series.cpuSeconds).median * 1e3 / tunes);
    if (!series.cliSeconds.empty()) {
        std::printf("   (the CLI's own clock: %.1f s)", SpreadOf(series.cliSeconds).median);
    }
    std::printf("\n");
}

int Main(int repetitions) {
    // The CLI stores absolute locations; the corpus's names must compare with them.
    const fs::path corpus = fs::absolute(CorpusFolder());
    const std::vector<fs::path> tunes = CorpusTunes(corpus);
    if (tunes.empty()) {
        std::fprintf(stderr, "add_bench: no tunes in %s\n", corpus.c_str());
        return 1;
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const size_t mp3s = static_cast<size_t>(std::count_if(tunes.begin(), tunes.end(), [](auto& t) {
        return Lower(t.extension().string()) == ".mp3";
    }));
    double load[3] = {-1, -1, -1};
    ::getloadavg(load, 3);
    const uint64_t bytes = ReadIntoCache(tunes);
    std::printf("corpus: %zu tunes (%zu MP3, %zu M4A, %.0f MB) in %s\n", tunes.size(), mp3s,
                tunes.size() - mp3s, static_cast<double>(bytes) / 1e6, corpus.c_str());
    if (tunes.size() < static_cast<size_t>(kMadeCorpusTunes)) {
        std::printf("(fewer than %d tunes: the runs are short and their figures unsteady)\n",
                    kMadeCorpusTunes);
    }
    std::printf("cores: %u; load average before the run: %.2f %.2f %.2f; %d repetitions\n", cores,
                load[0], load[1], load[2], repetitions);
    std::fflush(stdout);

    MakeFfmpegMovieFramework()->EnterMovies();  // the same quiet logging as the program
    const std::string allCores = std::to_string(cores);
    Series floorOne{"floor, 1 thread", {}, {}, {}};
    Series floorAll{"floor, " + allCores + " threads", {}, {}, {}};
    Series addOne{"add --workers 1", {}, {}, {}};
    Series addAll{"add, default (" + allCores + " workers)", {}, {}, {}};
    double peakMb = 0;
    std::vector<double> longestMs;
    bool measured = true;
    bool missingShown = false;
    const int expected = static_cast<int>(tunes.size());
    int fewestKept = expected;
    // Interleaved, so that a slow spell of the machine touches every configuration alike.
    for (int r = 0; r < repetitions && measured; ++r) {
        for (auto [series, threads] : {std::pair{&floorOne, 1u}, std::pair{&floorAll, cores}}) {
            const FloorRun floor = DecodeFloor(tunes, threads);
            series->seconds.push_back(floor.seconds);
            series->cpuSeconds.push_back(floor.cpuSeconds);
            if (floor.failures > 0) {
                std::printf("the floor could not decode %d tunes\n", floor.failures);
                measured = false;
            }
        }
        for (auto [series, workers] : {std::pair{&addOne, std::optional<int>(1)},
                                       std::pair{&addAll, std::optional<int>()}}) {
            const AddRun run = RunAdd(corpus, workers);
            series->seconds.push_back(run.child.seconds);
            series->cpuSeconds.push_back(run.child.cpuSeconds);
            series->cliSeconds.push_back(run.cliSeconds);
            peakMb = std::max(peakMb, run.child.peakMb);
            longestMs.push_back(run.longestStepMs);
            if (run.child.status != 0 || run.kept < 0) {
                std::printf("%s failed (status %d):\n%s\n", series->name.c_str(), run.child.status,
                            run.child.output.c_str());
                measured = false;
            } else if (run.kept != expected && !missingShown) {
                std::printf("%s kept %d of %d tunes:\n", series->name.c_str(), run.kept, expected);
                ReportMissing(run, tunes);
                missingShown = true;
            }
            fewestKept = std::min(fewestKept, run.kept);
            std::error_code error;
            fs::remove_all(run.dataHome, error);
        }
    }
    if (!measured) {
        return 1;
    }

    const double n = static_cast<double>(tunes.size());
    std::printf("\n%-30s %8s  %13s %9s %12s\n", "median of the repetitions", "wall s",
                "(least-most)", "tunes/s", "cpu ms/tune");
    for (const Series* series : {&floorOne, &floorAll, &addOne, &addAll}) {
        PrintRow(*series, n);
    }

    const double floorSpeedup =
        SpreadOf(floorOne.seconds).median / SpreadOf(floorAll.seconds).median;
    const double speedup = SpreadOf(addOne.seconds).median / SpreadOf(addAll.seconds).median;
    const double floorRatio = SpreadOf(addAll.seconds).median / SpreadOf(floorAll.seconds).median;
    const double cpuRatio =
        SpreadOf(addAll.cpuSeconds).median / SpreadOf(floorAll.cpuSeconds).median;
    const Spread longest = SpreadOf(longestMs);
    std::printf("\n%-36s %10s   %-10s\n", "", "figure", "goal");
    std::printf("%-36s %9.2fx   >= %.1fx     %s   (the floor's own: %.2fx)\n",
                "speedup, all cores / 1 worker", speedup, kSpeedupGoal,
                Verdict(speedup >= kSpeedupGoal), floorSpeedup);
    std::printf("%-36s %9.2fx   <= %.1fx     %s   (processor time: %.2fx)\n",
                "all cores time / floor time", floorRatio, kFloorRatioGoal,
                Verdict(floorRatio <= kFloorRatioGoal), cpuRatio);
    std::printf("%-36s %7.1f MB   < %.0f MB     %s\n", "peak resident memory of the CLI", peakMb,
                kPeakMemoryGoalMb, Verdict(peakMb < kPeakMemoryGoalMb));
    std::printf("%-36s %7.1f ms   < %.0f ms      %s   (median %.1f ms)\n",
                "longest step (most of all runs)", longest.most, kLongestStepGoalMs,
                Verdict(longest.most < kLongestStepGoalMs), longest.median);
    const bool allKept = fewestKept == expected;
    std::printf("%-36s %4d / %-4d   all          %s\n", "kept, fewest of all runs", fewestKept,
                expected, Verdict(allKept));
    return allKept ? 0 : 1;
}

// The same tunes as MP3, FLAC and Opus: each format's add on all cores against its own
// floor, the formats taking turns.
int FormatsMain(int repetitions) {
    struct Format {
        std::string name;
        fs::path root;
        std::vector<fs::path> tunes;
        Series floor, add;
        int kept = -1;
    };
    std::vector<Format> formats;
    for (const char* name : {"mp3", "flac", "opus"}) {
        Format format{name, fs::absolute(CorpusFolder(name)), {}, {}, {}, -1};
        format.tunes = CorpusTunes(format.root);
        if (format.tunes.size() != static_cast<size_t>(kMadeCorpusTunes)) {
            std::fprintf(stderr, "add_bench: the %s corpus is incomplete\n", name);
            return 1;
        }
        const uint64_t bytes = ReadIntoCache(format.tunes);
        std::printf("corpus: %zu %s tunes, %.0f MB\n", format.tunes.size(), name,
                    static_cast<double>(bytes) / 1e6);
        formats.push_back(std::move(format));
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    double load[3] = {-1, -1, -1};
    ::getloadavg(load, 3);
    std::printf("cores: %u; load average before the run: %.2f %.2f %.2f; %d repetitions\n", cores,
                load[0], load[1], load[2], repetitions);
    std::fflush(stdout);
    MakeFfmpegMovieFramework()->EnterMovies();
    bool measured = true;
    for (int r = 0; r < repetitions; ++r) {
        for (Format& format : formats) {
            const FloorRun floor = DecodeFloor(format.tunes, cores);
            format.floor.seconds.push_back(floor.seconds);
            format.floor.cpuSeconds.push_back(floor.cpuSeconds);
            const AddRun run = RunAdd(format.root, std::nullopt);
            format.add.seconds.push_back(run.child.seconds);
            format.add.cpuSeconds.push_back(run.child.cpuSeconds);
            if (floor.failures > 0 || run.child.status != 0 || run.kept < 0) {
                std::printf("%s: the floor failed on %d tunes; the add ended with status %d\n%s\n",
                            format.name.c_str(), floor.failures, run.child.status,
                            run.child.output.c_str());
                measured = false;
            } else if (format.kept >= 0 && format.kept != run.kept) {
                std::printf("%s: the add kept %d tunes, then %d\n", format.name.c_str(),
                            format.kept, run.kept);
                measured = false;
            }
            format.kept = run.kept;
            std::error_code error;
            fs::remove_all(run.dataHome, error);
        }
    }
    // A tune a format leaves out (outside the range of music the moods describe: lossless
    // files keep the partials above an MP3 encoder's cut) still had its ten windows decoded.
    std::printf("\n%-6s %5s %10s %10s %12s %12s %10s %8s   %s\n", "format", "kept", "add s",
                "tunes/s", "floor s", "floor tunes/s", "add/floor", "(cpu)", "goal <= 1.6x");
    for (const Format& format : formats) {
        const double n = static_cast<double>(format.tunes.size());
        const double add = SpreadOf(format.add.seconds).median;
        const double floor = SpreadOf(format.floor.seconds).median;
        const double cpu =
            SpreadOf(format.add.cpuSeconds).median / SpreadOf(format.floor.cpuSeconds).median;
        std::printf("%-6s %5d %10.2f %10.1f %12.2f %12.1f %9.2fx %7.2fx   %s\n",
                    format.name.c_str(), format.kept, add, n / add, floor, n / floor, add / floor,
                    cpu, Verdict(add / floor <= kFloorRatioGoal));
    }
    return measured ? 0 : 1;
}

}  // namespace
}  // namespace harmovia

int main(int argc, char** argv) {
    int repetitions = 5;
    bool formats = false;
    bool usage = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--formats") == 0) {
            formats = true;
        } else if (std::strcmp(argv[i], "--repetitions") == 0 && i + 1 < argc) {
            repetitions = std::atoi(argv[++i]);
        } else {
            usage = true;
        }
    }
    if (usage || repetitions < 1) {
        std::fprintf(stderr, "usage: add_bench [--formats] [--repetitions N]   (5 by default)\n");
        return 2;
    }
    return formats ? harmovia::FormatsMain(repetitions) : harmovia::Main(repetitions);
}
