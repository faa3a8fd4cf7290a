// ReadContainerTags over what a decoder might find: the input's first byte chooses the file's
// kind (bits 0-1), whether the decoder opened it (bit 2), whether the file is one byte short
// of the kind's minimum (bit 3) and which tags exist (bits 4-7); the second byte chooses the
// container; the rest, split at line breaks, are the title, artist, album and genre.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "import/container_tags.h"
#include "tests/fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace harmovia;
    static const fuzzing::ScratchFile file("fuzz.flac");
    static const std::unique_ptr<Library> library = fuzzing::LibraryWithTunes();
    if (size < 2) {
        return 0;
    }
    constexpr std::array kKinds = {MusicFileKind::Flac, MusicFileKind::Ogg, MusicFileKind::Wav,
                                   MusicFileKind::Aiff};
    const MusicFileKind kind = kKinds[data[0] & 3];
    const auto format =
        static_cast<MovieFormat>(data[1] % (static_cast<int>(MovieFormat::Aiff) + 1));
    std::optional<ContainerFacts> found;
    if ((data[0] & 4) != 0) {
        found = ContainerFacts{format, {}};
        std::array<std::optional<std::string>*, 4> tags = {&found->tags.title, &found->tags.artist,
                                                           &found->tags.album, &found->tags.genre};
        std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
        for (size_t i = 0; i < tags.size(); ++i) {
            const size_t end = std::min(rest.find('\n'), rest.size());
            if ((data[0] & (16 << i)) != 0) {
                *tags[i] = std::string(rest.substr(0, end));
            }
            rest.remove_prefix(std::min(end + 1, rest.size()));
        }
    }
    const uint64_t length = MinimumLength(kind) - ((data[0] & 8) != 0 ? 1 : 0);
    file.Write({}, 0, length);

    const int32_t before = library->CurrentTuneIndex;
    const TagRefusal refusal = ReadContainerTags(*library, file.path(), kind, found);
    constexpr uint16_t kKindOfFormat[] = {
        0, 0, 0, 0, kFileKindFlac, kFileKindVorbis, kFileKindOpus, kFileKindWav, kFileKindAiff};
    const bool accepted = refusal == TagRefusal::None;
    if (accepted && (!found || (data[0] & 8) != 0)) {
        std::fprintf(stderr, "took a file it could not have\n");
        std::abort();
    }
    fuzzing::CheckAndReset(*library, before, accepted, length,
                           accepted ? kKindOfFormat[static_cast<int>(format)] : 0,
                           /*maxText=*/255);  // texts are cut to their slots
    return 0;
}
