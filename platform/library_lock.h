#pragma once

// One writer at a time: whichever program has the library open for writing holds an
// advisory lock on a file in the library folder. The lock goes with the process, so a
// crashed program never leaves a stale lock behind.

#include <filesystem>
#include <memory>

#include "platform/os_error.h"

namespace harmovia {

class LibraryLock {
  public:
    // Takes the lock of `folder` (creating the folder and the lock file as needed); nothing
    // when another process holds it or the lock file cannot be made.
    static std::unique_ptr<LibraryLock> TryAcquire(const std::filesystem::path& folder,
                                                   OsError* error = nullptr);
    ~LibraryLock();
    LibraryLock(const LibraryLock&) = delete;
    LibraryLock& operator=(const LibraryLock&) = delete;

  private:
    explicit LibraryLock(int fd) : fd_(fd) {}
    int fd_;
};

}  // namespace harmovia
