#include "library/tune_library.h"

#include <utility>

#include <gtest/gtest.h>

#include "library/tune_identity.h"
#include "library/view_list.h"

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

// The lists copied from the library share its records until a side writes; whichever side
// writes, the others still read what they read before.
TEST(RecordRows, CopiesStayApartWhicheverSideWrites) {
    enum class Writer { Library, View, PlayList };
    for (const Writer writer : {Writer::Library, Writer::View, Writer::PlayList}) {
        Library library = LibraryOf(3);
        ViewList view;
        for (const int32_t slot : {3, 1, 2}) {
            AppendShared(view, library.Slots, slot);
        }
        ViewList playing;
        CopyRows(playing, view);
        ASSERT_EQ(&std::as_const(view)[1], &std::as_const(library)[3]) << "shared, not copied";
        TuneRecord& written = writer == Writer::Library ? library[3]
                              : writer == Writer::View  ? view[1]
                                                        : playing[1];
        written.Title.Set("Changed");
        for (const TuneRecord* r :
             {&std::as_const(library)[3], &std::as_const(view)[1], &std::as_const(playing)[1]}) {
            EXPECT_EQ(r->Title.view(), r == &written ? "Changed" : "") << static_cast<int>(writer);
            EXPECT_EQ(r->RecordIndex, 3);
        }
    }

    // Moving down keeps the last element's record; released and unwritten ones read empty,
    // and a number outside 0..2000 reaches element 0.
    RecordRows rows;
    for (int32_t at = 1; at <= 4; ++at) {
        rows.Write(at).RecordIndex = at;
    }
    rows.MoveDown(2, 4);
    rows.Release(1, 1);
    const int expected[] = {0, 0, 3, 4, 4, 0};
    for (int32_t at = 0; at <= 5; ++at) {
        EXPECT_EQ(rows.Read(at).RecordIndex, expected[at]) << at;
    }
    rows.Write(kMaxTunes + 1).RecordIndex = 9;
    EXPECT_EQ(rows.Read(0).RecordIndex, 9);
    EXPECT_EQ(rows.StoredCount(), 5U);
}

// Which differences each rule of "the same tune" sees.
TEST(TuneIdentity, EachRuleLooksAtItsOwnFields) {
    const auto base = [] {
        TuneRecord r;
        r.Title.Set("Song");
        r.Artist.Set("Band");
        r.Album.Set("Album");
        r.Genre.Set("Rock");
        r.AddedSerial = 7;
        return r;
    };
    const struct {
        const char* what;
        void (*change)(TuneRecord&);
        bool titleAndAlbum, texts, record;
    } cases[] = {
        {"a copy", [](TuneRecord&) {}, true, true, true},
        {"another title", [](TuneRecord& r) { r.Title.Set("song"); }, false, false, true},
        {"another album", [](TuneRecord& r) { r.Album.Set("Album "); }, false, false, true},
        {"another artist", [](TuneRecord& r) { r.Artist.Set("Solo"); }, true, false, true},
        {"another genre", [](TuneRecord& r) { r.Genre.Set("Jazz"); }, true, false, true},
        {"another record", [](TuneRecord& r) { r.AddedSerial = 8; }, true, true, false},
    };
    for (const auto& c : cases) {
        TuneRecord other = base();
        c.change(other);
        EXPECT_EQ(std::tuple(SameTitleAndAlbum(base(), other), SameTuneTexts(base(), other),
                             SameRecord(base(), other)),
                  std::tuple(c.titleAndAlbum, c.texts, c.record))
            << c.what;
    }
}

}  // namespace
}  // namespace harmovia
