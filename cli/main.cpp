// harmovia-cli: the headless companion of the desktop program, over the same library file.
// Exit status: 0 success, 1 failure (one line on stderr), 2 usage error (with the usage).

#include <cstdio>
#include <string>
#include <vector>

#include "cli/add_command.h"
#include "cli/cli_library.h"
#include "cli/list_command.h"
#include "cli/play_command.h"
#include "cli/playlist_command.h"
#include "library/random_source.h"

namespace {

constexpr const char* kUsage =
    "usage: harmovia-cli COMMAND [OPTIONS]\n"
    "\n"
    "commands:\n"
    "  add FOLDER | --music-folder [--workers N] [--quiet]\n"
    "                                        adds the MP3 and M4A tunes of a folder tree;\n"
    "                                        Ctrl-C stops and keeps what was added\n"
    "  inspect FILE                          reads, measures and scores one file as JSON,\n"
    "                                        without touching the library\n"
    "  list [--mood N] [--format tsv|json]   the tunes of the library, in library order\n"
    "  moods                                 the nine moods with their number of tunes\n"
    "  playlist VIEW [--format tsv|json|m3u] a view of the library, as the desktop program\n"
    "                                        builds it; VIEW is one of --all, --last-added,\n"
    "                                        --mood K [--genre CATEGORY], --like SLOT,\n"
    "                                        --artist SLOT, --album SLOT, --genre SLOT,\n"
    "                                        --search TEXT\n"
    "  play VIEW [--volume V]                plays a view, one line per tune; Ctrl-C stops;\n"
    "                                        media keys steer it (MPRIS)\n"
    "\n"
    "The library lives in $XDG_DATA_HOME/Harmovia (by default ~/.local/share/Harmovia).\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace harmovia;
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "add" || command == "inspect") {
        const int status = command == "add" ? RunAddCommand(args) : RunInspectCommand(args);
        return status == 2 ? Usage() : status;
    }
    if (command == "list" || command == "moods" || command == "playlist" || command == "play") {
        auto cli = OpenCliLibrary(/*forWriting=*/false, stderr);
        if (!cli) {
            return 1;
        }
        if (command == "playlist") {
            RandomSource random = RandomSource::FromEntropy();
            const int status = RunPlaylistCommand(args, *cli->library, random, stdout, stderr);
            return status == 2 ? Usage() : status;
        }
        if (command == "play") {
            RandomSource random = RandomSource::FromEntropy();
            const int status = RunPlayCommand(args, *cli, random, stdout, stderr);
            return status == 2 ? Usage() : status;
        }
        if (command == "moods") {
            return args.empty() ? RunMoodsCommand(*cli->library, stdout) : Usage();
        }
        const int status = RunListCommand(args, *cli->library, stdout, stderr);
        return status == 2 ? Usage() : status;
    }
    std::fprintf(stderr, "harmovia-cli: unknown command '%s'\n", command.c_str());
    return Usage();
}
