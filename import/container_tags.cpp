#include "import/container_tags.h"

#include <algorithm>
#include <string>

#include "import/mp3_tag_reader.h"
#include "import/tag_text.h"
#include "library/mac_roman.h"

namespace harmovia {
namespace {

constexpr std::string_view kUnknown = "Unknown";

// Whether a file named as `kind` may hold what the decoder found: Ogg holds Vorbis, Opus or
// FLAC; every other kind only its own container.
bool Holds(MusicFileKind kind, MovieFormat format) {
    switch (kind) {
        case MusicFileKind::Flac:
            return format == MovieFormat::Flac;
        case MusicFileKind::Ogg:
            return format == MovieFormat::Vorbis || format == MovieFormat::Opus ||
                   format == MovieFormat::Flac;
        case MusicFileKind::Wav:
            return format == MovieFormat::Wav;
        case MusicFileKind::Aiff:
            return format == MovieFormat::Aiff;
        default:
            return false;
    }
}

FileKindCode FileKindOf(MovieFormat format) {
    switch (format) {
        case MovieFormat::Vorbis:
            return kFileKindVorbis;
        case MovieFormat::Opus:
            return kFileKindOpus;
        case MovieFormat::Wav:
            return kFileKindWav;
        case MovieFormat::Aiff:
            return kFileKindAiff;
        default:
            return kFileKindFlac;
    }
}

// A tag's text in Mac Roman; nothing for a missing tag or one of blanks only.
std::optional<std::string> TagText(const std::optional<std::string>& tag) {
    if (!tag || std::all_of(tag->begin(), tag->end(), [](char c) { return c == ' '; })) {
        return std::nullopt;
    }
    return TagTextToMacRoman(DecodeUtf8OrLatin1(*tag)).str();
}

}  // namespace

uint64_t MinimumLength(MusicFileKind kind) {
    return kind == MusicFileKind::Ogg ? kOggMinimumLength : kLosslessMinimumLength;
}

TagRefusal RefusalOfContainer(MusicFileKind kind, const ContainerFacts& found) {
    if (!Holds(kind, found.format)) {
        return TagRefusal::UnreadKind;
    }
    const MovieTags& tags = found.tags;
    const bool named = kind == MusicFileKind::Wav || kind == MusicFileKind::Aiff;
    if (!named && (!TagText(tags.title) || !TagText(tags.album) || !TagText(tags.artist))) {
        return TagRefusal::NotTagged;
    }
    const std::optional<std::string> genre = TagText(tags.genre);
    if (genre && UpperCasedString(*genre) == "PODCAST") {
        return TagRefusal::Podcast;
    }
    return TagRefusal::None;
}

TagRefusal ReadContainerTags(Library& library, const std::filesystem::path& file,
                             MusicFileKind kind, const std::optional<ContainerFacts>& found) {
    const std::string fileName = file.filename().string();
    if (fileName.empty() || fileName.front() == '.') {
        return TagRefusal::HiddenName;
    }
    const std::optional<int32_t> slot = ClaimSlot(library);
    if (!slot) {
        return TagRefusal::LibraryFull;
    }
    const auto refuse = [&](TagRefusal reason) {
        GiveBackSlot(library);
        return reason;
    };
    int openError = 0;
    const std::optional<TagFile> opened = TagFile::Open(file, &openError);
    if (!opened) {
        return refuse(RefusalOfOpenError(openError));
    }
    if (opened->Length() < MinimumLength(kind)) {
        return refuse(TagRefusal::TooSmall);
    }
    if (!found) {
        return refuse(TagRefusal::NotDecodable);
    }
    if (const TagRefusal refusal = RefusalOfContainer(kind, *found); refusal != TagRefusal::None) {
        return refuse(refusal);
    }

    TuneRecord& record = library.Slots.Write(*slot);
    WriteFileIdentity(record, fileName, *opened, FileKindOf(found->format));
    const MovieTags& tags = found->tags;
    const std::optional<std::string> title = TagText(tags.title);
    const size_t dot = fileName.rfind('.');
    record.Title.Set(
        title ? *title
              : TitleFromFileName(fileName, dot == std::string::npos ? 0 : fileName.size() - dot));
    record.Artist.Set(TagText(tags.artist).value_or(std::string(kUnknown)));
    record.Album.Set(TagText(tags.album).value_or(std::string(kUnknown)));
    record.Genre.Set(TagText(tags.genre).value_or(std::string(kUnknown)));  // cut to 63
    if (HasEarlierTwin(library, *slot)) {
        return refuse(TagRefusal::Duplicate);
    }
    return TagRefusal::None;
}

}  // namespace harmovia
