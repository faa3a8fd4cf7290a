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
// Enough UTF-8 bytes for 255 characters of four bytes each.
constexpr size_t kBytesNeededBehindName = kTextOffset + 4 * kMaxTextChars;

// The movie atom read whole when the tags are not in the first quarter; a bigger one is
// taken as damaged (real ones hold a few hundred kilobytes of tables and a cover picture).
constexpr uint64_t kMaxMovieAtomSize = uint64_t{16} << 20;
// Top-level atoms walked to find it; real files have a handful.
constexpr int kMaxTopLevelAtoms = 4096;

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

// Searches one block (the movie atom) for every atom name, as FindAtomNames does the file.
void FindAtomNamesInBlock(std::span<const uint8_t> block, std::array<AtomSighting, 5>& sightings) {
    for (size_t i = 0; i < kAtomNames.size(); ++i) {
        sightings[i] = {};
        if (const auto end = FindInBuffer(block, 0, kAtomNames[i])) {
            const size_t n = std::min(kBytesNeededBehindName, block.size() - *end);
            sightings[i] = {true,
                            *end,
                            {block.begin() + static_cast<ptrdiff_t>(*end),
                             block.begin() + static_cast<ptrdiff_t>(*end + n)}};
        }
    }
}

uint64_t BigEndianNumber(std::span<const uint8_t> bytes) {
    uint64_t value = 0;
    for (const uint8_t b : bytes) {
        value = (value << 8) | b;
    }
    return value;
}

enum class MovieAtomSearch { Found, Missing, Damaged, ReadError };

// Walks the file's top-level atoms by their sizes, reading only their headers, and reads the
// movie atom ("moov") into `movie`.
MovieAtomSearch ReadMovieAtom(const TagFile& file, std::vector<uint8_t>& movie) {
    const uint64_t length = file.Length();
    uint64_t offset = 0;
    for (int atoms = 0; atoms < kMaxTopLevelAtoms && length - offset >= 8; ++atoms) {
        std::array<uint8_t, 16> header{};
        if (!file.ReadAt(offset, std::span(header).first(8))) {
            return MovieAtomSearch::ReadError;
        }
        uint64_t size = BigEndianNumber(std::span(header).first(4));
        uint64_t headerSize = 8;
        if (size == 1) {  // a 64-bit size follows the type
            if (length - offset < 16 || !file.ReadAt(offset + 8, std::span(header).subspan(8))) {
                return MovieAtomSearch::Damaged;
            }
            size = BigEndianNumber(std::span(header).subspan(8));
            headerSize = 16;
        } else if (size == 0) {  // the atom runs to the end of the file
            size = length - offset;
        }
        if (size < headerSize || size > length - offset) {
            return MovieAtomSearch::Damaged;
        }
        if (std::string_view(reinterpret_cast<const char*>(header.data()) + 4, 4) == "moov") {
            if (size > kMaxMovieAtomSize) {
                return MovieAtomSearch::Damaged;
            }
            movie.resize(static_cast<size_t>(size - headerSize));
            return file.ReadAt(offset + headerSize, movie) ? MovieAtomSearch::Found
                                                           : MovieAtomSearch::ReadError;
        }
        offset += size;
    }
    return MovieAtomSearch::Missing;
}

// The atom's text: from byte 16 behind the name up to a zero byte, as UTF-8. Nothing
// ("Unknown") when it is empty or reaches 255 characters.
std::optional<std::u32string> AtomText(const AtomSighting& atom) {
    std::u32string text = DecodeUtf8OrLatin1(
        TakeZeroEndedText(atom.behind, kTextOffset, kBytesNeededBehindName - kTextOffset));
    if (text.empty() || text.size() >= kMaxTextChars) {
        return std::nullopt;
    }
    return text;
}

std::string ConvertedOrUnknown(const AtomSighting& atom) {
    const std::optional<std::u32string> text = AtomText(atom);
    return text ? TagTextToMacRoman(*text).str() : std::string(kUnknown);
}

