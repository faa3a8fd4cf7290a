#include "shell/notices.h"

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <array>
#include <utility>

#include "library/mac_roman_qt.h"
#include "shell/app_state.h"
#include "shell/artwork.h"
#include "shell/commands.h"
#include "shell/platform_texts.h"

#ifndef HARMOVIA_VERSION
#define HARMOVIA_VERSION "0.1"
#endif

namespace harmovia {
namespace {

// The notice panel's colours: the mood colours, but a brighter blue for mood 1.
constexpr std::array<MoodColour, kMoodCount + 1> kOverlayMoodColours = {{
    {0xFE01, 0xFE01, 0xFE01},
    {0x0000, 0x2E00, 0xB700},
    {0x1B00, 0x9900, 0xCC00},
    {0x0000, 0x9000, 0x2C00},
    {0xA900, 0xB500, 0x0000},
    {0xFF00, 0xAD00, 0x0000},
    {0xFF00, 0x6B00, 0x0000},
    {0xC300, 0x2B00, 0x0300},
    {0xF300, 0x4E00, 0x9A00},
    {0x8500, 0x0700, 0xD400},
}};
constexpr MoodColour kOverlayWhite = {0xFE01, 0xFE01, 0xFE01};
constexpr int kFadeSteps = 34;
constexpr double kFadeStep = 0.027;
constexpr int kFadeStepMilliseconds = 13;

QColor ToQColor(MoodColour c) {
    return QColor::fromRgba64(c.red, c.green, c.blue);
}

ScreenRect ContentRect(const QWidget* window) {
    if (window == nullptr) {
        return {};
    }
    const QRect g = window->geometry();
    return {g.x(), g.y(), g.width(), g.height()};
}

QMessageBox::Icon BoxIcon(AlertIcon icon) {
    switch (icon) {
        case AlertIcon::Stop:
            return QMessageBox::Critical;
        case AlertIcon::Note:
            return QMessageBox::Information;
        case AlertIcon::Caution:
            break;
    }
    return QMessageBox::Warning;
}

// The welcome sheet's controls, in the order they are added; rectangles in the sheet's
// 450 x 400 content.
enum class SheetPart { Icon, Heading, Group, Question, Radio, Note, Button };
struct SheetControl {
    int id;
    SheetPart part;
    const char* text;
    QRect rect;
    Command command = Command::None;
};
constexpr int kSheetWidth = 450;
constexpr int kSheetHeight = 400;
const std::array<SheetControl, 8> kWelcomeSheet = {{
    {1001, SheetPart::Icon, "", QRect(kSheetWidth / 2 - 40, 22, 78, 78)},
    {0, SheetPart::Heading, "Welcome!\nHarmovia Set-Up",
     QRect(QPoint(0, 112), QPoint(kSheetWidth - 1, 144))},
    {4401, SheetPart::Group, "",
     QRect(QPoint(23, 160), QPoint(kSheetWidth - 24, kSheetHeight - 51))},
    {kWelcomeContinueButton, SheetPart::Button, "Continue",
     QRect(QPoint(kSheetWidth - 140, kSheetHeight - 36),
           QPoint(kSheetWidth - 24, kSheetHeight - 17)),
     Command::WelcomeContinue},
    {4403, SheetPart::Question, "Would you like to automatically add your music from iTunes now?",
     QRect(QPoint(45, 180), QPoint(kSheetWidth - 46, 214))},
    {kWelcomeYesRadio, SheetPart::Radio, "Yes.",
     QRect(QPoint(45, 220), QPoint(kSheetWidth - 46, 249)), Command::WelcomeYes},
    {kWelcomeNoRadio, SheetPart::Radio, "No, I will add my music myself.",
     QRect(QPoint(45, 247), QPoint(kSheetWidth - 46, 276)), Command::WelcomeNo},
    {4410, SheetPart::Note,
     "Note: Harmovia never moves or copies your music files. The Harmovia Database simply keeps "
     "a referene to where the files are located.",
     QRect(QPoint(45, 285), QPoint(kSheetWidth - 46, 329))},
}};

void TagControl(QWidget* widget, int id) {
    widget->setObjectName(QStringLiteral("control%1").arg(id));
    widget->setProperty("controlId", id);
}

}  // namespace

QString WindowObjectName(int window) {
    return QStringLiteral("window%1").arg(window);
}

ScreenRect OverlayFrame(const ScreenRect& content) {
    return {content.left + content.width / 4, content.top + content.height / 4,
            content.width - 2 * (content.width / 4), content.height - 2 * (content.height / 4)};
}

OverlayWindow::OverlayWindow(QString text, MoodColour panel, int fontPixels)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      text_(std::move(text)),
      panel_(ToQColor(panel)),
      fontPixels_(fontPixels) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(WindowObjectName(kOverlayWindow));
}

void OverlayWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const int w = width();
    const int h = height();
    const QRectF rim(40, 40, w - 80, h - 80);
    p.setPen(Qt::NoPen);
    p.setBrush(ToQColor(kOverlayWhite));
    p.drawRoundedRect(rim, 10, 10);
    p.setBrush(panel_);
    p.drawRoundedRect(rim.adjusted(5, 5, -5, -5), 10, 10);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(std::max(1, fontPixels_));
    p.setFont(font);
    p.setPen(Qt::white);
    const int textWidth = p.fontMetrics().horizontalAdvance(text_);
    p.drawText(QPoint(w / 2 - textWidth / 2, h / 2 + 5), text_);
}

QtNotices::QtNotices() {
    fade_.setInterval(kFadeStepMilliseconds);
    QObject::connect(&fade_, &QTimer::timeout, &context_, [this] { FadeStep(); });
    hold_.setSingleShot(true);
    QObject::connect(&hold_, &QTimer::timeout, &context_, [this] {
        if (closeWhenRead_) {
            CloseNow();
        }
    });
}

QtNotices::~QtNotices() {
    CloseNow();
}

void QtNotices::Beep(int times) {
    for (int i = 0; i < times; ++i) {
        QApplication::beep();
    }
}

bool QtNotices::ShowAlert(const Alert& alert) {
    QMessageBox box(BoxIcon(alert.icon), QStringLiteral("Harmovia"),
                    FromMacRoman(PlatformTextFor(alert.title)), QMessageBox::NoButton, window_);
    box.setInformativeText(FromMacRoman(PlatformTextFor(alert.message)));
    QPushButton* named = box.addButton(FromMacRoman(alert.button), QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(named);
    box.exec();
    return box.clickedButton() == named;
}

void QtNotices::ShowFatalAlert(std::string_view title, std::string_view message) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Harmovia"),
                    FromMacRoman(PlatformTextFor(title)), QMessageBox::NoButton, window_);
    box.setInformativeText(FromMacRoman(PlatformTextFor(message)));
    box.setDefaultButton(box.addButton(QStringLiteral("Quit"), QMessageBox::AcceptRole));
    box.exec();
}

ErrorAlertChoice QtNotices::ShowErrorAlert(std::string_view message, int32_t errorNumber) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Harmovia"), FromMacRoman(message),
                    QMessageBox::NoButton, window_);
    box.setInformativeText(QStringLiteral("Error number %1.").arg(errorNumber));
    QPushButton* quit = box.addButton(QStringLiteral("Quit"), QMessageBox::DestructiveRole);
    QPushButton* stop = box.addButton(QStringLiteral("Stop"), QMessageBox::RejectRole);
    QPushButton* go = box.addButton(QStringLiteral("Continue"), QMessageBox::AcceptRole);
    box.setDefaultButton(go);
    box.exec();
    if (box.clickedButton() == quit) {
        return ErrorAlertChoice::Quit;
    }
    return box.clickedButton() == stop ? ErrorAlertChoice::Stop : ErrorAlertChoice::Continue;
}

void QtNotices::OpenOverlay(const ScreenRect& frame, const QString& text, MoodColour panel,
                            int fontPixels) {
    CloseNow();
    if (window_ != nullptr) {
        window_->raise();
    }
    auto* overlay = new OverlayWindow(text, panel, fontPixels);
    overlay_ = overlay;
    overlay->setGeometry(frame.left, frame.top, frame.width, frame.height);
    overlay->setWindowOpacity(0.0);
    overlay->show();
    fadeStep_ = 0;
    fade_.start();
}

void QtNotices::FadeStep() {
    if (overlay_ == nullptr) {
        fade_.stop();
        return;
    }
    if (++fadeStep_ < kFadeSteps) {
        overlay_->setWindowOpacity(kFadeStep * fadeStep_);
        return;
    }
    fade_.stop();
    overlay_->raise();
    overlay_->update();
    if (holdMilliseconds_ > 0) {
        hold_.start(std::exchange(holdMilliseconds_, 0));
    } else if (closeWhenRead_) {
        CloseNow();
    }
}

bool QtNotices::Reading() const {
    return fade_.isActive() ? holdMilliseconds_ > 0 : hold_.isActive();
}

void QtNotices::ShowOverlayNotice(std::string_view text, int mood) {
    const ScreenRect frame = OverlayFrame(ContentRect(window_));
    const MoodColour panel =
        IsMood(mood) ? kOverlayMoodColours[static_cast<size_t>(mood)] : kOverlayWhite;
    OpenOverlay(frame, FromMacRoman(text), panel, frame.width / 20);
}

void QtNotices::ShowSavingOverlay(const ScreenRect& frame, MoodColour panel) {
    OpenOverlay(OverlayFrame(frame), QStringLiteral("Saving Database..."), panel, frame.width / 37);
}

void QtNotices::CloseOverlay() {
    if (overlay_ != nullptr && Reading()) {
        closeWhenRead_ = true;
        return;
    }
    CloseNow();
}

void QtNotices::CloseNow() {
    fade_.stop();
    hold_.stop();
    holdMilliseconds_ = 0;
    closeWhenRead_ = false;
    if (overlay_ != nullptr) {
        overlay_->close();
        overlay_ = nullptr;
    }
}

