#pragma once

// Small libraries for the browse tests: tunes with the fields the views read.

#include <string_view>

#include "library/mood.h"
#include "library/tune_library.h"

namespace harmovia::test {

struct TuneSpec {
    std::string_view title = "Song";
    std::string_view artist = "Artist";
    std::string_view album = "Album";
    std::string_view genre = "Rock";
    std::string_view category = "Rock";
    int mood = 5;
};

// A scored, checked tune whose sound figures equal those of every other MakeTune tune.
inline TuneRecord MakeTune(const TuneSpec& spec) {
    TuneRecord r;
    r.Title.Set(spec.title);
    r.Artist.Set(spec.artist);
    r.Album.Set(spec.album);
    r.Genre.Set(spec.genre);
    r.GenreCategory.Set(spec.category);
    r.Location.Set("/music/song.mp3");
    r.Mood = spec.mood;
    r.Checked = 1;
    r.FileKind = kFileKindMp3;
    r.DistinctBinCount = 40;
    r.SignificantCount = 50;
    r.PeakBinMean = 120;
    r.Centroid = 900;
    r.DurationSeconds = 200;
    r.FileSize = 5u << 20;
    r.DurationText.Set("3:20");
    return r;
}

// Appends a tune as the next committed slot, numbered as a freshly loaded library numbers it.
inline int32_t AddTune(Library& library, TuneRecord record) {
    const int32_t slot = ++library.TuneCount;
    library.CurrentTuneIndex = slot;
    record.RecordIndex = slot;
    record.AddedSerial = slot;
    library[slot] = record;
    RecountMoods(library);
    return slot;
}

}  // namespace harmovia::test
