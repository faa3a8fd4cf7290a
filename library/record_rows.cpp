#include "library/record_rows.h"

#include <algorithm>

namespace harmovia {
size_t RecordRows::IndexOf(int32_t at) {
    return at < 0 || at > kMaxTunes ? 0 : static_cast<size_t>(at);
}

TuneRecord& RecordRows::Write(int32_t at) {
    const size_t index = IndexOf(at);
    if (index >= rows_.size()) {
        rows_.resize(index + 1);
    }
    std::shared_ptr<TuneRecord>& row = rows_[index];
    if (!row) {
        row = std::make_shared<TuneRecord>();
    } else if (row.use_count() > 1) {
        row = std::make_shared<TuneRecord>(*row);
    }
    return *row;
}

void RecordRows::Share(int32_t at, const RecordRows& from, int32_t fromAt) {
    const size_t index = IndexOf(at);
    if (index >= rows_.size()) {
        rows_.resize(index + 1);
    }
    const size_t fromIndex = IndexOf(fromAt);
    rows_[index] = fromIndex < from.rows_.size() ? from.rows_[fromIndex] : nullptr;
}

void RecordRows::MoveDown(int32_t first, int32_t last) {
    const size_t to = IndexOf(first);
    const size_t end = IndexOf(last);
    if (to >= end) {
        return;
    }
    if (end >= rows_.size()) {
        rows_.resize(end + 1);
    }
    // The last element keeps its record, so it reads as before; the one moved down from
    // it shares that record.
    std::shared_ptr<TuneRecord> lastRecord = rows_[end];
    std::move(rows_.begin() + static_cast<std::ptrdiff_t>(to) + 1,
              rows_.begin() + static_cast<std::ptrdiff_t>(end) + 1,
              rows_.begin() + static_cast<std::ptrdiff_t>(to));
    rows_[end] = std::move(lastRecord);
}

void RecordRows::Reorder(std::span<const int32_t> order) {
    std::vector<std::shared_ptr<TuneRecord>> taken;
    taken.reserve(order.size());
    for (const int32_t at : order) {
        const size_t index = IndexOf(at);
        taken.push_back(index < rows_.size() ? rows_[index] : nullptr);
    }
    if (taken.size() + 1 > rows_.size()) {
        rows_.resize(taken.size() + 1);
    }
    std::move(taken.begin(), taken.end(), rows_.begin() + 1);
}

void RecordRows::Release(int32_t first, int32_t last) {
    for (int32_t at = std::max(first, 1); at <= last && static_cast<size_t>(at) < rows_.size();
         ++at) {
        rows_[static_cast<size_t>(at)].reset();
    }
}

const TuneRecord& RecordRows::NeverWritten() {
    static const TuneRecord kNeverWritten{};
    return kNeverWritten;
}

}  // namespace harmovia
