#pragma once

// The work the add task does on one music file, split by where it may run:
//   ReadTags    main thread, walk order: claims the next slot (it reads the library for
//               duplicates);
//   Measure     any thread, ahead of the walk: decodes and measures the file, touching no
//               shared state;
//   Score       main thread, walk order: writes the measurement into the claimed slot,
//               scores it and applies the keep test.
// The add task's records depend only on this order, so measuring ahead on a pool gives
// exactly the records of a strictly sequential run. Tests stand in their own steps.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "import/folder_walk.h"
#include "library/tune_library.h"

namespace harmovia {

// Why a file (or a folder of the walk) was not added.
enum class AddOutcome {
    Kept,
    Unreadable,          // could not be opened or read (a folder: could not be listed)
    PermissionDenied,    // the file or folder may not be read
    TooSmall,            // under the kind's minimum length
    HiddenName,          // the name starts with "."
    NotTagged,           // MP3 without an ID3v2 tag
    M4aNotTagged,        // M4A without title, album and artist tags
    ContainerNotTagged,  // FLAC, Ogg or Opus without title, album and artist tags
    Podcast,             // an MP3, FLAC, Ogg, WAV or AIFF file whose genre is "Podcast"
    Damaged,             // M4A atoms that run past the file, or a movie atom over 16 MB
    Duplicate,           // the same artist, title and album as a tune already there
    PathTooLong,         // its path does not fit the record, so it could not be played later
    NotDecodable,        // no audio the decoder can read
    TooShort,            // under 15 seconds
    NotStereo,           // mono or more than two channels
    NoSound,             // nothing significant in any window (silence)
    OutsideKeepRange,    // measured, but too sparse or too dense to be trusted
    OutOfMemory,
    UnreadKind,  // audio of a kind the add does not read, by its name or by its content
};
inline constexpr int kAddOutcomeCount = 19;

// The reason as the add summary words it, with the limit it refers to.
std::string_view AddOutcomeName(AddOutcome outcome);

// What Measure found; the concrete steps derive their own result from it.
struct MeasuredFile {
    virtual ~MeasuredFile() = default;
};

class AddSteps {
  public:
    virtual ~AddSteps() = default;
    // Claims and fills the next slot from the file's tags; Kept on success, else the slot is
    // given back and the reason returned. For a kind whose tags the decoder reads in the
    // open that measures it (TagsComeWithSound), `measured` is that file's measurement;
    // otherwise it is null and the measurement may not have run yet.
    virtual AddOutcome ReadTags(Library& library, const std::filesystem::path& file,
                                MusicFileKind kind, const MeasuredFile* measured) = 0;
    // Thread-safe; must not touch any library.
    virtual std::unique_ptr<MeasuredFile> Measure(const std::filesystem::path& file) = 0;
    // Completes the claimed slot CurrentTuneIndex from the measurement: Kept leaves it
    // claimed (the caller sets Location and commits); anything else has given it back.
    virtual AddOutcome Score(Library& library, MeasuredFile& measured) = 0;
};

}  // namespace harmovia
