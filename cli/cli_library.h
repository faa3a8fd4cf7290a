#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>

#include "library/tune_library.h"
#include "platform/file_system.h"
#include "platform/library_lock.h"

namespace harmovia {

// The library as the CLI's commands see it: loaded from the program's data folder, and
// locked when the command will write it.
struct CliLibrary {
    std::filesystem::path folder;
    DiskFileSystem files;
    std::unique_ptr<Library> library = std::make_unique<Library>();
    std::unique_ptr<LibraryLock> lock;  // held by writing commands
};

// Loads the library; with forWriting, first takes the one-writer lock. On failure prints a
// one-line reason to `err` and returns nothing. A library file that ends in a partial
// record is loaded, with a line on `err` saying how many bytes were ignored.
std::unique_ptr<CliLibrary> OpenCliLibrary(bool forWriting, std::FILE* err);

}  // namespace harmovia
