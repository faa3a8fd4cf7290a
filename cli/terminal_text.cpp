#include "cli/terminal_text.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

#include "import/add_tunes.h"

namespace harmovia {

std::string CountOf(long long count, std::string_view noun) {
    return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

std::string TerminalWording(std::string_view windowText) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 1> kReworded = {{
        {kNoMusicAlertMessage,
         "No music was found in the music folder (~/Music/iTunes/iTunes Media/Music, else "
         "~/Music); name a folder instead: harmovia-cli add FOLDER"},
    }};
    for (const auto& [window, terminal] : kReworded) {
        if (windowText == window) {
            return std::string(terminal);
        }
    }
    return std::string(windowText);
}

int ReportProblem(std::FILE* err, std::string_view command, std::string_view reason, int status) {
    std::fprintf(err, "harmovia-cli %s: %s\n", std::string(command).c_str(),
                 std::string(reason).c_str());
    return status;
}

int FinishOutput(int status, std::FILE* out, std::FILE* err) {
    errno = 0;
    // A command that failed has said why; its lost output needs no second line.
    if ((std::fflush(out) == 0 && !std::ferror(out)) || status != 0) {
        return status;
    }
    const int error = errno;
    std::fprintf(err, "harmovia-cli: cannot write the output: %s\n",
                 error != 0 ? std::strerror(error) : "write error");
    return 1;
}

}  // namespace harmovia
