#pragma once

// When two records are "the same tune". Views and the play list hold copies of library
// records, so a copy is found again by what it holds; each rule below is the one its
// callers need, in one place.

#include "library/tune_record.h"

namespace harmovia {

// The same title and album, byte for byte: a check mark reaches every copy of a tune (the
// list's, the play list's, the library's) by this rule.
bool SameTitleAndAlbum(const TuneRecord& a, const TuneRecord& b);

// The same title, artist, album and genre, byte for byte: the library record a list row
// was copied from, when a tune is deleted or every row is check-marked.
bool SameTuneTexts(const TuneRecord& a, const TuneRecord& b);

// The very same record, however its texts were edited since: by the serial it was added
// with.
bool SameRecord(const TuneRecord& a, const TuneRecord& b);

}  // namespace harmovia
