#pragma once

// A music file opened for tag reading: its length, where it lives (the identity fields a
// tune record keeps) and bounded reads from it. Opening never blocks: a FIFO, a device or a
// folder is refused, not read. The file is closed when the object goes.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "library/tune_record.h"

namespace harmovia {

// Why a tag reader did not take a file, told apart for the add pipeline's summary (the
// result codes keep their few values).
enum class TagRefusal {
    None,
    HiddenName,        // empty, or starts with "."
    PermissionDenied,  // the file may not be read
    Unreadable,        // missing, not a regular file, or a read error
    TooSmall,          // under the reader's minimum length
    NotTagged,         // MP3: no ID3v2 tag; M4A, FLAC, Ogg: no title, album and artist
    Podcast,
    Damaged,  // M4A: atom sizes that run past the file, or a movie atom over 16 MB
    Duplicate,
    LibraryFull,
    NotDecodable,  // the decoder found no audio, so no container tags either
    UnreadKind,    // the container is not of a kind its name says
};

// The refusal for an errno from opening a file: PermissionDenied or Unreadable.
TagRefusal RefusalOfOpenError(int error);

class TagFile {
  public:
    // Opens a regular file read-only. Nothing when the file is missing, is not a regular
    // file, cannot be opened or examined, or when its folder cannot be examined; `error`,
    // when given, then holds the errno (EISDIR for a file that is not a regular one).
    static std::optional<TagFile> Open(const std::filesystem::path& path, int* error = nullptr);

    TagFile(TagFile&& other) noexcept;
    TagFile& operator=(TagFile&& other) = delete;
    TagFile(const TagFile&) = delete;
    TagFile& operator=(const TagFile&) = delete;
    ~TagFile();

    // The whole file's length in bytes when it was opened.
    uint64_t Length() const { return length_; }
    // The volume: the low 16 bits of the file's device id.
    int16_t VolumeRef() const { return volumeRef_; }
    // The folder holding the file: the low 32 bits of the folder's inode number.
    int32_t FolderId() const { return folderId_; }

    // Fills `out` with the bytes from `offset` on. False unless every byte was read (a read
    // error, or a file that shrank since it was opened).
    [[nodiscard]] bool ReadAt(uint64_t offset, std::span<uint8_t> out) const;

  private:
    TagFile(int fd, uint64_t length, int16_t volumeRef, int32_t folderId)
        : fd_(fd), length_(length), volumeRef_(volumeRef), folderId_(folderId) {}

    int fd_ = -1;
    uint64_t length_ = 0;
    int16_t volumeRef_ = 0;
    int32_t folderId_ = 0;
};

// The identity fields every tag reader fills: FileName (the leaf name's bytes, unchanged),
// VolumeRef, FolderId, FileSize (the length, held at 4294967295 for files of 4 GiB or more)
// and FileKind.
void WriteFileIdentity(TuneRecord& record, std::string_view fileName, const TagFile& file,
                       FileKindCode kind);

// The title of an untitled file: its name less the last `extensionLength` bytes (the
// extension with its dot). Names here are UTF-8 while the record keeps Mac Roman, so a
// valid UTF-8 name is converted; any other name is kept byte for byte.
std::string TitleFromFileName(std::string_view fileName, size_t extensionLength = 4);

}  // namespace harmovia
