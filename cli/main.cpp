// harmovia-cli: the headless companion of the desktop program, over the same library file.
// Exit status: 0 success, 1 failure (one line on stderr), 2 usage error (a line naming the
// problem), 130 an add stopped by Ctrl-C. A write to stdout that fails is a failure.

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/add_command.h"
#include "cli/cli_library.h"
#include "cli/export_moods_command.h"
#include "cli/list_command.h"
#include "cli/mood_command.h"
#include "cli/play_command.h"
#include "cli/playlist_command.h"
#include "cli/send_command.h"
#include "cli/terminal_text.h"
#include "cli/view_request.h"
#include "library/library_file.h"
#include "library/random_source.h"

namespace {

constexpr const char* kUsage =
    "usage: harmovia-cli COMMAND [OPTIONS]\n"
    "\n"
    "commands:\n"
    "  add FOLDER | --music-folder [--workers N] [--quiet]\n"
    "                                        adds the MP3, M4A, FLAC, Ogg, Opus, WAV and\n"
    "                                        AIFF tunes of a folder tree; Ctrl-C stops and\n"
    "                                        keeps what was added\n"
    "  inspect FILE                          reads, measures and scores one file as JSON,\n"
    "                                        without touching the library\n"
    "  list [--mood N] [--format tsv|json]   the tunes of the library, in library order\n"
    "  moods                                 the nine moods with their number of tunes\n"
    "  playlist VIEW [--format tsv|json|m3u] a view of the library, as the desktop program\n"
    "                                        builds it; VIEW is one of --all, --last-added,\n"
    "                                        --mood K [--category NAME], --like SLOT,\n"
    "                                        --artist SLOT, --album SLOT, --genre SLOT,\n"
    "                                        --search TEXT, --journey A:B [--count N |\n"
    "                                        --minutes M]; --seed N repeats a shuffle\n"
    "  send VIEW [--name NAME] [--count N] [--dry-run] [--open]\n"
    "                                        sends a view's checked tunes to the music\n"
    "                                        player as a playlist; on Linux writes\n"
    "                                        ~/Music/Playlists/NAME.m3u8\n"
    "  play VIEW [--volume V] [--endless]    plays a view, one line per tune; Ctrl-C stops;\n"
    "                                        media keys steer it (MPRIS)\n"
    "  set-mood SLOT|--title TEXT K|measured sets a tune's mood by hand, or back to the\n"
    "                                        measured one; its measured values stay\n"
    "  explain SLOT|--title TEXT             why the tune has its mood, from its measurement\n"
    "  export-moods [DIR]                    writes the nine mood playlists, one M3U8 file per\n"
    "                                        mood, into DIR (default ~/Music/Playlists)\n"
    "\n"
    "The library lives in $XDG_DATA_HOME/Harmovia (by default ~/.local/share/Harmovia).\n";

// After a usage error the command has named the problem; the whole usage is one word away.
int Usage() {
    std::fputs("harmovia-cli: \"harmovia-cli help\" shows the commands and their options\n",
               stderr);
    return 2;
}

void PrintHelp(std::FILE* out) {
    std::fprintf(out, "%s\n%s\n%s\n%s\n%s\n%s\n%s", kUsage, harmovia::ViewOptionsUsage(),
                 harmovia::PlaylistFormatsUsage(), harmovia::SendOptionsUsage(),
                 harmovia::PlayOptionsUsage(), harmovia::MoodCommandsUsage(),
                 harmovia::GenreCategoriesUsage().c_str());
}

// set-mood writes the library (under the lock) when the mood changes; explain only reads it.
int RunMoodCommand(const std::string& command, const std::vector<std::string>& args) {
    using namespace harmovia;
    const bool setting = command == "set-mood";
    MoodRequest request;
    if (ParseMoodRequest(args, setting, request, stderr) != 0) {
        return Usage();
    }
    auto cli = OpenCliLibrary(/*forWriting=*/setting, stderr);
    if (!cli) {
        return 1;
    }
    Library& library = *cli->library;
    int32_t slot = 0;
    if (FindRequestedTune(request, library, command.c_str(), slot, stderr) != 0) {
        return 1;
    }
    if (!setting) {
        return RunExplain(library, slot, stdout);
    }
    const TuneRecord before = library.Slots.Read(slot);
    if (const int status = RunSetMood(request, library, slot, stdout, stderr); status != 0) {
        return status;
    }
    if (library.Slots.Read(slot) == before) {
        return 0;
    }
    if (const OsError error = SaveLibrary(library, cli->files, cli->folder); error != kNoErr) {
        std::fprintf(stderr, "harmovia-cli: the library could not be saved (error %d)\n", error);
        return 1;
    }
    return KeepMoodPlaylistsAfterChange(*cli, ProcessEnvironment(), "set-mood", stderr);
}

int RunCommand(int argc, char** argv) {
    using namespace harmovia;
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        PrintHelp(stdout);
        return 0;
    }
    if (command == "add" || command == "inspect") {
        const int status = command == "add" ? RunAddCommand(args) : RunInspectCommand(args);
        return status == 2 ? Usage() : status;
    }
    if (command == "set-mood" || command == "explain") {
        return RunMoodCommand(command, args);
    }
    if (command == "list" || command == "moods" || command == "playlist" || command == "send" ||
        command == "play" || command == "export-moods") {
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
        if (command == "send") {
            RandomSource random = RandomSource::FromEntropy();
            const int status =
                RunSendCommand(args, *cli->library, random, ProcessEnvironment(), stdout, stderr);
            return status == 2 ? Usage() : status;
        }
        if (command == "export-moods") {
            const int status =
                RunExportMoodsCommand(args, *cli->library, ProcessEnvironment(), stdout, stderr);
            return status == 2 ? Usage() : status;
        }
        if (command == "moods") {
            if (!args.empty()) {
                ReportProblem(stderr, "moods", "takes no options", 2);
                return Usage();
            }
            return RunMoodsCommand(*cli->library, stdout);
        }
        const int status = RunListCommand(args, *cli->library, stdout, stderr);
        return status == 2 ? Usage() : status;
    }
    std::fprintf(stderr, "harmovia-cli: unknown command '%s'\n", command.c_str());
    return Usage();
}

}  // namespace

int main(int argc, char** argv) {
    // A closed pipe is a failed write to report, not a signal that ends the program.
    std::signal(SIGPIPE, SIG_IGN);
    return harmovia::FinishOutput(RunCommand(argc, argv), stdout, stderr);
}