void QtNotices::WaitMilliseconds(int milliseconds) {
    if (overlay_ == nullptr || milliseconds <= 0) {
        return;  // nothing on screen to read
    }
    if (fade_.isActive()) {
        holdMilliseconds_ += milliseconds;
    } else {
        hold_.start(std::max(hold_.remainingTime(), 0) + milliseconds);
    }
}

void QtNotices::After(int milliseconds, std::function<void()> then) {
    QObject* receiver = window_ != nullptr ? window_.data() : &context_;
    QTimer::singleShot(std::max(milliseconds, 0), receiver, std::move(then));
}

void CloseSheetLater(QDialog* sheet) {
    if (sheet != nullptr) {
        sheet->hide();
        sheet->deleteLater();
    }
}

QDialog* MakeWelcomeSheet(App& app, QWidget* parent) {
    auto* sheet = new QDialog(parent, Qt::Sheet);
    sheet->setObjectName(WindowObjectName(kWelcomeSheetWindow));
    sheet->setWindowTitle(QStringLiteral("Harmovia"));
    sheet->setWindowModality(Qt::WindowModal);
    sheet->setFixedSize(kSheetWidth, kSheetHeight);
    for (const SheetControl& c : kWelcomeSheet) {
        QWidget* widget = nullptr;
        switch (c.part) {
            case SheetPart::Icon: {
                auto* icon = new QLabel(sheet);
                icon->setPixmap(ProgramIcon().pixmap(QSize(78, 78)));
                icon->setAttribute(Qt::WA_TransparentForMouseEvents);
                widget = icon;
                break;
            }
            case SheetPart::Heading: {
                auto* heading = new QLabel(QString::fromUtf8(c.text), sheet);
                QFont font = heading->font();
                font.setBold(true);
                font.setPointSizeF(font.pointSizeF() * 1.15);
                heading->setFont(font);
                heading->setAlignment(Qt::AlignCenter);
                widget = heading;
                break;
            }
            case SheetPart::Group:
                widget = new QGroupBox(sheet);
                break;
            case SheetPart::Question:
            case SheetPart::Note: {
                auto* label = new QLabel(QString::fromUtf8(PlatformTextFor(c.text)), sheet);
                label->setWordWrap(true);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                QFont font = label->font();
                if (c.part == SheetPart::Question) {
                    font.setBold(true);
                } else {
                    font.setPixelSize(12);
                }
                label->setFont(font);
                widget = label;
                break;
            }
            case SheetPart::Radio: {
                auto* radio = new QRadioButton(QString::fromUtf8(c.text), sheet);
                radio->setChecked(c.command == Command::WelcomeYes);
                const int id = c.id;
                QObject::connect(radio, &QRadioButton::clicked, sheet, [&app, id] {
                    HandleControlEvent(app, ControlEventKind::Hit, id);
                });
                widget = radio;
                break;
            }
            case SheetPart::Button: {
                auto* button = new QPushButton(QString::fromUtf8(c.text), sheet);
                button->setDefault(true);
                const int id = c.id;
                QObject::connect(button, &QPushButton::clicked, sheet, [&app, id] {
                    HandleControlEvent(app, ControlEventKind::Hit, id);
                });
                widget = button;
                break;
            }
        }
        widget->setGeometry(c.rect);
        if (c.id != 0) {
            TagControl(widget, c.id);
        }
    }
    return sheet;
}

Command WelcomeSheetCommand(int32_t id) {
    for (const SheetControl& c : kWelcomeSheet) {
        if (c.id == id) {
            return c.command;
        }
    }
    return Command::None;
}

QDialog* FindAboutWindow(const QWidget* parent) {
    return parent != nullptr ? parent->findChild<QDialog*>(WindowObjectName(kAboutWindow))
                             : nullptr;
}

void ShowAboutWindow(App& app, QWidget* parent) {
    if (QDialog* open = FindAboutWindow(parent)) {
        open->show();
        open->raise();
        open->activateWindow();
        return;
    }
    auto* about = new QDialog(parent);
    about->setObjectName(WindowObjectName(kAboutWindow));
    about->setWindowTitle(QStringLiteral("About Harmovia"));
    about->setFixedSize(300, 230);
    auto* well = new QLabel(about);
    well->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    well->setAlignment(Qt::AlignCenter);
    well->setPixmap(ProgramIcon().pixmap(QSize(80, 80)));
    well->setGeometry(106, 16, 88, 88);
    auto* title = new QLabel(QStringLiteral("Harmovia"), about);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    title->setFont(bold);
    title->setAlignment(Qt::AlignCenter);
    title->setGeometry(0, 112, 300, 28);
    auto* version =
        new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(HARMOVIA_VERSION)), about);
    version->setAlignment(Qt::AlignCenter);
    version->setGeometry(0, 142, 300, 20);
    auto* done = new QPushButton(QStringLiteral("Done"), about);
    TagControl(done, kAboutDoneButton);
    done->setDefault(true);
    done->setGeometry(200, 186, 84, 28);
    QObject::connect(done, &QPushButton::clicked, about,
                     [&app] { HandleControlEvent(app, ControlEventKind::Hit, kAboutDoneButton); });
    about->show();
}

}  // namespace harmovia
