#pragma once

// The add pipeline's walk over a folder tree: depth-first, the entries of each folder in
// ascending byte order of their names (the order the original catalogue kept), a folder's
// contents right after the folder itself. Symbolic links are followed, but a folder is
// entered only once (by device and inode), so link loops end. A folder that cannot be read
// counts as empty and its entry says why (the root too: it is then the walk's one entry);
// entries that vanish mid-walk are skipped.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace harmovia {

// What a file is by its name. Ogg covers .ogg, .oga and .opus (the decoder tells Vorbis,
// Opus and FLAC apart), Aiff .aif and .aiff. Unread is audio of a kind the add does not
// read (.wma, .ape, .wv, .mka, .dsf, ...): it is counted, not opened.
enum class MusicFileKind { None, Mp3, M4a, Caf, Flac, Ogg, Wav, Aiff, Unread };

// The kind by the name's extension (the letters after its last ".", in any letter case);
// names starting with "._" (resource forks) and every other extension are None: pictures,
// playlists, texts.
MusicFileKind MusicFileKindForName(std::string_view name);

// Whether the add reads files of the kind.
inline bool IsReadKind(MusicFileKind kind) {
    return kind != MusicFileKind::None && kind != MusicFileKind::Unread;
}

// Whether the kind's tags are the container's own, which the decoder reads in the open that
// measures the tune (FLAC, Ogg, WAV, AIFF), rather than ours to read before it.
inline bool TagsComeWithSound(MusicFileKind kind) {
    using enum MusicFileKind;
    return kind == Flac || kind == Ogg || kind == Wav || kind == Aiff;
}

struct WalkEntry {
    std::filesystem::path path;
    bool isFolder = false;
    int error = 0;  // a folder whose entries could not be listed: the errno
};

// WalkFolder, as an iterator the add task advances one entry per event-loop step.
class FolderWalk {
  public:
    explicit FolderWalk(const std::filesystem::path& root);

    // The next entry in walk order; nothing when the walk is over.
    std::optional<WalkEntry> Next();

  private:
    struct Frame {
        std::filesystem::path folder;
        std::vector<std::string> names;  // sorted
        size_t next = 0;
    };
    // Pushes the folder's listing unless it was entered before. Returns the errno of a
    // failure to list it, else 0.
    int Enter(const std::filesystem::path& folder);

    std::optional<WalkEntry> unreadableRoot_;
    std::vector<Frame> stack_;
    std::set<std::pair<uint64_t, uint64_t>> entered_;  // (device, inode)
};

}  // namespace harmovia
