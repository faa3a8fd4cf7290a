#include "library/tune_library.h"

#include <algorithm>

namespace harmovia {

TuneRecord& GrowTo(std::vector<TuneRecord>& records, size_t index) {
    // Outside 0..kMaxTunes there is no element: such a caller gets the unused element 0
    // rather than storage for a number a damaged record made up.
    if (index > static_cast<size_t>(kMaxTunes)) {
        index = 0;
    }
    if (index >= records.size()) {
        records.resize(index + 1);
    }
    return records[index];
}

const TuneRecord& NeverWrittenRecord() {
    static const TuneRecord kNeverWritten{};
    return kNeverWritten;
}

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
        const int32_t mood = library[slot].Mood;
        if (IsMood(mood)) {
            ++library.MoodCounts[static_cast<size_t>(mood)];
        }
    }
}

void ClearLastAdded(Library& library) {
    for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
        library[slot].LastAddedFlag = 0;
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
    (void)library[library.TuneCount];  // the committed slots are all stored
    auto first = library.Slots.begin() + slot;
    std::move(first + 1, library.Slots.begin() + library.TuneCount + 1, first);
    --library.TuneCount;
    --library.CurrentTuneIndex;
}

}  // namespace harmovia
