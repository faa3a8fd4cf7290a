#include "browse/display_area.h"

#include "browse/view_titles.h"

namespace harmovia {

DisplayAreaLines BrowsingDisplayLines(const ViewLabel& shown) {
    return {"-", BrowsingTitle(shown), "-"};
}

DisplayAreaLines PlayingDisplayLines(const ViewLabel& playing, const TuneRecord& tune) {
    return {PlayingTitle(playing), tune.Title.Get(),
            tune.Artist.Get() + " " + kBullet + " " + tune.Album.view()};
}

}  // namespace harmovia
