#include "cli/cli_library.h"

#include "library/library_file.h"
#include "platform/app_folders.h"

namespace harmovia {

std::unique_ptr<CliLibrary> OpenCliLibrary(bool forWriting, std::FILE* err) {
    auto cli = std::make_unique<CliLibrary>();
    const auto folder = AppDataFolder(ProcessEnvironment());
    if (!folder) {
        std::fprintf(err, "harmovia-cli: no home folder to keep the library in\n");
        return nullptr;
    }
    cli->folder = *folder;
    if (forWriting) {
        OsError error = kNoErr;
        cli->lock = LibraryLock::TryAcquire(cli->folder, &error);
        if (!cli->lock) {
            if (error == kPermErr) {
                std::fprintf(err,
                             "harmovia-cli: the library in %s is open in another Harmovia; "
                             "close it first (nothing was changed)\n",
                             cli->folder.c_str());
            } else {
                std::fprintf(err, "harmovia-cli: cannot lock the library in %s (error %d)\n",
                             cli->folder.c_str(), error);
            }
            return nullptr;
        }
    }
    const LibraryLoadResult loaded = LoadLibrary(*cli->library, cli->files, cli->folder);
    if (loaded.error != kNoErr) {
        std::fprintf(err, "harmovia-cli: cannot read the library file in %s (error %d)\n",
                     cli->folder.c_str(), loaded.error);
        return nullptr;
    }
    if (loaded.ignoredBytes > 0) {
        std::fprintf(err,
                     "harmovia-cli: the library file ends in %zu bytes that are not a whole "
                     "record; they were ignored (the next add keeps them in %s)\n",
                     loaded.ignoredBytes, kDamagedTailFileName);
    }
    return cli;
}

}  // namespace harmovia
