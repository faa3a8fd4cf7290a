#include "import/folder_walk.h"

#include <cstring>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

#include <sys/stat.h>
#include <unistd.h>

namespace harmovia {
namespace {

namespace fs = std::filesystem;

TEST(FolderWalk, MusicFileNames) {
    using enum MusicFileKind;
    const struct {
        const char* name;
        MusicFileKind kind;
    } cases[] = {
        {"song.Mp3", Mp3},   {"a.M4A", M4a},   {"loop.caf", Caf},    {"._Song.mp3", None},
        {"mp3", None},       {".mp3", Mp3},    {"x.mp3 ", None},     {"a.FLAC", Flac},
        {"a.ogg", Ogg},      {"a.Oga", Ogg},   {"a.opus", Ogg},      {"a.wav", Wav},
        {"a.aif", Aiff},     {"a.AIFF", Aiff}, {"a.flac.txt", None}, {"song.aac", Unread},
        {"a.WMA", Unread},   {"a.wv", Unread}, {"._a.wma", None},    {"cover.jpg", None},
        {"list.m3u8", None}, {"wma", None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MusicFileKindForName(c.name), c.kind) << c.name;
    }
}

void Touch(const fs::path& file) {
    std::ofstream(file) << "x";
}

// Relative paths of every entry, in walk order; folders end in "/".
std::vector<std::string> Walk(const fs::path& root) {
    std::vector<std::string> seen;
    FolderWalk walk(root);
    while (auto entry = walk.Next()) {
        seen.push_back(entry->path.lexically_relative(root).string() +
                       (entry->isFolder ? "/" : "") +
                       (entry->error != 0 ? " " + std::string(std::strerror(entry->error)) : ""));
    }
    return seen;
}

TEST(FolderWalk, DepthFirstInByteOrder) {
    testing::TempFolder root;
    fs::create_directories(root / "b" / "inner");
    // The last name is not UTF-8 and holds a newline.
    const std::string odd = "\xE9t\xE9\n'q'.mp3";
    for (const char* name : {"B.mp3", "a.mp3", "b/z.mp3", "b/inner/deep.m4a", "c.mp3"}) {
        Touch(root / name);
    }
    Touch(root / odd);
    const std::vector<std::string> expected = {
        "B.mp3", "a.mp3", "b/", "b/inner/", "b/inner/deep.m4a", "b/z.mp3", "c.mp3", odd};
    EXPECT_EQ(Walk(root.path()), expected);
}

TEST(FolderWalk, LinksAndUnwalkableEntries) {
    testing::TempFolder root;
    fs::create_directories(root / "music" / "album");
    Touch(root / "music" / "album" / "t.mp3");
    fs::create_directory_symlink(root / "music", root / "music" / "album" / "loop");
    fs::create_directory_symlink(root / "music" / "album", root / "music" / "same");
    fs::create_symlink(root / "nowhere.mp3", root / "music" / "dangling.mp3");
    ::mkfifo((root / "music" / "fifo.mp3").c_str(), 0644);
    const std::vector<std::string> expected = {"album/", "album/loop/", "album/t.mp3", "same/"};
    EXPECT_EQ(Walk(root / "music"), expected)
        << "each folder is entered once; dangling links and pipes are skipped";
    EXPECT_EQ(Walk(root / "missing"), std::vector<std::string>{"./ No such file or directory"});

    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every folder, so none can be closed to this test";
    }
    fs::create_directory(root / "closed");
    Touch(root / "closed" / "hidden.mp3");
    fs::permissions(root / "closed", fs::perms::none);
    const std::vector<std::string> walked = Walk(root.path());
    EXPECT_EQ(walked.size(), 6u) << "closed/ is listed but counts as empty";
    EXPECT_EQ(walked.front(), "closed/ Permission denied");
    EXPECT_EQ(Walk(root / "closed"), std::vector<std::string>{"./ Permission denied"});
    fs::permissions(root / "closed", fs::perms::owner_all);
}

}  // namespace
}  // namespace harmovia
