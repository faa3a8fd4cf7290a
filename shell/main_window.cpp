#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QTableView>
#include <QToolButton>
#include <algorithm>

#include "browse/status_line.h"
#include "browse/view_builder.h"
#include "library/mac_roman_qt.h"
#include "library/mood.h"
#include "shell/add_session.h"
#include "shell/artwork.h"
#include "shell/commands.h"
#include "shell/menu_table.h"
#include "shell/notices.h"
#include "shell/platform_texts.h"
#include "shell/player_commands.h"
#include "shell/player_wiring.h"
#include "shell/qt_menu_bar.h"
#include "shell/tune_list.h"

namespace harmovia {
namespace {

const QColor kContentGrey = QColor::fromRgba64(0x6E00, 0x6E00, 0x6E00);
const QColor kLightText(0xF2, 0xF2, 0xF2);
const QColor kPanelText(0x1C, 0x26, 0x1A);

// The display area behind the three display lines, painted at whatever size it has.
class DisplayPanel final : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        PaintDisplayPanel(p, QRectF(rect()));
    }
};

QFont SmallSystemFont(const QFont& base) {
    QFont font = base;
    font.setPixelSize(11);
    return font;
}

QLabel* MakeLabel(const QString& text, QWidget* parent, const QColor& colour,
                  Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setFont(SmallSystemFont(label->font()));
    label->setAlignment(alignment);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

QToolButton* MakeIconButton(const QIcon& icon, int size, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setIcon(icon);
    button->setIconSize(QSize(size, size));
    button->setAutoRaise(true);
    // Tab reaches it; a click leaves the keyboard where it was (the space bar pauses).
    button->setFocusPolicy(Qt::TabFocus);
    button->setStyleSheet(QStringLiteral(
        "QToolButton { border: none; background: transparent; padding: 0; }"
        "QToolButton:focus { background: rgba(255, 255, 255, 70); border-radius: 8px; }"
        "QToolButton:pressed { background: rgba(0, 0, 0, 40); border-radius: 8px; }"));
    return button;
}

PlayerButton PlayerButtonFor(int32_t id) {
    switch (id) {
        case kBackButton:
            return PlayerButton::Back;
        case kForwardButton:
            return PlayerButton::Forward;
        default:
            return PlayerButton::Play;
    }
}

QString PopupText(int item) {
    return QStringLiteral("Mood By Genre: ") + FromMacRoman(GenreItemText(item));
}

constexpr int kCheckColumn = 1;  // the list's check boxes

// The buttons a row of arrows moves along, left to right.
constexpr std::array<int32_t, 3> kPlayerRow = {kBackButton, kPlayButton, kForwardButton};

// The neighbour `step` (-1, +1) along the button row of `id`; 0 at either end of a row or
// for a control in none.
int32_t RowNeighbour(int32_t id, int step) {
    if (id >= kFirstColourButton && id <= kLastColourButton) {
        const int32_t next = id + step;
        return next >= kFirstColourButton && next <= kLastColourButton ? next : 0;
    }
    const auto* at = std::find(kPlayerRow.begin(), kPlayerRow.end(), id);
    if (at == kPlayerRow.end()) {
        return 0;
    }
    const auto next = (at - kPlayerRow.begin()) + step;
    return next >= 0 && next < std::ssize(kPlayerRow) ? kPlayerRow[static_cast<size_t>(next)] : 0;
}

bool IsPressKey(int key) {
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

std::string_view AccessibleNameOf(int32_t id, bool playing) {
    if (id == kFirstColourButton) {
        return "All Tunes";
    }
    if (id == kLastColourButton) {
        return "Last Added";
    }
    if (id > kFirstColourButton && id < kLastColourButton) {
        return MoodTable[static_cast<size_t>(id - kFirstColourButton)].name;
    }
    static constexpr std::array<std::pair<int32_t, std::string_view>, 6> kNames = {{
        {kSearchField, "Search"},
        {kGenrePopup, "Mood By Genre"},
        {kBackButton, "Back"},
        {kForwardButton, "Next"},
        {kVolumeSlider, "Volume"},
        {kTuneListId, "Tunes"},
    }};
    if (id == kPlayButton) {
        return playing ? "Stop" : "Play";
    }
    for (const auto& [control, name] : kNames) {
        if (control == id) {
            return name;
        }
    }
    return {};
}

std::vector<std::filesystem::path> DroppedPaths(const QList<QUrl>& urls) {
    std::vector<std::filesystem::path> paths;
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            paths.emplace_back(QFile::encodeName(url.toLocalFile()).toStdString());
        }
    }
    return paths;
}

