#pragma once

// Handing a file to the program the desktop opens it with (for a playlist: the default
// music player): `xdg-open FILE`, on macOS `open FILE`, found on the PATH and started
// directly, never through a shell, in a session of its own with no input.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/app_folders.h"

namespace harmovia {

// Starts the opener on `file` and waits at most `wait` for it: an opener that fails by then
// is a failure; one still running has handed the file on (some stay until the player
// ends). Nothing when it was handed on; otherwise why not.
std::optional<std::string> OpenWithDesktop(
    const std::filesystem::path& file, const EnvironmentLookup& environment,
    std::chrono::milliseconds wait = std::chrono::milliseconds(3000));

}  // namespace harmovia
