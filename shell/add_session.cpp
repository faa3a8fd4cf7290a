#include "shell/add_session.h"

#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <thread>

#include "browse/view_builder.h"
#include "library/library_file.h"
#include "library/mac_roman_qt.h"
#include "player/play_loop.h"
#include "shell/app_state.h"
#include "shell/artwork.h"
#include "shell/commands.h"
#include "shell/kept_playlists.h"
#include "shell/list_commands.h"
#include "shell/main_window.h"
#include "shell/menu_table.h"
#include "shell/notices.h"
#include "shell/player_wiring.h"
#include "shell/qt_menu_bar.h"

namespace harmovia {
namespace {

constexpr int kSheetWidth = 420;
constexpr int kSheetHeight = 150;
// Between steps that wait for a measurement, should its wake-up never come.
constexpr int kWaitingRetryMilliseconds = 2000 / 60;

QRect Rect(int left, int top, int right, int bottom) {
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QLabel* SmallText(const QString& text, QWidget* parent, const QRect& rect) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(10);
    label->setFont(font);
    label->setGeometry(rect);
    return label;
}

// The next dropped folder that starts, once no add runs.
void StartNextDropped(App& app) {
    while (!app.AddingTunes && !app.ending && !app.droppedFolders.empty()) {
        const std::filesystem::path next = app.droppedFolders.front();
        app.droppedFolders.erase(app.droppedFolders.begin());
        StartAdd(app, next);
    }
}

int Workers() {
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, 4U));
}

}  // namespace

AddSession::AddSession(App& app, const std::optional<std::filesystem::path>& folder)
    : app_(app), steps_(*app.framework), context_(std::make_unique<QObject>()) {
    AddHooks hooks;
    hooks.saveLibrary = [&app](const Library& library) {
        return app.libraryUnread ? kNoErr : SaveLibrary(library, *app.files, app.folder);
    };
    hooks.setMenusEnabled = [&app](bool enabled) {
        for (int16_t menu = kFileMenu; menu <= kPlayerMenu; ++menu) {
            app.menus->SetMenuItem(menu, 0, enabled ? kItemEnabled : kItemDisabled);
        }
    };
    hooks.progressChanged = [this](const AddProgress& progress) { Show(progress); };
    hooks.notices = app.notices;

    sheet_ = new QDialog(app.window.get(), Qt::Sheet);
    sheet_->setObjectName(QStringLiteral("window%1").arg(kAddProgressWindow));
    sheet_->setWindowModality(Qt::WindowModal);
    sheet_->setFixedSize(kSheetWidth, kSheetHeight);
    const int w = kSheetWidth;
    const int h = kSheetHeight;
    auto* icon = new QLabel(sheet_);
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    icon->setGeometry(15, 12, 48, 48);
    auto* message = new QLabel(QStringLiteral(" Adding tunes to your database..."), sheet_);
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);
    message->setGeometry(70, 12, w - 85, 48);
    status_ = SmallText(QStringLiteral("Scanning for music files... please wait..."), sheet_,
                        Rect(15, 67, w - 15, 82));
    status_->setObjectName(QStringLiteral("control55"));
    auto* bar = new QProgressBar(sheet_);
    bar->setRange(0, 0);  // indeterminate
    bar->setTextVisible(false);
    bar->setGeometry(Rect(15, 84, w - 15, 99));
    total_ = SmallText(QString(), sheet_, Rect(15, 102, w - 100, 117));
    total_->setObjectName(QStringLiteral("control56"));
    auto* stop = new QPushButton(QStringLiteral("Stop"), sheet_);
    stop->setObjectName(QStringLiteral("control%1").arg(kStopAddingButton));
    stop->setGeometry(Rect(w - 73, h - 35, w - 15, h - 15));
    QObject::connect(stop, &QPushButton::clicked, sheet_,
                     [&app] { HandleControlEvent(app, ControlEventKind::Hit, kStopAddingButton); });
    // A measurement finished on a worker: the main thread takes the next step. The
    // context outlives the workers (the task goes first), and deleting it drops what is
    // still queued when the session ends.
    stepper_ = new QTimer(context_.get());
    stepper_->setSingleShot(true);
    QObject::connect(stepper_, &QTimer::timeout, context_.get(), [this] { Step(); });
    QObject* context = context_.get();
    hooks.measurementReady = [context, this] {
        QMetaObject::invokeMethod(
            context,
            [this] {
                if (waiting_) {
                    stepper_->start(0);
                }
            },
            Qt::QueuedConnection);
    };

    AddStart start = folder ? AddTunesFromFolder(*app.library, *app.framework, steps_,
                                                 std::move(hooks), *folder, Workers())
                            : AddTunesFromITunes(*app.library, *app.framework, steps_,
                                                 std::move(hooks), app.musicFolder, Workers());
    if (start.result != AddStartResult::Started) {
        if (start.result == AddStartResult::NotAFolder) {
            app.notices->Beep(1);
        }
        delete sheet_;
        return;
    }
    task_ = std::move(start.task);
    app.AddingTunes = true;
    app.StopAddingRequest = false;
    total_->setText(FromMacRoman(TotalTunesText(task_->progress()).view()));
    sheet_->show();
    stepper_->start(0);
}

