#include "library/tune_library.h"

#include <algorithm>

namespace harmovia {

TuneRecord& GrownTo(std::vector<TuneRecord>& records, int32_t at) {
    // Outside 0..kMaxTunes there is no element: such a caller gets the unused element 0
    // rather than storage for a number a damaged record made up.
    const auto index = static_cast<size_t>(at < 0 || at > kMaxTunes ? 0 : at);
    if (index >= records.size()) {
        records.resize(index + 1);
    }
    return records[index];
}

const TuneRecord& ReadFrom(const std::vector<TuneRecord>& records, int32_t at) {
    static const TuneRecord kNeverWritten{};
    const auto index = static_cast<size_t>(at);
    return index < records.size() ? records[index] : kNeverWritten;
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
