#include "import/folder_walk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "library/mac_roman.h"

#include <dirent.h>
#include <sys/stat.h>

namespace harmovia {

MusicFileKind MusicFileKindForName(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (name.starts_with("._") || dot == std::string_view::npos) {
        return MusicFileKind::None;
    }
    using enum MusicFileKind;
    static constexpr std::pair<std::string_view, MusicFileKind> kRead[] = {
        {"MP3", Mp3}, {"M4A", M4a},  {"CAF", Caf}, {"FLAC", Flac}, {"OGG", Ogg},
        {"OGA", Ogg}, {"OPUS", Ogg}, {"WAV", Wav}, {"AIF", Aiff},  {"AIFF", Aiff}};
    // Audio that other players read and the add does not.
    static constexpr std::string_view kUnread[] = {
        "AAC", "AC3", "AIFC", "AMR",  "APE", "AU",   "DFF", "DSF", "DTS", "IT",
        "M4B", "M4P", "MID",  "MIDI", "MKA", "MOD",  "MP2", "MPC", "RA",  "S3M",
        "SHN", "SPX", "TAK",  "TTA",  "W64", "WEBA", "WMA", "WV",  "XM"};
    const std::string extension = UpperCasedString(name.substr(dot + 1));
    for (const auto& [read, kind] : kRead) {
        if (extension == read) {
            return kind;
        }
    }
    return std::ranges::find(kUnread, extension) != std::end(kUnread) ? Unread : None;
}

FolderWalk::FolderWalk(const std::filesystem::path& root) {
    if (const int error = Enter(root); error != 0) {
        unreadableRoot_ = WalkEntry{root, true, error};
    }
}

int FolderWalk::Enter(const std::filesystem::path& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        return errno;
    }
    if (!S_ISDIR(st.st_mode)) {
        return ENOTDIR;
    }
    if (!entered_.emplace(static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino))
             .second) {
        return 0;  // already walked: a link back up the tree, or a second link to it
    }
    Frame frame{folder, {}, 0};
    int error = 0;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
                frame.names.emplace_back(entry->d_name);
            }
        }
        ::closedir(dir);
    } else {
        error = errno;
    }
    // std::string compares bytes as unsigned values: plain byte order.
    std::sort(frame.names.begin(), frame.names.end());
    stack_.push_back(std::move(frame));
    return error;
}

std::optional<WalkEntry> FolderWalk::Next() {
    if (unreadableRoot_) {
        return std::exchange(unreadableRoot_, std::nullopt);
    }
    while (!stack_.empty()) {
        Frame& frame = stack_.back();
        if (frame.next == frame.names.size()) {
            stack_.pop_back();
            continue;
        }
        WalkEntry entry{frame.folder / frame.names[frame.next++], false};
        struct stat st {};
        if (::stat(entry.path.c_str(), &st) != 0) {
            continue;  // vanished, or a dangling link
        }
        entry.isFolder = S_ISDIR(st.st_mode);
        if (entry.isFolder) {
            entry.error = Enter(entry.path);  // invalidates `frame`
        } else if (!S_ISREG(st.st_mode)) {
            continue;  // sockets, devices, pipes: never music
        }
        return entry;
    }
    return std::nullopt;
}

}  // namespace harmovia
