#include "shell/commands.h"

#include <QDialog>

#include "shell/app_state.h"
#include "shell/main_window.h"
#include "shell/menu_table.h"
#include "shell/notices.h"
#include "shell/qt_menu_bar.h"
#include "shell/startup.h"

namespace harmovia {
namespace {

constexpr int16_t kCloseWindowAndQuitItem = 8;
constexpr int16_t kLastStandardEditItem = 8;
constexpr int32_t kWelcomeContinue = 4402;
constexpr int32_t kWelcomeYes = 4404;
constexpr int32_t kWelcomeNo = 4405;

}  // namespace

void HandleMenuCommand(App& app, int16_t menu, int16_t item) {
    if (menu == kAppMenu && item == 1) {
        ShowAboutWindow(app, app.window.get());
        return;
    }
    if (menu == kFileMenu && item == kCloseWindowAndQuitItem) {
        QuitCommand(app);
        return;
    }
    if (menu == kEditMenu && item <= kLastStandardEditItem) {
        return;  // the focused text field did it
    }
    // The other commands are not here yet.
    app.notices->Beep(1);
}

void HandleControlEvent(App& app, ControlEventKind kind, int32_t id) {
    switch (kind) {
        case ControlEventKind::WindowClose:
            QuitCommand(app);
            return;
        case ControlEventKind::ValueChanged:
            return;  // the volume is in the preferences; the player reads it
        case ControlEventKind::Hit:
            break;
    }
    switch (id) {
        case kWelcomeYes:
            app.AutoImportChoice = 1;
            return;
        case kWelcomeNo:
            app.AutoImportChoice = 2;
            return;
        case kWelcomeContinue:
            if (QDialog* sheet = app.window->WelcomeSheet()) {
                sheet->accept();
            }
            for (int16_t menu = kFileMenu; menu <= kPlayerMenu; ++menu) {
                app.menus->SetMenuItem(menu, 0, kItemEnabled);
            }
            return;
        case kAboutDoneButton:
            if (auto* about =
                    app.window->findChild<QDialog*>(QStringLiteral("window%1").arg(kAboutWindow))) {
                about->close();
            }
            return;
        default:
            app.notices->Beep(1);
            return;
    }
}

}  // namespace harmovia
