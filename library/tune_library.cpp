#include "library/tune_library.h"

#include <algorithm>
#include <utility>

namespace harmovia {

std::optional<int32_t> FindSlotByRecordIndex(const Library& library, int32_t recordIndex) {
    for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
        if (library[slot].RecordIndex == recordIndex) {
            return slot;
        }
    }
    return std::nullopt;
}

void RecountMoods(Library& library) {
    library.MoodCounts.fill(0);
    for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
        const int32_t mood = std::as_const(library)[slot].Mood;
        if (IsMood(mood)) {
            ++library.MoodCounts[static_cast<size_t>(mood)];
        }
    }
}

void ClearLastAdded(Library& library) {
    for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
        if (std::as_const(library)[slot].LastAddedFlag != 0) {  // a write unshares the record
            library.Slots.Write(slot).LastAddedFlag = 0;
        }
    }
}

std::optional<int32_t> ClaimSlot(Library& library) {
    if (library.CurrentTuneIndex >= kMaxTunes) {
        return std::nullopt;
    }
    return ++library.CurrentTuneIndex;
}

void GiveBackSlot(Library& library) {
    if (library.CurrentTuneIndex > library.TuneCount) {
        --library.CurrentTuneIndex;
    }
}

void CommitTunes(Library& library) {
    library.TuneCount = library.CurrentTuneIndex;
}

void RemoveTune(Library& library, int32_t slot) {
    if (slot < 1 || slot > library.TuneCount) {
        return;
    }
    library.Slots.MoveDown(slot, library.TuneCount);
    --library.TuneCount;
    --library.CurrentTuneIndex;
}

}  // namespace harmovia
