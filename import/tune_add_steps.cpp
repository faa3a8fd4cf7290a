#include "import/tune_add_steps.h"

#include "analysis/mood_scoring.h"
#include "analysis/sound_analysis.h"
#include "import/mp3_tag_reader.h"
#include "import/mp4_tag_reader.h"
#include "import/tag_file.h"

#include <sys/stat.h>

namespace harmovia {
namespace {

constexpr int32_t kFailedKeepTestCode = -1;
constexpr int32_t kNotDecodableCode = -2;

struct MeasuredTune final : MeasuredFile {
    OsError openError = kNoErr;
    OsError code = kNoErr;  // the last window's code
    std::unique_ptr<SoundAnalysisState> state = std::make_unique<SoundAnalysisState>();
    TuneRecord record;  // holds what the measurement writes
};

AddOutcome OutcomeOfMeasurement(OsError code) {
    switch (code) {
        case kTuneTooShort:
            return AddOutcome::TooShort;
        case kNotTwoChannels:
            return AddOutcome::NotStereo;
        case kNoChannelMemory:
        case kMemFullErr:
            return AddOutcome::OutOfMemory;
        default:
            return AddOutcome::NotDecodable;
    }
}

}  // namespace

AddOutcome ClaimCafSlot(Library& library, const std::filesystem::path& file) {
    const std::string name = file.filename().native();
    if (name.empty() || name.front() == '.') {
        return AddOutcome::Unreadable;
    }
    std::optional<TagFile> opened = TagFile::Open(file);
    if (!opened) {
        return AddOutcome::Unreadable;
    }
    const std::optional<int32_t> slot = ClaimSlot(library);
    if (!slot) {
        return AddOutcome::Unreadable;
    }
    TuneRecord& record = library[*slot];
    WriteFileIdentity(record, name, *opened, kFileKindCaf);
    record.Title.Set(TitleFromFileName(name));
    record.Artist.Set("Unknown");
    record.Album.Set("Unknown");
    record.Genre.Set("Unknown");
    return AddOutcome::Kept;
}

AddOutcome TuneAddSteps::ReadTags(Library& library, const std::filesystem::path& file,
                                  MusicFileKind kind) {
    if (kind == MusicFileKind::Caf) {
        const AddOutcome outcome = ClaimCafSlot(library, file);
        lastResultCode_ = outcome == AddOutcome::Kept ? 0 : kIoErr;
        return outcome;
    }
    if (kind != MusicFileKind::Mp3 && kind != MusicFileKind::M4a) {
        return AddOutcome::Unreadable;
    }
    // The readers reject a duplicate and an untagged file with the same code. Their texts
    // stay in the slot they gave back, so emptying it first lets the two be told apart.
    const int32_t next = library.CurrentTuneIndex + 1;
    if (next <= kMaxTunes) {
        library[next].Artist.Set("");
        library[next].Title.Set("");
        library[next].Album.Set("");
    }
    if (kind == MusicFileKind::Mp3) {
        lastResultCode_ = ReadMp3Tags(library, file);
        if (lastResultCode_ == TagReadUnreadable) {
            return AddOutcome::Unreadable;
        }
    } else {
        lastResultCode_ = ReadMp4Tags(library, file);
    }
    if (lastResultCode_ == TagReadOk) {
        return AddOutcome::Kept;
    }
    const bool twin = next <= kMaxTunes && library.CurrentTuneIndex < next &&
                      !library[next].Title.view().empty() && HasEarlierTwin(library, next);
    return twin ? AddOutcome::Duplicate : AddOutcome::NotTagged;
}

std::unique_ptr<MeasuredFile> TuneAddSteps::Measure(const std::filesystem::path& file) {
    auto measured = std::make_unique<MeasuredTune>();
    // The measurement derives ByteRateIndex from the file's size, as the tag readers saw it.
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0) {
        measured->record.FileSize = static_cast<uint32_t>(
            std::min<uint64_t>(static_cast<uint64_t>(st.st_size), UINT32_MAX));
    }
    std::unique_ptr<Movie> movie;
    measured->openError = movies_.OpenMovie(file, movie);
    if (measured->openError != kNoErr || !movie) {
        measured->openError = measured->openError != kNoErr ? measured->openError : kIoErr;
        return measured;
    }
    measured->code = MeasureTune(*measured->state, *movie, measured->record);
    return measured;
}

AddOutcome TuneAddSteps::Score(Library& library, MeasuredFile& measuredFile) {
    auto& measured = static_cast<MeasuredTune&>(measuredFile);
    if (measured.openError != kNoErr || measured.code != kNoErr) {
        lastResultCode_ = measured.openError != kNoErr ? kNotDecodableCode : measured.code;
        GiveBackSlot(library);
        return measured.openError != kNoErr ? AddOutcome::NotDecodable
                                            : OutcomeOfMeasurement(measured.code);
    }
    TuneRecord& record = library[library.CurrentTuneIndex];
    CopySoundMeasurement(measured.record, record);
    // Scoring names the record after the file, as the tag reader stored its name.
    const std::string name(record.FileName.view());
    const int32_t code = ScoreMood(*measured.state, library, name);
    lastResultCode_ = code;
    if (!PassesKeepTest(code, *measured.state, record)) {
        lastResultCode_ = code != 0 ? code : kFailedKeepTestCode;
        GiveBackSlot(library);
        return code == kNoSignificantBins ? AddOutcome::NoSound : AddOutcome::OutsideKeepRange;
    }
    return AddOutcome::Kept;
}

}  // namespace harmovia
