#pragma once

// The library file "HarmoviaDatabase": the committed records laid end to end, 2966 bytes
// each (layout in tune_record.h), no header, no count, no checksum. The number of tunes is
// the file length divided by 2966; a trailing partial record is not loaded but kept aside
// (HarmoviaDatabase.damaged), and at most 2000 records are read.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "library/tune_library.h"
#include "platform/file_system.h"

namespace harmovia {

struct LibraryLoadResult {
    OsError error = kNoErr;  // a read failure (the library then starts empty)
    int32_t tunesRead = 0;
    bool created = false;     // there was no file: the folder and an empty file were made
    size_t ignoredBytes = 0;  // past the last whole record read (in library.DamagedTail)
};

// Where a save keeps the bytes of a damaged end of the library file.
inline constexpr const char* kDamagedTailFileName = "HarmoviaDatabase.damaged";

// Fills the library from folder/HarmoviaDatabase: TuneCount = CurrentTuneIndex = records
// read, AddedSerial of slot i = i, MoodCounts recounted. A missing file (or folder) is
// created empty. Unreadable input never aborts the load: what can be read is used.
LibraryLoadResult LoadLibrary(Library& library, FileSystem& files,
                              const std::filesystem::path& folder);

// Writes slots 1..TuneCount to folder/HarmoviaDatabase, replacing the file atomically: on
// any failure the previous file stays as it was and the error is returned. A DamagedTail is
// first added to folder/HarmoviaDatabase.damaged (unless that file already ends with it),
// so that the bytes are never lost with the old file. An empty
// library removes the file. A file (or folder) that vanished while the program ran is
// written anew. The library itself is not touched.
[[nodiscard]] OsError SaveLibrary(const Library& library, FileSystem& files,
                                  const std::filesystem::path& folder);

// The file's byte image of slots 1..TuneCount, and the reverse (whole records only, at
// most 2000). Decoding sets only the records and the counts; see LoadLibrary.
std::vector<uint8_t> EncodeLibrary(const Library& library);
void DecodeLibrary(std::span<const uint8_t> bytes, Library& library);

}  // namespace harmovia
