#pragma once

// Tag bytes built by hand for the tag reader tests, the fuzz seeds and the benchmark.

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

// Text frame payloads: the encoding byte, the text, then (when `terminated`) its terminator.
Bytes Latin1Text(std::string_view text, bool terminated = true);            // encoding 0
Bytes Utf8Text(std::string_view text, bool terminated = true);              // encoding 3
Bytes Utf16LeText(std::u16string_view text, bool terminated = true);        // 1, mark FF FE
Bytes Utf16BeText(std::u16string_view text, bool terminated = true);        // 1, mark FE FF
Bytes Utf16BeNoMarkText(std::u16string_view text, bool terminated = true);  // 2 (2.4)

struct Id3Frame {
    std::string id;  // three letters for version 2.2, four otherwise
    Bytes payload;
    // Raw bytes for the size field instead of the payload's true size, for damaged frames.
    std::optional<Bytes> sizeField = std::nullopt;
};

// A whole ID3v2 tag of this major version holding the frames.
Bytes Id3Tag(int majorVersion, const std::vector<Id3Frame>& frames);

// `head` (usually a tag) followed by MPEG-like audio filler up to `length` bytes.
Bytes Mp3File(const Bytes& head, size_t length = 60000);

// An MP4 atom: a 32-bit big-endian size, the four-byte type, the payload.
Bytes Mp4Atom(std::string_view type, const Bytes& payload);
// A metadata item ("\251nam", "\251ART", ...) holding a UTF-8 "data" atom.
Bytes Mp4TextItem(std::string_view name, std::string_view text);
// A "gnre" item holding a 16-bit genre number.
Bytes Mp4GenreItem(uint16_t number);
// The movie atom ("moov") holding the items in moov/udta/meta/ilst.
Bytes Mp4MovieAtom(const std::vector<Bytes>& items);
// An .m4a file of exactly `length` bytes: "ftyp", then the movie atom before or after the
// media data.
Bytes M4aFile(const std::vector<Bytes>& items, bool metadataFirst, size_t length = 200000);

}  // namespace harmovia::testing
