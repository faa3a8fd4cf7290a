#pragma once

// Tag bytes built by hand, byte by byte, for the tag reader tests, the fuzz seeds and the
// benchmark: ID3v2 tags (versions 2.2, 2.3, 2.4) with text frames in every encoding, and
// MP4 files whose metadata atoms sit before or behind the audio.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harmovia::testing {

using Bytes = std::vector<uint8_t>;

Bytes BytesOf(std::string_view text);
Bytes Concat(std::initializer_list<Bytes> parts);

// Text frame payloads: the encoding byte, then the text, then (when `terminated`) its
// terminator. UTF-16 texts are given as UTF-16 units.
Bytes Latin1Text(std::string_view text, bool terminated = true);            // encoding 0
Bytes Utf8Text(std::string_view text, bool terminated = true);              // encoding 3
Bytes Utf16LeText(std::u16string_view text, bool terminated = true);        // 1, mark FF FE
Bytes Utf16BeText(std::u16string_view text, bool terminated = true);        // 1, mark FE FF
Bytes Utf16BeNoMarkText(std::u16string_view text, bool terminated = true);  // 2 (2.4)

struct Id3Frame {
    std::string id;  // three letters for version 2.2, four otherwise
    Bytes payload;
    // Raw bytes for the size field instead of the payload's true size in the version's
    // encoding (3 bytes for 2.2, 4 otherwise), for damaged or oddly written frames.
    std::optional<Bytes> sizeField = std::nullopt;
};

// A whole ID3v2 tag: "ID3", the major version, revision 0, flags 0, the syncsafe tag size,
// then the frames. Frame sizes are 24-bit (2.2), 32-bit (2.3) or syncsafe (2.4 and later).
Bytes Id3Tag(int majorVersion, const std::vector<Id3Frame>& frames);

// `head` (usually a tag) followed by MPEG-like audio filler up to `length` bytes.
Bytes Mp3File(const Bytes& head, size_t length = 60000);

// MP4 atoms: a 32-bit big-endian size, the four-byte type, the payload.
Bytes Mp4Atom(std::string_view type, const Bytes& payload);
// A metadata item ("\251nam", "\251ART", ...) holding a UTF-8 "data" atom.
Bytes Mp4TextItem(std::string_view name, std::string_view text);
// A "gnre" item holding a 16-bit genre number.
Bytes Mp4GenreItem(uint16_t number);
// The movie atom ("moov") holding the items in moov/udta/meta/ilst.
Bytes Mp4MovieAtom(const std::vector<Bytes>& items);
// An .m4a file of exactly `length` bytes: "ftyp", then the movie atom holding the items
// (in moov/udta/meta/ilst) either before the media data or after it.
Bytes M4aFile(const std::vector<Bytes>& items, bool metadataFirst, size_t length = 200000);

}  // namespace harmovia::testing
