#include "import/tag_file.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <utility>

#include "library/mac_roman.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace harmovia {

TagRefusal RefusalOfOpenError(int error) {
    return error == EACCES || error == EPERM ? TagRefusal::PermissionDenied
                                             : TagRefusal::Unreadable;
}

std::optional<TagFile> TagFile::Open(const std::filesystem::path& path, int* error) {
    int ignored = 0;
    int& failure = error ? *error : ignored;
    failure = 0;
    // O_NONBLOCK: opening a FIFO must not wait for a writer. Regular files ignore it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        failure = errno;
        return std::nullopt;
    }
    struct stat file {};
    struct stat folder {};
    const std::filesystem::path parent =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    if (::fstat(fd, &file) != 0 || ::stat(parent.c_str(), &folder) != 0) {
        failure = errno;
        ::close(fd);
        return std::nullopt;
    }
    if (!S_ISREG(file.st_mode) || file.st_size < 0) {
        failure = EISDIR;
        ::close(fd);
        return std::nullopt;
    }
    // The record's identity fields are narrow: keep the low bits (wrapping is intended).
    return TagFile(fd, static_cast<uint64_t>(file.st_size),
                   static_cast<int16_t>(static_cast<uint16_t>(file.st_dev)),
                   static_cast<int32_t>(static_cast<uint32_t>(folder.st_ino)));
}

TagFile::TagFile(TagFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      length_(other.length_),
      volumeRef_(other.volumeRef_),
      folderId_(other.folderId_) {}

TagFile::~TagFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool TagFile::ReadAt(uint64_t offset, std::span<uint8_t> out) const {
    size_t done = 0;
    while (done < out.size()) {
        const uint64_t at = offset + done;
        if (at > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) {
            return false;
        }
        const ssize_t n =
            ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

void WriteFileIdentity(TuneRecord& record, std::string_view fileName, const TagFile& file,
                       FileKindCode kind) {
    record.FileName.Set(fileName);
    record.VolumeRef = file.VolumeRef();
    record.FolderId = file.FolderId();
    record.FileSize = static_cast<uint32_t>(
        std::min<uint64_t>(file.Length(), std::numeric_limits<uint32_t>::max()));
    record.FileKind = kind;
}

std::string TitleFromFileName(std::string_view fileName, size_t extensionLength) {
    const std::string_view stem = fileName.size() <= extensionLength
                                      ? std::string_view()
                                      : fileName.substr(0, fileName.size() - extensionLength);
    return IsValidUtf8(stem) ? Utf8ToMacRoman(stem) : std::string(stem);
}

}  // namespace harmovia
