#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace harmovia {

// Reads an environment variable; nothing when it is unset. Tests pass their own.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;
EnvironmentLookup ProcessEnvironment();

inline constexpr const char* kLibraryFileName = "HarmoviaDatabase";
inline constexpr const char* kPreferencesFileName = "Harmovia-Preferences";

// The program's data folder: $XDG_DATA_HOME/Harmovia (default ~/.local/share/Harmovia).
// Nothing when there is no home folder to put it in.
std::optional<std::filesystem::path> AppDataFolder(const EnvironmentLookup& environment);

// The user's home folder ($HOME, else the password database); nothing when neither knows.
std::optional<std::filesystem::path> HomeFolder(const EnvironmentLookup& environment);

// Where the user's music lives: the iTunes music folder "~/Music/iTunes/iTunes Media/Music"
// when it exists, else the desktop's music folder (XDG_MUSIC_DIR in user-dirs.dirs, by
// default ~/Music). Nothing without a home folder.
std::optional<std::filesystem::path> MusicFolder(const EnvironmentLookup& environment);

}  // namespace harmovia
