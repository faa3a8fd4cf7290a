#include "import/mp3_tag_reader.h"

#include <algorithm>
#include <array>
#include <optional>

#include "import/tag_file.h"
#include "import/tag_text.h"
#include "library/mac_roman.h"

namespace harmovia {
namespace {

constexpr size_t kMaxFrameChars = 254;
constexpr std::string_view kUnknown = "Unknown";

struct FrameIds {
    std::string_view artist, title, album, genre;
};
constexpr FrameIds kV22Ids{"TP1", "TT2", "TAL", "TCO"};
constexpr FrameIds kV23Ids{"TPE1", "TIT2", "TALB", "TCON"};

// The frame's size field, read whole. Version 2.4 sizes are syncsafe; a size with a high
// bit set cannot be syncsafe (some writers put plain sizes into 2.4 tags) and is read plain.
int64_t FrameSize(std::span<const uint8_t> field, Id3Layout layout) {
    const bool syncsafe =
        layout == Id3Layout::V24 &&
        std::none_of(field.begin(), field.end(), [](uint8_t b) { return (b & 0x80) != 0; });
    int64_t size = 0;
    for (const uint8_t b : field) {
        size = syncsafe ? (size << 7) | b : (size << 8) | b;
    }
    return size;
}

// Every second byte from `start` (the low bytes of little-endian UTF-16 units), up to a
// zero byte or `count` characters.
std::string TakeLowBytes(std::span<const uint8_t> buffer, size_t start, size_t count) {
    std::string text;
    for (size_t i = start; i < buffer.size() && text.size() < count && buffer[i] != 0; i += 2) {
        text.push_back(static_cast<char>(buffer[i]));
    }
    return text;
}

// The non-zero bytes from `start` on, zero bytes skipped, up to `count` characters.
std::string TakeNonZeroBytes(std::span<const uint8_t> buffer, size_t start, size_t count) {
    std::string text;
    for (size_t i = start; i < buffer.size() && text.size() < count; ++i) {
        if (buffer[i] != 0) {
            text.push_back(static_cast<char>(buffer[i]));
        }
    }
    return text;
}

size_t CharLimit(int64_t count) {
    return static_cast<size_t>(std::min<int64_t>(count, kMaxFrameChars));
}

template <class Text>
bool IsEmptyOrBlank(const Text& text) {
    return text.empty() || (text.size() == 1 && text[0] == ' ');
}

constexpr uint8_t kEncodingUtf16 = 1;    // with a byte-order mark
constexpr uint8_t kEncodingUtf16Be = 2;  // big-endian, no mark
constexpr uint8_t kEncodingUtf8 = 3;

// UTF-16 units from `start`, up to `count` of them; a zero unit ends the text or, without
// `zeroEnds`, is skipped.
std::u16string TakeUtf16Units(std::span<const uint8_t> buffer, size_t start, size_t count,
                              bool bigEndian, bool zeroEnds) {
    std::u16string units;
    for (size_t i = start; i + 1 < buffer.size() && units.size() < count; i += 2) {
        const auto unit = static_cast<char16_t>(bigEndian ? (buffer[i] << 8) | buffer[i + 1]
                                                          : (buffer[i + 1] << 8) | buffer[i]);
        if (unit == 0 && zeroEnds) {
            break;
        }
        if (unit != 0) {
            units.push_back(unit);
        }
    }
    return units;
}

// Where a text frame's text starts (past the size field, the two flag bytes of 2.3/2.4 and
// the encoding byte) and the frame's size; nothing when the buffer ends before the text.
struct FrameText {
    size_t textAt;
    int64_t size;
};

std::optional<FrameText> LocateFrameText(std::span<const uint8_t> buffer, size_t afterId,
                                         Id3Layout layout) {
    const bool v22 = layout == Id3Layout::V22;
    const size_t textAt = afterId + (v22 ? 4 : 7);
    if (afterId > buffer.size() || textAt > buffer.size()) {
        return std::nullopt;
    }
    return FrameText{textAt, FrameSize(buffer.subspan(afterId, v22 ? 3 : 4), layout)};
}

// The frame's raw bytes as earlier versions took them, looking only at the first text byte
// (0xFF: the low byte of each little-endian UTF-16 unit); what libraries saved by them
// hold came from these bytes.
std::optional<std::string> LegacyFrameBytes(std::span<const uint8_t> buffer, size_t afterId,
                                            Id3Layout layout) {
    const bool v22 = layout == Id3Layout::V22;
    const std::optional<FrameText> frame = LocateFrameText(buffer, afterId, layout);
    if (!frame) {
        return std::nullopt;
    }
    const auto [textAt, s] = *frame;
    const bool utf16 = textAt < buffer.size() && buffer[textAt] == 0xFF;

    if (utf16 && !v22) {
        const int64_t count = (s - 3) / 2;  // less the encoding byte and byte-order mark
        if (count < 1) {
            return std::nullopt;
        }
        const bool markComplete = textAt + 1 < buffer.size() && buffer[textAt + 1] == 0xFE;
        return TakeLowBytes(buffer, textAt + (markComplete ? 2 : 3), CharLimit(count));
    }
    if (utf16) {
        // Less the encoding byte, the byte-order mark and a two-byte terminator: a text
        // written without the terminator loses its last character.
        const int64_t count = (s - 1) / 2 - 2;
        if (count < 1) {
            return std::nullopt;
        }
        return TakeNonZeroBytes(buffer, textAt + 2, CharLimit(count));
    }
    const int64_t count = s - 1;  // less the encoding byte
    if (count < 1) {
        return std::nullopt;
    }
    return TakeZeroEndedText(buffer, textAt, CharLimit(count));
}

}  // namespace

std::optional<size_t> FindInBuffer(std::span<const uint8_t> buffer, size_t start,
                                   std::string_view bytes) {
    const std::string_view haystack(reinterpret_cast<const char*>(buffer.data()), buffer.size());
    if (start > haystack.size()) {
        return std::nullopt;
    }
    const size_t at = haystack.find(bytes, start);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    return at + bytes.size();
}

bool HasEarlierTwin(const Library& library, int32_t slot, const TuneNames* asBefore) {
    const TuneRecord& record = library[slot];
    for (int32_t earlier = 1; earlier < slot; ++earlier) {
        const TuneRecord& other = library[earlier];
        if (other.Artist.view() == record.Artist.view() &&
            other.Title.view() == record.Title.view() &&
            other.Album.view() == record.Album.view()) {
            return true;
        }
        if (asBefore && other.Artist.view() == asBefore->artist &&
            other.Title.view() == asBefore->title && other.Album.view() == asBefore->album) {
            return true;
        }
    }
    return false;
}

std::optional<std::u32string> ExtractFrameText(std::span<const uint8_t> buffer, size_t afterId,
                                               Id3Layout layout) {
    const bool v22 = layout == Id3Layout::V22;
    const std::optional<FrameText> frame = LocateFrameText(buffer, afterId, layout);
    if (!frame) {
        return std::nullopt;
    }
    const auto [textAt, s] = *frame;
    const uint8_t encoding = buffer[textAt - 1];

    if (encoding == kEncodingUtf16 || encoding == kEncodingUtf16Be) {
        const auto at = [&](size_t i) { return i < buffer.size() ? buffer[i] : 0; };
        const bool little = at(textAt) == 0xFF && at(textAt + 1) == 0xFE;
        const bool marked = encoding == kEncodingUtf16 &&
                            (little || (at(textAt) == 0xFE && at(textAt + 1) == 0xFF));
        // Less the encoding byte and the byte-order mark; version 2.2 also less a two-byte
        // terminator, so that a text written without one loses its last character.
        const int64_t count =
            marked ? (v22 ? (s - 1) / 2 - 2 : (s - 3) / 2) : (v22 ? (s - 1) / 2 - 1 : (s - 1) / 2);
        if (count < 1) {
            return std::nullopt;
        }
        // Version 2.2 skips zero units; later versions end the text at one.
        return DecodeUtf16(TakeUtf16Units(buffer, textAt + (marked ? 2 : 0), CharLimit(count),
                                          !little, /*zeroEnds=*/!v22));
    }
    const int64_t count = s - 1;  // bytes, less the encoding byte
    if (count < 1) {
        return std::nullopt;
    }
    const std::string bytes = TakeZeroEndedText(buffer, textAt, static_cast<size_t>(count));
    std::u32string text =
        encoding == kEncodingUtf8 ? DecodeUtf8OrLatin1(bytes) : DecodeLatin1OrUtf8(bytes);
    text.resize(std::min(text.size(), kMaxFrameChars));
    return text;
}

int32_t ReadMp3Tags(Library& library, const std::filesystem::path& file) {
    TagRefusal ignored = TagRefusal::None;
    return ReadMp3TagsWithReason(library, file, ignored);
}

int32_t ReadMp3TagsWithReason(Library& library, const std::filesystem::path& file,
                              TagRefusal& refusal) {
    refusal = TagRefusal::None;
    const std::string fileName = file.filename().string();
    if (fileName.empty() || fileName.front() == '.') {
        refusal = TagRefusal::HiddenName;
        return TagReadUnreadable;
    }
    const std::optional<int32_t> slot = ClaimSlot(library);
    if (!slot) {
        refusal = TagRefusal::LibraryFull;
        return TagReadUnreadable;
    }
    const auto reject = [&](int32_t code, TagRefusal reason) {
        GiveBackSlot(library);
        refusal = reason;
        return code;
    };

    std::array<uint8_t, kMp3TagBufferSize> buffer;
    int openError = 0;
    std::optional<TagFile> opened = TagFile::Open(file, &openError);
    if (!opened) {
        return reject(TagReadUnreadable, RefusalOfOpenError(openError));
    }
    if (opened->Length() < kMp3MinimumLength) {
        return reject(TagReadUnreadable, TagRefusal::TooSmall);
    }
    if (!opened->ReadAt(0, buffer)) {
        return reject(TagReadUnreadable, TagRefusal::Unreadable);
    }
    // Bytes 0 and 1 ("ID") are not looked at: only the last letter of the marker counts.
    if (buffer[2] != '3') {
        return reject(TagReadRejected, TagRefusal::NotTagged);
    }
    const Id3Layout layout = buffer[3] <= 2   ? Id3Layout::V22
                             : buffer[3] == 3 ? Id3Layout::V23
                                              : Id3Layout::V24;
    const bool v22 = layout == Id3Layout::V22;
    const FrameIds& ids = v22 ? kV22Ids : kV23Ids;

    TuneRecord& record = library.Slots.Write(*slot);
    WriteFileIdentity(record, fileName, *opened, kFileKindMp3);
    opened.reset();

    // A field's text, and the text earlier versions stored for it (for the duplicate test).
    struct FieldText {
        std::optional<std::u32string> text;
        std::optional<std::string> legacy;
    };
    const auto frameText = [&](std::string_view id) -> FieldText {
        const std::optional<size_t> at = FindInBuffer(buffer, 0, id);
        if (!at) {
            return {};
        }
        return {ExtractFrameText(buffer, *at, layout), LegacyFrameBytes(buffer, *at, layout)};
    };
    // A text that is missing, empty or one blank is "Unknown".
    const auto textOrUnknown = [](const FieldText& field) -> std::string {
        return !field.text || IsEmptyOrBlank(*field.text) ? std::string(kUnknown)
                                                          : TagTextToMacRoman(*field.text).str();
    };
    const auto legacyOrUnknown = [](const FieldText& field) -> std::string {
        return !field.legacy || IsEmptyOrBlank(*field.legacy)
                   ? std::string(kUnknown)
                   : LegacyTagTextToMacRoman(*field.legacy).str();
    };

    // Versions 2.3/2.4 keep an empty or one-blank artist as it is.
    const FieldText artist = frameText(ids.artist);
    record.Artist.Set(!artist.text || (v22 && IsEmptyOrBlank(*artist.text))
                          ? std::string(kUnknown)
                          : TagTextToMacRoman(*artist.text).str());
    TuneNames asBefore;
    asBefore.artist = !artist.legacy || (v22 && IsEmptyOrBlank(*artist.legacy))
                          ? std::string(kUnknown)
                          : LegacyTagTextToMacRoman(*artist.legacy).str();

    const FieldText title = frameText(ids.title);
    record.Title.Set(textOrUnknown(title));
    if (record.Title.view() == kUnknown) {
        record.Title.Set(TitleFromFileName(fileName));
    }
    asBefore.title = legacyOrUnknown(title);
    if (asBefore.title == kUnknown) {
        asBefore.title = TitleFromFileName(fileName);
    }

    const FieldText album = frameText(ids.album);
    record.Album.Set(textOrUnknown(album));
    asBefore.album = legacyOrUnknown(album);

    const FieldText genre = frameText(ids.genre);
    if (!v22 && genre.text &&
        UpperCasedString(TagTextToMacRoman(*genre.text).view()) == "PODCAST") {
        return reject(TagReadRejected, TagRefusal::Podcast);
    }
    record.Genre.Set(textOrUnknown(genre));  // cut to the slot's 63 characters

    if (HasEarlierTwin(library, *slot, &asBefore)) {
        return reject(TagReadRejected, TagRefusal::Duplicate);
    }
    return TagReadOk;
}

}  // namespace harmovia
