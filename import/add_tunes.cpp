#include "import/add_tunes.h"

namespace harmovia {
namespace {

bool DecodersReady(MovieFramework& movies, const AddHooks& hooks) {
    if (movies.EnterMovies() == kNoErr) {
        return true;
    }
    if (hooks.notices != nullptr) {
        hooks.notices->Beep(1);
    }
    return false;
}

bool HasEntries(const std::filesystem::path& folder) {
    std::error_code error;
    return std::filesystem::directory_iterator(folder, error) !=
           std::filesystem::directory_iterator();
}

AddStart Start(Library& library, AddSteps& steps, AddHooks hooks,
               const std::filesystem::path& folder, std::string_view limitMessage, int workers) {
    AddStart start;
    start.result = AddStartResult::Started;
    start.folder = folder;
    start.task =
        std::make_unique<AddTask>(library, steps, std::move(hooks), folder, limitMessage, workers);
    return start;
}

}  // namespace

AddStart AddTunesFromFolder(Library& library, MovieFramework& movies, AddSteps& steps,
                            AddHooks hooks, const std::filesystem::path& folder, int workers) {
    if (!DecodersReady(movies, hooks)) {
        return {AddStartResult::NoAudioDecoders, nullptr, folder};
    }
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        return {AddStartResult::NotAFolder, nullptr, folder};
    }
    return Start(library, steps, std::move(hooks), folder, kFolderLimitMessage, workers);
}

AddStart AddTunesFromITunes(Library& library, MovieFramework& movies, AddSteps& steps,
                            AddHooks hooks, const std::optional<std::filesystem::path>& musicFolder,
                            int workers) {
    if (!DecodersReady(movies, hooks)) {
        return {AddStartResult::NoAudioDecoders, nullptr, musicFolder.value_or("")};
    }
    std::error_code error;
    if (!musicFolder || !std::filesystem::is_directory(*musicFolder, error) ||
        !HasEntries(*musicFolder)) {
        if (hooks.notices != nullptr) {
            hooks.notices->Beep(1);
            hooks.notices->ShowAlert(
                {std::string(kNoMusicAlertTitle), std::string(kNoMusicAlertMessage), "Okay"});
        }
        return {AddStartResult::NoMusicFound, nullptr, musicFolder.value_or("")};
    }
    return Start(library, steps, std::move(hooks), *musicFolder, kMusicFolderLimitMessage, workers);
}

}  // namespace harmovia
