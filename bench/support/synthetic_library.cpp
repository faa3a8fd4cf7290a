#include "bench/support/synthetic_library.h"

#include <algorithm>
#include <random>
#include <string>

#include "library/genre_table.h"

namespace harmovia::bench {

void FillSyntheticLibrary(Library& library, int count, uint32_t seed) {
    std::mt19937 random(seed);
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const int tunes = std::clamp(count, 0, kMaxTunes);
    for (int slot = 1; slot <= tunes; ++slot) {
        TuneRecord& r = library.Slots.Write(slot);
        r.Title.Set("Title " + std::to_string(pick(1, 100000)));
        r.Artist.Set("Artist " + std::to_string(pick(1, 150)));
        r.Album.Set("Album " + std::to_string(pick(1, 300)));
        r.Genre.Set(GenreMenuList[static_cast<size_t>(pick(1, 28))]);
        r.DurationText.Set(std::to_string(pick(1, 9)) + ":" + std::to_string(pick(10, 59)));
        r.DurationSeconds = pick(60, 600);
        r.FileSize = static_cast<uint32_t>(pick(2, 12)) << 20;
        r.Mood = pick(1, 9);
        const MoodColour c = MoodTable[static_cast<size_t>(r.Mood)].colour;
        r.MoodColourRed = c.red;
        r.MoodColourGreen = c.green;
        r.MoodColourBlue = c.blue;
        r.MoodEnergy = pick(0, 60000);
        r.Checked = static_cast<uint16_t>(pick(0, 1));
        r.FileKind = pick(0, 1) ? kFileKindMp3 : kFileKindMp4;
    }
    library.TuneCount = tunes;
}

}  // namespace harmovia::bench
