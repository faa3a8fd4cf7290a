#include "platform/library_lock.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace harmovia {

std::unique_ptr<LibraryLock> LibraryLock::TryAcquire(const std::filesystem::path& folder,
                                                     OsError* error) {
    const auto report = [&](OsError e) {
        if (error != nullptr) {
            *error = e;
        }
        return nullptr;
    };
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    if (made) {
        return report(OsErrorFromErrno(made.value()));
    }
    const auto file = folder / ".lock";
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return report(OsErrorFromErrno(errno));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        return report(e == EWOULDBLOCK ? kPermErr : OsErrorFromErrno(e));
    }
    report(kNoErr);
    return std::unique_ptr<LibraryLock>(new LibraryLock(fd));
}

LibraryLock::~LibraryLock() {
    ::close(fd_);
}

}  // namespace harmovia
