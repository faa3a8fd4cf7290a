// Tag reading of 2000 files already in the page cache, per reader, against a raw read of the
// bytes each reader needs (open, read, close). The library holds 1000 tunes, so the
// duplicate test scans as it would midway through a full add.
//   MP3: 60,000-byte files, a 4 KB picture and four text frames; the reader reads 20,000 bytes.
//   M4A: 4 MiB files (sparse) with the metadata first. With all five atom names present the
//        search stops early; without a "gnre" atom (ffmpeg never writes one) it reads the
//        whole first quarter, 1 MiB.

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/support/ratio_main.h"
#include "import/mp3_tag_reader.h"
#include "import/mp4_tag_reader.h"
#include "tests/import/tag_builders.h"

#include <fcntl.h>
#include <unistd.h>

namespace harmovia {
namespace {

using namespace harmovia::testing;

constexpr int kFiles = 2000;
constexpr uint64_t kM4aLength = 4u << 20;

void WriteSparse(const std::filesystem::path& file, const Bytes& head, uint64_t length) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, head.data(), head.size()) != static_cast<ssize_t>(head.size()) ||
        ::ftruncate(fd, static_cast<off_t>(length)) != 0 || ::close(fd) != 0) {
        std::abort();
    }
}

struct Fixture {
    std::filesystem::path folder;
    std::vector<std::filesystem::path> mp3, m4aAll, m4aNoNumber;
    std::unique_ptr<Library> library = std::make_unique<Library>();

    Fixture() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "harmovia-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        for (int i = 0; i < kFiles; ++i) {
            const std::string n = std::to_string(i);
            mp3.push_back(folder / ("tune" + n + ".mp3"));
            const Bytes tag = Id3Tag(3, {{"APIC", Bytes(4096, 0x11)},
                                         {"TPE1", Latin1Text("Artist " + n)},
                                         {"TIT2", Latin1Text("Title " + n)},
                                         {"TALB", Latin1Text("Album " + n)},
                                         {"TCON", Latin1Text("Jazz")}});
            WriteSparse(mp3.back(), Mp3File(tag), 60000);
            const std::vector<Bytes> items = {
                Mp4TextItem("\251nam", "Title " + n), Mp4TextItem("\251alb", "Album " + n),
                Mp4TextItem("\251ART", "Artist " + n), Mp4TextItem("\251gen", "Jazz")};
            std::vector<Bytes> withNumber = items;
            withNumber.push_back(Mp4GenreItem(9));
            m4aAll.push_back(folder / ("all" + n + ".m4a"));
            WriteSparse(m4aAll.back(), M4aFile(withNumber, true, 4096), kM4aLength);
            m4aNoNumber.push_back(folder / ("text" + n + ".m4a"));
            WriteSparse(m4aNoNumber.back(), M4aFile(items, true, 4096), kM4aLength);
        }
        for (int slot = 1; slot <= kFiles / 2; ++slot) {
            TuneRecord& r = library->Slots.Write(*ClaimSlot(*library));
            r.Artist.Set("Other artist " + std::to_string(slot));
            r.Title.Set("Title " + std::to_string(slot));
            r.Album.Set("Album " + std::to_string(slot));
        }
        CommitTunes(*library);
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

template <class Reader>
void ReadAll(benchmark::State& state, const std::vector<std::filesystem::path>& files,
             Reader read) {
    Fixture& f = Shared();
    for (const auto& file : files) {  // into the page cache
        static_cast<void>(read(*f.library, file));
        f.library->CurrentTuneIndex = f.library->TuneCount;
    }
    for (auto _ : state) {
        for (const auto& file : files) {
            if (read(*f.library, file) != TagReadOk) {
                state.SkipWithError("a file was not taken");
                return;
            }
            f.library->CurrentTuneIndex = f.library->TuneCount;
        }
    }
    state.counters["per_file"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kFiles,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Open, read `bytes` from the start in slices of at most 1 MiB, close.
void RawReadAll(benchmark::State& state, const std::vector<std::filesystem::path>& files,
                size_t bytes) {
    std::vector<uint8_t> buffer(std::min<size_t>(bytes, 1u << 20));
    for (auto _ : state) {
        for (const auto& file : files) {
            const int fd = ::open(file.c_str(), O_RDONLY);
            for (size_t done = 0; done < bytes;) {
                const ssize_t n = ::pread(fd, buffer.data(), std::min(buffer.size(), bytes - done),
                                          static_cast<off_t>(done));
                if (n <= 0) {
                    break;
                }
                done += static_cast<size_t>(n);
            }
            ::close(fd);
        }
    }
    state.counters["per_file"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kFiles,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Mp3Tags(benchmark::State& state) {
    ReadAll(state, Shared().mp3, ReadMp3Tags);
}
void BM_Mp3RawRead(benchmark::State& state) {
    RawReadAll(state, Shared().mp3, kMp3TagBufferSize);
}
void BM_M4aTagsAllAtoms(benchmark::State& state) {
    ReadAll(state, Shared().m4aAll, ReadMp4Tags);
}
void BM_M4aTagsNoGenreNumber(benchmark::State& state) {
    ReadAll(state, Shared().m4aNoNumber, ReadMp4Tags);
}
void BM_M4aRawReadQuarter(benchmark::State& state) {
    RawReadAll(state, Shared().m4aNoNumber, kM4aLength / 4);
}

BENCHMARK(BM_Mp3Tags)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Mp3RawRead)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_M4aTagsAllAtoms)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_M4aTagsNoGenreNumber)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_M4aRawReadQuarter)->Unit(benchmark::kMillisecond)->MinTime(1.0);

HARMOVIA_RATIO("MP3 tags vs raw read of 20,000 bytes", "BM_Mp3Tags", "BM_Mp3RawRead");
HARMOVIA_RATIO("M4A tags (no gnre) vs raw read of the quarter", "BM_M4aTagsNoGenreNumber",
               "BM_M4aRawReadQuarter");

}  // namespace
}  // namespace harmovia
