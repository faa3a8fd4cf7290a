#include "cli/record_tsv.h"

#include "cli/record_json.h"
#include "library/mac_roman.h"
#include "library/mood.h"

namespace harmovia {
namespace {

std::string Cell(std::string_view macRoman) {
    std::string text = MacRomanToUtf8(macRoman);
    for (char& c : text) {
        if (c == '\t' || c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return text;
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
    for (char c : PathTextAsUtf8(r.Location.view())) {
        row += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
    }
    return row;
}

}  // namespace harmovia
