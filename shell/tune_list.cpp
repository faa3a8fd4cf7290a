#include "shell/tune_list.h"

#include <QHeaderView>
#include <QPainter>
#include <algorithm>
#include <string>

#include "browse/list_rows.h"
#include "shell/artwork.h"
#include "shell/qt_text.h"

namespace harmovia {
namespace {

constexpr int kCheckColumn = 1;
constexpr int kSwatchColumn = 2;

ViewColumn PropertyOf(int column) {
    return kListColumns[static_cast<size_t>(column)].property;
}

bool IsEditable(ViewColumn property) {
    return property == ViewColumn::Title || property == ViewColumn::Artist ||
           property == ViewColumn::Album || property == ViewColumn::Genre;
}

}  // namespace

bool WriteBackEditedRow(Library& library, const TuneRecord& row) {
    for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
        TuneRecord& tune = library[slot];
        if (tune.AddedSerial == row.AddedSerial) {
            tune.Title.Set(row.Title.view());
            tune.Artist.Set(row.Artist.view());
            tune.Album.Set(row.Album.view());
            tune.Genre.Set(row.Genre.view());
            return true;
        }
    }
    return false;
}

TuneListModel::TuneListModel(ViewState& view, Library& library, QObject* parent)
    : QAbstractTableModel(parent), view_(view), library_(library) {
    order_.reserve(kMaxViewRows);
    position_.resize(kMaxViewRows + 1);
    texts_.resize(kMaxViewRows + 1);
    Reset();
}

int TuneListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int TuneListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kListColumns.size());
}

void TuneListModel::CacheTexts(int32_t viewRow) {
    auto& texts = texts_[static_cast<size_t>(viewRow)];
    for (size_t c = 0; c < kListColumns.size(); ++c) {
        const ListCell cell = ListCellValue(view_.List, viewRow, kListColumns[c].property);
        texts[c] = cell.kind == CellKind::Text ? FromMacRoman(cell.text.view()) : QString();
    }
}

void TuneListModel::Reset() {
    beginResetModel();
    order_.clear();
    for (int32_t r = 1; r <= view_.List.ViewCount; ++r) {
        order_.push_back(r);
        position_[static_cast<size_t>(r)] = r - 1;
        CacheTexts(r);
    }
    endResetModel();
}

int TuneListModel::ModelRowOf(int32_t viewRow) const {
    if (!view_.List.HasRow(viewRow) || viewRow > static_cast<int32_t>(order_.size())) {
        return -1;
    }
    return position_[static_cast<size_t>(viewRow)];
}

MoodColour TuneListModel::SwatchAt(int modelRow) const {
    const TuneRecord& r = view_.List[ViewRowAt(modelRow)];
    return {r.MoodColourRed, r.MoodColourGreen, r.MoodColourBlue};
}

bool TuneListModel::IsPlayingRow(int modelRow) const {
    return playing_.IsPlaying && playing_.PlayingStamp == view_.ViewStamp &&
           playing_.NowPlayingIndex == ViewRowAt(modelRow);
}

void TuneListModel::SetPlaying(const PlayingMarker& marker) {
    playing_ = marker;
    if (!order_.empty()) {
        emit dataChanged(index(0, kSwatchColumn), index(rowCount() - 1, kSwatchColumn));
    }
}

QVariant TuneListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const int32_t viewRow = ViewRowAt(index.row());
    const int column = index.column();
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        return texts_[static_cast<size_t>(viewRow)][static_cast<size_t>(column)];
    }
    if (role == Qt::CheckStateRole && column == kCheckColumn) {
        return view_.List[viewRow].Checked == 1 ? Qt::Checked : Qt::Unchecked;
    }
    return {};
}

QVariant TuneListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return {};
    }
    return FromMacRoman(kListColumns[static_cast<size_t>(section)].header);
}

Qt::ItemFlags TuneListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!index.isValid()) {
        return f;
    }
    if (index.column() == kCheckColumn) {
        f |= Qt::ItemIsUserCheckable;
    }
    if (IsEditable(PropertyOf(index.column()))) {
        f |= Qt::ItemIsEditable;
    }
    return f;
}

