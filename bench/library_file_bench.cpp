// Load and save of a full 2000-tune library (5.9 MB) against a raw read and a raw durable
// write of the same bytes.

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>

#include <benchmark/benchmark.h>

#include "bench/support/ratio_main.h"
#include "library/library_file.h"
#include "platform/app_folders.h"

#include <fcntl.h>
#include <unistd.h>

namespace harmovia {
namespace {

struct Fixture {
    std::filesystem::path folder;
    std::unique_ptr<Library> library = std::make_unique<Library>();
    std::vector<uint8_t> image;

    Fixture() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "harmovia-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        std::mt19937 random(5);
        std::array<uint8_t, kTuneRecordSize> bytes;
        for (int slot = 1; slot <= kMaxTunes; ++slot) {
            for (auto& b : bytes) {
                b = static_cast<uint8_t>(random());
            }
            DecodeTuneRecord(bytes, library->Slots.Write(slot));
        }
        library->TuneCount = library->CurrentTuneIndex = kMaxTunes;
        image = EncodeLibrary(*library);
        DiskFileSystem files;
        if (SaveLibrary(*library, files, folder) != kNoErr) {
            std::abort();
        }
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_LoadLibrary(benchmark::State& state) {
    Fixture& f = Shared();
    DiskFileSystem files;
    auto library = std::make_unique<Library>();
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadLibrary(*library, files, f.folder).tunesRead);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.image.size()));
}
BENCHMARK(BM_LoadLibrary)->Unit(benchmark::kMillisecond);

void BM_RawRead(benchmark::State& state) {
    Fixture& f = Shared();
    const auto file = f.folder / kLibraryFileName;
    std::vector<uint8_t> buffer(f.image.size());
    for (auto _ : state) {
        const int fd = ::open(file.c_str(), O_RDONLY);
        benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
        ::close(fd);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.image.size()));
}
BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond);

void BM_SaveLibrary(benchmark::State& state) {
    Fixture& f = Shared();
    DiskFileSystem files;
    for (auto _ : state) {
        if (SaveLibrary(*f.library, files, f.folder) != kNoErr) {
            state.SkipWithError("save failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.image.size()));
}
BENCHMARK(BM_SaveLibrary)->Unit(benchmark::kMillisecond);

// The floor a durable save cannot beat: one write of the image and an fsync.
void BM_RawDurableWrite(benchmark::State& state) {
    Fixture& f = Shared();
    const auto file = f.folder / "raw";
    for (auto _ : state) {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(::write(fd, f.image.data(), f.image.size()));
        ::fsync(fd);
        ::close(fd);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.image.size()));
}
BENCHMARK(BM_RawDurableWrite)->Unit(benchmark::kMillisecond);

HARMOVIA_RATIO("load vs raw read", "BM_LoadLibrary", "BM_RawRead");
HARMOVIA_RATIO("save vs raw durable write", "BM_SaveLibrary", "BM_RawDurableWrite");

}  // namespace
}  // namespace harmovia
