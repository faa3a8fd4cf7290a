#include "export/osascript_runner.h"

#include <array>
#include <cerrno>
#include <string>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace harmovia {
namespace {

// A file descriptor, closed when it goes.
class Descriptor {
  public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    void Close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    void Reset(int fd) {
        Close();
        fd_ = fd;
    }

  private:
    int fd_ = -1;
};

bool SetDescriptorFlag(int fd, int getCommand, int setCommand, int flag) {
    const int flags = ::fcntl(fd, getCommand);
    return flags >= 0 && ::fcntl(fd, setCommand, flags | flag) == 0;
}

// The child's ends are set up by dup2 in the child; every descriptor made here closes on
// exec, so osascript inherits nothing else.
bool CloseOnExec(int fd) {
    return SetDescriptorFlag(fd, F_GETFD, F_SETFD, FD_CLOEXEC);
}

bool NonBlocking(int fd) {
    return SetDescriptorFlag(fd, F_GETFL, F_SETFL, O_NONBLOCK);
}

bool MakePipe(Descriptor& readEnd, Descriptor& writeEnd) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return false;
    }
    readEnd.Reset(fds[0]);
    writeEnd.Reset(fds[1]);
    return CloseOnExec(fds[0]) && CloseOnExec(fds[1]);
}

// Standard input is a socket rather than a pipe: writing to it after osascript has gone
// then fails with EPIPE instead of raising SIGPIPE, which would end this program.
bool MakeInputPair(Descriptor& parentEnd, Descriptor& childEnd) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) {
        return false;
    }
    parentEnd.Reset(fds[0]);
    childEnd.Reset(fds[1]);
#ifdef SO_NOSIGPIPE
    const int one = 1;
    ::setsockopt(fds[0], SOL_SOCKET, SO_NOSIGPIPE, &one, sizeof one);
#endif
    return CloseOnExec(fds[0]) && CloseOnExec(fds[1]);
}

#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL;
#else
constexpr int kSendFlags = 0;
#endif

