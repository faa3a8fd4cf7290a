#pragma once

// What a menu item or a control does, by name. The menu table and the control tables carry
// one of these per row; the two doors look the number they are given up in those tables and
// dispatch on the name.

#include <cstdint>

namespace harmovia {

enum class Command : uint8_t {
    None,  // a title, separator, label or standard Edit item: nothing for the doors to run

    // The application menu.
    About,

    // File.
    AddTunes,
    AddTunesFromMusicFolder,
    RevealSelectedTune,
    SendPlaylist,
    KeepMoodPlaylists,  // a switch: checked while the nine mood playlists are kept
    CloseWindowAndQuit,

    // Edit; the genre commands take the genre item chosen in their submenu, SetMood its
    // mood from the item.
    CheckAll,
    UncheckAll,
    DeleteTune,
    SetArtistGenre,
    SetAlbumGenre,
    SetMood,
    SetMoodAsMeasured,

    // Player and its Loop submenu.
    Play,
    Next,
    Back,
    Mute,
    VolumeUp,
    VolumeDown,
    RevealNowPlaying,
    LoopTune,
    LoopPlaylist,

    // Playlists; MoodPlaylist takes its mood from the item, MoodByGenre the genre from its
    // submenu and the mood from the item.
    AllTunes,
    MoodPlaylist,
    MoodByGenre,
    TuneBased,
    MoreFromArtist,
    MoreFromAlbum,
    MoreFromGenre,
    SurpriseMe,
    LastAdded,
    MoodJourney,

    // The main window's controls that do something other than a menu item does.
    PlayButton,
    BackButton,
    ForwardButton,
    ColourButton,  // takes the button's id
    GenrePopup,
    Search,
    TuneBasedButton,  // as TuneBased, but leaves the play button's look to the player

    // The sheets and the About window.
    SendSheetSend,
    SendSheetCancel,
    JourneySheetOk,
    JourneySheetCancel,
    StopAdding,
    WelcomeYes,
    WelcomeNo,
    WelcomeContinue,
    AboutDone,
};

}  // namespace harmovia
