#include "shell/notices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QRadioButton>
#include <QTimer>
#include <cstdlib>

#include <gtest/gtest.h>

#include "shell/menu_table.h"
#include "shell/qt_menu_bar.h"
#include "tests/shell/shell_test_support.h"

namespace harmovia::test {
namespace {

bool Near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 1 && std::abs(a.green() - b.green()) <= 1 &&
           std::abs(a.blue() - b.blue()) <= 1;
}

// Clicks the button with this text in the next modal alert, and remembers its buttons.
void ClickWhenShown(const QString& text, QStringList& buttons) {
    QTimer::singleShot(0, [text, &buttons] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* button : box->buttons()) {
            buttons << button->text().remove(QLatin1Char('&'));
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text().remove(QLatin1Char('&')) == text) {
                button->click();
                return;
            }
        }
        box->reject();
    });
}

TEST(Alerts, CancelReturnsFalseAndTheNamedButtonTrueInEveryVariant) {
    QtNotices notices;
    for (const AlertIcon icon : {AlertIcon::Caution, AlertIcon::Stop, AlertIcon::Note}) {
        for (const bool named : {false, true}) {
            QStringList buttons;
            ClickWhenShown(named ? QStringLiteral("Stop Adding") : QStringLiteral("Cancel"),
                           buttons);
            EXPECT_EQ(
                notices.ShowAlert({"Tunes Are Currently Being Added...",
                                   "Would you like to stop adding tunes?", "Stop Adding", icon}),
                named);
            buttons.sort();
            EXPECT_EQ(buttons,
                      QStringList({QStringLiteral("Cancel"), QStringLiteral("Stop Adding")}));
        }
    }
    const std::pair<const char*, ErrorAlertChoice> choices[] = {
        {"Quit", ErrorAlertChoice::Quit},
        {"Stop", ErrorAlertChoice::Stop},
        {"Continue", ErrorAlertChoice::Continue},
    };
    for (const auto& [text, choice] : choices) {
        QStringList buttons;
        ClickWhenShown(QString::fromUtf8(text), buttons);
        EXPECT_EQ(notices.ShowErrorAlert("Unable to set image.", 5250), choice);
        EXPECT_EQ(buttons.size(), 3);
    }
    QStringList buttons;
    ClickWhenShown(QStringLiteral("Quit"), buttons);
    notices.ShowFatalAlert("QuickTime 7 Error:", "Sorry");
    EXPECT_EQ(buttons, QStringList({QStringLiteral("Quit")}));
}

TEST(Overlays, HalfTheWindowCentredWithTextAtAWentiethOfItsWidth) {
    StartedApp started({});
    MainWindow& window = started.window();
    window.setGeometry(100, 50, 1200, 800);
    QtNotices notices;
    notices.SetWindow(&window);
    struct Case {
        int mood;
        QColor panel;
    };
    const Case cases[] = {
        {0, QColor(0xFD, 0xFD, 0xFD)},
        {1, QColor(0x00, 0x2E, 0xB7)},  // the overlay's own blue for mood 1
        {3, QColor(0x00, 0x90, 0x2C)},
        {10, QColor(0xFD, 0xFD, 0xFD)},
    };
    for (const Case& c : cases) {
        notices.ShowOverlayNotice("No match found.", c.mood);
        OverlayWindow* overlay = notices.Overlay();
        ASSERT_NE(overlay, nullptr);
        EXPECT_EQ(overlay->geometry(), QRect(400, 250, 600, 400));
        EXPECT_EQ(overlay->FontPixels(), 30);
        EXPECT_EQ(notices.OverlayShown, 1);
        const QImage image = overlay->grab().toImage();
        EXPECT_TRUE(Near(image.pixelColor(60, 60), c.panel)) << c.mood;
        EXPECT_TRUE(Near(image.pixelColor(42, 200), QColor(0xFD, 0xFD, 0xFD))) << "the rim";
        notices.CloseOverlay();
        EXPECT_EQ(notices.Overlay(), nullptr);
    }
    notices.ShowSavingOverlay({0, 0, 1480, 740}, {0xAC53, 0xAC53, 0xAC53});
    ASSERT_NE(notices.Overlay(), nullptr);
    EXPECT_EQ(notices.Overlay()->Text(), QStringLiteral("Saving Database..."));
    EXPECT_EQ(notices.Overlay()->geometry(), QRect(370, 185, 740, 370));
    EXPECT_EQ(notices.Overlay()->FontPixels(), 40);
    notices.CloseOverlay();
}

TEST(WelcomeSheet, OpensWithYesAndContinueEnablesTheMenus) {
    StartedApp started({});
    QDialog* sheet = started.window().WelcomeSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->size(), QSize(450, 400));
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    const auto control = [sheet](int id) {
        return sheet->findChild<QWidget*>(QStringLiteral("control%1").arg(id));
    };
    EXPECT_TRUE(control(4404)->property("checked").toBool());
    EXPECT_EQ(control(4405)->geometry().top(), control(4404)->geometry().top() + 27);
    EXPECT_EQ(control(4410)->property("text").toString(),
              QStringLiteral("Note: Harmovia never moves or copies your music files. The Harmovia "
                             "Database simply keeps a referene to where the files are located."));
    qobject_cast<QRadioButton*>(control(4405))->click();
    EXPECT_EQ(started.app.AutoImportChoice, 2);
    started.app.menus->SetMenuItem(kPlaylistsMenu, 0, kItemDisabled);
    qobject_cast<QAbstractButton*>(control(4402))->click();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(started.app.menus->Menu(kPlaylistsMenu)->menuAction()->isEnabled());
}

}  // namespace
}  // namespace harmovia::test
