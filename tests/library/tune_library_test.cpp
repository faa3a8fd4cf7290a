#include "library/tune_library.h"

#include <gtest/gtest.h>

namespace harmovia {
namespace {

// A library of n committed tunes whose RecordIndex names their slot.
Library LibraryOf(int n) {
    Library library;
    for (int i = 0; i < n; ++i) {
        const int32_t slot = *ClaimSlot(library);
        library[slot].RecordIndex = slot;
    }
    CommitTunes(library);
    return library;
}

TEST(TuneLibrary, ClaimGiveBackCommit) {
    Library library;
    EXPECT_EQ(ClaimSlot(library), 1);
    EXPECT_EQ(ClaimSlot(library), 2);
    GiveBackSlot(library);
    EXPECT_EQ(library.CurrentTuneIndex, 1);
    EXPECT_EQ(library.TuneCount, 0) << "claimed slots stay invisible until committed";
    CommitTunes(library);
    EXPECT_EQ(library.TuneCount, 1);
    GiveBackSlot(library);
    EXPECT_EQ(library.CurrentTuneIndex, 1) << "a committed slot is never given back";

    Library full = LibraryOf(kMaxTunes);
    EXPECT_EQ(ClaimSlot(full), std::nullopt);
    EXPECT_EQ(full.CurrentTuneIndex, kMaxTunes);
}

TEST(TuneLibrary, RemoveClosesTheGapAndFindTakesTheLowestMatch) {
    const struct { int count, removed; } cases[] = {{1, 1}, {5, 1}, {5, 3}, {5, 5}};
    for (const auto& c : cases) {
        Library library = LibraryOf(c.count);
        RemoveTune(library, c.removed);
        ASSERT_EQ(library.TuneCount, c.count - 1);
        ASSERT_EQ(library.CurrentTuneIndex, c.count - 1);
        for (int slot = 1; slot <= library.TuneCount; ++slot) {
            const int expected = slot < c.removed ? slot : slot + 1;
            EXPECT_EQ(library[slot].RecordIndex, expected) << c.count << "/" << c.removed;
        }
    }
    // Slots 1..4 now hold record indexes 1, 3, 4, 4: the older tune at slot 3 is found.
    Library library = LibraryOf(4);
    RemoveTune(library, 2);
    const int32_t slot = *ClaimSlot(library);
    library[slot].RecordIndex = slot;
    CommitTunes(library);
    EXPECT_EQ(FindSlotByRecordIndex(library, 4), 3);
    EXPECT_EQ(FindSlotByRecordIndex(library, 2), std::nullopt);
}

}  // namespace
}  // namespace harmovia