ControlRect PlaceControl(const ControlSpec& spec, int w, int h, bool resized) {
    ControlRect r{spec.left.At(w, h), spec.top.At(w, h), spec.right.At(w, h), spec.bottom.At(w, h)};
    if (spec.kind == ControlKind::ColourButton) {
        const int top = resized ? kColourRowTopAfterResize : kColourRowTopAtBuild;
        r.top += top;
        r.bottom += top;
    }
    return r;
}

MainWindow::MainWindow(App& app) : app_(app) {
    Build();
}

MainWindow::~MainWindow() = default;

void MainWindow::Build() {
    setObjectName(WindowObjectName(kMainWindow));
    setWindowTitle(QStringLiteral("Harmovia"));
    // The program's own start gives every window the icon; a window made without it draws one.
    if (QApplication::windowIcon().isNull()) {
        setWindowIcon(ProgramIcon());
    }
    if (app_.menus != nullptr && app_.menus->Bar() != nullptr) {
        setMenuBar(app_.menus->Bar());
        app_.menus->SetWindow(this);
    }
    setMinimumSize(kMinimumWindowWidth, kMinimumWindowHeight);
    const Preferences& prefs = app_.preferences;
    QRect frame(prefs.WindowLeft, prefs.WindowTop,
                std::max<int>(prefs.WindowWidth, kMinimumWindowWidth),
                std::max<int>(prefs.WindowHeight, kMinimumWindowHeight));
    // A frame saved on a display that is gone (or read from a damaged file) would leave
    // the window where nobody can see it.
    if (const QScreen* screen = QGuiApplication::primaryScreen();
        screen != nullptr && !screen->virtualGeometry().intersects(frame)) {
        frame.moveTopLeft(screen->availableGeometry().topLeft());
    }
    setGeometry(frame);

    content_ = new QWidget(this);
    content_->setAutoFillBackground(true);
    QPalette palette = content_->palette();
    palette.setColor(QPalette::Window, kContentGrey);
    content_->setPalette(palette);
    setCentralWidget(content_);

    for (const ControlSpec& spec : kMainWindowControls) {
        if (QWidget* widget = MakeControl(spec, content_)) {
            widget->setObjectName(QStringLiteral("control%1").arg(spec.id));
            widget->setProperty("controlId", spec.id);
            if (!spec.helpTag.empty()) {
                widget->setToolTip(FromMacRoman(spec.helpTag));
            }
            controls_[spec.id] = widget;
        }
    }
    model_ = new TuneListModel(*app_.view, *app_.library, this);
    // The playing list's copy of an edited tune follows the library's.
    model_->rowEdited = [this](const TuneRecord& row) {
        if (app_.player) {
            ViewList& playing = app_.player->NowPlayingList;
            WriteBackEditedRow(playing.Rows, playing.ViewCount, row);
        }
    };
    list_ = MakeTuneListView(*model_, content_);
    list_->setObjectName(QStringLiteral("tuneList"));
    controls_[kTuneListId] = list_;
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    app_.view->SelectedRow = model_->ViewRowAt(current.row());
                }
            });
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, &MainWindow::ShowListMenu);
    connect(list_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        app_.view->SelectedRow = model_->ViewRowAt(index.row());
        app_.PlayFromSelectionRequest = true;
        WakeTicks(app_);
    });
    // A text field keeps its spaces: it takes the key before any shortcut does.
    auto* pauseKey = new QShortcut(QKeySequence(Qt::Key_Space), this);
    pauseKey->setObjectName(QStringLiteral("pauseKey"));
    connect(pauseKey, &QShortcut::activated, this, [this] { PauseKeyCommand(app_); });
    ShowStatusLine();
    MakeReachable();
    setAcceptDrops(true);
    LayOut();
    builtSize_ = size();
}

