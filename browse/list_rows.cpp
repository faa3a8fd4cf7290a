#include "browse/list_rows.h"

#include <string>

namespace harmovia {

int LaidOutColumnWidth(const ListColumnSpec& column, int windowWidth) {
    if (column.laidOutShare > 0.0) {
        return static_cast<int>(windowWidth * column.laidOutShare);
    }
    return column.laidOutWidth;
}

ListCell ListCellValue(const ViewList& list, int32_t row, ViewColumn column) {
    ListCell cell;
    if (!list.HasRow(row)) {
        return cell;
    }
    const TuneRecord& r = list[row];
    switch (column) {
        case ViewColumn::Check:
            cell.kind = CellKind::CheckBox;
            cell.checked = r.Checked == 1;
            break;
        case ViewColumn::Energy:
            cell.kind = CellKind::Swatch;
            cell.colour = {r.MoodColourRed, r.MoodColourGreen, r.MoodColourBlue};
            break;
        case ViewColumn::Title:
            cell.text = r.Title.Get();
            break;
        case ViewColumn::Artist:
            cell.text = r.Artist.Get();
            break;
        case ViewColumn::Album:
            cell.text = r.Album.Get();
            break;
        case ViewColumn::Time:
            cell.text = r.DurationText.Get();
            break;
        case ViewColumn::Genre:
            cell.text = r.Genre.Get();
            break;
        case ViewColumn::RowNumber:
        case ViewColumn::PlayRowNumber:
            cell.text = PStr(std::to_string(row));
            break;
        case ViewColumn::Type:
            cell.text = PStr(FileTypeText(r.FileKind));
            break;
        case ViewColumn::Blank:
            break;
    }
    return cell;
}

}  // namespace harmovia
