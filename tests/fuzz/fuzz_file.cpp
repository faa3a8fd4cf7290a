#include "tests/fuzz/fuzz_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace harmovia::fuzzing {
namespace {

[[noreturn]] void Fail(const char* why) {
    std::fprintf(stderr, "fuzz check failed: %s\n", why);
    std::abort();
}

}  // namespace

ScratchFile::ScratchFile(const char* name) {
    // Memory-backed when the system has it: rewriting a disk file on every run makes the file
    // system flush it each time and slows the fuzzer a hundredfold.
    std::error_code error;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "harmovia-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        Fail("mkdtemp");
    }
    folder_ = pattern;
    path_ = folder_ / name;
}

ScratchFile::~ScratchFile() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void ScratchFile::Write(std::span<const uint8_t> bytes, uint64_t offset, uint64_t length) const {
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        Fail("open scratch file");
    }
    // The file starts as a hole of `length` bytes (reads as zeros, costs no disk).
    bool ok = ::ftruncate(fd, static_cast<off_t>(length)) == 0;
    const size_t n = offset >= length
                         ? 0
                         : static_cast<size_t>(std::min<uint64_t>(bytes.size(), length - offset));
    size_t done = 0;
    while (ok && done < n) {
        const ssize_t w =
            ::pwrite(fd, bytes.data() + done, n - done, static_cast<off_t>(offset + done));
        ok = w > 0;
        done += ok ? static_cast<size_t>(w) : 0;
    }
    if (::close(fd) != 0 || !ok) {
        Fail("write scratch file");
    }
}

std::unique_ptr<Library> LibraryWithTunes() {
    auto library = std::make_unique<Library>();
    const struct {
        const char *artist, *title, *album;
    } tunes[] = {{"Unknown", "fuzz", "Unknown"}, {"A", "T", "B"}, {"", "x", "Unknown"}};
    for (const auto& t : tunes) {
        TuneRecord& r = (*library)[*ClaimSlot(*library)];
        r.Artist.Set(t.artist);
        r.Title.Set(t.title);
        r.Album.Set(t.album);
    }
    CommitTunes(*library);
    return library;
}

void CheckAndReset(Library& library, int32_t before, bool accepted, uint64_t length, uint16_t kind,
                   int maxText) {
    if (library.CurrentTuneIndex != before + (accepted ? 1 : 0)) {
        Fail("slot not claimed or not given back");
    }
    if (accepted) {
        const TuneRecord& r = library[library.CurrentTuneIndex];
        if (r.Artist.bytes[0] > maxText || r.Title.bytes[0] > maxText ||
            r.Album.bytes[0] > maxText || r.Genre.bytes[0] > 63) {
            Fail("text longer than the reader may write");
        }
        if (r.FileSize != length || r.FileKind != kind) {
            Fail("identity fields");
        }
        GiveBackSlot(library);
    }
}

}  // namespace harmovia::fuzzing
