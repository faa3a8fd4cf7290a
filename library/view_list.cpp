#include "library/view_list.h"

#include <algorithm>

namespace harmovia {
namespace {

// The text a text column shows for a record; the row-number column is handled apart.
std::string_view ColumnText(const TuneRecord& record, ViewColumn column) {
    switch (column) {
        case ViewColumn::Title:
            return record.Title.view();
        case ViewColumn::Artist:
            return record.Artist.view();
        case ViewColumn::Album:
            return record.Album.view();
        case ViewColumn::Time:
            return record.DurationText.view();
        case ViewColumn::Genre:
            return record.Genre.view();
        case ViewColumn::Type:
            return FileTypeText(record.FileKind);
        default:
            return {};
    }
}

}  // namespace

bool AppendRow(ViewList& list, const TuneRecord& record) {
    if (list.ViewCount >= kMaxViewRows) {
        return false;
    }
    ++list.ViewCount;
    list.Rows.Write(list.ViewCount) = record;
    return true;
}

bool AppendShared(ViewList& list, const RecordRows& from, int32_t at) {
    if (list.ViewCount >= kMaxViewRows) {
        return false;
    }
    ++list.ViewCount;
    list.Rows.Share(list.ViewCount, from, at);
    return true;
}

void CopyRows(ViewList& to, const ViewList& from) {
    for (int32_t row = 1; row <= from.ViewCount; ++row) {
        to.Rows.Share(row, from.Rows, row);
    }
    to.ViewCount = std::max(from.ViewCount, 0);
}

void RankViewList(ViewList& list) {
    const int32_t count = list.ViewCount;
    if (count <= 0) {
        return;
    }
    // The rows' order after a bubble sort that exchanges neighbours only when the upper
    // one scores less: a stable sort, highest score first.
    std::vector<int32_t> order(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        order[static_cast<size_t>(i)] = i + 1;
    }
    const ViewList& rows = list;
    std::stable_sort(order.begin(), order.end(), [&rows](int32_t a, int32_t b) {
        return rows[a].Similarity > rows[b].Similarity;
    });
    const int32_t kept = std::min(count, kRankedRowLimit);
    list.Rows.Reorder(std::span(order).first(static_cast<size_t>(kept)));
    // The dropped rows each got a score of their own, so each is a copy: free them.
    list.Rows.Release(kept + 1, count);
    list.ViewCount = kept;
}

std::string_view FileTypeText(uint16_t fileKind) {
    switch (fileKind) {
        case kFileKindMp3:
            return "MP3";
        case kFileKindFlac:
            return "FLAC";
        case kFileKindVorbis:
            return "Vorbis";
        case kFileKindOpus:
            return "Opus";
        case kFileKindWav:
            return "WAV";
        case kFileKindAiff:
            return "AIFF";
        default:
            return "AAC";
    }
}

bool CompareRows(const ViewList& list, int32_t a, int32_t b, ViewColumn column) {
    if (!list.HasRow(a) || !list.HasRow(b)) {
        return false;
    }
    return CompareRecords({list[a], a}, {list[b], b}, column);
}

bool CompareRecords(RowRecord a, RowRecord b, ViewColumn column) {
    const TuneRecord& ra = a.record;
    const TuneRecord& rb = b.record;
    switch (column) {
        case ViewColumn::RowNumber:
        case ViewColumn::PlayRowNumber:
            return a.row < b.row;
        case ViewColumn::Check:
            return (ra.Checked == 1 ? 1 : 0) < (rb.Checked == 1 ? 1 : 0);
        case ViewColumn::Energy:
            return ra.MoodEnergy < rb.MoodEnergy;
        case ViewColumn::Blank:
        case ViewColumn::Title:
        case ViewColumn::Artist:
        case ViewColumn::Album:
        case ViewColumn::Time:
        case ViewColumn::Genre:
        case ViewColumn::Type:
            // string_view compares bytes as unsigned values: upper-case ASCII first.
            return ColumnText(ra, column) < ColumnText(rb, column);
    }
    return false;
}

}  // namespace harmovia
