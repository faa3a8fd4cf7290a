// ReadMp4Tags over a file holding the input inside its first quarter. The input's first
// byte places the rest: even at the file's start, odd across the 1 MiB seam between the
// reader's slices (the file is then a sparse 4 MiB and more).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

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
    const bool acrossSeam = (data[0] & 1) != 0;
    const std::span<const uint8_t> bytes(data + 1, size - 1);
    const uint64_t offset = acrossSeam ? kSeam - bytes.size() / 2 : 0;
    const uint64_t length = std::max<uint64_t>(kMp4MinimumLength, 4 * (offset + bytes.size()));
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
