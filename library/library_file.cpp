#include "library/library_file.h"

#include <algorithm>
#include <cstddef>

#include "platform/app_folders.h"

namespace harmovia {

std::vector<uint8_t> EncodeLibrary(const Library& library) {
    const auto count = static_cast<size_t>(std::clamp(library.TuneCount, 0, kMaxTunes));
    std::vector<uint8_t> bytes(count * kTuneRecordSize);
    for (size_t i = 0; i < count; ++i) {
        // Through the library's own reading: slots never written lie beyond its storage.
        EncodeTuneRecord(library[static_cast<int32_t>(i + 1)],
                         std::span<uint8_t, kTuneRecordSize>(bytes.data() + i * kTuneRecordSize,
                                                             kTuneRecordSize));
    }
    return bytes;
}

namespace {

// Decodes whole records into the slots after `count`; returns the new count.
int32_t DecodeRecords(std::span<const uint8_t> bytes, Library& library, int32_t count) {
    for (size_t offset = 0; offset + kTuneRecordSize <= bytes.size() && count < kMaxTunes;
         offset += kTuneRecordSize) {
        ++count;
        DecodeTuneRecord(
            std::span<const uint8_t, kTuneRecordSize>(bytes.data() + offset, kTuneRecordSize),
            library.Slots.Write(count));
        library.Slots.Write(count).AddedSerial = count;
    }
    return count;
}

// Appends the tail to the damaged-bytes file unless that file already ends with it (a
// library saved twice since it was loaded).
OsError KeepDamagedTail(std::span<const uint8_t> tail, FileSystem& files,
                        const std::filesystem::path& folder) {
    if (tail.empty()) {
        return kNoErr;
    }
    const auto file = folder / kDamagedTailFileName;
    std::vector<uint8_t> kept;
    if (files.Kind(file) != EntryKind::Missing) {
        FileContents old = files.ReadFile(file, uint64_t{64} << 20);
        if (old.error != kNoErr) {
            return old.error;
        }
        kept.assign(old.bytes.begin(), old.bytes.end());
    }
    if (kept.size() >= tail.size() &&
        std::equal(tail.begin(), tail.end(), kept.end() - static_cast<ptrdiff_t>(tail.size()))) {
        return kNoErr;
    }
    kept.insert(kept.end(), tail.begin(), tail.end());
    return files.WriteFileAtomically(file, kept);
}

void SetLoadedCount(Library& library, int32_t count) {
    library.TuneCount = count;
    library.CurrentTuneIndex = count;
    RecountMoods(library);
}

}  // namespace

void DecodeLibrary(std::span<const uint8_t> bytes, Library& library) {
    SetLoadedCount(library, DecodeRecords(bytes, library, 0));
}

LibraryLoadResult LoadLibrary(Library& library, FileSystem& files,
                              const std::filesystem::path& folder) {
    LibraryLoadResult result;
    const auto file = folder / kLibraryFileName;
    int32_t count = 0;
    if (files.Kind(file) == EntryKind::Missing) {
        result.created = true;
        result.error = files.CreateFolders(folder);
        if (result.error == kNoErr) {
            result.error = files.TouchFile(file);
        }
    } else {
        // Pieces of whole records, small enough to stay in the cache while decoded. Bytes
        // no slot takes (a partial record, records past the last slot) are kept aside rather
        // than dropped by the next save; a file that large is damaged, so the keeping has a
        // bound.
        constexpr size_t kChunk = 64 * kTuneRecordSize;
        constexpr uint64_t kMaxKeptBeyond = uint64_t{64} << 20;
        uint64_t length = 0;
        library.DamagedTail.clear();
        result.error = files.ReadFileInChunks(
            file, static_cast<uint64_t>(kMaxTunes) * kTuneRecordSize + kMaxKeptBeyond, kChunk,
            [&](std::span<const uint8_t> bytes) {
                const int32_t before = count;
                count = DecodeRecords(bytes, library, count);
                const auto taken = static_cast<size_t>(count - before) * kTuneRecordSize;
                library.DamagedTail.insert(library.DamagedTail.end(),
                                           bytes.begin() + static_cast<ptrdiff_t>(taken),
                                           bytes.end());
            },
            length);
        if (result.error == kNoErr) {
            result.ignoredBytes =
                static_cast<size_t>(length - static_cast<uint64_t>(count) * kTuneRecordSize);
        }
    }
    SetLoadedCount(library, count);
    result.tunesRead = count;
    return result;
}

OsError SaveLibrary(const Library& library, FileSystem& files,
                    const std::filesystem::path& folder) {
    const auto file = folder / kLibraryFileName;
    if (!library.DamagedTail.empty()) {
        if (OsError error = files.CreateFolders(folder); error != kNoErr) {
            return error;
        }
        if (OsError error = KeepDamagedTail(library.DamagedTail, files, folder); error != kNoErr) {
            return error;
        }
    }
    if (library.TuneCount <= 0) {
        return files.RemoveFile(file);
    }
    if (OsError error = files.CreateFolders(folder); error != kNoErr) {
        return error;
    }
    const std::vector<uint8_t> bytes = EncodeLibrary(library);
    return files.WriteFileAtomically(file, bytes);
}

}  // namespace harmovia
