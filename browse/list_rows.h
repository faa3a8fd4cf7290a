#pragma once

// The tune list's columns and what each cell of a row shows, as data for whatever table
// widget draws them. Row r always means ViewList row r. Texts are Mac Roman.

#include <array>
#include <cstdint>
#include <string_view>

#include "library/mood.h"
#include "library/pstr.h"
#include "library/view_list.h"

namespace harmovia {

enum class CellKind { Text, CheckBox, Swatch };

struct ListColumnSpec {
    ViewColumn property;
    std::string_view header;  // empty for the three narrow columns
    CellKind kind;
    int initialWidth;  // pixels
    int minWidth;
    int maxWidth;
    // Width once the window is laid out: a fixed number of pixels, or (when share > 0) the
    // window width times share, truncated.
    int laidOutWidth;
    double laidOutShare;
};

inline constexpr int kListRowHeight = 21;

// The ten columns in display order.
inline constexpr std::array<ListColumnSpec, 10> kListColumns = {{
    {ViewColumn::Blank, "", CellKind::Text, 30, 30, 30, 20, 0.0},
    {ViewColumn::Check, "", CellKind::CheckBox, 30, 30, 30, 30, 0.0},
    {ViewColumn::Energy, "", CellKind::Swatch, 40, 40, 40, 40, 0.0},
    {ViewColumn::Title, "Title", CellKind::Text, 200, 30, 600, 0, 0.25},
    {ViewColumn::Artist, "Artist", CellKind::Text, 200, 30, 600, 0, 0.18},
    {ViewColumn::Album, "Album", CellKind::Text, 200, 30, 600, 0, 0.2},
    {ViewColumn::Time, "Time", CellKind::Text, 60, 30, 150, 60, 0.0},
    {ViewColumn::Genre, "Genre", CellKind::Text, 100, 30, 400, 157, 0.0},
    {ViewColumn::RowNumber, "ID", CellKind::Text, 70, 30, 200, 90, 0.0},
    {ViewColumn::Type, "Type", CellKind::Text, 70, 30, 200, 70, 0.0},
}};

// The laid-out width of a column in a window `windowWidth` pixels wide.
int LaidOutColumnWidth(const ListColumnSpec& column, int windowWidth);

struct ListCell {
    CellKind kind = CellKind::Text;
    PStr text;                   // Text cells
    bool checked = false;        // CheckBox cells: Checked = 1
    MoodColour colour{0, 0, 0};  // Swatch cells: the tune's mood colour
};

// What column `column` shows for row `row`: Title, Artist, Album, DurationText ("Time"),
// Genre; the row number in decimal ("ID"); the kind's name ("Type": FileTypeText);
// nothing in the spacer.
// A row outside 1..ViewCount, or an unknown column, gives an empty text cell.
ListCell ListCellValue(const ViewList& list, int32_t row, ViewColumn column);

}  // namespace harmovia
