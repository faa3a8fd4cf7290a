#include "import/tune_add_steps.h"

#include "analysis/mood_scoring.h"
#include "analysis/sound_analysis.h"
#include "import/container_tags.h"
#include "import/mp3_tag_reader.h"
#include "import/mp4_tag_reader.h"
#include "import/tag_file.h"

#include <sys/stat.h>

namespace harmovia {
namespace {

constexpr int32_t kFailedKeepTestCode = -1;
constexpr int32_t kNotDecodableCode = -2;
constexpr int32_t kContainerNotTakenCode = 1;

struct MeasuredTune final : MeasuredFile {
    OsError openError = kNoErr;
    OsError code = kNoErr;  // the last window's code
    std::unique_ptr<SoundAnalysisState> state = std::make_unique<SoundAnalysisState>();
    TuneRecord record;                    // holds what the measurement writes
    std::optional<ContainerFacts> found;  // when the decoder opened the file
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

AddOutcome OutcomeOfRefusal(TagRefusal refusal, MusicFileKind kind) {
    switch (refusal) {
        case TagRefusal::None:
            return AddOutcome::Kept;
        case TagRefusal::HiddenName:
            return AddOutcome::HiddenName;
        case TagRefusal::PermissionDenied:
            return AddOutcome::PermissionDenied;
        case TagRefusal::Unreadable:
            return AddOutcome::Unreadable;
        case TagRefusal::TooSmall:
            return AddOutcome::TooSmall;
        case TagRefusal::NotTagged:
            return kind == MusicFileKind::M4a ? AddOutcome::M4aNotTagged
                   : TagsComeWithSound(kind)  ? AddOutcome::ContainerNotTagged
                                              : AddOutcome::NotTagged;
        case TagRefusal::Podcast:
            return AddOutcome::Podcast;
        case TagRefusal::Damaged:
            return AddOutcome::Damaged;
        case TagRefusal::Duplicate:
            return AddOutcome::Duplicate;
        case TagRefusal::LibraryFull:
            return AddOutcome::OutOfMemory;
        case TagRefusal::NotDecodable:
            return AddOutcome::NotDecodable;
        case TagRefusal::UnreadKind:
            return AddOutcome::UnreadKind;
    }
    return AddOutcome::Unreadable;
}

AddOutcome ClaimCafSlot(Library& library, const std::filesystem::path& file) {
    const std::string name = file.filename().native();
    if (name.empty() || name.front() == '.') {
        return AddOutcome::HiddenName;
    }
    int openError = 0;
    std::optional<TagFile> opened = TagFile::Open(file, &openError);
    if (!opened) {
        return OutcomeOfRefusal(RefusalOfOpenError(openError), MusicFileKind::Caf);
    }
    const std::optional<int32_t> slot = ClaimSlot(library);
    if (!slot) {
        return AddOutcome::OutOfMemory;
    }
    TuneRecord& record = library.Slots.Write(*slot);
    WriteFileIdentity(record, name, *opened, kFileKindCaf);
    record.Title.Set(TitleFromFileName(name));
    record.Artist.Set("Unknown");
    record.Album.Set("Unknown");
    record.Genre.Set("Unknown");
    return AddOutcome::Kept;
}

AddOutcome TuneAddSteps::ReadTags(Library& library, const std::filesystem::path& file,
                                  MusicFileKind kind, const MeasuredFile* measured) {
    if (TagsComeWithSound(kind)) {
        const auto* tune = static_cast<const MeasuredTune*>(measured);
        const TagRefusal refusal =
            ReadContainerTags(library, file, kind, tune ? tune->found : std::nullopt);
        lastResultCode_ = refusal == TagRefusal::None           ? 0
                          : refusal == TagRefusal::NotDecodable ? kNotDecodableCode
                                                                : kContainerNotTakenCode;
        return OutcomeOfRefusal(refusal, kind);
    }
    if (kind == MusicFileKind::Caf) {
        const AddOutcome outcome = ClaimCafSlot(library, file);
        lastResultCode_ = outcome == AddOutcome::Kept ? 0 : kIoErr;
        return outcome;
    }
    if (kind != MusicFileKind::Mp3 && kind != MusicFileKind::M4a) {
        return AddOutcome::Unreadable;
    }
    TagRefusal refusal = TagRefusal::None;
    lastResultCode_ = kind == MusicFileKind::Mp3 ? ReadMp3TagsWithReason(library, file, refusal)
                                                 : ReadMp4TagsWithReason(library, file, refusal);
    return lastResultCode_ == TagReadOk ? AddOutcome::Kept : OutcomeOfRefusal(refusal, kind);
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
    measured->found = ContainerFacts{movie->Format(), movie->Tags()};
    // A file its tags refuse whatever the library holds is not worth its ten windows.
    const MusicFileKind kind = MusicFileKindForName(file.filename().native());
    if (TagsComeWithSound(kind) && RefusalOfContainer(kind, *measured->found) != TagRefusal::None) {
        measured->code = kIoErr;
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
    TuneRecord& record = library.Slots.Write(library.CurrentTuneIndex);
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
