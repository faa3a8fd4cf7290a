// ReadMp4Tags over a file holding the input. The input's first byte places the rest: 0 at
// the file's start, 1 across the 1 MiB seam between the reader's slices (the file is then a
// sparse 4 MiB and more), 2 at the end of the file behind a media atom that covers its first
// three quarters, so that the walk over the top-level atoms reaches the input.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "import/mp4_tag_reader.h"
#include "tests/fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace harmovia;
    static const fuzzing::ScratchFile file("fuzz.m4a");
    static const std::unique_ptr<Library> library = fuzzing::LibraryWithTunes();
    constexpr uint64_t kSeam = uint64_t{1} << 20;

    if (size == 0) {
        return 0;
    }
    const int placement = data[0] % 3;
    const std::span<const uint8_t> input(data + 1, size - 1);
    std::vector<uint8_t> bytes(input.begin(), input.end());
    uint64_t offset = placement == 1 ? kSeam - bytes.size() / 2 : 0;
    uint64_t length = std::max<uint64_t>(kMp4MinimumLength, 4 * (offset + bytes.size()));
    if (placement == 2) {
        // "mdat" over the first three quarters, then the input up to the end.
        const uint64_t media = std::max<uint64_t>(kMp4MinimumLength, 3 * bytes.size());
        const uint8_t header[8] = {static_cast<uint8_t>(media >> 24),
                                   static_cast<uint8_t>(media >> 16),
                                   static_cast<uint8_t>(media >> 8),
                                   static_cast<uint8_t>(media),
                                   'm',
                                   'd',
                                   'a',
                                   't'};
        bytes.insert(bytes.begin(), media - 8, 0x21);
        bytes.insert(bytes.begin(), header, header + 8);
        length = bytes.size();
    }
    file.Write(bytes, offset, length);

    const int32_t before = library->CurrentTuneIndex;
    const int32_t code = ReadMp4Tags(*library, file.path());
    if (code != TagReadOk && code != Mp4TagNotTaken) {
        std::fprintf(stderr, "unexpected result %d\n", code);
        std::abort();
    }
    fuzzing::CheckAndReset(*library, before, code == TagReadOk, length, kFileKindMp4);
    return 0;
}
