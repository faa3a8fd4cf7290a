#include "platform/file_system.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace harmovia {
namespace fs = std::filesystem;

OsError OsErrorFromErrno(int e) {
    switch (e) {
        case 0:
            return kNoErr;
        case ENOSPC:
        case EDQUOT:
            return kDiskFullErr;
        case ENOENT:
        case ENOTDIR:
            return kFileNotFoundErr;
        case EROFS:
            return kVolumeLockedErr;
        case EACCES:
            return kAccessDeniedErr;
        case EPERM:
            return kPermErr;
        case EISDIR:
            return kNotAFileErr;
        case ENOMEM:
            return kMemFullErr;
        default:
            return kIoErr;
    }
}

namespace {

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports the result (a failed close can be a failed write).
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

  private:
    int fd_;
};

OsError LastError() {
    return OsErrorFromErrno(errno);
}

}  // namespace

EntryKind DiskFileSystem::Kind(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return EntryKind::Missing;
    }
    if (S_ISREG(st.st_mode)) {
        return EntryKind::File;
    }
    return S_ISDIR(st.st_mode) ? EntryKind::Folder : EntryKind::Other;
}

OsError DiskFileSystem::ReadFileInChunks(const fs::path& path, uint64_t maxBytes, size_t chunkSize,
                                         const std::function<void(std::span<const uint8_t>)>& take,
                                         uint64_t& length) {
    length = 0;
    // Non-blocking, so a FIFO in the file's place is refused rather than waited on.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        return LastError();
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        return LastError();
    }
    if (!S_ISREG(st.st_mode)) {
        return kNotAFileErr;
    }
    length = static_cast<uint64_t>(st.st_size);
    ByteBuffer chunk(std::max<size_t>(chunkSize, 1));
    uint64_t remaining = std::min(length, maxBytes);
    while (remaining > 0) {
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(remaining, chunk.size()));
        size_t filled = 0;
        while (filled < wanted) {
            const ssize_t n = ::read(fd.get(), chunk.data() + filled, wanted - filled);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                return LastError();
            }
            if (n == 0) {
                break;  // the file shrank while we read it
            }
            filled += static_cast<size_t>(n);
        }
        if (filled > 0) {
            take(std::span<const uint8_t>(chunk.data(), filled));
        }
        if (filled < wanted) {
            break;
        }
        remaining -= filled;
    }
    return kNoErr;
}

FileContents DiskFileSystem::ReadFile(const fs::path& path, uint64_t maxBytes) {
    FileContents result;
    result.error = ReadFileInChunks(
        path, maxBytes, static_cast<size_t>(std::min<uint64_t>(maxBytes, 1 << 20)),
        [&](std::span<const uint8_t> bytes) {
            result.bytes.insert(result.bytes.end(), bytes.begin(), bytes.end());
        },
        result.length);
    return result;
}

long DiskFileSystem::WriteSome(int fd, const uint8_t* data, size_t size) {
    return ::write(fd, data, size);
}

int DiskFileSystem::Flush(int fd) {
    return ::fsync(fd);
}

OsError DiskFileSystem::WriteFileAtomically(const fs::path& path, std::span<const uint8_t> bytes) {
    std::string temporary = path.string() + ".XXXXXX";
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        return LastError();
    }
    const auto fail = [&](OsError error) {
        ::unlink(temporary.c_str());
        return error;
    };
    // Keep the permissions the old file had; a new file gets the usual ones.
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    ::fchmod(fd.get(), mode);

    size_t done = 0;
    while (done < bytes.size()) {
        const long n = WriteSome(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return fail(n == 0 ? kIoErr : LastError());
        }
        done += static_cast<size_t>(n);
    }
    if (Flush(fd.get()) != 0 || fd.Close() != 0) {
        return fail(LastError());
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        return fail(LastError());
    }
    // Make the rename itself durable.
    FileDescriptor folder(::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) {
        ::fsync(folder.get());
    }
    return kNoErr;
}

OsError DiskFileSystem::RemoveFile(const fs::path& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return LastError();
    }
    return kNoErr;
}

OsError DiskFileSystem::CreateFolders(const fs::path& path) {
    std::error_code error;
    fs::create_directories(path, error);
    if (error) {
        return OsErrorFromErrno(error.value());
    }
    return kNoErr;
}

OsError DiskFileSystem::TouchFile(const fs::path& path) {
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
        return LastError();
    }
    return fd.Close() == 0 ? kNoErr : LastError();
}

}  // namespace harmovia
