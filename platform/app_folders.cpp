#include "platform/app_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

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

}  // namespace harmovia