void MainWindow::ShowListMenu(const QPoint& at) {
    const QModelIndex index = list_->indexAt(at);
    if (!index.isValid()) {
        return;
    }
    list_->setCurrentIndex(index);
    app_.view->SelectedRow = model_->ViewRowAt(index.row());
    if (listMenu_ == nullptr) {
        // The Edit item's submenu, from the same table rows, through the same door.
        listMenu_ = new QMenu(this);
        listMenu_->setObjectName(QStringLiteral("listMenu"));
        QMenu* moods = nullptr;
        for (const MenuBuildStep& build : kMenuBuild) {
            const MenuStep& s = build.step;
            if (s.submenu == kSetMoodMenu) {
                moods = listMenu_->addMenu(FromMacRoman(SplitMenuItemText(s.text).shown));
                moods->setObjectName(QStringLiteral("listSetMoodMenu"));
            }
            if (s.menu != kSetMoodMenu || moods == nullptr) {
                continue;
            }
            if (s.text == "-") {
                moods->addSeparator();
                continue;
            }
            QAction* action = moods->addAction(FromMacRoman(SplitMenuItemText(s.text).shown));
            if (IsMood(s.item)) {
                action->setIcon(MoodDiscIcon(s.item));
            }
            connect(action, &QAction::triggered, this,
                    [this, item = s.item] { HandleMenuCommand(app_, kSetMoodMenu, item); });
        }
    }
    listMenu_->popup(list_->viewport()->mapToGlobal(at));
}

