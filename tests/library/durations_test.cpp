#include "library/durations.h"

#include <gtest/gtest.h>

namespace harmovia {
namespace {

TEST(Durations, ClockText) {
    const struct {
        int32_t seconds;
        const char* text;
    } cases[] = {{0, "0:00"},         {7, "0:07"},        {9, "0:09"},       {10, "0:10"},
                 {45, "0:45"},        {60, "1:00"},       {187, "3:07"},     {754, "12:34"},
                 {3600, "1:00:00"},   {3601, "1:00:01"},  {3660, "1:01:00"}, {3907, "1:05:07"},
                 {86399, "23:59:59"}, {86400, "1:0:0:0"}, {90061, "1:1:1:1"}};
    for (const auto& c : cases) {
        EXPECT_EQ(DurationText(c.seconds), c.text) << c.seconds;
    }
}

TEST(Durations, Words) {
    const struct {
        int32_t seconds;
        const char* text;
    } cases[] = {{0, " 0 secs "},
                 {45, " 45 secs "},
                 {60, " 1 min  0 secs "},
                 {65, " 1 min  5 secs "},
                 {120, " 2 mins  0 secs "},
                 {3600, " 1 hr  0 mins  0 secs "},
                 {3907, " 1 hr  5 mins  7 secs "},
                 {7507, " 2 hrs 5 mins  7 secs "},
                 {90061, " 1 day  1 hr  1 mins  1 secs "},
                 {172800, " 2 days  0 hrs  0 mins  0 secs "}};
    for (const auto& c : cases) {
        EXPECT_EQ(DurationWords(c.seconds), c.text) << c.seconds;
    }
}

TEST(Durations, Sizes) {
    const struct {
        uint32_t megabytes;
        const char* text;
    } cases[] = {
        {0, " 0 MB"}, {1024, " 1024 MB"}, {1025, " 1 GB"}, {2047, " 1 GB"}, {2048, " 2 GB"}};
    for (const auto& c : cases) {
        EXPECT_EQ(SizeText(c.megabytes), c.text) << c.megabytes;
    }
}

}  // namespace
}  // namespace harmovia
