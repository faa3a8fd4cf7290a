#include "cli/export_moods_command.h"

#include "cli/terminal_text.h"
#include "export/mood_playlists.h"
#include "library/preferences_file.h"

namespace harmovia {

int RunExportMoodsCommand(const std::vector<std::string>& args, const Library& library,
                          const EnvironmentLookup& environment, std::FILE* out, std::FILE* err) {
    if (args.size() > 1) {
        return ReportProblem(err, "export-moods", "takes one DIR at most", 2);
    }
    if (!args.empty() && args[0].starts_with("-")) {
        return ReportProblem(err, "export-moods", "unknown option \"" + args[0] + "\"", 2);
    }
    const std::optional<std::filesystem::path> music = MusicFolder(environment);
    std::filesystem::path folder;
    if (!args.empty()) {
        std::error_code error;
        folder = std::filesystem::absolute(args[0], error);
        if (error) {
            return ReportProblem(err, "export-moods", "cannot find the folder " + args[0], 1);
        }
    } else if (music) {
        folder = DefaultMoodPlaylistFolder(*music);
    } else {
        return ReportProblem(err, "export-moods", "there is no music folder; name a DIR", 1);
    }
    DiskFileSystem files;
    const MoodPlaylistsReport report = ExportMoodPlaylists(library, folder, music, files);
    for (int mood = 1; mood <= kMoodCount; ++mood) {
        const MoodPlaylistFile& file = report.files[static_cast<size_t>(mood)];
        if (file.outcome != PlaylistFileOutcome::Failed) {
            std::fprintf(out, "%s: %s, %s\n", file.path.c_str(),
                         CountOf(file.tunes, "tune").c_str(),
                         file.outcome == PlaylistFileOutcome::Written ? "written" : "unchanged");
        }
    }
    if (report.failed > 0) {
        return ReportProblem(err, "export-moods", MoodPlaylistsProblem(report), 1);
    }
    return 0;
}

int KeepMoodPlaylistsAfterChange(CliLibrary& cli, const EnvironmentLookup& environment,
                                 const char* command, std::FILE* err) {
    Preferences preferences;
    if (LoadPreferences(preferences, cli.files, cli.folder) != kNoErr ||
        !KeepsMoodPlaylists(preferences)) {
        return 0;
    }
    const auto report =
        KeepMoodPlaylists(preferences, *cli.library, MusicFolder(environment), cli.files);
    if (report && report->failed > 0) {
        return ReportProblem(err, command, MoodPlaylistsProblem(*report), 1);
    }
    return 0;
}

}  // namespace harmovia
