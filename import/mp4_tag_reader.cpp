#include "import/mp4_tag_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "import/tag_file.h"
#include "import/tag_text.h"

namespace harmovia {
namespace {

constexpr std::string_view kUnknown = "Unknown";

// Behind an atom name: the data atom's size (4), "data" (4), type flags and locale (8),
// then the text.
constexpr size_t kDataTypeLastLetter = 7;  // the "a" of "data"
constexpr size_t kTextOffset = 16;
constexpr size_t kGenreNumberLowByte = 17;
constexpr size_t kMaxTextChars = 255;  // a text that reaches this is "Unknown"
constexpr size_t kBytesNeededBehindName = kTextOffset + kMaxTextChars;

constexpr size_t kSliceSize = size_t{1} << 20;
constexpr size_t kNameLength = 4;

enum AtomName { kTitleAtom, kAlbumAtom, kArtistAtom, kGenreNumberAtom, kGenreTextAtom };
// Octal \251 is © (0xA9); unlike a hex escape it cannot swallow the letters behind it.
constexpr std::array<std::string_view, 5> kAtomNames = {"\251nam", "\251alb", "\251ART", "gnre",
                                                        "\251gen"};

// The first occurrence of an atom name in the quarter, with the bytes behind it that the
// reader may look at (cut at the end of the quarter, as one block would cut them).
struct AtomSighting {
    bool found = false;
    uint64_t end = 0;  // offset just past the name
    std::vector<uint8_t> behind;
};

// Searches bytes [0, limit) of the file for every atom name. False on a read failure.
bool FindAtomNames(const TagFile& file, uint64_t limit, std::array<AtomSighting, 5>& sightings) {
    // A name cut by a slice's end is found in the next slice, which starts with the last
    // kNameLength - 1 bytes of this one.
    constexpr size_t kCarry = kNameLength - 1;
    std::vector<uint8_t> slice(static_cast<size_t>(std::min<uint64_t>(limit, kSliceSize)) + kCarry);
    size_t carried = 0;
    uint64_t next = 0;  // file offset of the next byte to read
    const auto allFound = [&] {
        return std::all_of(sightings.begin(), sightings.end(),
                           [](const AtomSighting& s) { return s.found; });
    };
    // Stopping once every name is found gives the same first occurrences as a full search.
    while (next < limit && !allFound()) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(kSliceSize, limit - next));
        if (!file.ReadAt(next, std::span(slice).subspan(carried, n))) {
            return false;
        }
        const std::span<const uint8_t> view(slice.data(), carried + n);
        const uint64_t viewStart = next - carried;
        for (size_t i = 0; i < kAtomNames.size(); ++i) {
            if (!sightings[i].found) {
                if (const auto end = FindInBuffer(view, 0, kAtomNames[i])) {
                    sightings[i].found = true;
                    sightings[i].end = viewStart + *end;
                }
            }
        }
        next += n;
        const size_t keep = std::min(kCarry, view.size());
        std::memmove(slice.data(), view.data() + view.size() - keep, keep);
        carried = keep;
    }
    for (AtomSighting& s : sightings) {
        if (s.found) {
            s.behind.resize(
                static_cast<size_t>(std::min<uint64_t>(kBytesNeededBehindName, limit - s.end)));
            if (!file.ReadAt(s.end, s.behind)) {
                return false;
            }
        }
    }
    return true;
}

// The atom's text: from byte 16 behind the name up to a zero byte, at most 255 characters.
// Nothing ("Unknown") when it is empty or reaches 255 characters.
std::optional<std::string> AtomText(const AtomSighting& atom) {
    std::string text = TakeZeroEndedText(atom.behind, kTextOffset, kMaxTextChars);
    if (text.empty() || text.size() >= kMaxTextChars) {
        return std::nullopt;
    }
    return text;
}

std::string ConvertedOrUnknown(const AtomSighting& atom) {
    const std::optional<std::string> text = AtomText(atom);
    return text ? TagTextToMacRoman(*text).str() : std::string(kUnknown);
}

// A byte behind the name; a byte beyond the quarter reads as 0.
uint8_t ByteBehind(const AtomSighting& atom, size_t offset) {
    return offset < atom.behind.size() ? atom.behind[offset] : 0;
}

}  // namespace

std::string_view GenreNameForMp4Number(int32_t number) {
    struct Entry {
        int32_t number;
        std::string_view name;
    };
    static constexpr std::array<Entry, 18> kNames = {{
        {1, "Blues"},
        {3, "Country"},
        {4, "Dance"},
        {9, "Jazz"},
        {11, "New Age"},
        {13, "Other"},
        {14, "Pop"},
        {15, "R&B"},
        {17, "Reggae"},
        {18, "Rock"},
        {21, "Alternative"},
        {25, "Soundtrack"},
        {29, "Vocal"},
        {33, "Classical"},
        {34, "Instrumental"},
        {53, "Electronic"},
        {87, "Latin"},
        {99, "Easy Listening"},
    }};
    for (const Entry& e : kNames) {
        if (e.number == number) {
            return e.name;
        }
    }
    return kUnknown;
}

int32_t ReadMp4Tags(Library& library, const std::filesystem::path& file) {
    const std::optional<int32_t> slot = ClaimSlot(library);
    if (!slot) {
        return Mp4TagNotTaken;
    }
    const auto notTaken = [&library] {
        GiveBackSlot(library);
        return Mp4TagNotTaken;
    };
    const std::string fileName = file.filename().string();
    if (fileName.empty() || fileName.front() == '.') {
        return notTaken();
    }
    const std::optional<TagFile> opened = TagFile::Open(file);
    if (!opened || opened->Length() < kMp4MinimumLength) {
        return notTaken();
    }
    std::array<AtomSighting, 5> atoms;
    if (!FindAtomNames(*opened, opened->Length() / 4, atoms)) {
        return notTaken();
    }

    TuneRecord& record = library[*slot];
    WriteFileIdentity(record, fileName, *opened, kFileKindMp4);

    // Title, album and artist must all be found, in this order; a missing title leaves the
    // slot's old Title (the file is not taken then).
    bool taken = false;
    if (atoms[kTitleAtom].found) {
        record.Title.Set(ConvertedOrUnknown(atoms[kTitleAtom]));
        taken = true;
    }
    if (atoms[kAlbumAtom].found && taken) {
        record.Album.Set(ConvertedOrUnknown(atoms[kAlbumAtom]));
    } else {
        taken = false;
    }
    if (atoms[kArtistAtom].found && taken) {
        record.Artist.Set(ConvertedOrUnknown(atoms[kArtistAtom]));
    } else {
        taken = false;
    }

    const AtomSighting& number = atoms[kGenreNumberAtom];
    const AtomSighting& text = atoms[kGenreTextAtom];
    if (number.found && taken) {
        // A 16-bit number of which only the low byte counts.
        record.Genre.Set(GenreNameForMp4Number(ByteBehind(number, kGenreNumberLowByte)));
    } else if (!text.found || !taken) {
        record.Genre.Set(kUnknown);
    } else if (ByteBehind(text, kDataTypeLastLetter) == 'a') {
        // Kept as written, not converted; cut to the slot's 63 characters.
        const std::optional<std::string> genre = AtomText(text);
        record.Genre.Set(genre ? std::string_view(*genre) : kUnknown);
    } else {
        record.Genre.Set(GenreNameForMp4Number(ByteBehind(text, kDataTypeLastLetter)));
    }

    if (taken && HasEarlierTwin(library, *slot)) {
        taken = false;
    }
    return taken ? static_cast<int32_t>(TagReadOk) : notTaken();
}

}  // namespace harmovia
