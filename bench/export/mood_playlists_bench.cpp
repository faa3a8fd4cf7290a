// The nine mood playlists of a full 2000-tune library: building their texts (entries
// relative to the playlists, and absolute) against copying the bare paths into nine texts;
// and writing them (every file replaced, and every file found unchanged) against nine raw
// durable writes of the same bytes. All in the same run.

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/support/ratio_main.h"
#include "bench/support/synthetic_library.h"
#include "export/mood_playlists.h"

#include <fcntl.h>
#include <unistd.h>

namespace harmovia {
namespace {

const std::filesystem::path kMusic = "/home/user/Music";
const std::filesystem::path kPlaylists = kMusic / "Playlists";

struct Fixture {
    std::unique_ptr<Library> library = std::make_unique<Library>();
    std::filesystem::path folder;
    MoodPlaylistTexts texts;
    MoodPlaylistTexts otherTexts;  // the same files with one tune fewer each

    Fixture() {
        bench::FillSyntheticLibrary(*library, kMaxTunes);
        for (int32_t slot = 1; slot <= library->TuneCount; ++slot) {
            TuneRecord& r = library->Slots.Write(slot);
            // One tune in ten lies outside the music folder, as a download or a stick does.
            const std::filesystem::path root = slot % 10 == 0 ? "/media/usb" : kMusic;
            const std::string title(r.Title.view());
            r.Location.Set((root / r.Artist.view() / r.Album.view() / (title + ".mp3")).string());
        }
        std::string pattern =
            (std::filesystem::temp_directory_path() / "harmovia-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        texts = BuildMoodPlaylists(*library, kPlaylists, kMusic);
        otherTexts = texts;
        for (std::string& text : otherTexts.text) {
            text.resize(text.rfind("#EXTINF") == std::string::npos ? text.size()
                                                                   : text.rfind("#EXTINF"));
        }
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_BuildMoodPlaylists(benchmark::State& state) {
    const Library& library = *Shared().library;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildMoodPlaylists(library, kPlaylists, kMusic));
    }
}
BENCHMARK(BM_BuildMoodPlaylists)->Unit(benchmark::kMillisecond);

void BM_BuildMoodPlaylistsAbsolute(benchmark::State& state) {
    const Library& library = *Shared().library;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildMoodPlaylists(library, kPlaylists, std::nullopt));
    }
}
BENCHMARK(BM_BuildMoodPlaylistsAbsolute)->Unit(benchmark::kMillisecond);

// The floor of any playlist text: the header and each tune's bare path, sorted by mood.
void BM_CopyPaths(benchmark::State& state) {
    const Library& library = *Shared().library;
    for (auto _ : state) {
        std::array<std::string, kMoodCount + 1> texts;
        for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
            const TuneRecord& r = library[slot];
            std::string& text = texts[static_cast<size_t>(MoodOrNone(r.Mood))];
            text += r.Location.view();
            text += '\n';
        }
        benchmark::DoNotOptimize(texts);
    }
}
BENCHMARK(BM_CopyPaths)->Unit(benchmark::kMillisecond);

// Every iteration changes every file, so all nine are replaced.
void BM_WriteMoodPlaylists(benchmark::State& state) {
    Fixture& f = Shared();
    DiskFileSystem files;
    bool other = false;
    for (auto _ : state) {
        other = !other;
        if (WriteMoodPlaylists(other ? f.otherTexts : f.texts, f.folder, files).failed > 0) {
            state.SkipWithError("write failed");
        }
    }
}
BENCHMARK(BM_WriteMoodPlaylists)->Unit(benchmark::kMillisecond);

// Nothing changed since the last rewrite: nine reads and compares, no write.
void BM_WriteMoodPlaylistsUnchanged(benchmark::State& state) {
    Fixture& f = Shared();
    DiskFileSystem files;
    (void)WriteMoodPlaylists(f.texts, f.folder, files);
    for (auto _ : state) {
        benchmark::DoNotOptimize(WriteMoodPlaylists(f.texts, f.folder, files).failed);
    }
}
BENCHMARK(BM_WriteMoodPlaylistsUnchanged)->Unit(benchmark::kMillisecond);

// The floor a durable replace cannot beat: each text written once and flushed.
void BM_RawDurableWrites(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        for (int mood = 1; mood <= kMoodCount; ++mood) {
            const std::string& text = f.texts.text[static_cast<size_t>(mood)];
            const auto file = f.folder / ("raw" + std::to_string(mood));
            const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            benchmark::DoNotOptimize(::write(fd, text.data(), text.size()));
            ::fsync(fd);
            ::close(fd);
        }
    }
}
BENCHMARK(BM_RawDurableWrites)->Unit(benchmark::kMillisecond);

HARMOVIA_RATIO("build vs bare paths", "BM_BuildMoodPlaylists", "BM_CopyPaths");
HARMOVIA_RATIO("write vs raw durable writes", "BM_WriteMoodPlaylists", "BM_RawDurableWrites");

}  // namespace
}  // namespace harmovia
