// ReadMp3Tags over a file whose first bytes are the input, padded with zeros to the
// smallest length the reader reads (50,001 bytes).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "import/mp3_tag_reader.h"
#include "tests/fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace harmovia;
    static const fuzzing::ScratchFile file("fuzz.mp3");
    static const std::unique_ptr<Library> library = fuzzing::LibraryWithTunes();

    const uint64_t length = std::max<uint64_t>(size, kMp3MinimumLength);
    file.Write({data, size}, 0, length);
    const int32_t before = library->CurrentTuneIndex;
    const int32_t code = ReadMp3Tags(*library, file.path());
    if (code != TagReadOk && code != TagReadRejected) {
        std::fprintf(stderr, "unexpected result %d for a readable file\n", code);
        std::abort();
    }
    fuzzing::CheckAndReset(*library, before, code == TagReadOk, length, kFileKindMp3);
    return 0;
}
