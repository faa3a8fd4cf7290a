#pragma once

// The program's two doors: every menu choice arrives as (menu, item) and every control
// event as (kind, control id). Commands run from here.

#include <cstdint>

namespace harmovia {

struct App;

enum class ControlEventKind {
    Hit,           // a button, radio button, pop-up choice or Return in the search field
    ValueChanged,  // the volume slider while it is dragged
    WindowClose,   // the main window's close box or the window manager's close
};

void HandleMenuCommand(App& app, int16_t menu, int16_t item);
void HandleControlEvent(App& app, ControlEventKind kind, int32_t id);

}  // namespace harmovia
