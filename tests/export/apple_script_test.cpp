#include "export/apple_script.h"

#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "export/hfs_path.h"
#include "tests/support/temp_folder.h"

namespace harmovia {
namespace {

// Reads the string literal that opens at text[at] as the script compiler would; `end` is
// set behind its closing quote. Nothing when there is no closed literal there.
std::optional<std::string> ReadLiteral(std::string_view text, size_t at, size_t& end) {
    if (at >= text.size() || text[at] != '"') {
        return std::nullopt;
    }
    std::string value;
    for (size_t i = at + 1; i < text.size(); ++i) {
        if (text[i] == '"') {
            end = i + 1;
            return value;
        }
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            value += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
        } else {
            value += text[i];
        }
    }
    return std::nullopt;
}

TEST(AppleScript, TrackAndActivateScriptsWholeBuffer) {
    ScriptBuffer buffer;
    WriteTrackScript(buffer, AppleScriptString("Mood Mix"),
                     AppleScriptString("Macintosh HD:Users:me:a.mp3"));
    EXPECT_EQ(buffer.Text,
              "tell application \"iTunes\"\r"
              "try\r"
              "with timeout of 300 seconds\r"
              "set myTrack to (add \"Macintosh HD:Users:me:a.mp3\")\r"
              "set dbid to myTrack's database ID\r"
              "if not (exists playlist \"Mood Mix\") then make new user playlist with "
              "properties {name:\"Mood Mix\"}\r"
              "if not (exists (some track of playlist \"Mood Mix\" whose database ID is dbid)) "
              "then\r"
              "duplicate myTrack to playlist  \"Mood Mix\"\r"
              "end if\r"
              "end timeout\r"
              "end try\r"
              "end tell\r");

    ScriptBuffer activate;
    WriteActivateScript(activate);
    EXPECT_EQ(activate.Text, "tell application \"iTunes\"\ractivate\rend tell\r");
}

TEST(AppleScript, LiteralsHoldTheWholeTextAndNothingElse) {
    const std::string hostile = "x\" & do shell script \"touch /tmp/owned\" & \".mp3";
    const struct {
        std::string text;
        std::string literal;
    } cases[] = {
        {"Plain", "\"Plain\""},
        {"", "\"\""},
        {"Say \"hi\"", "\"Say \\\"hi\\\"\""},
        {"back\\slash\\", "\"back\\\\slash\\\\\""},
        {"two\rlines\n", "\"two\\rlines\\n\""},
        {"\\\"", "\"\\\\\\\"\""},
        {hostile, "\"x\\\" & do shell script \\\"touch /tmp/owned\\\" & \\\".mp3\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string literal = AppleScriptString(c.text);
        EXPECT_EQ(literal, c.literal);
        size_t end = 0;
        EXPECT_EQ(ReadLiteral(literal, 0, end), c.text);
        EXPECT_EQ(end, literal.size());
    }

    // In a script, the hostile name stays one literal in every line that holds it; a name
    // longer than a classic line (255) is not cut.
    const std::string longName(300, 'n');
    for (const std::string& name : {hostile, longName}) {
        ScriptBuffer buffer;
        WriteTrackScript(buffer, AppleScriptString(name), AppleScriptString("V:" + name));
        const std::string_view script = buffer.Text;
        const std::string_view addLine = "set myTrack to (add ";
        const size_t add = script.find(addLine);
        ASSERT_NE(add, std::string_view::npos);
        size_t end = 0;
        EXPECT_EQ(ReadLiteral(script, add + addLine.size(), end), "V:" + name);
        EXPECT_EQ(script.substr(end, 2), ")\r");
        const std::string_view duplicateLine = "duplicate myTrack to playlist  ";
        const size_t duplicate = script.find(duplicateLine);
        ASSERT_NE(duplicate, std::string_view::npos);
        EXPECT_EQ(ReadLiteral(script, duplicate + duplicateLine.size(), end), name);
        EXPECT_EQ(script.substr(end, 1), "\r");
    }
}

TEST(HfsPath, NativePathsOnTheirVolumes) {
    const struct {
        const char* native;
        const char* hfs;
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
