#pragma once

// The view list: the tunes the main list shows, as copies of library records in display
// order, and the two orderings applied to it after a build (the ranking of the tune-based
// views and the comparison behind sorting by a column). Main thread only.

#include <cstdint>
#include <string_view>
#include <vector>

#include "library/tune_library.h"
#include "library/tune_record.h"

namespace harmovia {

inline constexpr int kMaxViewRows = kMaxTunes;
// The ranking keeps at most this many rows.
inline constexpr int kRankedRowLimit = 100;

// Rows 1..ViewCount are copies of library records (row 0 exists and is never used). A
// row's RecordIndex leads back to its library slot (FindSlotByRecordIndex). The storage
// grows as rows are written and builds overwrite it in place, as the library's does; it
// always holds rows 0..ViewCount.
struct ViewList {
    RecordRows Rows;
    int32_t ViewCount = 0;

    TuneRecord& operator[](int32_t row) { return Rows.Write(row); }
    const TuneRecord& operator[](int32_t row) const { return Rows.Read(row); }
    bool HasRow(int32_t row) const { return row >= 1 && row <= ViewCount; }
};

// `to` becomes a copy of rows 1..ViewCount of `from` (its storage beyond them unchanged).
void CopyRows(ViewList& to, const ViewList& from);

// Appends a copy of the record as row ViewCount + 1. False, and nothing changes, when the
// list already holds 2000 rows.
bool AppendRow(ViewList& list, const TuneRecord& record);

// Appends element `at` of `from` (a library's slots or another list's rows) as row
// ViewCount + 1, as AppendRow does, sharing the record until one side writes it.
bool AppendShared(ViewList& list, const RecordRows& from, int32_t at);

// Orders the rows by Similarity, highest first; rows with equal scores keep their order.
// Then drops every row behind row 100.
void RankViewList(ViewList& list);

// Four-character property codes, as the list control knows its columns.
constexpr uint32_t FourCharCode(const char (&code)[5]) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) |
           static_cast<uint32_t>(static_cast<uint8_t>(code[3]));
}

// The columns of the tune list, by property code. PlayRowNumber ('PLCT') is the player
// list's row-number column; it sorts like RowNumber.
enum class ViewColumn : uint32_t {
    Blank = FourCharCode("Blnk"),
    Check = FourCharCode("Chck"),
    Energy = FourCharCode("Engy"),
    Title = FourCharCode("Text"),
    Artist = FourCharCode("TArt"),
    Album = FourCharCode("TAlb"),
    Time = FourCharCode("Time"),
    Genre = FourCharCode("TGen"),
    RowNumber = FourCharCode("PLID"),
    Type = FourCharCode("TnID"),
    PlayRowNumber = FourCharCode("PLCT"),
};

// The Type column's text: "MP3", "FLAC", "Vorbis", "Opus", "WAV" or "AIFF" by the record's
// kind, "AAC" for every other (M4A and CAF files, and kinds this build does not know).
std::string_view FileTypeText(uint16_t fileKind);

// True when row a sorts before row b in ascending order by the column: row numbers as
// numbers; the check box off before on; the mood swatch by MoodEnergy; text columns by
// their cell texts byte for byte (exact, case-sensitive: "Banana" before "apple"; the
// Time column is textual, so "10:05" before "3:00"). False when the two are equal, when
// either row is outside 1..ViewCount, and for any other property.
bool CompareRows(const ViewList& list, int32_t a, int32_t b, ViewColumn column);

// CompareRows for two rows already read: a sort reads each row once, not at every comparison.
struct RowRecord {
    const TuneRecord& record;
    int32_t row;
};
bool CompareRecords(RowRecord a, RowRecord b, ViewColumn column);

}  // namespace harmovia
