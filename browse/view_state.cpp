#include "browse/view_state.h"

#include <utility>

namespace harmovia {

void FindSelectedTune(ViewState& view, const Library& library) {
    if (!view.List.HasRow(view.SelectedRow)) {
        return;
    }
    if (const auto slot = FindSlotByRecordIndex(
            library, std::as_const(view.List)[view.SelectedRow].RecordIndex)) {
        view.SelectedTuneIndex = *slot;
    }
}

}  // namespace harmovia
