// Decoding the ten measurement windows of a tune (open, then one second at 5, 10, 15, 20,
// 30, 40, 50, 60, 70 and 80 % of its length) through the movie framework, against FFmpeg
// decoding the same ten seconds with the least work (plain seeks, no pre-roll, no exact
// placement, no conversion). One iteration decodes every MP3 (or M4A) of the corpus; the
// counters give milliseconds per tune, of the wall clock and of this thread's processor.
//
// The corpus is the folder named by HARMOVIA_CORPUS (fill it with bench/make_corpus), or
// else a small corpus that the benchmark makes once in the temporary folder.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/support/ratio_main.h"
#include "platform/movie_ffmpeg.h"
#include "platform/plain_decode.h"

#include <time.h>

namespace harmovia {
namespace {

namespace fs = std::filesystem;

constexpr double kWindowFractions[] = {0.05, 0.1, 0.15, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8};

fs::path CorpusFolder() {
    if (const char* named = std::getenv("HARMOVIA_CORPUS"); named != nullptr && *named != 0) {
        return named;
    }
    const fs::path folder = fs::temp_directory_path() / "harmovia-bench-corpus";
    const std::string command =
        std::string("'") + HARMOVIA_MAKE_CORPUS + "' --small '" + folder.string() + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "decode_bench: %s failed\n", command.c_str());
    }
    return folder;
}

std::vector<fs::path> Tunes(const std::string& extension) {
    static const fs::path folder = CorpusFolder();
    std::vector<fs::path> tunes;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder, error)) {
        if (entry.is_regular_file() && entry.path().extension() == extension) {
            tunes.push_back(entry.path());
        }
    }
    std::sort(tunes.begin(), tunes.end());
    return tunes;
}

// This thread's processor time: unlike the wall clock, it does not grow when other
// programs share the cores.
double ThreadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double WallMilliseconds() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Wall and processor milliseconds per tune over the timed loop.
class TuneClock {
  public:
    TuneClock() : wall_(WallMilliseconds()), cpu_(ThreadMilliseconds()) {}
    void Report(benchmark::State& state, size_t tunes) const {
        const double count = static_cast<double>(tunes) * static_cast<double>(state.iterations());
        state.counters["ms_per_tune"] = (WallMilliseconds() - wall_) / count;
        state.counters["cpu_ms_per_tune"] = (ThreadMilliseconds() - cpu_) / count;
        state.counters["tunes"] = static_cast<double>(tunes);
    }

  private:
    double wall_;
    double cpu_;
};

void ExactWindows(benchmark::State& state, const std::string& extension) {
    const std::vector<fs::path> tunes = Tunes(extension);
    if (tunes.empty()) {
        state.SkipWithError("no tunes in the corpus");
        return;
    }
    const std::unique_ptr<MovieFramework> framework = MakeFfmpegMovieFramework();
    if (framework->EnterMovies() != kNoErr) {
        state.SkipWithError("EnterMovies failed");
        return;
    }
    std::vector<uint8_t> block;
    const TuneClock timer;
    for (auto _ : state) {
        for (const fs::path& tune : tunes) {
            std::unique_ptr<Movie> movie;
            if (framework->OpenMovie(tune, movie) != kNoErr) {
                state.SkipWithError(("cannot open " + tune.string()).c_str());
                return;
            }
            const uint32_t duration = movie->Duration();
            for (const double fraction : kWindowFractions) {
                const auto start = static_cast<uint32_t>(duration * fraction);
                if (movie->ExtractSecond(start, block) != kNoErr) {
                    state.SkipWithError(("cannot decode " + tune.string()).c_str());
                    return;
                }
                benchmark::DoNotOptimize(block.data());
            }
        }
    }
    timer.Report(state, tunes.size());
}

void PlainWindows(benchmark::State& state, const std::string& extension) {
    const std::vector<fs::path> tunes = Tunes(extension);
    if (tunes.empty()) {
        state.SkipWithError("no tunes in the corpus");
        return;
    }
    MakeFfmpegMovieFramework()->EnterMovies();  // the same quiet logging
    const TuneClock timer;
    for (auto _ : state) {
        for (const fs::path& tune : tunes) {
            if (DecodeSecondsPlainly(tune, kWindowFractions) <= 0) {
                state.SkipWithError(("cannot decode " + tune.string()).c_str());
                return;
            }
        }
    }
    timer.Report(state, tunes.size());
}

void BM_ExactWindowsMp3(benchmark::State& state) {
    ExactWindows(state, ".mp3");
}
void BM_PlainWindowsMp3(benchmark::State& state) {
    PlainWindows(state, ".mp3");
}
void BM_ExactWindowsM4a(benchmark::State& state) {
    ExactWindows(state, ".m4a");
}
void BM_PlainWindowsM4a(benchmark::State& state) {
    PlainWindows(state, ".m4a");
}

BENCHMARK(BM_ExactWindowsMp3)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_PlainWindowsMp3)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ExactWindowsM4a)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_PlainWindowsM4a)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

HARMOVIA_RATIO("mp3 exact windows vs plain decode", "BM_ExactWindowsMp3", "BM_PlainWindowsMp3");
HARMOVIA_RATIO("m4a exact windows vs plain decode", "BM_ExactWindowsM4a", "BM_PlainWindowsM4a");

}  // namespace
}  // namespace harmovia
