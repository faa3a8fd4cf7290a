#pragma once

// The two ways an add starts: AddTunesFromFolder (a folder the user chose) and
// AddTunesFromITunes (the user's music folder). Each checks that the decoders are there,
// then starts an AddTask, which the caller steps until it has finished.

#include <filesystem>
#include <memory>
#include <optional>

#include "import/add_task.h"
#include "platform/movie.h"

namespace harmovia {

enum class AddStartResult {
    Started,
    NoAudioDecoders,  // beeped once; the desktop program ends itself for a chosen folder
    NoMusicFound,     // the music folder is missing or empty; beeped and alerted
    NotAFolder,       // the chosen folder is not a folder (nothing said: the caller says it)
};

struct AddStart {
    AddStartResult result = AddStartResult::NotAFolder;
    std::unique_ptr<AddTask> task;  // set when Started
    std::filesystem::path folder;   // the folder the add walks
};

inline constexpr std::string_view kNoMusicAlertTitle = "iTunes Library Alert";
inline constexpr std::string_view kNoMusicAlertMessage =
    "No music was found in iTunes. Please select Add Tunes from the File menu and select a "
    "folder of music.";

// `steps` and `hooks.notices` must outlive the task; `workers` as for AddTask.
AddStart AddTunesFromFolder(Library& library, MovieFramework& movies, AddSteps& steps,
                            AddHooks hooks, const std::filesystem::path& folder, int workers);
// `musicFolder` as MusicFolder gives it; an empty folder (no entry besides . and ..) has no
// music either.
AddStart AddTunesFromITunes(Library& library, MovieFramework& movies, AddSteps& steps,
                            AddHooks hooks, const std::optional<std::filesystem::path>& musicFolder,
                            int workers);

}  // namespace harmovia
