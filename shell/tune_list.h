#pragma once

// The tune list: a table model over the view list (row r of the model is ViewList row
// order[r]; the list itself holds nothing of its own), the delegate that draws the mood
// swatches, and the table view set up with the ten columns.

#include <QAbstractTableModel>
#include <QHash>
#include <QPixmap>
#include <QStaticText>
#include <QString>
#include <QStyledItemDelegate>
#include <QTableView>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "browse/view_state.h"
#include "library/tune_library.h"
#include "shell/app_state.h"

namespace harmovia {

// A row's four edited texts copied to the first of records 1..count (the library's slots or
// the play list's rows) with the row's AddedSerial (the genre cut to its 63-character slot).
// False when none has that serial.
bool WriteBackEditedRow(RecordRows& records, int32_t count, const TuneRecord& row);

class TuneListModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    TuneListModel(ViewState& view, Library& library, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Rows drag out as text/uri-list: each row's file once, in list order.
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // Orders the rows through CompareRows; equal rows keep the view's order.
    void sort(int column, Qt::SortOrder order) override;

    // Refills from the view list in view order (after a build, an add or a removal).
    void Reset();
    // The view list's rows behind the ones shown join the bottom of the list, keeping the
    // order of those shown (the playing list grew).
    void AppendRows();
    int32_t ViewRowAt(int modelRow) const { return order_[static_cast<size_t>(modelRow)]; }
    int ModelRowOf(int32_t viewRow) const;
    MoodColour SwatchAt(int modelRow) const;
    // Whether the row's mood was set by hand (its swatch carries a mark).
    bool MoodSetByHandAt(int modelRow) const;
    // The shown text of a cell, from the row as it is now.
    QString TextAt(int modelRow, int column) const;
    bool CheckedAt(int modelRow) const {
        return std::as_const(view_.List)[ViewRowAt(modelRow)].Checked == 1;
    }
    bool IsPlayingRow(int modelRow) const;
    void SetPlaying(const PlayingMarker& marker);

    // A check box was clicked: when set, the toggle is left to it (the player applies it
    // to the row, the playing list and the library at its next tick).
    std::function<void(int32_t viewRow)> checkToggled;
    // Told after an edit reached the library.
    std::function<void(const TuneRecord& row)> rowEdited;

  private:
    ViewState& view_;
    Library& library_;
    std::vector<int32_t> order_;     // model row -> view row
    std::vector<int32_t> position_;  // view row -> model row
    PlayingMarker playing_;
};

// Draws every cell of the list straight from the model's cached texts: the selection, the
// text, the check box and the mood swatch, without asking the model for roles or the style
// for item panels (2000 rows scroll by quickly). Editing uses the standard line editor.
class TuneCellDelegate final : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit TuneCellDelegate(TuneListModel& model, QObject* parent = nullptr);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

  private:
    // A cell's text cut to its column's width and laid out once, per view row and column;
    // made again only when the text or the width changes. Made for the cells painted only:
    // a laid-out text costs memory, and a list is mostly looked at a screenful at a time.
    struct LaidOutText {
        QStaticText text;
        int width = -1;
        bool empty = false;
    };
    void Forget();
    // The swatch and check box images, drawn once per look and device pixel ratio.
    const QPixmap& Swatch(MoodColour colour, bool playingDot, bool handSet, qreal ratio) const;
    const QPixmap& CheckBox(bool checked, qreal ratio) const;
    TuneListModel& model_;
    mutable QHash<quint64, QPixmap> swatches_;
    mutable QPixmap checkBoxes_[2];
    mutable std::vector<std::array<std::optional<LaidOutText>, 10>> laidOut_;  // by view row
};

// The table view with the ten columns, row height 21, sorting by header, single-row
// selection and in-place editing of Title, Artist, Album and Genre.
QTableView* MakeTuneListView(TuneListModel& model, QWidget* parent);
// The laid-out widths of the columns for a window `windowWidth` wide.
void ApplyColumnWidths(QTableView& view, int windowWidth);

}  // namespace harmovia