bool IsTransient(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

// Reads what is there; closes the descriptor at its end or on an error.
void ReadAvailable(Descriptor& from, std::string& into) {
    std::array<char, 65536> chunk;
    const ssize_t n = ::read(from.get(), chunk.data(), chunk.size());
    if (n > 0) {
        into.append(chunk.data(), static_cast<size_t>(n));
    } else if (n == 0 || !IsTransient(errno)) {
        from.Close();
    }
}

// Feeds the script and collects both outputs at the same time, so that neither side
// waits on a full pipe of the other.
void Exchange(Descriptor& input, Descriptor& output, Descriptor& errors, std::string_view script,
              std::string& printed, std::string& reported) {
    size_t written = 0;
    if (script.empty()) {
        input.Close();
    }
    while (input.IsOpen() || output.IsOpen() || errors.IsOpen()) {
        std::array<pollfd, 3> watched{};
        nfds_t count = 0;
        const auto watch = [&](const Descriptor& d, short events) {
            if (d.IsOpen()) {
                watched[count++] = pollfd{d.get(), events, 0};
            }
        };
        watch(input, POLLOUT);
        watch(output, POLLIN);
        watch(errors, POLLIN);
        if (::poll(watched.data(), count, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        for (nfds_t i = 0; i < count; ++i) {
            if (watched[i].revents == 0) {
                continue;
            }
            if (watched[i].fd == input.get()) {
                const ssize_t n = ::send(input.get(), script.data() + written,
                                         script.size() - written, kSendFlags);
                if (n > 0) {
                    written += static_cast<size_t>(n);
                }
                // osascript stopped reading (EPIPE) or all is written: it sees the end.
                if (written == script.size() || (n < 0 && !IsTransient(errno))) {
                    input.Close();
                }
            } else if (watched[i].fd == output.get()) {
                ReadAvailable(output, printed);
            } else {
                ReadAvailable(errors, reported);
            }
        }
    }
}

std::string WithoutFinalNewline(std::string text) {
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

bool IsExecutableFile(const std::filesystem::path& file) {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(file.c_str(), X_OK) == 0;
}

}  // namespace

std::filesystem::path FindProgramOnPath(std::string_view program, std::string_view searchPath) {
    size_t start = 0;
    while (start <= searchPath.size()) {
        size_t end = searchPath.find(':', start);
        if (end == std::string_view::npos) {
            end = searchPath.size();
        }
        const std::string_view folder = searchPath.substr(start, end - start);
        if (!folder.empty() && folder.front() == '/') {
            const std::filesystem::path candidate = std::filesystem::path(folder) / program;
            if (IsExecutableFile(candidate)) {
                return candidate;
            }
        }
        start = end + 1;
    }
    return {};
}

OsascriptRunner::OsascriptRunner(const EnvironmentLookup& environment) {
    if (const auto path = environment("PATH")) {
        program_ = FindProgramOnPath("osascript", *path);
    }
}

ScriptRunResult OsascriptRunner::Run(std::string_view scriptText) {
    if (!IsAvailable()) {
        return {kScriptRunnerErrorCode, std::string(kScriptingNotAvailableText)};
    }
    const ScriptRunResult launchFailed{kScriptRunnerErrorCode,
                                       std::string(kScriptLaunchFailedText)};
    Descriptor input, childInput, output, childOutput, errors, childErrors;
    if (!MakeInputPair(input, childInput) || !MakePipe(output, childOutput) ||
        !MakePipe(errors, childErrors) || !NonBlocking(input.get()) || !NonBlocking(output.get()) ||
        !NonBlocking(errors.get())) {
        return launchFailed;
    }

    posix_spawn_file_actions_t actions;
    if (::posix_spawn_file_actions_init(&actions) != 0) {
        return launchFailed;
    }
    ::posix_spawn_file_actions_adddup2(&actions, childInput.get(), STDIN_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, childOutput.get(), STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, childErrors.get(), STDERR_FILENO);
    std::string name = "osascript";
    std::string fromInput = "-";
    std::array<char*, 3> argv = {name.data(), fromInput.data(), nullptr};
    pid_t child = 0;
    const int spawned =
        ::posix_spawn(&child, program_.c_str(), &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    childInput.Close();
    childOutput.Close();
    childErrors.Close();
    if (spawned != 0) {
        return launchFailed;
    }

    std::string printed;
    std::string reported;
    Exchange(input, output, errors, scriptText, printed, reported);
    // Should the exchange have stopped early, osascript sees the end of its input now
    // rather than waiting for it while this waits for osascript.
    input.Close();
    output.Close();
    errors.Close();

    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return {kScriptRunnerErrorCode, std::string(kScriptRunFailedText)};
        }
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        return {0, WithoutFinalNewline(std::move(printed))};
    }
    if (std::string message = OsascriptErrorMessage(reported); !message.empty()) {
        return {kScriptErrorCode, std::move(message)};
    }
    return {kScriptRunnerErrorCode, std::string(kScriptRunFailedText)};
}

std::string OsascriptErrorMessage(std::string_view errorOutput) {
    constexpr std::string_view kMarker = "error: ";
    const size_t marker = errorOutput.find(kMarker);
    if (marker == std::string_view::npos) {
        return {};
    }
    std::string_view message = errorOutput.substr(marker + kMarker.size());
    message = message.substr(0, message.find('\n'));
    // The error number in parentheses at the end is not part of the message.
    if (message.ends_with(')')) {
        const size_t open = message.rfind(" (");
        if (open != std::string_view::npos) {
            const std::string_view number = message.substr(open + 2, message.size() - open - 3);
            const bool isNumber = !number.empty() &&
                                  number.find_first_not_of("-0123456789") == std::string_view::npos;
            if (isNumber) {
                message = message.substr(0, open);
            }
        }
    }
    return std::string(message);
}

}  // namespace harmovia