AddSession::~AddSession() {
    task_.reset();
    context_.reset();
    CloseSheetLater(sheet_);
}

void AddSession::RequestStop() {
    if (task_) {
        task_->RequestStop();
    }
}

void AddSession::Show(const AddProgress& progress) {
    status_->setText(FromMacRoman(progress.StatusText.view()));
    total_->setText(FromMacRoman(TotalTunesText(progress).view()));
}

void AddSession::Step() {
    waiting_ = false;
    if (!task_ || task_->finished() || app_.ending) {
        return;
    }
    if (app_.StopAddingRequest) {
        task_->RequestStop();
    }
    switch (task_->Step()) {
        case AddTask::State::Working:
            stepper_->start(0);
            return;
        case AddTask::State::Waiting:
            waiting_ = true;
            stepper_->start(kWaitingRetryMilliseconds);
            return;
        case AddTask::State::Finished:
            Finish();
            return;
    }
}

void AddSession::Finish() {
    if (app_.StopAddingRequest) {
        app_.droppedFolders.clear();  // a stop ends what was dropped with it
    }
    app_.AddingTunes = false;
    app_.StopAddingRequest = false;
    sheet_->hide();
    RecountMoods(*app_.library);
    if (app_.library->TuneCount > 0) {
        AllTunesCommand(app_);
    }
    RewriteKeptMoodPlaylists(app_);
    // The session ends once this step has returned.
    QTimer::singleShot(0, app_.window.get(), [&app = app_, self = this] {
        if (app.adding.get() == self) {
            app.adding.reset();
        }
        StartNextDropped(app);
    });
}

void StartAdd(App& app, const std::optional<std::filesystem::path>& folder) {
    // One add at a time: replacing a running add would throw away its uncommitted tunes.
    if (app.AddingTunes) {
        return;
    }
    auto session = std::make_unique<AddSession>(app, folder);
    if (session->Started()) {
        app.adding = std::move(session);
        WakeTicks(app);
    }
}

void AddTunesCommand(App& app, bool fromMusicFolder,
                     const std::optional<std::filesystem::path>& given) {
    if (app.AddingTunes) {
        app.notices->Beep(1);
        if (app.notices->ShowAlert({"Tunes Are Currently Being Added...",
                                    "Would you like to stop adding tunes?", "Stop Adding"})) {
            app.StopAddingRequest = true;
            if (app.adding) {
                app.adding->RequestStop();
            }
        }
        return;
    }
    if (app.player->CurrentMovie) {
        StopForNewList(app);
        ResetPlayControls(app);
        PlayerEventHook(*app.playerContext);  // the stop is taken before the add starts
    }
    if (fromMusicFolder) {
        StartAdd(app, std::nullopt);
        return;
    }
    const std::optional<std::filesystem::path> folder = given ? given : app.chooseFolder(app);
    if (folder) {
        StartAdd(app, folder);
    }
}

void AddDroppedCommand(App& app, std::vector<std::filesystem::path> paths) {
    if (app.AddingTunes || app.ending || app.saving) {
        app.notices->Beep(1);
        return;
    }
    if (paths.empty()) {
        return;
    }
    const std::filesystem::path first = paths.front();
    app.droppedFolders.assign(paths.begin() + 1, paths.end());
    AddTunesCommand(app, false, first);
    StartNextDropped(app);  // when the first could not start
}

std::optional<std::filesystem::path> ChooseFolderWithDialog(App& app) {
    const QString chosen = QFileDialog::getExistingDirectory(
        app.window.get(), QStringLiteral("Choose a folder of music to add"));
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(chosen.toStdString());
}

}  // namespace harmovia
