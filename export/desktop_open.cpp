#include "export/desktop_open.h"

#include <thread>
#include <vector>

#include "export/osascript_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace harmovia {
namespace {

#ifdef __APPLE__
constexpr const char* kOpener = "open";
#else
constexpr const char* kOpener = "xdg-open";
#endif

// Waits for the child until `deadline`; its exit status, or nothing while it runs on.
std::optional<int> ExitStatusBy(pid_t child, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (done < 0 || std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

std::optional<std::string> OpenWithDesktop(const std::filesystem::path& file,
                                           const EnvironmentLookup& environment,
                                           std::chrono::milliseconds wait) {
    const auto path = environment("PATH");
    const std::filesystem::path opener = FindProgramOnPath(kOpener, path.value_or(""));
    if (opener.empty()) {
        return std::string(kOpener) + " was not found";
    }
    posix_spawn_file_actions_t actions;
    if (::posix_spawn_file_actions_init(&actions) != 0) {
        return std::string("cannot start ") + kOpener;
    }
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawnattr_t attributes;
    ::posix_spawnattr_init(&attributes);
#ifdef POSIX_SPAWN_SETSID
    // Ctrl-C in the terminal that asked stays with it; the player plays on.
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
#endif
    const std::string program = opener.string();
    const std::string argument = file.string();
    std::vector<char*> argv = {const_cast<char*>(program.c_str()),
                               const_cast<char*>(argument.c_str()), nullptr};
    pid_t child = 0;
    const int error =
        ::posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        return std::string("cannot start ") + kOpener;
    }
    const std::optional<int> status = ExitStatusBy(child, std::chrono::steady_clock::now() + wait);
    if (status && *status != 0) {
        return std::string(kOpener) + " failed (exit status " + std::to_string(*status) + ")";
    }
    return std::nullopt;
}

}  // namespace harmovia
