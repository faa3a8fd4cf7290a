#include "export/apple_script.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "export/hfs_path.h"
#include "tests/support/temp_folder.h"

namespace harmovia {
namespace {

TEST(AppleScript, TrackScriptWholeBuffer) {
    // A path longer than a classic line (255) is not cut.
    const std::string path = "\"Macintosh HD:Users:" + std::string(300, 'p') + ".mp3\"";
    ScriptBuffer buffer;
    WriteTrackScript(buffer, "\"Mood Mix\"", path);
    EXPECT_EQ(buffer.Text,
              "tell application \"iTunes\"\r"
              "try\r"
              "with timeout of 300 seconds\r"
              "set myTrack to (add " +
                  path +
                  ")\r"
                  "set dbid to myTrack's database ID\r"
                  "if not (exists playlist \"Mood Mix\") then make new user playlist with "
                  "properties {name:\"Mood Mix\"}\r"
                  "if not (exists (some track of playlist \"Mood Mix\" whose database ID is "
                  "dbid)) then\r"
                  "duplicate myTrack to playlist  \"Mood Mix\"\r"
                  "end if\r"
                  "end timeout\r"
                  "end try\r"
                  "end tell\r");
}

// A name or path becomes one literal whatever it holds: a quote in it cannot end the
// literal and run the rest as script.
TEST(AppleScript, LiteralsHoldTheWholeTextAndNothingElse) {
    const struct {
        std::string text, literal;
    } cases[] = {
        {"Plain", "\"Plain\""},
        {"", "\"\""},
        {"Say \"hi\"", "\"Say \\\"hi\\\"\""},
        {"back\\slash\\", "\"back\\\\slash\\\\\""},
        {"two\rlines\n", "\"two\\rlines\\n\""},
        {"\\\"", "\"\\\\\\\"\""},
        {"x\" & do shell script \"touch /tmp/owned\" & \".mp3",
         "\"x\\\" & do shell script \\\"touch /tmp/owned\\\" & \\\".mp3\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AppleScriptString(c.text), c.literal) << c.text;
    }
}

TEST(HfsPath, NativePathsOnTheirVolumes) {
    const struct {
        const char *native, *hfs;
    } cases[] = {
        {"/Users/me/Music/a.mp3", "Boot:Users:me:Music:a.mp3"},
        {"/Volumes/Ext Disk/Tunes/b.m4a", "Ext Disk:Tunes:b.m4a"},
        {"/Users/me/10:30 Mix.mp3", "Boot:Users:me:10/30 Mix.mp3"},
        {"//Users///me/./c.mp3", "Boot:Users:me:c.mp3"},
        {"/", "Boot:"},
        {"/Volumes/Ext", "Ext:"},
        {"/Volumes", "Boot:Volumes"},
        {"/Users/me/caf\xC3\xA9.mp3", "Boot:Users:me:caf\xC3\xA9.mp3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HfsPath(c.native, "Boot"), c.hfs) << c.native;
    }

    testing::TempFolder volumes;
    std::filesystem::create_directory(volumes / "Ext");
    std::filesystem::create_directory_symlink("/tmp", volumes / "Elsewhere");
    EXPECT_EQ(StartupVolumeName(volumes.path()), std::nullopt);
    std::filesystem::create_directory_symlink("/", volumes / "Boot HD");
    EXPECT_EQ(StartupVolumeName(volumes.path()), "Boot HD");
    EXPECT_EQ(StartupVolumeName(volumes / "missing"), std::nullopt);
}

}  // namespace
}  // namespace harmovia
