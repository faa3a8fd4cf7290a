#pragma once

// The views built around one seed tune (Playlist From Tune, More From Artist, Album and
// Genre, Surprise Me), with their bookkeeping: the seed's use count and BaseText. Main
// thread only.

#include <cstdint>

#include "browse/view_state.h"
#include "library/random_source.h"
#include "library/tune_library.h"
#include "platform/clock.h"

namespace harmovia {

// The seed commands, by the view mode they build.
enum class SeedCommand : uint16_t {
    TuneBased = kModeTuneBased,
    MoreFromArtist = kModeMoreFromArtist,
    MoreFromGenre = kModeMoreFromGenre,
    MoreFromAlbum = kModeMoreFromAlbum,
};

// Builds the seed command's view around library slot `seedSlot`: SelectedTuneIndex = the
// slot, BaseText = its Title, Artist, Genre or Album, ViewMode, BuildView, then RankView
// (at most 100 rows, highest score first). The library is not changed, so a read-only
// caller can use it. False, and nothing changed, when the slot holds no committed tune.
bool BuildSeedView(ViewState& view, const Library& library, SeedCommand command, int32_t seedSlot,
                   Clock& clock, RandomSource& random);

// The desktop command once its preconditions hold (a library, a selected row) and the
// playing tune is stopped: FindSelectedTune (keeping the previous seed when the selected
// tune is no longer in the library), the seed's SmartPlayCount + 1, then BuildSeedView.
// False, and nothing changed, when there is no seed in the library at all.
bool ShowSeedView(ViewState& view, Library& library, SeedCommand command, Clock& clock,
                  RandomSource& random);

// Surprise Me: a random slot 1..TuneCount becomes the seed of a Tune Based view. The use
// count is not raised; BaseText becomes the seed's Title so that the view is named after
// its real seed. False, and nothing changed, when the library is empty.
bool ShowSurpriseView(ViewState& view, const Library& library, Clock& clock, RandomSource& random);

}  // namespace harmovia
