#pragma once

// The tag reader of the kinds whose container holds the tags (FLAC, Ogg Vorbis and Opus,
// WAV, AIFF): the decoder reads them in the open that measures the tune, and this reader
// turns what it found into a claimed slot, with the refusals every kind shares. FLAC and
// Ogg files must name their title, album and artist, as M4A files must; WAV and AIFF files
// often carry no tags and are named after themselves when untitled, as .CAF files are.
// Texts are UTF-8 (a byte that is not is taken as Latin-1), converted to Mac Roman and cut
// to their slots; a genre is kept as text and matched by name when the tune is scored.
//
// Thread: the main thread (the add pipeline calls it in walk order); it writes the library.
// RefusalOfContainer touches no library and may run anywhere.

#include <cstdint>
#include <filesystem>
#include <optional>

#include "import/folder_walk.h"
#include "import/tag_file.h"
#include "library/tune_library.h"
#include "platform/movie.h"

namespace harmovia {

// The least length of a file of these kinds the add takes: 15 seconds of Ogg at 16 kbit/s;
// uncompressed or losslessly packed sound of 15 seconds is never that small.
inline constexpr uint64_t kOggMinimumLength = 30001;
inline constexpr uint64_t kLosslessMinimumLength = 100001;  // FLAC, WAV, AIFF
uint64_t MinimumLength(MusicFileKind kind);

// What the decoder found when it opened the file.
struct ContainerFacts {
    MovieFormat format = MovieFormat::Other;
    MovieTags tags;
};

// The refusals that need only the file's kind and what the decoder found: UnreadKind for a
// container the name does not promise (an MP3 named .flac, Speex in Ogg), NotTagged for FLAC
// or Ogg without title, album and artist, Podcast for a genre of "Podcast" in any letter
// case. None when they let the file pass.
TagRefusal RefusalOfContainer(MusicFileKind kind, const ContainerFacts& found);

// Claims the library's next slot and fills it for the file at `file` of kind `kind` (one
// of TagsComeWithSound's kinds) from `found`; nothing there means the decoder could not
// open the file. In this order: a hidden name, a file that cannot be opened, one under the
// kind's minimum length, one the decoder could not open, RefusalOfContainer, then the same
// Artist, Title and Album as an earlier slot. On any refusal the slot is given back.
[[nodiscard]] TagRefusal ReadContainerTags(Library& library, const std::filesystem::path& file,
                                           MusicFileKind kind,
                                           const std::optional<ContainerFacts>& found);

}  // namespace harmovia
