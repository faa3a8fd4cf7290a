#include "browse/view_titles.h"

#include <string>

#include "browse/view_builder.h"
#include "library/mood.h"

namespace harmovia {
namespace {

std::string_view MoodName(int mood) {
    return IsMood(mood) ? MoodTable[static_cast<size_t>(mood)].name : std::string_view();
}

// Mood views are of all genres; Mood By Genre names its genre item.
PStr MoodAndGenre(const ViewLabel& view) {
    const int genreItem = view.Mode == kModeMoodByGenre ? view.GenreItem : kAllGenresItem;
    return PStr(MoodName(view.Mood)) + " " + kBullet + " " + GenreItemText(genreItem);
}

// "Mood Journey: Deep Relaxation to Maximum Wild".
PStr JourneyTitle(const ViewLabel& view) {
    return PStr("Mood Journey: ") + MoodName(view.Journey.FromMood) + " to " +
           MoodName(view.Journey.ToMood);
}

}  // namespace

PStr BrowsingTitle(const ViewLabel& view) {
    switch (view.Mode) {
        case kModeAllTunes:
            return "All Tunes";
        case kModeLastAdded:
            return "Last Added Tunes";
        case kModeSmartPlays:
            return "Smart-Plays";
        case kModeTuneBased:
            return "Tune Based";
        case kModeMoreFromArtist:
            return "More From Artist";
        case kModeSearchResults:
            return PStr("Search Results: ") + view.SearchText.view();
        case kModeMoreFromGenre:
            return "More From Genre";
        case kModeMoreFromAlbum:
            return "More From Album";
        case kModeMoodJourney:
            return JourneyTitle(view);
        default:
            if (IsMoodViewMode(view.Mode) || view.Mode == kModeMoodByGenre) {
                return MoodAndGenre(view);
            }
            return {};
    }
}

PStr PlayingTitle(const ViewLabel& view) {
    switch (view.Mode) {
        case kModeTuneBased:
            return PStr("Tunes Based On: ") + view.BaseText.view();
        case kModeMoreFromArtist:
            return PStr("More Artist: ") + view.BaseText.view();
        case kModeMoreFromGenre:
            return PStr("More Genre: ") + view.BaseText.view();
        case kModeMoreFromAlbum:
            return PStr("More Album: ") + view.BaseText.view();
        default:
            return BrowsingTitle(view);
    }
}

PStr DefaultPlaylistName(const ViewLabel& view) {
    switch (view.Mode) {
        case kModeTuneBased:
            return PStr("Tunes Based On: ") + view.BaseText.view();
        case kModeMoreFromArtist:
            return PStr("Artist: ") + view.BaseText.view();
        case kModeMoreFromGenre:
            return PStr("Genre: ") + view.BaseText.view();
        case kModeMoreFromAlbum:
            return PStr("Album: ") + view.BaseText.view();
        case kModeMoodByGenre:
            if (!IsMood(view.Mood)) {
                return {};
            }
            return PStr("M") + std::to_string(view.Mood) + " - " + MoodName(view.Mood) + " - " +
                   GenreItemText(view.GenreItem);
        default:
            if (IsMoodViewMode(view.Mode)) {
                return PStr(MoodTable[static_cast<size_t>(view.Mode - 10)].playlistName);
            }
            return BrowsingTitle(view);
    }
}

}  // namespace harmovia
