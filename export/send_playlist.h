#pragma once

// Sending the shown list to the music player: for every checked tune among the first n
// rows, a script that adds the tune's file to a playlist of the given name; then a script
// that brings the player to the front. Where the platform has no such scripting (Linux),
// the same tunes are also written as a playlist file that every player imports. Runs on
// the caller's thread, blocking while each script runs. No widgets: the send sheet draws
// the progress it is told.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browse/view_state.h"
#include "export/script_runner.h"
#include "library/pstr.h"
#include "library/tune_record.h"
#include "platform/app_folders.h"
#include "platform/file_system.h"
#include "platform/user_notices.h"

namespace harmovia {

// The rows being sent, copied when a send starts, so that nothing done meanwhile changes
// what is sent. Rows 1..Count (row 0 exists and is never used).
struct ExportList {
    RecordRows Rows;
    int32_t Count = 0;
};

ExportList CopyForExport(const ViewList& list);

// The name the send sheet proposes for the shown view (Mac Roman): "All Tunes", "Artist: "
// + the seed's artist, "M5 - Move & Groove Tunes", "M5 - Move & Groove - Rock", ...; for a
// view of any other mode, ViewCount as number text.
PStr ProposedPlaylistName(const ViewState& view);

// Told the progress of a send: value 0 with maximum n at the start, then each row's number
// as it is reached, checked or not.
using SendProgress = std::function<void(int32_t value, int32_t maximum)>;

// Where a send goes.
struct SendTargets {
    ScriptRunner& runner;
    FileSystem& files;
    UserNotices& notices;       // the alert when the playlist file cannot be written
    std::string startupVolume;  // for the scripts' HFS paths
    bool writesPlaylistFile = false;
    // <music folder>/Playlists; nothing when there is no music folder (then the file
    // cannot be written).
    std::optional<std::filesystem::path> playlistFolder;
    SendProgress progress;
    // Tunes inside it are written relative to the playlist file, the others absolute.
    std::optional<std::filesystem::path> musicFolder;
};

// The targets of this platform: osascript's scripts, an HFS startup volume found under
// /Volumes, and on every system but macOS the playlist file in the music folder.
SendTargets PlatformSendTargets(ScriptRunner& runner, FileSystem& files, UserNotices& notices,
                                const EnvironmentLookup& environment);

struct SendReport {
    int32_t rowsConsidered = 0;     // n, within 0..ViewCount
    std::vector<int32_t> sentRows;  // the checked rows among them, in row order
    int32_t scriptsFailed = 0;      // runs that answered a non-zero code, the last included
    std::optional<std::filesystem::path> playlistFile;  // written, when one was
    bool playlistNotSaved = false;                      // writing it failed (and was told)
};

// Sends the checked tunes among the first n rows of the view as a playlist called `name`
// (Mac Roman; the sheet never passes an empty one). n outside 0..ViewCount is held to it;
// with an empty view nothing runs and no file is written. A script's failure is not
// reported (the scripts catch the player's errors themselves); a playlist file that cannot
// be written is, with one caution alert "Playlist Not Saved". An older playlist file of the
// same name is replaced whole or left whole.
SendReport SendPlaylistToITunes(const ViewState& view, std::string_view name, int32_t n,
                                SendTargets& targets);

}  // namespace harmovia
