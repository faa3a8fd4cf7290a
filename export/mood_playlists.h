#pragma once

// The nine mood playlists kept for other players: one extended M3U file per mood,
// "Harmovia – Deep Relaxation.m3u8" .. "Harmovia – Maximum Wild.m3u8", in
// <music folder>/Playlists (or a folder the user names), each replaced whole. Building the
// texts is pure; writing them goes through the FileSystem, and no music file is ever
// opened for writing.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "library/mood.h"
#include "library/preferences_file.h"
#include "library/tune_library.h"
#include "platform/file_system.h"

namespace harmovia {

// "Harmovia – " + the mood's name + ".m3u8", UTF-8 (the dash is U+2013), for mood 1..9.
std::string MoodPlaylistFileName(int mood);

// <music folder>/Playlists, where a send writes its playlists too.
std::filesystem::path DefaultMoodPlaylistFolder(const std::filesystem::path& musicFolder);

// The nine files' texts, [1..9] ([0] unused): the header, then each committed tune whose
// mood is that one (a damaged mood is none), in library order. Library order is the All
// Tunes list's: stable from one rewrite to the next, new tunes at the end and an album's
// tunes in the order its folder holds them. Entries are written as a send writes them:
// relative to the playlist when both the tune and the playlist folder lie inside
// `musicFolder`, so that the folder can be moved or synced whole; absolute otherwise.
struct MoodPlaylistTexts {
    std::array<std::string, kMoodCount + 1> text;
    std::array<int32_t, kMoodCount + 1> tunes{};
};
MoodPlaylistTexts BuildMoodPlaylists(const Library& library,
                                     const std::filesystem::path& playlistFolder,
                                     const std::optional<std::filesystem::path>& musicFolder);

enum class PlaylistFileOutcome : uint8_t { Written, Unchanged, Failed };

struct MoodPlaylistFile {
    std::filesystem::path path;
    int32_t tunes = 0;
    PlaylistFileOutcome outcome = PlaylistFileOutcome::Failed;
    OsError error = kNoErr;
};

struct MoodPlaylistsReport {
    std::array<MoodPlaylistFile, kMoodCount + 1> files;  // [1..9]
    int failed = 0;              // files not written; each older one is left whole
    bool noMusicFolder = false;  // nothing tried: there is no music folder to write into
};

// Writes all nine files into `folder` (made when missing), even for a mood without tunes, so
// that a player's list of playlists stays the same. A file whose bytes are already those
// is left untouched (players and sync tools see no change); any other is replaced
// atomically, so a failed write leaves the older file whole.
MoodPlaylistsReport WriteMoodPlaylists(const MoodPlaylistTexts& texts,
                                       const std::filesystem::path& folder, FileSystem& files);

// Builds and writes the nine playlists into `folder`.
MoodPlaylistsReport ExportMoodPlaylists(const Library& library, const std::filesystem::path& folder,
                                        const std::optional<std::filesystem::path>& musicFolder,
                                        FileSystem& files);

// After the library changed: the nine playlists rewritten in the music folder when the
// preferences keep them; nothing when they do not.
std::optional<MoodPlaylistsReport> KeepMoodPlaylists(
    const Preferences& preferences, const Library& library,
    const std::optional<std::filesystem::path>& musicFolder, FileSystem& files);

// What went wrong, in one sentence (UTF-8): the first file that could not be written and
// why, and how many others failed; empty when nothing failed.
std::string MoodPlaylistsProblem(const MoodPlaylistsReport& report);

}  // namespace harmovia
