// The whole measurement of one MP3 tune (open, ten windows, twenty transforms and their
// significance steps) against the floor of decoding the same ten windows and running the
// same twenty transforms, measured in the same run.

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "analysis/sound_analysis.h"
#include "analysis/spectrum_transform.h"
#include "bench/support/ratio_main.h"
#include "platform/movie_ffmpeg.h"
#include "tests/support/test_audio.h"

#include <unistd.h>

namespace harmovia {
namespace {

// A four-minute 128 kbit/s stereo MP3 of a tone over pink noise, made once per run.
struct TuneFile {
    std::filesystem::path folder;
    std::filesystem::path file;
    std::unique_ptr<MovieFramework> framework = MakeFfmpegMovieFramework();

    TuneFile() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "harmovia-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        testing::TestAudio audio;
        audio.customSource =
            "anoisesrc=color=pink:amplitude=0.3:seed=7,volume=1[n];"
            "sine=f=330,volume=0.3[t];[n][t]amix=inputs=2";
        audio.seconds = 240;
        file = MakeTestAudio(folder / "tune.mp3", audio);
        if (framework->EnterMovies() != kNoErr) {
            std::abort();
        }
    }
    ~TuneFile() { std::filesystem::remove_all(folder); }

    std::unique_ptr<Movie> Open() {
        std::unique_ptr<Movie> movie;
        if (framework->OpenMovie(file, movie) != kNoErr) {
            std::abort();
        }
        return movie;
    }
};

TuneFile& Shared() {
    static TuneFile tune;
    return tune;
}

void BM_MeasureTune(benchmark::State& state) {
    TuneFile& tune = Shared();
    auto analysis = std::make_unique<SoundAnalysisState>();
    auto record = std::make_unique<TuneRecord>();
    for (auto _ : state) {
        auto movie = tune.Open();
        if (MeasureTune(*analysis, *movie, *record) != kNoErr) {
            state.SkipWithError("measurement failed");
        }
    }
}
BENCHMARK(BM_MeasureTune)->Unit(benchmark::kMillisecond);

// Opens the tune and extracts its ten windows into `block`, calling `take` after each.
template <class Take>
void DecodeWindows(TuneFile& tune, std::vector<uint8_t>& block, Take take) {
    auto movie = tune.Open();
    for (int position = 1; position <= kWindowsPerTune; ++position) {
        const auto start =
            static_cast<uint32_t>(movie->Duration() * WindowFraction(position) + 0.5);
        benchmark::DoNotOptimize(movie->ExtractSecond(start, block));
        take();
    }
}

// Opening and decoding the ten windows only.
void BM_DecodeOnly(benchmark::State& state) {
    TuneFile& tune = Shared();
    std::vector<uint8_t> block;
    for (auto _ : state) {
        DecodeWindows(tune, block, [] {});
    }
}
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond);

// The decode plus the twenty transforms no measurement can avoid.
void BM_DecodeAndTransforms(benchmark::State& state) {
    TuneFile& tune = Shared();
    std::vector<uint8_t> block;
    std::vector<double> spectrum(kSpectrumSize);
    for (auto _ : state) {
        DecodeWindows(tune, block, [&] {
            for (int pass = 0; pass < 2; ++pass) {
                for (size_t j = 0; j < kSpectrumPoints; ++j) {
                    spectrum[1 + 2 * j] = block[(84 + 2 * j) % block.size()];
                    spectrum[2 + 2 * j] = 0.0;
                }
                TransformSpectrum(SpectrumSpan(spectrum.data(), kSpectrumSize));
            }
        });
        benchmark::DoNotOptimize(spectrum.data());
    }
}
BENCHMARK(BM_DecodeAndTransforms)->Unit(benchmark::kMillisecond);

HARMOVIA_RATIO("tune vs floor", "BM_MeasureTune", "BM_DecodeAndTransforms");
HARMOVIA_RATIO("tune vs decode", "BM_MeasureTune", "BM_DecodeOnly");

}  // namespace
}  // namespace harmovia
