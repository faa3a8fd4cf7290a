#include "browse/seed_views.h"

#include <algorithm>
#include <limits>

#include "browse/view_builder.h"

namespace harmovia {
namespace {

bool IsCommittedSlot(const Library& library, int32_t slot) {
    return slot >= 1 && slot <= library.TuneCount && slot <= kMaxTunes;
}

PStr SeedText(const TuneRecord& seed, SeedCommand command) {
    switch (command) {
        case SeedCommand::TuneBased:
            return seed.Title.Get();
        case SeedCommand::MoreFromArtist:
            return seed.Artist.Get();
        case SeedCommand::MoreFromGenre:
            return seed.Genre.Get();
        case SeedCommand::MoreFromAlbum:
            return seed.Album.Get();
    }
    return {};
}

}  // namespace

bool BuildSeedView(ViewState& view, const Library& library, SeedCommand command, int32_t seedSlot,
                   Clock& clock, RandomSource& random) {
    if (!IsCommittedSlot(library, seedSlot)) {
        return false;
    }
    view.SelectedTuneIndex = seedSlot;
    view.BaseText = SeedText(library[seedSlot], command);
    view.ViewMode = static_cast<uint16_t>(command);
    BuildView(view, library, clock, random);
    RankView(view);
    return true;
}

bool ShowSeedView(ViewState& view, Library& library, SeedCommand command, Clock& clock,
                  RandomSource& random) {
    FindSelectedTune(view, library);
    const int32_t seed = view.SelectedTuneIndex;
    if (!IsCommittedSlot(library, seed)) {
        return false;
    }
    int32_t& uses = library.Slots.Write(seed).SmartPlayCount;
    if (uses < std::numeric_limits<int32_t>::max()) {
        ++uses;
    }
    return BuildSeedView(view, library, command, seed, clock, random);
}

bool ShowSurpriseView(ViewState& view, const Library& library, Clock& clock, RandomSource& random) {
    if (library.TuneCount < 1) {
        return false;
    }
    const int32_t seed = random.Random(std::min(library.TuneCount, kMaxTunes));
    return BuildSeedView(view, library, SeedCommand::TuneBased, seed, clock, random);
}

}  // namespace harmovia
