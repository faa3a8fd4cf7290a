// harmovia-cli: the headless companion of the desktop program, over the same library file.

#include <cstdio>
#include <cstring>
#include <string_view>

#include "library/library_file.h"
#include "library/mac_roman.h"
#include "library/mood.h"
#include "platform/app_folders.h"

namespace {

constexpr const char* kUsage =
    "usage: harmovia-cli COMMAND\n"
    "commands:\n"
    "  moods    the nine moods with the number of tunes in each\n";

int Moods() {
    using namespace harmovia;
    const auto folder = AppDataFolder(ProcessEnvironment());
    if (!folder) {
        std::fprintf(stderr, "harmovia-cli: no home folder to keep the library in\n");
        return 1;
    }
    DiskFileSystem files;
    Library library;
    const LibraryLoadResult loaded = LoadLibrary(library, files, *folder);
    if (loaded.error != kNoErr) {
        std::fprintf(stderr, "harmovia-cli: cannot read the library in %s (error %d)\n",
                     folder->c_str(), loaded.error);
        return 1;
    }
    for (int mood = 1; mood <= kMoodCount; ++mood) {
        std::printf("%d\t%s\t%d\n", mood, std::string(MoodTable[mood].name).c_str(),
                    library.MoodCounts[static_cast<size_t>(mood)]);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "moods") {
        return Moods();
    }
    std::fputs(kUsage, stderr);
    return 2;
}
