// make_library DATA_FOLDER [COUNT]: writes DATA_FOLDER/Harmovia/HarmoviaDatabase holding COUNT
// (default 2000) made-up tunes, for the window's trials (point XDG_DATA_HOME at DATA_FOLDER).

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "bench/support/synthetic_library.h"
#include "library/library_file.h"
#include "platform/file_system.h"

int main(int argc, char** argv) {
    using namespace harmovia;
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_library DATA_FOLDER [COUNT]\n");
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / "Harmovia";
    std::filesystem::create_directories(folder);
    auto library = std::make_unique<Library>();
    bench::FillSyntheticLibrary(*library, argc == 3 ? std::atoi(argv[2]) : kMaxTunes);
    DiskFileSystem files;
    if (SaveLibrary(*library, files, folder) != kNoErr) {
        std::fprintf(stderr, "make_library: cannot write %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