// The text earlier versions stored: the raw bytes, at most 255 of them, through the old
// conversion.
std::string LegacyConvertedOrUnknown(const AtomSighting& atom) {
    const std::string text = TakeZeroEndedText(atom.behind, kTextOffset, kMaxTextChars);
    return text.empty() || text.size() >= kMaxTextChars ? std::string(kUnknown)
                                                        : LegacyTagTextToMacRoman(text).str();
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
    TagRefusal ignored = TagRefusal::None;
    return ReadMp4TagsWithReason(library, file, ignored);
}

int32_t ReadMp4TagsWithReason(Library& library, const std::filesystem::path& file,
                              TagRefusal& refusal) {
    refusal = TagRefusal::None;
    const std::optional<int32_t> slot = ClaimSlot(library);
    if (!slot) {
        refusal = TagRefusal::LibraryFull;
        return Mp4TagNotTaken;
    }
    const auto notTaken = [&](TagRefusal reason) {
        GiveBackSlot(library);
        refusal = reason;
        return Mp4TagNotTaken;
    };
    const std::string fileName = file.filename().string();
    if (fileName.empty() || fileName.front() == '.') {
        return notTaken(TagRefusal::HiddenName);
    }
    int openError = 0;
    const std::optional<TagFile> opened = TagFile::Open(file, &openError);
    if (!opened) {
        return notTaken(RefusalOfOpenError(openError));
    }
    if (opened->Length() < kMp4MinimumLength) {
        return notTaken(TagRefusal::TooSmall);
    }
    std::array<AtomSighting, 5> atoms;
    if (!FindAtomNames(*opened, opened->Length() / 4, atoms)) {
        return notTaken(TagRefusal::Unreadable);
    }
    // Many encoders write the movie atom, which holds the tags, behind the audio.
    if (!atoms[kTitleAtom].found) {
        std::vector<uint8_t> movie;
        switch (ReadMovieAtom(*opened, movie)) {
            case MovieAtomSearch::Found:
                FindAtomNamesInBlock(movie, atoms);
                break;
            case MovieAtomSearch::Missing:
                break;
            case MovieAtomSearch::Damaged:
                return notTaken(TagRefusal::Damaged);
            case MovieAtomSearch::ReadError:
                return notTaken(TagRefusal::Unreadable);
        }
    }

    TuneRecord& record = library.Slots.Write(*slot);
    WriteFileIdentity(record, fileName, *opened, kFileKindMp4);

    // Title, album and artist must all be found, in this order; a missing title leaves the
    // slot's old Title (the file is not taken then).
    bool taken = false;
    TuneNames asBefore;
    if (atoms[kTitleAtom].found) {
        record.Title.Set(ConvertedOrUnknown(atoms[kTitleAtom]));
        asBefore.title = LegacyConvertedOrUnknown(atoms[kTitleAtom]);
        taken = true;
    }
    if (atoms[kAlbumAtom].found && taken) {
        record.Album.Set(ConvertedOrUnknown(atoms[kAlbumAtom]));
        asBefore.album = LegacyConvertedOrUnknown(atoms[kAlbumAtom]);
    } else {
        taken = false;
    }
    if (atoms[kArtistAtom].found && taken) {
        record.Artist.Set(ConvertedOrUnknown(atoms[kArtistAtom]));
        asBefore.artist = LegacyConvertedOrUnknown(atoms[kArtistAtom]);
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
        record.Genre.Set(ConvertedOrUnknown(text));  // cut to the slot's 63 characters
    } else {
        record.Genre.Set(GenreNameForMp4Number(ByteBehind(text, kDataTypeLastLetter)));
    }

    if (!taken) {
        return notTaken(TagRefusal::NotTagged);
    }
    if (HasEarlierTwin(library, *slot, &asBefore)) {
        return notTaken(TagRefusal::Duplicate);
    }
    return TagReadOk;
}

}  // namespace harmovia
