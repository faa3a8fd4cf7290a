#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "platform/os_error.h"

namespace harmovia {

enum class EntryKind { Missing, File, Folder, Other };

// An allocator that leaves new bytes uninitialised: a buffer about to be filled by a read
// need not be zeroed first (a library file is 5.9 MB).
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
using ByteBuffer = std::vector<uint8_t, UninitialisedAllocator<uint8_t>>;

struct FileContents {
    OsError error = kNoErr;
    uint64_t length = 0;  // the whole file's length
    ByteBuffer bytes;     // at most the requested number of bytes from the start
};

// The file operations the library and preferences files need. The program uses
// DiskFileSystem; tests derive from it to make writes fail part-way.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    virtual EntryKind Kind(const std::filesystem::path& path) = 0;
    // Reads up to maxBytes from the start of the file.
    virtual FileContents ReadFile(const std::filesystem::path& path, uint64_t maxBytes) = 0;
    // Reads up to maxBytes from the start of the file in pieces of chunkSize bytes (the last
    // may be shorter) and hands each to `take` while it is still in the processor's cache.
    // Returns the error and sets `length` to the whole file's length.
    virtual OsError ReadFileInChunks(const std::filesystem::path& path, uint64_t maxBytes,
                                     size_t chunkSize,
                                     const std::function<void(std::span<const uint8_t>)>& take,
                                     uint64_t& length) = 0;
    // Replaces the file whole: the bytes go to a temporary file in the same folder, are
    // flushed to disk, and the temporary file is renamed over the old one. On any failure
    // the old file is left exactly as it was and the temporary file is removed.
    virtual OsError WriteFileAtomically(const std::filesystem::path& path,
                                        std::span<const uint8_t> bytes) = 0;
    // Removing a file that does not exist succeeds.
    virtual OsError RemoveFile(const std::filesystem::path& path) = 0;
    // Creates the folder and any missing parents.
    virtual OsError CreateFolders(const std::filesystem::path& path) = 0;
    // Creates an empty file unless one exists.
    virtual OsError TouchFile(const std::filesystem::path& path) = 0;
};

class DiskFileSystem : public FileSystem {
  public:
    EntryKind Kind(const std::filesystem::path& path) override;
    FileContents ReadFile(const std::filesystem::path& path, uint64_t maxBytes) override;
    OsError ReadFileInChunks(const std::filesystem::path& path, uint64_t maxBytes, size_t chunkSize,
                             const std::function<void(std::span<const uint8_t>)>& take,
                             uint64_t& length) override;
    OsError WriteFileAtomically(const std::filesystem::path& path,
                                std::span<const uint8_t> bytes) override;
    OsError RemoveFile(const std::filesystem::path& path) override;
    OsError CreateFolders(const std::filesystem::path& path) override;
    OsError TouchFile(const std::filesystem::path& path) override;

  protected:
    // One write(2) of the temporary file: returns bytes written or -1 with errno set. A
    // seam for tests that simulate a full disk.
    virtual long WriteSome(int fd, const uint8_t* data, size_t size);
    // fsync(2) of the temporary file; 0 or -1 with errno set.
    virtual int Flush(int fd);
};

}  // namespace harmovia
