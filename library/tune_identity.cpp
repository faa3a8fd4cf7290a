#include "library/tune_identity.h"

namespace harmovia {

bool SameTitleAndAlbum(const TuneRecord& a, const TuneRecord& b) {
    return a.Title.view() == b.Title.view() && a.Album.view() == b.Album.view();
}

bool SameTuneTexts(const TuneRecord& a, const TuneRecord& b) {
    return SameTitleAndAlbum(a, b) && a.Artist.view() == b.Artist.view() &&
           a.Genre.view() == b.Genre.view();
}

bool SameRecord(const TuneRecord& a, const TuneRecord& b) {
    return a.AddedSerial == b.AddedSerial;
}

}  // namespace harmovia
