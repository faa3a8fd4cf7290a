#pragma once

// The texts that name Mac things (iTunes, Finder, QuickTime), each with what it says on a
// desktop without them: there the program adds from the music folder, shows files in the
// file manager and hands playlists to the music player. Chosen when the program is built; a
// text not in the table is shown as written on every platform. Menu texts keep their "/x"
// command key.

#include <array>
#include <string_view>

namespace harmovia {

#ifdef __APPLE__
inline constexpr bool kMacPlatform = true;
#else
inline constexpr bool kMacPlatform = false;
#endif

struct PlatformText {
    std::string_view mac;
    std::string_view desktop;  // Linux and every other system without those programs
};

inline constexpr std::array<PlatformText, 11> kPlatformTexts = {{
    {"Add Tunes In iTunes.../F", "Add Tunes In Music Folder.../F"},
    {"Reveal Selected Tune In Finder/B", "Show Selected Tune In File Manager/B"},
    {"Send Current Playlist To iTunes...", "Send Current Playlist To Music Player..."},
    {"Refresh Tunes In iTunes", "Refresh Tunes In Music Folder"},
    {"Send Playlist To iTunes", "Send Playlist To Music Player"},
    {"Would you like to automatically add your music from iTunes now?",
     "Would you like to automatically add the music in your Music folder now?"},
    {"Accept this name for your iTunes playlist or enter a new one.",
     "Accept this name for your music player's playlist or enter a new one."},
    {"iTunes Library Alert", "Music Folder Alert"},
    {"No music was found in iTunes. Please select Add Tunes from the File menu and select a "
     "folder of music.",
     "No music was found in your Music folder. Please select Add Tunes from the File menu and "
     "select a folder of music."},
    {"QuickTime 7 Error:", "Audio Decoder Error:"},
    {"Sorry, but you must have QuickTime 7 or later to use this software.",
     "Sorry, but Harmovia needs the FFmpeg audio decoders to run."},
}};

// `text` as this build shows it.
constexpr std::string_view PlatformTextFor(std::string_view text) {
    if constexpr (!kMacPlatform) {
        for (const PlatformText& t : kPlatformTexts) {
            if (t.mac == text) {
                return t.desktop;
            }
        }
    }
    return text;
}

}  // namespace harmovia
