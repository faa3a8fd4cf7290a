#include "platform/app_folders.h"

#include <cstdlib>
#include <fstream>

#include <pwd.h>
#include <unistd.h>

namespace harmovia {

EnvironmentLookup ProcessEnvironment() {
    return [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        if (value == nullptr) {
            return std::nullopt;
        }
        return std::string(value);
    };
}

std::optional<std::filesystem::path> HomeFolder(const EnvironmentLookup& environment) {
    if (auto home = environment("HOME"); home && !home->empty()) {
        return std::filesystem::path(*home);
    }
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && *entry->pw_dir) {
        return std::filesystem::path(entry->pw_dir);
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> AppDataFolder(const EnvironmentLookup& environment) {
    // A relative XDG_DATA_HOME is invalid and ignored.
    if (auto data = environment("XDG_DATA_HOME"); data && !data->empty() && (*data)[0] == '/') {
        return std::filesystem::path(*data) / "Harmovia";
    }
    auto home = HomeFolder(environment);
    if (!home) {
        return std::nullopt;
    }
    return *home / ".local" / "share" / "Harmovia";
}

namespace {

// XDG_MUSIC_DIR from user-dirs.dirs: a line XDG_MUSIC_DIR="$HOME/Music".
std::optional<std::filesystem::path> DesktopMusicFolder(const EnvironmentLookup& environment,
                                                        const std::filesystem::path& home) {
    std::filesystem::path config = home / ".config";
    if (auto xdg = environment("XDG_CONFIG_HOME"); xdg && !xdg->empty() && (*xdg)[0] == '/') {
        config = *xdg;
    }
    std::ifstream in(config / "user-dirs.dirs");
    std::string line;
    constexpr std::string_view kKey = "XDG_MUSIC_DIR=\"";
    while (std::getline(in, line)) {
        if (!line.starts_with(kKey) || line.size() < kKey.size() + 1 || line.back() != '"') {
            continue;
        }
        std::string value = line.substr(kKey.size(), line.size() - kKey.size() - 1);
        if (value.starts_with("$HOME")) {
            return home.string() + value.substr(5);
        }
        if (!value.empty() && value[0] == '/') {
            return std::filesystem::path(value);
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::filesystem::path> MusicFolder(const EnvironmentLookup& environment) {
    auto home = HomeFolder(environment);
    if (!home) {
        return std::nullopt;
    }
    const auto itunes = *home / "Music" / "iTunes" / "iTunes Media" / "Music";
    std::error_code ignored;
    if (std::filesystem::is_directory(itunes, ignored)) {
        return itunes;
    }
    return DesktopMusicFolder(environment, *home).value_or(*home / "Music");
}

}  // namespace harmovia
