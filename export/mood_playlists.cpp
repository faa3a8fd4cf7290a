#include "export/mood_playlists.h"

#include <algorithm>
#include <span>

#include "export/m3u_playlist.h"

namespace harmovia {
namespace {

constexpr std::string_view kFileNamePrefix = "Harmovia \xE2\x80\x93 ";  // U+2013 EN DASH

// Whether `folder` is `musicFolder` or lies inside it, compared as text after "." and ".."
// are resolved (as the entries themselves are).
bool InsideMusicFolder(const std::filesystem::path& folder,
                       const std::filesystem::path& musicFolder) {
    const std::filesystem::path relative =
        folder.lexically_normal().lexically_relative(musicFolder.lexically_normal());
    return !relative.empty() && *relative.begin() != "..";
}

bool SameBytes(FileSystem& files, const std::filesystem::path& path, const std::string& text) {
    const FileContents old = files.ReadFile(path, text.size() + 1);
    return old.error == kNoErr && old.length == text.size() &&
           std::equal(old.bytes.begin(), old.bytes.end(), text.begin(), text.end());
}

}  // namespace

std::string MoodPlaylistFileName(int mood) {
    return std::string(kFileNamePrefix) + std::string(MoodTable[static_cast<size_t>(mood)].name) +
           std::string(kPlaylistFileExtension);
}

std::filesystem::path DefaultMoodPlaylistFolder(const std::filesystem::path& musicFolder) {
    return musicFolder / "Playlists";
}

MoodPlaylistTexts BuildMoodPlaylists(const Library& library,
                                     const std::filesystem::path& playlistFolder,
                                     const std::optional<std::filesystem::path>& musicFolder) {
    MoodPlaylistTexts texts;
    for (int mood = 1; mood <= kMoodCount; ++mood) {
        texts.text[static_cast<size_t>(mood)] = kM3uHeader;
    }
    const bool relative = musicFolder && InsideMusicFolder(playlistFolder, *musicFolder);
    for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
        const TuneRecord& tune = library[slot];
        const auto mood = static_cast<size_t>(MoodOrNone(tune.Mood));
        if (mood == 0) {
            continue;
        }
        texts.text[mood] +=
            relative ? M3uEntry(tune, playlistFolder, *musicFolder) : M3uEntry(tune);
        ++texts.tunes[mood];
    }
    return texts;
}

MoodPlaylistsReport WriteMoodPlaylists(const MoodPlaylistTexts& texts,
                                       const std::filesystem::path& folder, FileSystem& files) {
    MoodPlaylistsReport report;
    const OsError folderError = files.CreateFolders(folder);
    for (int mood = 1; mood <= kMoodCount; ++mood) {
        const auto m = static_cast<size_t>(mood);
        MoodPlaylistFile& file = report.files[m];
        file.path = folder / MoodPlaylistFileName(mood);
        file.tunes = texts.tunes[m];
        const std::string& text = texts.text[m];
        if (folderError == kNoErr && SameBytes(files, file.path, text)) {
            file.outcome = PlaylistFileOutcome::Unchanged;
            continue;
        }
        const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
        file.error = folderError != kNoErr
                         ? folderError
                         : files.WriteFileAtomically(file.path, std::span(bytes, text.size()));
        file.outcome =
            file.error == kNoErr ? PlaylistFileOutcome::Written : PlaylistFileOutcome::Failed;
        report.failed += file.error == kNoErr ? 0 : 1;
    }
    return report;
}

MoodPlaylistsReport ExportMoodPlaylists(const Library& library, const std::filesystem::path& folder,
                                        const std::optional<std::filesystem::path>& musicFolder,
                                        FileSystem& files) {
    return WriteMoodPlaylists(BuildMoodPlaylists(library, folder, musicFolder), folder, files);
}

std::optional<MoodPlaylistsReport> KeepMoodPlaylists(
    const Preferences& preferences, const Library& library,
    const std::optional<std::filesystem::path>& musicFolder, FileSystem& files) {
    if (!KeepsMoodPlaylists(preferences)) {
        return std::nullopt;
    }
    if (!musicFolder) {
        MoodPlaylistsReport report;
        report.noMusicFolder = true;
        report.failed = kMoodCount;
        return report;
    }
    return ExportMoodPlaylists(library, DefaultMoodPlaylistFolder(*musicFolder), musicFolder,
                               files);
}

std::string MoodPlaylistsProblem(const MoodPlaylistsReport& report) {
    if (report.noMusicFolder) {
        return "There is no music folder to keep the mood playlists in.";
    }
    const auto first = std::find_if(
        report.files.begin() + 1, report.files.end(),
        [](const MoodPlaylistFile& file) { return file.outcome == PlaylistFileOutcome::Failed; });
    if (first == report.files.end()) {
        return {};
    }
    std::string problem = "The mood playlist \"" + first->path.string() +
                          "\" could not be written (" + PlaylistWriteProblem(first->error) + ")";
    if (report.failed > 1) {
        problem += ", nor " + std::to_string(report.failed - 1) +
                   (report.failed == 2 ? " other" : " others");
    }
    return problem + "; what was there before is left as it was.";
}

}  // namespace harmovia
