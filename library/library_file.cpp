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

void DecodeLibrary(std::span<const uint8_t> bytes, Library& library) {
    const auto count =
        static_cast<int32_t>(std::min<size_t>(bytes.size() / kTuneRecordSize, kMaxTunes));
    for (int32_t slot = 1; slot <= count; ++slot) {
        const size_t offset = static_cast<size_t>(slot - 1) * kTuneRecordSize;
        DecodeTuneRecord(std::span<const uint8_t, kTuneRecordSize>(bytes.data() + offset,
                                                                   kTuneRecordSize),
                         library[slot]);
        library[slot].AddedSerial = slot;
    }
    library.TuneCount = count;
    library.CurrentTuneIndex = count;
    RecountMoods(library);
}

LibraryLoadResult LoadLibrary(Library& library, FileSystem& files,
                              const std::filesystem::path& folder) {
    LibraryLoadResult result;
    const auto file = folder / kLibraryFileName;
    std::vector<uint8_t> bytes;
    if (files.Kind(file) == EntryKind::Missing) {
        result.created = true;
        result.error = files.CreateFolders(folder);
        if (result.error == kNoErr) {
            result.error = files.TouchFile(file);
        }
    } else {
        FileContents contents =
            files.ReadFile(file, static_cast<uint64_t>(kMaxTunes) * kTuneRecordSize);
        result.error = contents.error;
        bytes = std::move(contents.bytes);
    }
    DecodeLibrary(bytes, library);
    result.tunesRead = library.TuneCount;
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
