#pragma once

// The player's commands from the Player and Loop menus and the player buttons.

#include <cstdint>

namespace harmovia {

struct App;

// Player menu item 1 (from an idle player it starts at the selection, or at row 1) and the
// play button (starts at the selection as it is).
void PlayMenuCommand(App& app);
void PlayButtonCommand(App& app);
// The menu's Next and Back need only a list; the buttons need a tune playing too.
void NextBackMenuCommand(App& app, bool next);
void NextBackButtonCommand(App& app, bool next);
void MuteCommand(App& app);
// The space bar: pauses the tune playing, or plays on from where it paused; while idle it
// plays, as the play button does.
void PauseKeyCommand(App& app);
// Volume up (+10, at most 730) or down (-10, at least 0); the slider follows.
void VolumeStepCommand(App& app, int step);
// The slider was moved to the value now in the preferences.
void VolumeSliderMoved(App& app);
// The playing list back on screen with the playing tune selected.
void RevealNowPlayingCommand(App& app);

}  // namespace harmovia
