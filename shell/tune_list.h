#pragma once

// The tune list: a table model over the view list (row r of the model is ViewList row
// order[r]; the list itself holds nothing of its own), the delegate that draws the mood
// swatches, and the table view set up with the ten columns.

#include <QAbstractTableModel>
#include <QString>
#include <QStyledItemDelegate>
#include <QTableView>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "browse/view_state.h"
#include "library/tune_library.h"
#include "shell/app_state.h"

namespace harmovia {

// A row's four edited texts copied to the first library tune with the row's AddedSerial
// (the genre cut to its 63-character slot). False when no library tune has that serial.
bool WriteBackEditedRow(Library& library, const TuneRecord& row);

class TuneListModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    TuneListModel(ViewState& view, Library& library, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // Orders the rows through CompareRows; equal rows keep the view's order.
    void sort(int column, Qt::SortOrder order) override;

    // Refills from the view list in view order (after a build, an add or a removal).
    void Reset();
    int32_t ViewRowAt(int modelRow) const { return order_[static_cast<size_t>(modelRow)]; }
    int ModelRowOf(int32_t viewRow) const;
    MoodColour SwatchAt(int modelRow) const;
    bool IsPlayingRow(int modelRow) const;
    void SetPlaying(const PlayingMarker& marker);

    // Told after an edit reached the library.
    std::function<void(const TuneRecord& row)> rowEdited;

  private:
    static constexpr int kTextColumns = 10;
    void CacheTexts(int32_t viewRow);

    ViewState& view_;
    Library& library_;
    std::vector<int32_t> order_;     // model row -> view row
    std::vector<int32_t> position_;  // view row -> model row
    // The shown texts per view row, made once per refill so painting converts nothing.
    std::vector<std::array<QString, kTextColumns>> texts_;
    PlayingMarker playing_;
};

class MoodCellDelegate final : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit MoodCellDelegate(const TuneListModel& model, QObject* parent = nullptr)
        : QStyledItemDelegate(parent), model_(model) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    const TuneListModel& model_;
};

// The table view with the ten columns, row height 21, sorting by header, single-row
// selection and in-place editing of Title, Artist, Album and Genre.
QTableView* MakeTuneListView(TuneListModel& model, QWidget* parent);
// The laid-out widths of the columns for a window `windowWidth` wide.
void ApplyColumnWidths(QTableView& view, int windowWidth);

}  // namespace harmovia
