#pragma once

// The menu bar as data: menus by id, items by number, stored texts (a trailing "/x" is the
// command key, "-" a separator), initial states and submenus. BuildMenuBar walks it in
// order; tests walk the same table.

#include <array>
#include <cstdint>
#include <string_view>

#include "shell/command.h"

namespace harmovia {

inline constexpr int16_t kFileMenu = 1;
inline constexpr int16_t kPlayerMenu = 4;
inline constexpr int16_t kLoopMenu = 7;

// "Player" menu items.
inline constexpr int16_t kPlayItem = 1;
inline constexpr int16_t kNextItem = 3;
inline constexpr int16_t kBackItem = 4;
inline constexpr int16_t kMuteItem = 6;
inline constexpr int16_t kVolumeUpItem = 7;
inline constexpr int16_t kVolumeDownItem = 8;
inline constexpr int16_t kLoopItem = 10;
inline constexpr int16_t kRevealNowPlayingItem = 12;

inline constexpr int16_t kAppMenu = 254;
inline constexpr int16_t kEditMenu = 2;
inline constexpr int16_t kPlaylistsMenu = 3;
inline constexpr int16_t kMoodByGenreMenu = 12;
inline constexpr int16_t kAlbumGenreMenu = 13;
inline constexpr int16_t kMoodByGenrePopupMenu = 40;
inline constexpr int16_t kArtistGenreMenu = 120;
// "Set Mood For This Tune": items 1..9 are the moods, 11 "As Measured".
inline constexpr int16_t kSetMoodMenu = 121;
// Submenu 168 + k holds the nine moods of genre category k (1..28).
inline constexpr int16_t kFirstGenreMoodMenu = 169;
inline constexpr int16_t kLastGenreMoodMenu = 196;

// One step of the build. item 0 with a title (re)starts a menu of the bar; an item with a
// submenu attaches that (empty) menu to it.
struct MenuStep {
    int16_t menu;
    int16_t item;
    std::string_view text;
    int state;
    int16_t submenu = 0;
};

// Steps that take their items from the genre list or the mood table.
enum class MenuFill {
    None,
    GenreNames,         // the 28 category names into `submenu`
    GenreMoodSubmenus,  // the 28 categories into menu 12, each with its nine moods
    WindowMenu,         // the platform's Window menu
};

// `command` is what the item does; for a filled submenu, what each of its items does.
struct MenuBuildStep {
    MenuStep step;
    Command command = Command::None;
    MenuFill fill = MenuFill::None;
};

inline constexpr std::array kMenuBuild = {
    MenuBuildStep{{kAppMenu, 0, "Harmovia", 1}},
    MenuBuildStep{{kAppMenu, 1, "About Harmovia", 1}, Command::About},

    MenuBuildStep{{kFileMenu, 0, "File", 1}},
    MenuBuildStep{{kFileMenu, 1, "Add Tunes To Database.../N", 1}, Command::AddTunes},
    MenuBuildStep{{kFileMenu, 2, "Add Tunes In iTunes.../F", 1}, Command::AddTunesFromMusicFolder},
    MenuBuildStep{{kFileMenu, 3, "-", 0}},
    MenuBuildStep{{kFileMenu, 4, "Reveal Selected Tune In Finder/B", 1},
                  Command::RevealSelectedTune},
    MenuBuildStep{{kFileMenu, 5, "-", 0}},
    MenuBuildStep{{kFileMenu, 6, "Send Current Playlist To iTunes...", 1}, Command::SendPlaylist},
    MenuBuildStep{{kFileMenu, 7, "Keep Mood Playlists In Music Folder", 1},
                  Command::KeepMoodPlaylists},
    MenuBuildStep{{kFileMenu, 8, "-", 0}},
    MenuBuildStep{{kFileMenu, 9, "Close Window & Quit/W", 1}, Command::CloseWindowAndQuit},

    // Items 1..8 are the standard edit items acting on the focused text field.
    MenuBuildStep{{kEditMenu, 0, "Edit", 1}}, MenuBuildStep{{kEditMenu, 1, "Undo/Z", 1}},
    MenuBuildStep{{kEditMenu, 2, "Redo", 1}}, MenuBuildStep{{kEditMenu, 3, "-", 0}},
    MenuBuildStep{{kEditMenu, 4, "Cut/X", 1}}, MenuBuildStep{{kEditMenu, 5, "Copy/C", 1}},
    MenuBuildStep{{kEditMenu, 6, "Paste/V", 1}}, MenuBuildStep{{kEditMenu, 7, "Delete", 1}},
    MenuBuildStep{{kEditMenu, 8, "Select All/A", 1}}, MenuBuildStep{{kEditMenu, 9, "-", 1}},
    MenuBuildStep{{kEditMenu, 10, "Check-Mark All Tunes In List", 1}, Command::CheckAll},
    MenuBuildStep{{kEditMenu, 11, "Un-Check All Tunes In List", 1}, Command::UncheckAll},
    MenuBuildStep{{kEditMenu, 12, "-", 0}},
    MenuBuildStep{{kEditMenu, 13, "Delete Tune/D", 1}, Command::DeleteTune},
    MenuBuildStep{{kEditMenu, 14, "-", 0}},
    MenuBuildStep{{kEditMenu, 15, "Set Genre For This Artist", 1, kArtistGenreMenu},
                  Command::SetArtistGenre,
                  MenuFill::GenreNames},
    MenuBuildStep{{kEditMenu, 16, "Set Genre For This Album", 1, kAlbumGenreMenu},
                  Command::SetAlbumGenre,
                  MenuFill::GenreNames},
    MenuBuildStep{{kEditMenu, 17, "Set Mood For This Tune", 1, kSetMoodMenu}},
    MenuBuildStep{{kSetMoodMenu, 1, "Deep Relaxation", 1}, Command::SetMood},
    MenuBuildStep{{kSetMoodMenu, 2, "Cool Blue Chill", 1}, Command::SetMood},
    MenuBuildStep{{kSetMoodMenu, 3, "Dinner & Drinks", 1}, Command::SetMood},
    MenuBuildStep{{kSetMoodMenu, 4, "Lite & Lively", 1}, Command::SetMood},
    MenuBuildStep{{kSetMoodMenu, 5, "Move & Groove", 1}, Command::SetMood},
    MenuBuildStep{{kSetMoodMenu, 6, "Uptempo Workout", 1}, Command::SetMood},
    MenuBuildStep{{kSetMoodMenu, 7, "Intense Activities", 1}, Command::SetMood},
    MenuBuildStep{{kSetMoodMenu, 8, "Dance, Dance, Dance", 1}, Command::SetMood},
    MenuBuildStep{{kSetMoodMenu, 9, "Maximum Wild", 1}, Command::SetMood},
    MenuBuildStep{{kSetMoodMenu, 10, "-", 0}},
    MenuBuildStep{{kSetMoodMenu, 11, "As Measured", 1}, Command::SetMoodAsMeasured},

    MenuBuildStep{{0, 0, "Window", 1}, Command::None, MenuFill::WindowMenu},

    MenuBuildStep{{kPlayerMenu, 0, "Player", 1}},
    MenuBuildStep{{kPlayerMenu, 1, "Play/L", 1}, Command::Play},
    MenuBuildStep{{kPlayerMenu, 2, "-", 0}},
    MenuBuildStep{{kPlayerMenu, 3, "Next/K", 0}, Command::Next},
    MenuBuildStep{{kPlayerMenu, 4, "Back/J", 0}, Command::Back},
    MenuBuildStep{{kPlayerMenu, 5, "-", 0}},
    MenuBuildStep{{kPlayerMenu, 6, "Mute/.", 0}, Command::Mute},
    MenuBuildStep{{kPlayerMenu, 7, "Volume Up /]", 0}, Command::VolumeUp},
    MenuBuildStep{{kPlayerMenu, 8, "Volume Down /[", 0}, Command::VolumeDown},
    MenuBuildStep{{kPlayerMenu, 9, "-", 0}}, MenuBuildStep{{kPlayerMenu, 10, "Loop", 0, kLoopMenu}},
    MenuBuildStep{{kLoopMenu, 1, "Current Tune", 1}, Command::LoopTune},
    MenuBuildStep{{kLoopMenu, 2, "Current Playlist", 1}, Command::LoopPlaylist},
    MenuBuildStep{{kPlayerMenu, 11, "-", 0}},
    MenuBuildStep{{kPlayerMenu, 12, "Reveal Now Playing/R", 0}, Command::RevealNowPlaying},

    MenuBuildStep{{kPlaylistsMenu, 0, "Playlists", 1}},
    MenuBuildStep{{kPlaylistsMenu, 1, "All Tunes/0", 1}, Command::AllTunes},
    MenuBuildStep{{kPlaylistsMenu, 2, "-", 1}},
    MenuBuildStep{{kPlaylistsMenu, 3, "Deep Relaxation/1", 1}, Command::MoodPlaylist},
    MenuBuildStep{{kPlaylistsMenu, 4, "Cool Blue Chill/2", 1}, Command::MoodPlaylist},
    MenuBuildStep{{kPlaylistsMenu, 5, "Dinner & Drinks/3", 1}, Command::MoodPlaylist},
    MenuBuildStep{{kPlaylistsMenu, 6, "Lite & Lively/4", 1}, Command::MoodPlaylist},
    MenuBuildStep{{kPlaylistsMenu, 7, "Move & Groove/5", 1}, Command::MoodPlaylist},
    MenuBuildStep{{kPlaylistsMenu, 8, "Uptempo Workout/6", 1}, Command::MoodPlaylist},
    MenuBuildStep{{kPlaylistsMenu, 9, "Intense Activities/7", 1}, Command::MoodPlaylist},
    MenuBuildStep{{kPlaylistsMenu, 10, "Dance, Dance, Dance/8", 1}, Command::MoodPlaylist},
    MenuBuildStep{{kPlaylistsMenu, 11, "Maximum Wild/9", 1}, Command::MoodPlaylist},
    MenuBuildStep{{kPlaylistsMenu, 12, "-", 1}},
    MenuBuildStep{{kPlaylistsMenu, 13, "Mood By Genre", 1, kMoodByGenreMenu},
                  Command::MoodByGenre,
                  MenuFill::GenreMoodSubmenus},
    MenuBuildStep{{kPlaylistsMenu, 14, "-", 1}},
    MenuBuildStep{{kPlaylistsMenu, 15, "Create Playlist From Tune/E", 1}, Command::TuneBased},
    MenuBuildStep{{kPlaylistsMenu, 16, "-", 1}},
    MenuBuildStep{{kPlaylistsMenu, 17, "More From Artist/G", 1}, Command::MoreFromArtist},
    MenuBuildStep{{kPlaylistsMenu, 18, "More From Album/H", 1}, Command::MoreFromAlbum},
    MenuBuildStep{{kPlaylistsMenu, 19, "More From Genre/I", 1}, Command::MoreFromGenre},
    MenuBuildStep{{kPlaylistsMenu, 20, "-", 1}},
    MenuBuildStep{{kPlaylistsMenu, 21, "Surprise Me/T", 1}, Command::SurpriseMe},
    MenuBuildStep{{kPlaylistsMenu, 22, "-", 1}},
    MenuBuildStep{{kPlaylistsMenu, 23, "Last Added/Y", 1}, Command::LastAdded},
    MenuBuildStep{{kPlaylistsMenu, 24, "-", 1}},
    MenuBuildStep{{kPlaylistsMenu, 25, "Mood Journey\xC9", 1}, Command::MoodJourney},  // Mac Roman
};

// "Playlists" items 3..11 carry the discs of moods 1..9.
inline constexpr int16_t kFirstMoodPlaylistItem = 3;

// What item `item` of menu `menu` does: its own row's command, or for an item of a filled
// submenu (a genre, or a mood under a genre) the command of the row the submenu hangs from.
constexpr Command MenuCommandAt(int16_t menu, int16_t item) {
    for (const MenuBuildStep& b : kMenuBuild) {
        const MenuStep& s = b.step;
        const bool filledHere = (b.fill == MenuFill::GenreNames && s.submenu == menu) ||
                                (b.fill == MenuFill::GenreMoodSubmenus &&
                                 menu >= kFirstGenreMoodMenu && menu <= kLastGenreMoodMenu);
        if (filledHere) {
            return b.command;
        }
        if (s.menu == menu && s.item == item && item != 0 && s.submenu == 0) {
            return b.command;
        }
    }
    return Command::None;
}

// Where a command sits in the menu bar: the first item carrying it.
struct MenuPlace {
    int16_t menu = 0;
    int16_t item = 0;
};
constexpr MenuPlace MenuPlaceOf(Command command) {
    for (const MenuBuildStep& b : kMenuBuild) {
        if (b.command == command && b.step.submenu == 0) {
            return {b.step.menu, b.step.item};
        }
    }
    return {};
}

// A stored item text split into what the menu shows and its command key: "Add Tunes To
// Database.../N" shows "Add Tunes To Database..." with key 'N'; a text without a trailing
// "/x" is shown whole with no key (0).
struct MenuItemText {
    std::string_view shown;
    char key = 0;
};

constexpr MenuItemText SplitMenuItemText(std::string_view stored) {
    if (stored.size() >= 2 && stored[stored.size() - 2] == '/') {
        return {stored.substr(0, stored.size() - 2), stored.back()};
    }
    return {stored, 0};
}

}  // namespace harmovia
