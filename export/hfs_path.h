#pragma once

// The music player's scripts name a file by its HFS path ("Macintosh HD:Users:me:a.mp3"),
// while a record's Location holds the native absolute path ("/Users/me/a.mp3").

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace harmovia {

// The name a Mac's startup disk has unless the user renamed it; used where the real name
// cannot be found.
inline constexpr std::string_view kDefaultStartupVolume = "Macintosh HD";

// The HFS path of a native absolute path: the volume name, then the folders and the file,
// each followed by ":" except the last; a ":" inside a name becomes "/". Paths under
// /Volumes/NAME lie on volume NAME, every other path on `startupVolume`. Empty and "."
// components are dropped; the volume root alone is "NAME:".
std::string HfsPath(std::string_view nativePath, std::string_view startupVolume);

// The startup disk's name: the entry of `volumesFolder` that is a link to "/" (how macOS
// lists its startup disk under /Volumes). Nothing where there is none.
std::optional<std::string> StartupVolumeName(
    const std::filesystem::path& volumesFolder = "/Volumes");

}  // namespace harmovia
