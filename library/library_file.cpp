#include "library/library_file.h"

#include <algorithm>

#include "platform/app_folders.h"

namespace harmovia {

std::vector<uint8_t> EncodeLibrary(const Library& library) {
    const auto count = static_cast<size_t>(std::clamp(library.TuneCount, 0, kMaxTunes));
    std::vector<uint8_t> bytes(count * kTuneRecordSize);
    for (size_t i = 0; i < count; ++i) {
        EncodeTuneRecord(library.Slots[i + 1],
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
            library[count]);
        library[count].AddedSerial = count;
    }
    return count;
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
        // Pieces of whole records, small enough to stay in the cache while decoded.
        constexpr size_t kChunk = 64 * kTuneRecordSize;
        uint64_t length = 0;
        result.error = files.ReadFileInChunks(
            file, static_cast<uint64_t>(kMaxTunes) * kTuneRecordSize, kChunk,
            [&](std::span<const uint8_t> bytes) { count = DecodeRecords(bytes, library, count); },
            length);
    }
    SetLoadedCount(library, count);
    result.tunesRead = count;
    return result;
}

OsError SaveLibrary(const Library& library, FileSystem& files,
                    const std::filesystem::path& folder) {
    const auto file = folder / kLibraryFileName;
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
