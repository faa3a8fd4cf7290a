#pragma once

// File › "Keep Mood Playlists In Music Folder": the switch, and the rewrite of the nine mood
// playlists after every change of the library's moods while it is on.

namespace harmovia {

struct App;

// The item's check mark as the preferences say (start-up).
void ShowKeepMoodPlaylistsItem(App& app);
// Turns the switch over and saves the preferences at once, so that harmovia-cli reads the
// same switch. Turning it on writes the playlists; turning it off leaves them as they are.
void ToggleKeepMoodPlaylists(App& app);
// At start-up, after an add ended, a tune was deleted or a mood was set by hand: rewrites
// the playlists
// while the switch is on. A failure is told in an alert, and while it lasts in a short
// notice only; the older files stay whole.
void RewriteKeptMoodPlaylists(App& app);

}  // namespace harmovia
