#pragma once

// The MP3 tag reader: the first step of adding one .MP3 file. It claims the library's next
// slot, fills the identity fields and Artist, Title, Album and Genre from the ID3v2 tag, and
// decides whether the file is taken. It does not walk the tag frame by frame: it loads the
// file's first 20,000 bytes and searches them for the four frame identifiers, so the first
// occurrence of an identifier anywhere in those bytes is the frame that counts.
//
// Thread: the main thread (the add pipeline calls it in walk order); it writes the library.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "import/tag_file.h"
#include "library/tune_library.h"

namespace harmovia {

// Result codes of ReadMp3Tags (the add pipeline skips the file on any code but TagReadOk).
// On every code but TagReadOk, CurrentTuneIndex is back at its value before the call.
enum Mp3TagResult : int32_t {
    // The slot CurrentTuneIndex (claimed by this call) is filled; it stays under
    // construction until the pipeline commits it or gives it back.
    TagReadOk = 0,
    // No ID3v2 tag (the buffer's third byte is not "3"), a podcast (a version 2.3/2.4 genre
    // of "PODCAST" in any letter case), or the same Artist, Title and Album as an earlier
    // slot (1..CurrentTuneIndex - 1, byte-exact).
    TagReadRejected = 7,
    // A hidden name (leading ".") or an empty one, a file shorter than 50,001 bytes, a file
    // that cannot be opened or read (missing, vanished, not a regular file, read error), or
    // a full library. A hidden name and a full library never claim the slot.
    TagReadUnreadable = 37,
};

inline constexpr uint64_t kMp3MinimumLength = 50001;
inline constexpr size_t kMp3TagBufferSize = 20000;

// How a tag's frame headers are laid out, chosen by the buffer's fourth byte (the major
// version): 2 or less is version 2.2, 3 is 2.3, 4 or more is read as 2.4.
enum class Id3Layout {
    V22,  // three-letter identifiers, 24-bit frame sizes
    V23,  // four-letter identifiers, 32-bit frame sizes, two flag bytes
    V24,  // as V23 with syncsafe sizes (7 bits a byte)
};

// Reads the tags of the .MP3 file at `file` (an absolute path; its leaf name is the record's
// FileName) into the library's next slot. See Mp3TagResult; the second form also says why a
// file was not taken.
[[nodiscard]] int32_t ReadMp3Tags(Library& library, const std::filesystem::path& file);
[[nodiscard]] int32_t ReadMp3TagsWithReason(Library& library, const std::filesystem::path& file,
                                            TagRefusal& why);

// The offset just past the first occurrence of `bytes` in `buffer` at or after `start`;
// nothing when it does not occur there whole. Byte-exact.
std::optional<size_t> FindInBuffer(std::span<const uint8_t> buffer, size_t start,
                                   std::string_view bytes);

// The text of the frame whose identifier ends at `afterId` (as FindInBuffer returns it), at
// most 254 characters, decoded by the frame's encoding byte: 0 ISO-8859-1 (or UTF-8, see
// DecodeLatin1OrUtf8), 1 UTF-16 after its byte-order mark (big-endian without one), 2
// UTF-16BE, 3 UTF-8. Single-byte text ends at a zero byte or after the frame's size less
// one bytes; UTF-16 text at a zero unit (version 2.2 skips zero units instead) or after the
// frame's units, less the byte-order mark and, for 2.2, a terminator. Nothing means the
// frame holds no text ("Unknown"): its header is cut by the end of the buffer or its size
// leaves no room for a character. No read goes past the end of `buffer`; a text cut by it
// ends there.
std::optional<std::u32string> ExtractFrameText(std::span<const uint8_t> buffer, size_t afterId,
                                               Id3Layout layout);

// Artist, Title and Album as Mac Roman record texts.
struct TuneNames {
    std::string artist, title, album;
};

// The duplicate test of both readers: whether an earlier slot (1..slot - 1, committed or
// still under construction) has the same Artist, Title and Album as `slot`, byte for byte,
// or the same three as `asBefore` (the texts earlier versions would have stored, which a
// library saved by them holds).
bool HasEarlierTwin(const Library& library, int32_t slot, const TuneNames* asBefore = nullptr);

}  // namespace harmovia
