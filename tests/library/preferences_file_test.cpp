#include "library/preferences_file.h"

#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/app_folders.h"
#include "tests/support/temp_folder.h"

namespace harmovia {
namespace {

using testing::TempFolder;

// The text of the given numbers, each line ending in a carriage return.
std::string Lines(std::initializer_list<const char*> numbers) {
    std::string text;
    for (const char* n : numbers) {
        text += std::string(n) + '\r';
    }
    return text;
}

TEST(PreferencesFile, WritesByteExchangedNumbersAndReadsThemBack) {
    const Preferences defaults = DefaultPreferences(1200, 900);
    EXPECT_EQ(defaults.WindowWidth, 1000);
    EXPECT_EQ(defaults.WindowHeight, 700);
    Preferences p = defaults;
    p.PanelOn = 1;
    EXPECT_EQ(EncodePreferences(p),
              Lines({"-17406", "-6141", " 0",   " 0",   " 4353", " 256", " 0",
                     " 0",     " 256",  " 256", " 0",   " 256",  " 256", " 256",
                     " 256",   " 256",  " 256", " 256", " 256",  " 256"}));

    TempFolder folder;
    DiskFileSystem files;
    Preferences loaded = defaults;
    EXPECT_EQ(LoadPreferences(loaded, files, folder.path()), kNoErr);
    EXPECT_EQ(loaded, defaults) << "no file keeps the defaults";
    // Each value its own, extremes included, in file order.
    p = Preferences{-1, 32767, -32768, 255, 0, 65535, 12, -300, 28, 9, 0x8000};
    ASSERT_EQ(SavePreferences(p, files, folder.path()), kNoErr);
    ASSERT_EQ(LoadPreferences(loaded, files, folder.path()), kNoErr);
    EXPECT_EQ(loaded, p);

    // The mood playlists' switch is bit 0 of line 11; the line's other bits are carried.
    SetKeepsMoodPlaylists(p, true);
    EXPECT_EQ(p.SparePreference, 0x8001);
    const std::string text = EncodePreferences(p);
    EXPECT_NE(text.find("\r 2304\r 384\r"), std::string::npos) << text;  // mood 9, then it
    EXPECT_TRUE(KeepsMoodPlaylists(DecodePreferences(text)));
    SetKeepsMoodPlaylists(p, false);
    EXPECT_EQ(p.SparePreference, 0x8000);
}

TEST(PreferencesFile, Reading) {
    const std::string full =
        Lines({"-17406", "-6141", " 0",   " 0",   " 4353", " 256", " 0",   " 0",   " 256", " 512",
               " 0",     " 256",  " 256", " 256", " 256",  " 256", " 256", " 256", " 256", " 0"});
    // What the text means, the text, and the height, volume, PanelOn and mood read from it.
    const std::tuple<const char*, std::string, int16_t, int16_t, uint16_t, uint16_t> cases[] = {
        {"the last PanelOn line decides", full, 700, 273, 0, 2},
        {"short file: missing lines read 0", Lines({"-17406", "-6141", " 0", " 0", " 4353"}), 700,
         273, 0, 0},
        {"CR LF is two line ends", "-17406\r\n 0\r\n 4353\r\n", 700, 273, 0, 0},
        {"LF only, none after the last line", "-17406\n-6141\n 0\n 0\n1", 700, 256, 0, 0},
        {"not a number reads 0", Lines({"abc", "-6141", " 0", " 0", "43x53"}), 0, 0, 0, 0},
        {"empty file", "", 0, 0, 0, 0},
    };
    for (const auto& [name, text, height, volume, panelOn, mood] : cases) {
        const Preferences p = DecodePreferences(text);
        EXPECT_EQ(std::tuple(p.WindowHeight, p.Volume, p.PanelOn, p.SelectedMood),
                  std::tuple(height, volume, panelOn, mood))
            << name;
    }
}

}  // namespace
}  // namespace harmovia
