#pragma once

// What the file-fed fuzz targets share: a scratch folder of their own, one file in it that
// each run rewrites, and a library with a few committed tunes (so the duplicate test has
// something to compare). Built once per process; the fuzz targets run on one thread.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

#include "library/tune_library.h"

namespace harmovia::fuzzing {

class ScratchFile {
  public:
    explicit ScratchFile(const char* name);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Makes the file exactly `length` bytes: zeros with `bytes` at `offset` (cut to length).
    // Aborts when the file cannot be written: a fuzz run must not go on blind.
    void Write(std::span<const uint8_t> bytes, uint64_t offset, uint64_t length) const;

  private:
    std::filesystem::path folder_;
    std::filesystem::path path_;
};

// A library with three committed tunes: Unknown / "fuzz" / Unknown (what an untagged file
// named fuzz.* yields), and two others.
std::unique_ptr<Library> LibraryWithTunes();

// Aborts unless the reader kept the add protocol and the record's limits: on `accepted` one
// slot more than `before` (title, artist and album at most `maxText` characters, the genre
// within its slot, FileSize and FileKind set), otherwise CurrentTuneIndex back at `before`.
// Then gives the slot back for the next run.
void CheckAndReset(Library& library, int32_t before, bool accepted, uint64_t length, uint16_t kind,
                   int maxText = 254);

}  // namespace harmovia::fuzzing
