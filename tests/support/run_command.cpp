#include "tests/support/run_command.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <sys/wait.h>
#include <unistd.h>

namespace harmovia::testing {

std::string ShellQuoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

CommandRun RunCommand(const std::string& line) {
    std::string errors = (std::filesystem::temp_directory_path() / "harmovia-err-XXXXXX").string();
    const int fd = ::mkstemp(errors.data());
    if (fd < 0) {
        throw std::runtime_error("RunCommand: mkstemp failed");
    }
    ::close(fd);
    CommandRun run;
    FILE* pipe = ::popen((line + " </dev/null 2>" + ShellQuoted(errors)).c_str(), "r");
    char buffer[1 << 16];
    for (size_t n = 0; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        run.out.append(buffer, n);
    }
    const int status = pipe != nullptr ? ::pclose(pipe) : -1;
    run.status = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errors);
    run.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::filesystem::remove(errors);
    return run;
}

}  // namespace harmovia::testing
