#include "shell/tune_list.h"

#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "analysis/mood_by_hand.h"
#include "analysis/mood_explanation.h"
#include "browse/list_rows.h"
#include "library/mac_roman_qt.h"
#include "library/mood.h"
#include "library/tune_identity.h"
#include "shell/artwork.h"

namespace harmovia {
namespace {

constexpr int kCheckColumn = 1;
constexpr int kSwatchColumn = 2;
constexpr int kCheckBoxSize = 14;

ViewColumn PropertyOf(int column) {
    return kListColumns[static_cast<size_t>(column)].property;
}

bool IsEditable(ViewColumn property) {
    return property == ViewColumn::Title || property == ViewColumn::Artist ||
           property == ViewColumn::Album || property == ViewColumn::Genre;
}

}  // namespace

bool WriteBackEditedRow(RecordRows& records, int32_t count, const TuneRecord& row) {
    for (int32_t at = 1; at <= count; ++at) {
        if (SameRecord(records.Read(at), row)) {
            TuneRecord& tune = records.Write(at);
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
    Reset();
}

int TuneListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int TuneListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kListColumns.size());
}

QString TuneListModel::TextAt(int modelRow, int column) const {
    const ListCell cell = ListCellValue(view_.List, ViewRowAt(modelRow), PropertyOf(column));
    return cell.kind == CellKind::Text ? FromMacRoman(cell.text.view()) : QString();
}

void TuneListModel::Reset() {
    beginResetModel();
    order_.clear();
    position_.assign(static_cast<size_t>(std::max(view_.List.ViewCount, 0)) + 1, 0);
    for (int32_t r = 1; r <= view_.List.ViewCount; ++r) {
        order_.push_back(r);
        position_[static_cast<size_t>(r)] = r - 1;
    }
    endResetModel();
}

void TuneListModel::AppendRows() {
    const auto shown = static_cast<int32_t>(order_.size());
    if (view_.List.ViewCount <= shown) {
        return;
    }
    beginInsertRows({}, shown, view_.List.ViewCount - 1);
    position_.resize(static_cast<size_t>(view_.List.ViewCount) + 1, 0);
    for (int32_t r = shown + 1; r <= view_.List.ViewCount; ++r) {
        position_[static_cast<size_t>(r)] = static_cast<int>(order_.size());
        order_.push_back(r);
    }
    endInsertRows();
}

int TuneListModel::ModelRowOf(int32_t viewRow) const {
    if (!view_.List.HasRow(viewRow) || viewRow > static_cast<int32_t>(order_.size())) {
        return -1;
    }
    return position_[static_cast<size_t>(viewRow)];
}

MoodColour TuneListModel::SwatchAt(int modelRow) const {
    const TuneRecord& r = std::as_const(view_.List)[ViewRowAt(modelRow)];
    return {r.MoodColourRed, r.MoodColourGreen, r.MoodColourBlue};
}

bool TuneListModel::MoodSetByHandAt(int modelRow) const {
    return IsMoodSetByHand(std::as_const(view_.List)[ViewRowAt(modelRow)]);
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
        return TextAt(index.row(), column);
    }
    if (role == Qt::CheckStateRole && column == kCheckColumn) {
        return std::as_const(view_.List)[viewRow].Checked == 1 ? Qt::Checked : Qt::Unchecked;
    }
    // What a screen reader says for the cells that show no text: the mood's name, and
    // whether the tune is checked.
    if (role == Qt::AccessibleTextRole && column == kSwatchColumn) {
        const int32_t mood = std::as_const(view_.List)[viewRow].Mood;
        if (!IsMood(mood)) {
            return QString();
        }
        const QString name = FromMacRoman(MoodTable[static_cast<size_t>(mood)].name);
        return IsMoodSetByHand(std::as_const(view_.List)[viewRow])
                   ? name + QStringLiteral(", set by hand")
                   : name;
    }
    // Why the tune has its mood; rich text, so that the tooltip wraps.
    if (role == Qt::ToolTipRole && column == kSwatchColumn) {
        const QString why = FromMacRoman(ExplainMood(std::as_const(view_.List)[viewRow]));
        return QStringLiteral("<p>") + why.toHtmlEscaped() + QStringLiteral("</p>");
    }
    if (role == Qt::AccessibleTextRole && column == kCheckColumn) {
        return std::as_const(view_.List)[viewRow].Checked == 1 ? QStringLiteral("Checked")
                                                               : QStringLiteral("Not checked");
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
    return f | Qt::ItemIsDragEnabled;
}

QStringList TuneListModel::mimeTypes() const {
    return {QStringLiteral("text/uri-list")};
}

QMimeData* TuneListModel::mimeData(const QModelIndexList& indexes) const {
    std::set<int> rows;
    for (const QModelIndex& index : indexes) {
        if (index.isValid() && index.row() < rowCount()) {
            rows.insert(index.row());
        }
    }
    QList<QUrl> urls;
    for (const int row : rows) {
        const std::string_view location = std::as_const(view_.List)[ViewRowAt(row)].Location.view();
        if (!location.empty()) {
            const QByteArray bytes(location.data(), static_cast<qsizetype>(location.size()));
            urls.push_back(QUrl::fromLocalFile(QFile::decodeName(bytes)));
        }
    }
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

bool TuneListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= rowCount()) {
        return false;
    }
    const int32_t viewRow = ViewRowAt(index.row());
    if (role == Qt::CheckStateRole && index.column() == kCheckColumn && checkToggled) {
        checkToggled(viewRow);
        return true;
    }
    TuneRecord& row = view_.List.Rows.Write(viewRow);
    if (role == Qt::CheckStateRole && index.column() == kCheckColumn) {
        // The row's check mark, and the first library tune of the same title and album.
        row.Checked = value.value<Qt::CheckState>() == Qt::Checked ? 1 : 0;
        for (int32_t slot = 1; slot <= library_.TuneCount; ++slot) {
            const TuneRecord& tune = std::as_const(library_)[slot];
            if (tune.Title == row.Title && tune.Album == row.Album) {
                library_.Slots.Write(slot).Checked = row.Checked;
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
    if (WriteBackEditedRow(library_.Slots, library_.TuneCount, row) && rowEdited) {
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
    std::vector<const TuneRecord*> records(static_cast<size_t>(list.ViewCount) + 1);
    for (int32_t row = 1; row <= list.ViewCount; ++row) {
        records[static_cast<size_t>(row)] = &list[row];
    }
    const auto sortsBefore = [&](int32_t a, int32_t b) {
        return CompareRecords({*records[static_cast<size_t>(a)], a},
                              {*records[static_cast<size_t>(b)], b}, property);
    };
    if (order == Qt::AscendingOrder) {
        std::stable_sort(order_.begin(), order_.end(), sortsBefore);
    } else {
        std::stable_sort(order_.begin(), order_.end(),
                         [&](int32_t a, int32_t b) { return sortsBefore(b, a); });
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

TuneCellDelegate::TuneCellDelegate(TuneListModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {
    connect(&model, &QAbstractItemModel::modelReset, this, &TuneCellDelegate::Forget);
    connect(&model, &QAbstractItemModel::dataChanged, this, &TuneCellDelegate::Forget);
}

void TuneCellDelegate::Forget() {
    laidOut_.clear();
}

const QPixmap& TuneCellDelegate::Swatch(MoodColour colour, bool playingDot, bool handSet,
                                        qreal ratio) const {
    const quint64 key = (quint64{colour.red} << 48) | (quint64{colour.green} << 32) |
                        (quint64{colour.blue} << 16) | (playingDot ? 1u : 0u) | (handSet ? 2u : 0u);
    QPixmap& pixmap = swatches_[key];
    if (pixmap.isNull() || pixmap.devicePixelRatio() != ratio) {
        const QSize size(kListRowHeight, kListRowHeight);
        pixmap = QPixmap(size * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        DrawMoodCell(p, QRect(QPoint(0, 0), size), kListRowHeight, colour, playingDot);
        if (handSet) {
            DrawHandSetMark(p, QRect(QPoint(0, 0), size), kListRowHeight);
        }
    }
    return pixmap;
}

const QPixmap& TuneCellDelegate::CheckBox(bool checked, qreal ratio) const {
    QPixmap& pixmap = checkBoxes_[checked ? 1 : 0];
    if (pixmap.isNull() || pixmap.devicePixelRatio() != ratio) {
        pixmap = QPixmap(QSize(kCheckBoxSize, kCheckBoxSize) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF box(0.5, 0.5, kCheckBoxSize - 1, kCheckBoxSize - 1);
        p.setPen(QPen(QColor(0x6A, 0x6A, 0x6A), 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(box, 2.5, 2.5);
        if (checked) {
            p.setPen(QPen(QColor(0x20, 0x24, 0x2A), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            const QPointF tick[] = {QPointF(3.5, 7.3), QPointF(6.1, 10.1), QPointF(10.7, 4.1)};
            p.drawPolyline(tick, 3);
        }
    }
    return pixmap;
}

void TuneCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const int row = index.row();
    const int column = index.column();
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    if (selected) {
        painter->fillRect(option.rect, palette.brush(QPalette::Highlight));
    } else if (row % 2 == 1) {
        // Alternate rows drawn here: the style's row panels cost more than the rest.
        painter->fillRect(option.rect, palette.brush(QPalette::AlternateBase));
    }
    const qreal ratio = painter->device()->devicePixelRatioF();
    if (column == kSwatchColumn) {
        painter->drawPixmap(option.rect.topLeft(),
                            Swatch(model_.SwatchAt(row), model_.IsPlayingRow(row),
                                   model_.MoodSetByHandAt(row), ratio));
        return;
    }
    if (column == kCheckColumn) {
        const QPixmap& box = CheckBox(model_.CheckedAt(row), ratio);
        painter->drawPixmap(option.rect.center() - QPoint(kCheckBoxSize / 2, kCheckBoxSize / 2),
                            box);
        return;
    }
    const int width = option.rect.width() - 8;
    const auto viewRow = static_cast<size_t>(model_.ViewRowAt(row));
    if (viewRow >= laidOut_.size()) {
        laidOut_.resize(viewRow + 1);
    }
    std::optional<LaidOutText>& slot = laidOut_[viewRow][static_cast<size_t>(column)];
    if (!slot) {
        slot.emplace();
    }
    LaidOutText& cell = *slot;
    if (cell.width != width) {
        const QString text = model_.TextAt(row, column);
        cell.empty = text.isEmpty();
        cell.text.setText(option.fontMetrics.elidedText(text, Qt::ElideRight, width));
        cell.text.setTextFormat(Qt::PlainText);
        cell.text.setPerformanceHint(QStaticText::AggressiveCaching);
        cell.width = width;
    }
    if (cell.empty) {
        return;
    }
    painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const int top = option.rect.top() + (option.rect.height() - option.fontMetrics.height()) / 2;
    painter->drawStaticText(QPointF(option.rect.left() + 4, top), cell.text);
}

bool TuneCellDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                   const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (index.column() != kCheckColumn) {
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }
    const bool click = event->type() == QEvent::MouseButtonRelease &&
                       static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                       option.rect.contains(static_cast<QMouseEvent*>(event)->position().toPoint());
    const bool key =
        event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space;
    if (!click && !key) {
        return event->type() == QEvent::MouseButtonDblClick;
    }
    return model->setData(index, model_.CheckedAt(index.row()) ? Qt::Unchecked : Qt::Checked,
                          Qt::CheckStateRole);
}

QTableView* MakeTuneListView(TuneListModel& model, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setModel(&model);
    view->setItemDelegate(new TuneCellDelegate(model, view));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    view->setShowGrid(false);
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
    view->setDragDropMode(QAbstractItemView::DragOnly);
    view->setDefaultDropAction(Qt::CopyAction);
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