void MainWindow::MakeReachable() {
    for (const ControlSpec& spec : kMainWindowControls) {
        QWidget* widget = Control(spec.id);
        if (widget == nullptr) {
            continue;
        }
        if (const std::string_view name = AccessibleNameOf(spec.id); !name.empty()) {
            widget->setAccessibleName(FromMacRoman(name));
        }
        if (!spec.helpTag.empty()) {
            widget->setAccessibleDescription(FromMacRoman(spec.helpTag));
        }
        if (spec.kind == ControlKind::ColourButton || spec.kind == ControlKind::PlayerButton) {
            widget->installEventFilter(this);
        }
    }
    list_->setAccessibleName(FromMacRoman(AccessibleNameOf(kTuneListId)));
    list_->setTabKeyNavigation(false);  // Tab goes on to the buttons; arrows move in the list
    list_->installEventFilter(this);
    if (QWidget* popup = Control(kGenrePopup)) {
        popup->setAccessibleDescription(qobject_cast<QPushButton*>(popup)->text());
    }
    QWidget* previous = nullptr;
    for (const int32_t id : kTabOrder) {
        QWidget* widget = Control(id);
        if (widget != nullptr && previous != nullptr) {
            setTabOrder(previous, widget);
        }
        previous = widget != nullptr ? widget : previous;
    }
    // The list has the keyboard at start: the arrows, Return and the space bar work at once,
    // and no caret blinks (and wakes the program) in a window left alone.
    list_->setFocus(Qt::OtherFocusReason);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (!key) {
        return QMainWindow::eventFilter(watched, event);
    }
    const auto* press = static_cast<QKeyEvent*>(event);
    const bool returnKey = press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter;
    if (watched == list_) {
        // Return plays the selected tune, as a double click does (an open editor has the
        // keyboard itself, so its Return never comes here).
        if (event->type() == QEvent::KeyPress && returnKey && list_->currentIndex().isValid()) {
            app_.view->SelectedRow = model_->ViewRowAt(list_->currentIndex().row());
            app_.PlayFromSelectionRequest = true;
            return true;
        }
        // On a check box (reached with the arrows) the space bar checks, not pauses.
        if (event->type() == QEvent::ShortcutOverride && press->key() == Qt::Key_Space &&
            list_->currentIndex().column() == kCheckColumn) {
            event->accept();
            return true;
        }
        return QMainWindow::eventFilter(watched, event);
    }
    auto* button = qobject_cast<QToolButton*>(watched);
    if (button == nullptr) {
        return QMainWindow::eventFilter(watched, event);
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // The focused button takes the space bar before the pause key does.
        if (IsPressKey(press->key())) {
            event->accept();
            return true;
        }
        return false;
    }
    if (returnKey) {
        button->animateClick();
        return true;
    }
    const int step = press->key() == Qt::Key_Left ? -1 : press->key() == Qt::Key_Right ? 1 : 0;
    if (step != 0) {
        if (QWidget* next = Control(RowNeighbour(button->property("controlId").toInt(), step))) {
            next->setFocus(Qt::TabFocusReason);
        }
        return true;
    }
    return false;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    // Rows dragged out of the list are not dropped back in.
    if (event->source() == nullptr && !DroppedPaths(event->mimeData()->urls()).empty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    std::vector<std::filesystem::path> paths = DroppedPaths(event->mimeData()->urls());
    if (event->source() != nullptr || paths.empty()) {
        return;
    }
    event->acceptProposedAction();
    AddDroppedCommand(app_, std::move(paths));
}

QWidget* MainWindow::MakeControl(const ControlSpec& spec, QWidget* content) {
    const int32_t id = spec.id;
    const auto hit = [this, id] { HandleControlEvent(app_, ControlEventKind::Hit, id); };
    switch (spec.kind) {
        case ControlKind::SearchField: {
            auto* field = new QLineEdit(content);
            field->addAction(SearchGlyphIcon(), QLineEdit::LeadingPosition)
                ->setText(QStringLiteral("Search"));
            field->setClearButtonEnabled(true);
            // Screen readers name the clear button by its action.
            if (auto* clear =
                    field->findChild<QAction*>(QStringLiteral("_q_qlineeditclearaction"))) {
                clear->setText(QStringLiteral("Clear"));
            }
            connect(field, &QLineEdit::returnPressed, this, hit);
            return field;
        }
        case ControlKind::HintText:
            return MakeLabel(FromMacRoman(spec.text), content, kLightText,
                             Qt::AlignLeft | Qt::AlignVCenter);
        case ControlKind::DisplayPanel:
            return new DisplayPanel(content);
        case ControlKind::DisplayLine: {
            QLabel* line = MakeLabel(FromMacRoman(spec.text), content, kPanelText, Qt::AlignCenter);
            line->setAttribute(Qt::WA_TransparentForMouseEvents);
            return line;
        }
        case ControlKind::Popup: {
            auto* popup = new QPushButton(PopupText(1), content);
            QMenu* menu =
                app_.menus != nullptr
                    ? BuildMoodByGenrePopup(*app_.menus,
                                            [this, popup](int item, int mood) {
                                                popupItem_ = item;
                                                popupMood_ = mood;
                                                popup->setText(PopupText(item));
                                                popup->setAccessibleDescription(popup->text());
                                                HandleControlEvent(app_, ControlEventKind::Hit,
                                                                   kGenrePopup);
                                            })
                    : nullptr;
            if (menu == nullptr) {
                delete popup;
                return nullptr;
            }
            menu->setParent(popup, menu->windowFlags());
            popup->setMenu(menu);
            return popup;
        }
        case ControlKind::PushButton: {
            auto* button = new QPushButton(FromMacRoman(PlatformTextFor(spec.text)), content);
            connect(button, &QPushButton::clicked, this, hit);
            return button;
        }
        case ControlKind::ColourButton: {
            QToolButton* button =
                MakeIconButton(ColourButtonIcon(id - kFirstColourButton), 48, content);
            connect(button, &QToolButton::clicked, this, hit);
            return button;
        }
        case ControlKind::PlayerButton: {
            const int size = id == kPlayButton ? 48 : 32;
            QToolButton* button =
                MakeIconButton(PlayerButtonIcon(PlayerButtonFor(id), size), size, content);
            connect(button, &QToolButton::clicked, this, hit);
            return button;
        }
        case ControlKind::Slider: {
            auto* slider = new QSlider(Qt::Horizontal, content);
            slider->setRange(0, 730);
            slider->setValue(app_.preferences.Volume);
            // The arrows move it as Volume Up and Volume Down do; Tab reaches it.
            slider->setSingleStep(10);
            slider->setPageStep(73);
            slider->setFocusPolicy(Qt::TabFocus);
            connect(slider, &QSlider::valueChanged, this, [this](int value) {
                app_.preferences.Volume = static_cast<int16_t>(value);
                HandleControlEvent(app_, ControlEventKind::ValueChanged, kVolumeSlider);
            });
            return slider;
        }
        case ControlKind::StatusText:
            return MakeLabel(QString(), content, kLightText, Qt::AlignCenter);
        case ControlKind::TuneList:
            break;
    }
    return nullptr;
}

QSize MainWindow::ContentSize() const {
    return content_ != nullptr ? content_->size() : QSize();
}

void MainWindow::LayOut() {
    const QSize size = ContentSize();
    const int w = size.width();
    const int h = size.height();
    for (const ControlSpec& spec : kMainWindowControls) {
        if (QWidget* widget = Control(spec.id)) {
            const ControlRect r = PlaceControl(spec, w, h, resized_);
            widget->setGeometry(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)));
        }
    }
    const ControlRect r = PlaceControl(kTuneListSpec, w, h, resized_);
    list_->setGeometry(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)));
    ApplyColumnWidths(*list_, w);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The window's own size, not its content's: the content settles when the window is
    // first shown, which is no resize.
    if (builtSize_.isValid() && size() != builtSize_) {
        resized_ = true;
    }
    LayOut();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (app_.ending) {
        event->accept();
        return;
    }
    // Closing the window quits the program; the quit itself decides whether it happens.
    event->ignore();
    HandleControlEvent(app_, ControlEventKind::WindowClose, 1);
}

