#include <fstream>
#include <map>

#include <gtest/gtest.h>

#include "platform/app_folders.h"
#include "tests/support/temp_folder.h"

namespace harmovia {
namespace {

namespace fs = std::filesystem;

EnvironmentLookup Environment(std::map<std::string, std::string> values) {
    return [values](const char* name) -> std::optional<std::string> {
        const auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional(it->second);
    };
}

TEST(AppFolders, DataAndMusicFolders) {
    testing::TempFolder home;
    const auto h = home.path().string();
    EXPECT_EQ(AppDataFolder(Environment({{"HOME", h}})), home / ".local/share/Harmovia");
    EXPECT_EQ(AppDataFolder(Environment({{"HOME", h}, {"XDG_DATA_HOME", "/data"}})),
              fs::path("/data/Harmovia"));
    EXPECT_EQ(AppDataFolder(Environment({{"HOME", h}, {"XDG_DATA_HOME", "relative"}})),
              home / ".local/share/Harmovia")
        << "a relative XDG_DATA_HOME is ignored";

    EXPECT_EQ(MusicFolder(Environment({{"HOME", h}})), home / "Music");
    fs::create_directories(home / ".config");
    std::ofstream(home / ".config" / "user-dirs.dirs")
        << "# comment\nXDG_MUSIC_DIR=\"$HOME/Musik\"\n";
    EXPECT_EQ(MusicFolder(Environment({{"HOME", h}})), home / "Musik");
    fs::create_directories(home / "other");
    std::ofstream(home / "other" / "user-dirs.dirs") << "XDG_MUSIC_DIR=\"/srv/music\"\n";
    EXPECT_EQ(
        MusicFolder(Environment({{"HOME", h}, {"XDG_CONFIG_HOME", (home / "other").string()}})),
        fs::path("/srv/music"));
    fs::create_directories(home / "Music/iTunes/iTunes Media/Music");
    EXPECT_EQ(MusicFolder(Environment({{"HOME", h}})), home / "Music/iTunes/iTunes Media/Music");
}

}  // namespace
}  // namespace harmovia
