#pragma once

// The preferences file "Harmovia-Preferences": 20 lines, each one number in the program's
// number text ending in a carriage return. Each number is the setting with its two bytes
// exchanged (Volume 273 = 01 11 is written as " 4353"); lines 12..20 repeat PanelOn, and
// the last of them decides it when reading.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace harmovia {

struct Preferences {
    int16_t WindowHeight = 0;  // the main window's content area
    int16_t WindowWidth = 0;
    int16_t WindowLeft = 0;
    int16_t WindowTop = 0;
    int16_t Volume = 273;
    uint16_t PanelOn = 0;  // carried without effect
    int16_t PanelLeft = 0;
    int16_t PanelTop = 0;
    uint16_t SelectedGenreItem = 1;
    uint16_t SelectedMood = 1;
    uint16_t SparePreference = 0;  // bit 0: keep the mood playlists (below); others carried

    bool operator==(const Preferences&) const = default;
};

// Whether the nine mood playlists are kept in the music folder. The switch lives in a bit of
// the spare line, which older versions read and write back unchanged, so a file stays
// readable both ways and the setting survives a run of an older version.
inline constexpr uint16_t kKeepMoodPlaylistsBit = 0x0001;
inline bool KeepsMoodPlaylists(const Preferences& preferences) {
    return (preferences.SparePreference & kKeepMoodPlaylistsBit) != 0;
}
inline void SetKeepsMoodPlaylists(Preferences& preferences, bool keep) {
    preferences.SparePreference =
        static_cast<uint16_t>(keep ? preferences.SparePreference | kKeepMoodPlaylistsBit
                                   : preferences.SparePreference & ~kKeepMoodPlaylistsBit);
}

// The values before any file is read: the window 200 pixels smaller than the display.
Preferences DefaultPreferences(int displayWidth, int displayHeight);

std::string EncodePreferences(const Preferences& preferences);
// Every value comes from the text: a missing line or one that is not a number reads 0. A
// carriage return and a line feed each end a line (so CR LF is two line ends).
Preferences DecodePreferences(std::string_view text);

// Reads folder/Harmovia-Preferences over `preferences`; a missing file leaves the values
// as they are.
OsError LoadPreferences(Preferences& preferences, FileSystem& files,
                        const std::filesystem::path& folder);
// Writes the file atomically (the old file stays whole on failure).
[[nodiscard]] OsError SavePreferences(const Preferences& preferences, FileSystem& files,
                                      const std::filesystem::path& folder);

}  // namespace harmovia
