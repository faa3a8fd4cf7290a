#include "shell/send_sheet.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <charconv>

#include "export/send_playlist.h"
#include "library/mac_roman_qt.h"
#include "library/number_text.h"
#include "shell/app_state.h"
#include "shell/commands.h"
#include "shell/list_commands.h"
#include "shell/main_window.h"
#include "shell/menu_table.h"
#include "shell/notices.h"
#include "shell/platform_texts.h"
#include "shell/qt_menu_bar.h"

namespace harmovia {
namespace {

constexpr int kSheetWidth = 442;
// Where a send writes a playlist file, a row more offers to open it.
constexpr int kOpenRowHeight = kMacPlatform ? 0 : 24;
constexpr int kSheetHeight = 207 + kOpenRowHeight;
constexpr std::array<int16_t, 3> kMenusOffWhileSending = {kFileMenu, kPlaylistsMenu, kPlayerMenu};

QRect Rect(int left, int top, int right, int bottom) {
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

template <typename Widget>
Widget* Place(Widget* widget, int32_t id, const QRect& rect, int fontPixels, bool bold = false) {
    widget->setObjectName(QStringLiteral("control%1").arg(id));
    widget->setGeometry(rect);
    if (fontPixels > 0) {
        QFont font = widget->font();
        font.setPixelSize(fontPixels);
        font.setBold(bold);
        widget->setFont(font);
    }
    return widget;
}

// Fonts here run wider than the ones the sheet was laid out with: a label's font shrinks,
// never below 10 pixels, until its one line fits `width`.
void FitFontToWidth(QLabel* label, int width) {
    QFont font = label->font();
    while (font.pixelSize() > 10 && QFontMetrics(font).horizontalAdvance(label->text()) > width) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    label->setFont(font);
}

// The count field as a number; text that is no number counts as 0 (the whole list).
int64_t CountOf(const QString& text) {
    const std::string digits = text.trimmed().toStdString();
    int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() && end == digits.data() + digits.size() ? value : 0;
}

// The desktop's handler for playlists (audio/x-mpegurl): the default music player.
bool OpenWithDesktop(const std::filesystem::path& file) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(file.c_str())));
}

void SetMenus(App& app, int state) {
    for (const int16_t menu : kMenusOffWhileSending) {
        app.menus->SetMenuItem(menu, 0, state);
    }
}

}  // namespace

