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

bool IsEmptyOrBlank(std::string_view text) {
    return text.empty() || text == " ";
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

bool HasEarlierTwin(const Library& library, int32_t slot) {
    const TuneRecord& record = library[slot];
    for (int32_t earlier = 1; earlier < slot; ++earlier) {
        const TuneRecord& other = library[earlier];
        if (other.Artist.view() == record.Artist.view() &&
            other.Title.view() == record.Title.view() &&
            other.Album.view() == record.Album.view()) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> ExtractFrameText(std::span<const uint8_t> buffer, size_t afterId,
                                            Id3Layout layout) {
    const bool v22 = layout == Id3Layout::V22;
    const size_t sizeBytes = v22 ? 3 : 4;
    // Size field, the two flag bytes of 2.3/2.4, the encoding byte.
    const size_t textAt = afterId + (v22 ? 4 : 7);
    if (afterId > buffer.size() || textAt > buffer.size()) {
        return std::nullopt;
    }
    const int64_t s = FrameSize(buffer.subspan(afterId, sizeBytes), layout);
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

int32_t ReadMp3Tags(Library& library, const std::filesystem::path& file) {
    const std::string fileName = file.filename().string();
    if (fileName.empty() || fileName.front() == '.') {
        return TagReadUnreadable;
    }
    const std::optional<int32_t> slot = ClaimSlot(library);
    if (!slot) {
        return TagReadUnreadable;
    }
    const auto reject = [&library](int32_t code) {
        GiveBackSlot(library);
        return code;
    };

    std::array<uint8_t, kMp3TagBufferSize> buffer;
    std::optional<TagFile> opened = TagFile::Open(file);
    if (!opened || opened->Length() < kMp3MinimumLength || !opened->ReadAt(0, buffer)) {
        return reject(TagReadUnreadable);
    }
    // Bytes 0 and 1 ("ID") are not looked at: only the last letter of the marker counts.
    if (buffer[2] != '3') {
        return reject(TagReadRejected);
    }
    const Id3Layout layout = buffer[3] <= 2   ? Id3Layout::V22
                             : buffer[3] == 3 ? Id3Layout::V23
                                              : Id3Layout::V24;
    const bool v22 = layout == Id3Layout::V22;
    const FrameIds& ids = v22 ? kV22Ids : kV23Ids;

    TuneRecord& record = library[*slot];
    WriteFileIdentity(record, fileName, *opened, kFileKindMp3);
    opened.reset();

    // The frame's text; nothing when the frame is missing or holds no text.
    const auto frameText = [&](std::string_view id) -> std::optional<std::string> {
        const std::optional<size_t> at = FindInBuffer(buffer, 0, id);
        return at ? ExtractFrameText(buffer, *at, layout) : std::nullopt;
    };
    // A text that is missing, empty or one blank is "Unknown".
    const auto textOrUnknown = [](const std::optional<std::string>& text) -> std::string {
        if (!text || IsEmptyOrBlank(*text)) {
            return std::string(kUnknown);
        }
        return TagTextToMacRoman(*text).str();
    };

    // Versions 2.3/2.4 keep an empty or one-blank artist as it is.
    const std::optional<std::string> artist = frameText(ids.artist);
    if (!artist || (v22 && IsEmptyOrBlank(*artist))) {
        record.Artist.Set(kUnknown);
    } else {
        record.Artist.Set(TagTextToMacRoman(*artist));
    }

    record.Title.Set(textOrUnknown(frameText(ids.title)));
    if (record.Title.view() == kUnknown) {
        record.Title.Set(TitleFromFileName(fileName));
    }

    record.Album.Set(textOrUnknown(frameText(ids.album)));

    const std::optional<std::string> genre = frameText(ids.genre);
    if (!v22 && genre && UpperCasedString(*genre) == "PODCAST") {
        return reject(TagReadRejected);
    }
    record.Genre.Set(textOrUnknown(genre));  // cut to the slot's 63 characters

    if (HasEarlierTwin(library, *slot)) {
        return reject(TagReadRejected);
    }
    return TagReadOk;
}

}  // namespace harmovia
