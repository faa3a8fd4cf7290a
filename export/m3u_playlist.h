#pragma once

// Extended M3U playlists (UTF-8), the form every Linux music player imports: what
// `harmovia-cli playlist --format m3u` prints and what a send writes beside the scripts.

#include <filesystem>
#include <string>
#include <string_view>

#include "library/tune_record.h"
#include "platform/os_error.h"

namespace harmovia {

inline constexpr std::string_view kM3uHeader = "#EXTM3U\n";
inline constexpr std::string_view kPlaylistFileExtension = ".m3u8";

// "#EXTINF:<seconds>,<Artist> - <Title>" and the file's path, each with its line feed.
// Texts are converted from Mac Roman, control characters becoming blanks; the path keeps
// its bytes (so every file the library reaches is reached from the playlist) except a line
// break or NUL, which would end the entry, becoming "?". A negative length is written -1.
std::string M3uEntry(const TuneRecord& tune);
// The same entry in a playlist file kept in `playlistFolder`: a tune inside `musicFolder`
// is written relative to the playlist ("../Artist/Album/x.mp3"), so that the playlist goes
// on working wherever the music folder is mounted or synced; any other tune keeps its
// absolute path.
std::string M3uEntry(const TuneRecord& tune, const std::filesystem::path& playlistFolder,
                     const std::filesystem::path& musicFolder);
// Where such an entry points: `location` relative to `playlistFolder` when it lies inside
// `musicFolder` (compared by whole path components, after "." and ".." are resolved as
// text), else `location` as it is.
std::filesystem::path PlaylistEntryPath(const std::filesystem::path& location,
                                        const std::filesystem::path& playlistFolder,
                                        const std::filesystem::path& musicFolder);

// The file name of a playlist called `name` (Mac Roman): its UTF-8 text without blanks at
// either end, "/" and NUL becoming "_", cut at a character boundary so that it and the
// extension fit a file name with room for the temporary name of an atomic replace (248
// bytes in all), then the extension. A name that is empty, "." or
// ".." after that gives way to `fallbackName`, and that to "Playlist".
std::string PlaylistFileName(std::string_view name, std::string_view fallbackName);

// Why a playlist file could not be written, in a few words for a message: "the disk is
// full", "permission denied", ...
std::string PlaylistWriteProblem(OsError error);

}  // namespace harmovia