QWidget* MainWindow::Control(int32_t id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second.data();
}

void MainWindow::SetPlayButton(int state) {
    if (auto* button = qobject_cast<QToolButton*>(Control(kPlayButton))) {
        button->setIcon(PlayerButtonIcon(state == 2 ? PlayerButton::Stop : PlayerButton::Play, 48));
        button->setAccessibleName(FromMacRoman(AccessibleNameOf(kPlayButton, state == 2)));
    }
}

void MainWindow::ShowDisplayLines(const DisplayAreaLines& lines) {
    const std::array<std::pair<int32_t, const PStr*>, 3> texts = {{{kDisplayLine1, &lines.Line1},
                                                                   {kDisplayLine2, &lines.Line2},
                                                                   {kDisplayLine3, &lines.Line3}}};
    for (const auto& [id, text] : texts) {
        if (auto* label = qobject_cast<QLabel*>(Control(id))) {
            label->setText(FromMacRoman(text->view()));
        }
    }
}

void MainWindow::SelectListRow(int32_t row) {
    const int modelRow = model_->ModelRowOf(row);
    if (modelRow < 0) {
        list_->clearSelection();
        return;
    }
    list_->selectRow(modelRow);
    list_->scrollTo(model_->index(modelRow, 0));
}

void MainWindow::RefreshList() {
    model_->Reset();
    list_->horizontalHeader()->setSortIndicator(8, Qt::AscendingOrder);
    list_->scrollToTop();
    ShowStatusLine();
}

void MainWindow::SetPlayingRow(const PlayingMarker& marker) {
    model_->SetPlaying(marker);
}

void MainWindow::ShowStatusLine() {
    if (auto* label = qobject_cast<QLabel*>(Control(kStatusText))) {
        label->setText(FromMacRoman(StatusLineText(*app_.view).view()));
    }
}

void MainWindow::ShowWelcomeSheet() {
    if (welcome_ == nullptr) {
        welcome_ = MakeWelcomeSheet(app_, this);
    }
    welcome_->show();
}

}  // namespace harmovia
