#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "library/mood.h"
#include "library/record_rows.h"
#include "library/tune_record.h"

namespace harmovia {

// The in-memory library: slots 1..2000 (slot 0 exists and is never used). Slots
// 1..TuneCount are committed and are all the rest of the program sees; during an add,
// slots TuneCount+1..CurrentTuneIndex are under construction. TuneCount is raised only
// once every record below it is complete. Owned by the App; only the main thread writes it.
//
// The storage grows as slots are written and never shrinks, so a slot reads the same as
// if all 2000 had been there from the start: a slot never written is an empty record, a
// freed one keeps the bytes that lay there. A library of 40 tunes takes 40 records, and
// the lists copied from it share them (see RecordRows): read through a const Library
// wherever nothing is written, since the other operator[] makes the slot its own.
struct Library {
    RecordRows Slots;
    int32_t TuneCount = 0;
    int32_t CurrentTuneIndex = 0;
    std::array<int32_t, kMoodCount + 1> MoodCounts{};  // [1..9]; [0] unused
    int32_t AddedSerialCounter = 0;
    // Bytes at the end of the loaded library file that were not a whole record; the next
    // save keeps them aside (see SaveLibrary) instead of dropping them.
    std::vector<uint8_t> DamagedTail;

    // Slots 0..kMaxTunes.
    TuneRecord& operator[](int32_t slot) { return Slots.Write(slot); }
    const TuneRecord& operator[](int32_t slot) const { return Slots.Read(slot); }
};

// TuneCount as a number of slots to read: 0..2000 whatever a damaged file said.
inline int32_t CommittedCount(const Library& library) {
    return std::clamp(library.TuneCount, 0, kMaxTunes);
}

// The first slot 1..TuneCount whose RecordIndex equals recordIndex.
std::optional<int32_t> FindSlotByRecordIndex(const Library& library, int32_t recordIndex);

// MoodCounts from the committed records; a Mood outside 1..9 is counted nowhere.
void RecountMoods(Library& library);

// LastAddedFlag = 0 in every committed slot (an add is starting).
void ClearLastAdded(Library& library);

// Add protocol. ClaimSlot raises CurrentTuneIndex and returns the new slot, or nothing when
// the library is full. GiveBackSlot lowers it again after a rejection. CommitTunes makes
// every claimed slot part of the library.
std::optional<int32_t> ClaimSlot(Library& library);
void GiveBackSlot(Library& library);
void CommitTunes(Library& library);

// Removes a committed tune: the slots behind it move down by one in order; TuneCount and
// CurrentTuneIndex drop by one. RecordIndex values and MoodCounts are left as they are.
// The freed last slot keeps the bytes of the record that lay there.
void RemoveTune(Library& library, int32_t slot);

}  // namespace harmovia
