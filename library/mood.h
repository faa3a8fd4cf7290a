#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace harmovia {

// Moods are 1..9; 0 means "none" (and "all" where a view has no mood).
inline constexpr int kMoodCount = 9;

struct MoodColour {
    uint16_t red;
    uint16_t green;
    uint16_t blue;
    bool operator==(const MoodColour&) const = default;
};

struct MoodInfo {
    std::string_view name;          // "Deep Relaxation"
    std::string_view colourWord;    // "midnight blue": "No midnight blue tunes..."
    MoodColour colour;              // 16-bit per channel
    std::string_view playlistName;  // default name of the exported playlist
    std::string_view iconFile;      // the mood button's icon
};

// Rows 1..9; row 0 is the "none" placeholder.
inline constexpr std::array<MoodInfo, kMoodCount + 1> MoodTable = {{
    {"", "", {0, 0, 0}, "", ""},
    {"Deep Relaxation",
     "midnight blue",
     {0x0000, 0x3900, 0x7C00},
     "M1 - Deep Relaxation Tunes",
     "48x48_ColorBtns-RELAX.icns"},
    {"Cool Blue Chill",
     "cool blue",
     {0x1B00, 0x9900, 0xCC00},
     "M2 - Cool Blue Chill Tunes",
     "48x48_ColorBtns-CHILL.icns"},
    {"Dinner & Drinks",
     "green",
     {0x0000, 0x9000, 0x2C00},
     "M3 - Dinner & Drinks Tunes",
     "48x48_ColorBtns-GREEN.icns"},
    {"Lite & Lively",
     "bright green",
     {0xA900, 0xB500, 0x0000},
     "M4 - Lite & Lively Tunes",
     "48x48_ColorBtns-LIME.icns"},
    {"Move & Groove",
     "yellow",
     {0xFF00, 0xAD00, 0x0000},
     "M5 - Move & Groove Tunes",
     "48x48_ColorBtns-YELLOW.icns"},
    {"Uptempo Workout",
     "orange",
     {0xFF00, 0x6B00, 0x0000},
     "M6 - Uptempo Workout Tunes",
     "48x48_ColorBtns-ORANGE.icns"},
    {"Intense Activities",
     "red",
     {0xC300, 0x2B00, 0x0300},
     "M7 - Intense Activities Tunes",
     "48x48_ColorBtns-RED.icns"},
    {"Dance, Dance, Dance",
     "pink",
     {0xF300, 0x4E00, 0x9A00},
     "M8 - Dance, Dance, Dance Tunes",
     "48x48_ColorBtns-PINK.icns"},
    {"Maximum Wild",
     "purple",
     {0x8500, 0x0700, 0xD400},
     "M9 - Maximum Wild Tunes",
     "48x48_ColorBtns-PURPLE.icns"},
}};

inline constexpr bool IsMood(int32_t mood) {
    return mood >= 1 && mood <= kMoodCount;
}

// A stored Mood as the program uses it: a damaged record's value outside 0..9 is mood 0.
inline constexpr int32_t MoodOrNone(int32_t stored) {
    return IsMood(stored) ? stored : 0;
}
inline constexpr bool IsDamagedMood(int32_t stored) {
    return stored < 0 || stored > kMoodCount;
}

}  // namespace harmovia
