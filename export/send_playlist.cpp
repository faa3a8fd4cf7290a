#include "export/send_playlist.h"

#include <algorithm>
#include <span>

#include "browse/view_titles.h"
#include "export/apple_script.h"
#include "export/hfs_path.h"
#include "export/m3u_playlist.h"
#include "library/mac_roman.h"
#include "library/mood.h"
#include "library/number_text.h"

namespace harmovia {
namespace {

constexpr const char* kNotSavedTitle = "Playlist Not Saved";

void Report(const SendTargets& targets, int32_t value, int32_t maximum) {
    if (targets.progress) {
        targets.progress(value, maximum);
    }
}

bool HasNamedMode(const ViewLabel& label) {
    const uint16_t mode = label.Mode;
    if (mode == kModeMoodByGenre) {
        return IsMood(label.Mood);
    }
    if (mode == kModeMoodJourney) {
        return IsMood(label.Journey.FromMood) && IsMood(label.Journey.ToMood);
    }
    return mode >= kModeAllTunes && mode <= kModeLastMood;
}

void TellNotSaved(SendTargets& targets, std::string_view reasonUtf8) {
    targets.notices.ShowAlert(
        Alert{kNotSavedTitle, Utf8ToMacRoman(reasonUtf8), "Okay", AlertIcon::Caution});
}

// The sent rows as a playlist file; an older file of the name is replaced whole.
void WritePlaylistFile(const ExportList& list, std::string_view name, std::string_view fallback,
                       SendTargets& targets, SendReport& report) {
    if (!targets.playlistFolder) {
        report.playlistNotSaved = true;
        TellNotSaved(targets, "There is no music folder to keep the playlist in.");
        return;
    }
    const std::filesystem::path file = *targets.playlistFolder / PlaylistFileName(name, fallback);
    std::string text(kM3uHeader);
    for (const int32_t row : report.sentRows) {
        const TuneRecord& tune = list.Rows.Read(row);
        text += targets.musicFolder ? M3uEntry(tune, *targets.playlistFolder, *targets.musicFolder)
                                    : M3uEntry(tune);
    }
    OsError error = targets.files.CreateFolders(*targets.playlistFolder);
    if (error == kNoErr) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
        error = targets.files.WriteFileAtomically(file, std::span(bytes, text.size()));
    }
    if (error != kNoErr) {
        report.playlistNotSaved = true;
        TellNotSaved(targets, "The playlist file \"" + file.string() + "\" could not be written (" +
                                  PlaylistWriteProblem(error) + ").");
        return;
    }
    report.playlistFile = file;
}

}  // namespace

ExportList CopyForExport(const ViewList& list) {
    ExportList copy;
    copy.Count = std::clamp<int32_t>(list.ViewCount, 0, kMaxViewRows);
    for (int32_t row = 1; row <= copy.Count; ++row) {
        copy.Rows.Share(row, list.Rows, row);
    }
    return copy;
}

PStr ProposedPlaylistName(const ViewState& view) {
    if (!HasNamedMode(view.Label)) {
        return NumberText(view.List.ViewCount);
    }
    return DefaultPlaylistName(view.Label);
}

SendTargets PlatformSendTargets(ScriptRunner& runner, FileSystem& files, UserNotices& notices,
                                const EnvironmentLookup& environment) {
    SendTargets targets{runner,  files,
                        notices, StartupVolumeName().value_or(std::string(kDefaultStartupVolume)),
                        false,   std::nullopt,
                        {},      std::nullopt};
#ifndef __APPLE__
    targets.writesPlaylistFile = true;
    if (const auto music = MusicFolder(environment)) {
        targets.playlistFolder = *music / "Playlists";
        targets.musicFolder = *music;
    }
#else
    (void)environment;
#endif
    return targets;
}

SendReport SendPlaylistToITunes(const ViewState& view, std::string_view name, int32_t n,
                                SendTargets& targets) {
    SendReport report;
    if (view.List.ViewCount < 1) {
        return report;
    }
    n = std::clamp(n, 0, view.List.ViewCount);
    report.rowsConsidered = n;
    Report(targets, 0, n);
    const ExportList list = CopyForExport(view.List);

    const std::string quotedName = AppleScriptString(MacRomanToUtf8(name));
    ScriptBuffer buffer;
    for (int32_t row = 1; row <= n; ++row) {
        Report(targets, row, n);
        const TuneRecord& tune = list.Rows.Read(row);
        if (tune.Checked != 1) {
            continue;
        }
        report.sentRows.push_back(row);
        buffer.Text.clear();
        WriteTrackScript(buffer, quotedName,
                         AppleScriptString(HfsPath(tune.Location.view(), targets.startupVolume)));
        if (RunScript(buffer, targets.runner).code != 0) {
            ++report.scriptsFailed;
        }
    }
    if (targets.writesPlaylistFile) {
        WritePlaylistFile(list, name, ProposedPlaylistName(view).view(), targets, report);
    }
    buffer.Text.clear();
    WriteActivateScript(buffer);
    if (RunScript(buffer, targets.runner).code != 0) {
        ++report.scriptsFailed;
    }
    return report;
}

}  // namespace harmovia
