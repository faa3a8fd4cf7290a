#include "export/m3u_playlist.h"

#include <optional>

#include "library/mac_roman.h"

namespace harmovia {
namespace {

// A file name holds 255 bytes; the atomic replace writes a temporary file beside the
// playlist under its name and 7 more bytes (".XXXXXX").
constexpr size_t kMaxFileNameBytes = 255 - 7;

std::string OneLineUtf8(std::string_view macRoman) {
    std::string text = MacRomanToUtf8(macRoman);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    return text;
}

std::string PathLine(std::string_view location) {
    std::string path(location);
    for (char& c : path) {
        if (c == '\n' || c == '\r' || c == '\0') {
            c = '?';
        }
    }
    return path;
}

std::string_view TrimmedBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The file name's stem, or nothing when the name cannot be one.
std::optional<std::string> FileStem(std::string_view macRomanName) {
    std::string stem = MacRomanToUtf8(TrimmedBlanks(macRomanName));
    for (char& c : stem) {
        if (c == '/' || c == '\0') {
            c = '_';
        }
    }
    size_t room = kMaxFileNameBytes - kPlaylistFileExtension.size();
    if (stem.size() > room) {
        // Back off continuation bytes so that no character is cut in half.
        while (room > 0 && (static_cast<unsigned char>(stem[room]) & 0xC0) == 0x80) {
            --room;
        }
        stem.resize(room);
    }
    if (stem.empty() || stem == "." || stem == "..") {
        return std::nullopt;
    }
    return stem;
}

std::string ExtinfLine(const TuneRecord& tune) {
    const int32_t seconds = tune.DurationSeconds >= 0 ? tune.DurationSeconds : -1;
    return "#EXTINF:" + std::to_string(seconds) + "," + OneLineUtf8(tune.Artist.view()) + " - " +
           OneLineUtf8(tune.Title.view()) + "\n";
}

// Whether `inner` lies inside `outer`, both absolute and normal, component by component.
bool IsInside(const std::filesystem::path& inner, const std::filesystem::path& outer) {
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
        if (o->empty()) {
            continue;  // the trailing separator of "/home/me/Music/"
        }
        if (i == inner.end() || *i != *o) {
            return false;
        }
    }
    return i != inner.end();
}

}  // namespace

std::string M3uEntry(const TuneRecord& tune) {
    return ExtinfLine(tune) + PathLine(tune.Location.view()) + "\n";
}

std::filesystem::path PlaylistEntryPath(const std::filesystem::path& location,
                                        const std::filesystem::path& playlistFolder,
                                        const std::filesystem::path& musicFolder) {
    const std::filesystem::path tune = location.lexically_normal();
    const std::filesystem::path music = musicFolder.lexically_normal();
    if (!tune.is_absolute() || !music.is_absolute() || !IsInside(tune, music)) {
        return location;
    }
    const std::filesystem::path relative =
        tune.lexically_relative(playlistFolder.lexically_normal());
    return relative.empty() ? location : relative;
}

std::string M3uEntry(const TuneRecord& tune, const std::filesystem::path& playlistFolder,
                     const std::filesystem::path& musicFolder) {
    const std::string location(tune.Location.view());
    return ExtinfLine(tune) +
           PathLine(PlaylistEntryPath(location, playlistFolder, musicFolder).native()) + "\n";
}

std::string PlaylistFileName(std::string_view name, std::string_view fallbackName) {
    const std::optional<std::string> stem = FileStem(name);
    const std::optional<std::string> fallback = FileStem(fallbackName);
    return (stem       ? *stem
            : fallback ? *fallback
                       : std::string("Playlist")) +
           std::string(kPlaylistFileExtension);
}

std::string PlaylistWriteProblem(OsError error) {
    switch (error) {
        case kDiskFullErr:
            return "the disk is full";
        case kWritePermErr:
        case kPermErr:
        case kAccessDeniedErr:
            return "permission denied";
        case kVolumeLockedErr:
            return "the disk is read-only";
        case kFileNotFoundErr:
            return "its folder cannot be reached";
        default:
            return "error " + std::to_string(error);
    }
}

}  // namespace harmovia
