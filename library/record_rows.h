#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "library/tune_record.h"

namespace harmovia {

// LibraryCapacity: the most tunes a library holds.
inline constexpr int kMaxTunes = 2000;

// Record storage for the library and the lists copied from it. Element `at` (0..2000)
// reads as the record last written there, or an empty record when none ever was; the
// storage grows as elements are written and never shrinks.
//
// Copies between stores share the record instead of its 2972 bytes until one side writes
// it (copy on write), so the view and the play list, which hold copies of the library's
// records, cost a pointer a row. Reading never copies; Write gives a record that no other
// element shares. A reference from Write is good only until the element is shared again.
class RecordRows {
  public:
    RecordRows() : rows_(1) {}

    const TuneRecord& Read(int32_t at) const {
        const auto index = static_cast<size_t>(at);
        return index < rows_.size() && rows_[index] ? *rows_[index] : NeverWritten();
    }
    TuneRecord& Write(int32_t at);

    // Element `at` becomes a copy of element `fromAt` of `from`.
    void Share(int32_t at, const RecordRows& from, int32_t fromAt);
    // Elements first..last-1 take the records of first+1..last; `last` keeps its own.
    void MoveDown(int32_t first, int32_t last);
    // Elements 1..order.size() take the records of the elements order names, in order.
    void Reorder(std::span<const int32_t> order);
    // Elements first..last read as never written again, and their records are freed.
    void Release(int32_t first, int32_t last);

    // How many elements are stored: 0..StoredCount()-1.
    size_t StoredCount() const { return rows_.size(); }

    static const TuneRecord& NeverWritten();

  private:
    // Outside 0..kMaxTunes there is no element: such a caller gets the unused element 0 rather
    // than storage for a number a damaged record made up.
    static size_t IndexOf(int32_t at);

    std::vector<std::shared_ptr<TuneRecord>> rows_;
};

}  // namespace harmovia
