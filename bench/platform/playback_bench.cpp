// Playing a 320 kbit/s MP3 (30 seconds of a tone with beats of noise): the processor time
// that decoding, converting to 16-bit stereo and applying the volume take per second of
// playback, against FFmpeg decoding the same seconds plainly; the processor share while
// playing in real time; the time from the open request to the first sample the output
// receives; and the memory the process holds while playing, above what it held idle.
//
// Goals: under 1 % of one core per second of playback, under 50 ms to the first sample,
// under 30 MB above idle.

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/support/ratio_main.h"
#include "platform/movie_playback_ffmpeg.h"
#include "platform/plain_decode.h"
#include "tests/support/test_audio.h"

#include <time.h>

namespace harmovia {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kTuneSeconds = 30;

const fs::path& Tune() {
    static const fs::path tune = [] {
        const fs::path file = fs::temp_directory_path() / "harmovia-playback-bench.mp3";
        testing::MakeTestAudio(file, {.seconds = kTuneSeconds,
                                      .kbps = 320,
                                      .customSource = "sine=f=220:r=44100,volume=2[a];"
                                                      "anoisesrc=c=pink:a=0.4:r=44100:seed=7,"
                                                      "volume='exp(-6*mod(t,0.43))':eval=frame[b];"
                                                      "[a][b]amix=inputs=2"});
        return file;
    }();
    return tune;
}

// Every thread's processor time: decoding runs on a thread of its own.
double ProcessSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The resident set from /proc, in megabytes.
double ResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmRSS:")) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

std::unique_ptr<PlayingMovie> StartedMovie(MoviePlayer& player, benchmark::State& state) {
    std::unique_ptr<PlayingMovie> movie;
    if (player.OpenPlayingMovie(Tune(), movie) != kNoErr) {
        state.SkipWithError("cannot open the tune");
        return nullptr;
    }
    movie->SetVolume(300);
    movie->GoToBeginning();
    movie->Start();
    return movie;
}

// The whole tune through the fast silent output; the main thread looks in every
// millisecond, as a busy program's timer would, only more often.
void BM_PlayWholeTune(benchmark::State& state) {
    SampleLevels levels;
    const auto player = MakeFfmpegMoviePlayer(AudioOutputChoice::SilentFast, levels);
    const double cpuBefore = ProcessSeconds();
    for (auto _ : state) {
        const double iterationBefore = ProcessSeconds();
        auto movie = StartedMovie(*player, state);
        if (!movie) {
            return;
        }
        while (!movie->IsDone()) {
            movie->Task();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        state.SetIterationTime(ProcessSeconds() - iterationBefore);
    }
    const double perSecond =
        (ProcessSeconds() - cpuBefore) / (kTuneSeconds * static_cast<double>(state.iterations()));
    state.counters["cpu_ms_per_second_played"] = perSecond * 1e3;
    state.counters["percent_of_a_core"] = perSecond * 100;
}

// The same seconds decoded plainly: one decoder, no conversion, no ring, no thread.
void BM_PlainDecode(benchmark::State& state) {
    std::vector<double> starts;
    for (int second = 0; second < kTuneSeconds; ++second) {
        starts.push_back(second / kTuneSeconds);
    }
    MakeFfmpegMoviePlayer(AudioOutputChoice::SilentFast);  // the same quiet logging
    const double cpuBefore = ProcessSeconds();
    for (auto _ : state) {
        const double iterationBefore = ProcessSeconds();
        if (DecodeSecondsPlainly(Tune(), starts) <= 0) {
            state.SkipWithError("cannot decode the tune");
            return;
        }
        state.SetIterationTime(ProcessSeconds() - iterationBefore);
    }
    const double perSecond =
        (ProcessSeconds() - cpuBefore) / (kTuneSeconds * static_cast<double>(state.iterations()));
    state.counters["cpu_ms_per_second_played"] = perSecond * 1e3;
    state.counters["percent_of_a_core"] = perSecond * 100;
}

// Five seconds in real time, given time every 2/60 s as the program's timer does: the
// share of a core the whole process takes, and its memory above idle.
void BM_PlayInRealTime(benchmark::State& state) {
    Tune();
    const double idleMegabytes = ResidentMegabytes();
    const auto player = MakeFfmpegMoviePlayer(AudioOutputChoice::SilentRealTime);
    double busiestMegabytes = idleMegabytes;
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        auto movie = StartedMovie(*player, state);
        if (!movie) {
            return;
        }
        const double cpuBefore = ProcessSeconds();
        const auto start = Clock::now();
        for (int tick = 0; Clock::now() - start < std::chrono::seconds(5); ++tick) {
            movie->Task();
            if (tick % 15 == 0) {  // reading /proc costs more than a tick's playing
                busiestMegabytes = std::max(busiestMegabytes, ResidentMegabytes());
            }
            std::this_thread::sleep_for(std::chrono::microseconds(1000000 * 2 / 60));
        }
        cpu += ProcessSeconds() - cpuBefore;
        wall += std::chrono::duration<double>(Clock::now() - start).count();
    }
    state.counters["percent_of_a_core"] = cpu / wall * 100;
    state.counters["idle_MB"] = idleMegabytes;
    state.counters["MB_above_idle"] = busiestMegabytes - idleMegabytes;
}

// From the open request to the first sample the output receives.
void BM_FirstSample(benchmark::State& state) {
    SampleLevels levels;
    const auto player = MakeFfmpegMoviePlayer(AudioOutputChoice::SilentFast, levels);
    for (auto _ : state) {
        levels = {};
        auto movie = StartedMovie(*player, state);
        if (!movie) {
            return;
        }
        while (levels.samples == 0) {
            movie->Task();
        }
        state.PauseTiming();
        movie.reset();
        state.ResumeTiming();
    }
}

// First, so that its idle figure is the process before any playing.
BENCHMARK(BM_PlayInRealTime)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
// Timed by the processor time of every thread, so that the ratio compares work done.
BENCHMARK(BM_PlayWholeTune)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);
BENCHMARK(BM_PlainDecode)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);
BENCHMARK(BM_FirstSample)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

HARMOVIA_RATIO("playback vs plain decode of the same seconds", "BM_PlayWholeTune",
               "BM_PlainDecode");

}  // namespace
}  // namespace harmovia