SendSheet::SendSheet(App& app) : app_(app) {
    const int w = kSheetWidth;
    const int h = kSheetHeight;
    const int32_t viewCount = app.view->List.ViewCount;
    const QString countText = FromMacRoman(NumberText(viewCount).view());
    SetMenus(app, kItemDisabled);
    sheet_ = new QDialog(app.window.get(), Qt::Sheet);
    sheet_->setObjectName(QStringLiteral("window%1").arg(kSendSheetWindow));
    sheet_->setWindowModality(Qt::WindowModal);
    sheet_->setFixedSize(w, h);
    auto* prompt =
        Place(new QLabel(FromMacRoman(PlatformTextFor(
                             "Accept this name for your iTunes playlist or enter a new one.")),
                         sheet_),
              10002, Rect(0, 20, w, 50), 13, true);
    prompt->setAlignment(Qt::AlignCenter);
    FitFontToWidth(prompt, w - 16);
    Place(new QLabel(QStringLiteral("Total playlist tunes:") + countText, sheet_), 10003,
          Rect(20, h - 31, 170, h - 18), 11);
    Place(new QLabel(QStringLiteral("Limit playlist to the following number of tunes:"), sheet_),
          10004, Rect(20, 103, w - 100, 120), 13);
    count_ = Place(new QLineEdit(countText, sheet_), kSendCountField,
                   Rect(w - 99, 100, w - 20, 118), 15);
    name_ = Place(new QLineEdit(FromMacRoman(ProposedPlaylistName(*app.view).view()), sheet_),
                  kSendNameField, Rect(20, 60, w - 20, 78), 15);
    progress_ = Place(new QProgressBar(sheet_), kSendProgressBar, Rect(15, 140, w - 15, 170), 0);
    progress_->setRange(0, std::max(viewCount, 1));
    progress_->setValue(0);
    progress_->setTextVisible(false);
    send_ = Place(new QPushButton(QStringLiteral("Send"), sheet_), kSendButton,
                  Rect(w - 73, h - 35, w - 15, h - 15), 0);
    send_->setDefault(true);
    cancel_ = Place(new QPushButton(QStringLiteral("Cancel"), sheet_), kSendCancelButton,
                    Rect(w - 73 - 65, h - 35, w - 15 - 65, h - 15), 0);
    if (kOpenRowHeight > 0) {
        open_ = Place(new QCheckBox(QStringLiteral("Open the playlist in my music player"), sheet_),
                      kSendOpenBox, Rect(20, 176, w - 20, 176 + kOpenRowHeight - 4), 13);
        open_->setChecked(true);
    }
    // The labels name the fields they stand beside.
    name_->setAccessibleName(QStringLiteral("Playlist name"));
    count_->setAccessibleName(QStringLiteral("Number of tunes"));
    progress_->setAccessibleName(QStringLiteral("Progress"));
    QObject::connect(send_, &QPushButton::clicked, sheet_,
                     [&app] { HandleControlEvent(app, ControlEventKind::Hit, kSendButton); });
    QObject::connect(cancel_, &QPushButton::clicked, sheet_,
                     [&app] { HandleControlEvent(app, ControlEventKind::Hit, kSendCancelButton); });
    sheet_->show();
    name_->setFocus();
}

SendSheet::~SendSheet() {
    CloseSheetLater(sheet_);
}

bool SendSheet::Send() {
    const std::string name = ToMacRoman(name_->text());
    if (name.empty()) {
        app_.notices->Beep(1);
        app_.notices->ShowAlert(
            {"No Playlist Name", "Please enter a name for this playlist.", "Okay"});
        return false;
    }
    const int32_t viewCount = app_.view->List.ViewCount;
    const int64_t count = CountOf(count_->text());
    const int32_t n = count > 0 && count <= viewCount ? static_cast<int32_t>(count) : viewCount;
    send_->setEnabled(false);
    cancel_->setEnabled(false);
    SendTargets targets =
        PlatformSendTargets(*app_.scripts, *app_.files, *app_.notices, app_.environment);
    QProgressBar* bar = progress_;
    targets.progress = [bar](int32_t value, int32_t maximum) {
        bar->setMaximum(std::max(maximum, 1));
        bar->setValue(value);
        bar->repaint();
    };
    app_.lastSend = SendPlaylistToITunes(*app_.view, name, n, targets);
    if (open_ != nullptr && open_->isChecked() && app_.lastSend.playlistFile) {
        const std::filesystem::path& file = *app_.lastSend.playlistFile;
        const bool opened = app_.openPlaylist ? app_.openPlaylist(file) : OpenWithDesktop(file);
        if (!opened) {
            app_.notices->ShowAlert({"Playlist Not Opened",
                                     "The playlist was saved as \"" +
                                         ToMacRoman(QFile::decodeName(file.c_str())) +
                                         "\", but no music player opened it.",
                                     "Okay"});
        }
    }
    return true;
}

void SendPlaylistCommand(App& app) {
    if (!HasTunes(app) || app.sending) {
        return;
    }
    if (app.player->CurrentMovie) {
        StopForNewList(app);
        ResetPlayControls(app);
    }
    app.sending = std::make_unique<SendSheet>(app);
}

void SendSheetSend(App& app) {
    if (!app.sending) {
        return;
    }
    if (app.sending->Send()) {
        CloseSendSheet(app);
    }
}

void CloseSendSheet(App& app) {
    if (!app.sending) {
        return;
    }
    app.sending.reset();
    SetMenus(app, kItemEnabled);
}

}  // namespace harmovia
