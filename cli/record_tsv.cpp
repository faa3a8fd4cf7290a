#include "cli/record_tsv.h"

#include "cli/record_json.h"
#include "library/mac_roman.h"
#include "library/mood.h"

namespace harmovia {
namespace {

// A field with the characters that would break the table escaped: \t, \n, \r and the
// backslash itself, so that every field can be read back as it was.
std::string Escaped(std::string_view utf8) {
    std::string text;
    text.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '\t':
                text += "\\t";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\r':
                text += "\\r";
                break;
            case '\\':
                text += "\\\\";
                break;
            default:
                text += c;
        }
    }
    return text;
}

std::string Cell(std::string_view macRoman) {
    return Escaped(MacRomanToUtf8(macRoman));
}

}  // namespace

std::string TuneRecordTsvHeader() {
    return "Slot\tMood\tMoodName\tTitle\tArtist\tAlbum\tGenre\tTime\tLocation";
}

std::string TuneRecordTsv(const TuneRecord& r, int32_t slot) {
    const std::string_view moodName = IsMood(r.Mood) ? MoodTable[r.Mood].name : "";
    std::string row = std::to_string(slot) + '\t' + std::to_string(r.Mood) + '\t';
    row += std::string(moodName) + '\t' + Cell(r.Title.view()) + '\t' + Cell(r.Artist.view()) +
           '\t' + Cell(r.Album.view()) + '\t' + Cell(r.Genre.view()) + '\t' +
           Cell(r.DurationText.view()) + '\t';
    // Locations are native paths, not Mac Roman.
    return row + Escaped(PathTextAsUtf8(r.Location.view()));
}

}  // namespace harmovia