bool TuneListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= rowCount()) {
        return false;
    }
    const int32_t viewRow = ViewRowAt(index.row());
    TuneRecord& row = view_.List[viewRow];
    if (role == Qt::CheckStateRole && index.column() == kCheckColumn) {
        // The row's check mark, and the first library tune of the same title and album.
        row.Checked = value.value<Qt::CheckState>() == Qt::Checked ? 1 : 0;
        for (int32_t slot = 1; slot <= library_.TuneCount; ++slot) {
            TuneRecord& tune = library_[slot];
            if (tune.Title == row.Title && tune.Album == row.Album) {
                tune.Checked = row.Checked;
                break;
            }
        }
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }
    const ViewColumn property = PropertyOf(index.column());
    if (role != Qt::EditRole || !IsEditable(property)) {
        return false;
    }
    const std::string text = ToMacRoman(value.toString());
    switch (property) {
        case ViewColumn::Title:
            row.Title.Set(text);
            break;
        case ViewColumn::Artist:
            row.Artist.Set(text);
            break;
        case ViewColumn::Album:
            row.Album.Set(text);
            break;
        default:
            row.Genre.Set(text);
            break;
    }
    CacheTexts(viewRow);
    if (WriteBackEditedRow(library_, row) && rowEdited) {
        rowEdited(row);
    }
    emit dataChanged(index, index);
    return true;
}

void TuneListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    const ViewColumn property = PropertyOf(column);
    const ViewList& list = view_.List;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int32_t> viewRows;
    viewRows.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex& i : before) {
        viewRows.push_back(ViewRowAt(i.row()));
    }
    // Rows in view order first, so that equal rows keep it whichever way the sort goes.
    std::sort(order_.begin(), order_.end());
    if (order == Qt::AscendingOrder) {
        std::stable_sort(order_.begin(), order_.end(),
                         [&](int32_t a, int32_t b) { return CompareRows(list, a, b, property); });
    } else {
        std::stable_sort(order_.begin(), order_.end(),
                         [&](int32_t a, int32_t b) { return CompareRows(list, b, a, property); });
    }
    for (size_t i = 0; i < order_.size(); ++i) {
        position_[static_cast<size_t>(order_[i])] = static_cast<int32_t>(i);
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        after.push_back(index(ModelRowOf(viewRows[static_cast<size_t>(i)]), before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void MoodCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() == kSwatchColumn) {
        DrawMoodCell(*painter, option.rect, kListRowHeight, model_.SwatchAt(index.row()),
                     model_.IsPlayingRow(index.row()));
    }
}

QTableView* MakeTuneListView(TuneListModel& model, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setModel(&model);
    view->setItemDelegate(new MoodCellDelegate(model, view));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    view->setShowGrid(false);
    view->setAlternatingRowColors(true);
    view->setWordWrap(false);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QHeaderView* rows = view->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(kListRowHeight);
    rows->setDefaultSectionSize(kListRowHeight);
    QHeaderView* header = view->horizontalHeader();
    header->setMinimumSectionSize(20);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (size_t c = 0; c < kListColumns.size(); ++c) {
        header->resizeSection(static_cast<int>(c), kListColumns[c].initialWidth);
    }
    // Each column keeps to its own width range.
    QObject::connect(header, &QHeaderView::sectionResized, view,
                     [header](int section, int, int width) {
                         if (section < 0 || section >= static_cast<int>(kListColumns.size())) {
                             return;
                         }
                         const ListColumnSpec& spec = kListColumns[static_cast<size_t>(section)];
                         const int clamped = std::clamp(width, spec.minWidth, spec.maxWidth);
                         if (clamped != width && section != 0) {
                             header->resizeSection(section, clamped);
                         }
                     });
    view->setSortingEnabled(true);
    view->sortByColumn(8, Qt::AscendingOrder);
    return view;
}

void ApplyColumnWidths(QTableView& view, int windowWidth) {
    QHeaderView* header = view.horizontalHeader();
    for (size_t c = 0; c < kListColumns.size(); ++c) {
        header->resizeSection(static_cast<int>(c),
                              LaidOutColumnWidth(kListColumns[c], windowWidth));
    }
}

}  // namespace harmovia
