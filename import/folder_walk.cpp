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
    if (name.starts_with("._") || name.size() < 4) {
        return MusicFileKind::None;
    }
    const std::string extension = UpperCasedString(name.substr(name.size() - 4));
    if (extension == ".MP3") {
        return MusicFileKind::Mp3;
    }
    if (extension == ".M4A") {
        return MusicFileKind::M4a;
    }
    if (extension == ".CAF") {
        return MusicFileKind::Caf;
    }
    return MusicFileKind::None;
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
