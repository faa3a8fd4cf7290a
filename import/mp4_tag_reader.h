#pragma once

// The MP4 tag reader: the first step of adding one .M4A file, the counterpart of
// ReadMp3Tags. It claims the library's next slot, fills the identity fields and the texts
// from the iTunes-style metadata atoms, and decides whether the file is taken. It does not
// walk the atom tree: it searches the first quarter of the file for the atom names "©nam",
// "©alb", "©ART", "gnre" and "©gen" (© is the byte 0xA9) and reads each found name's "data"
// atom at fixed distances behind it. When the first quarter holds no title atom (many
// encoders write the movie atom behind the audio), it walks the top-level atoms by their
// sizes, reading only their headers, and searches the movie atom instead. A file is taken
// only when its title, album and artist atoms are all found.
//
// Memory stays bounded whatever the file's size: the quarter is searched in slices, which
// finds exactly the first occurrences one block holding the whole quarter would.
//
// Thread: the main thread (the add pipeline calls it in walk order); it writes the library.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "import/mp3_tag_reader.h"
#include "library/tune_library.h"

namespace harmovia {

// Result codes of ReadMp4Tags. TagReadOk (0): the slot CurrentTuneIndex (claimed by this
// call) is filled and stays under construction until the pipeline commits it or gives it
// back.
enum Mp4TagResult : int32_t {
    // Not taken: a hidden or empty name, a file shorter than 100,001 bytes, a file that
    // cannot be opened or read, a full library, a title, album or artist atom missing from
    // the first quarter and from the movie atom, a damaged atom layout (a movie atom over
    // 16 MB, or sizes that run past the file), or the same Artist, Title and Album as an
    // earlier slot. The slot is
    // given back: CurrentTuneIndex is at its value before the call.
    Mp4TagNotTaken = 1,
};

inline constexpr uint64_t kMp4MinimumLength = 100001;

// Reads the tags of the .M4A file at `file` (an absolute path; its leaf name is the
// record's FileName) into the library's next slot. Returns TagReadOk or Mp4TagNotTaken;
// the second form also says why a file was not taken.
[[nodiscard]] int32_t ReadMp4Tags(Library& library, const std::filesystem::path& file);
[[nodiscard]] int32_t ReadMp4TagsWithReason(Library& library, const std::filesystem::path& file,
                                            TagRefusal& why);

// The genre name of an MP4 genre number (the ID3v1 number plus one); "Unknown" for every
// number the short table does not list.
std::string_view GenreNameForMp4Number(int32_t number);

}  // namespace harmovia
