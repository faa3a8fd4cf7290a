#include "platform/mpeg_audio_frames.h"

#include <utility>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace harmovia {
namespace {

using testing::TempFolder;
using testing::WriteBytes;

// Frame sizes and sample counts from the published tables: every version and layer, bit-rate
// indexes from the first to the last, and every sample rate of each version.
TEST(MpegAudioFrames, HeaderTables) {
    const struct {
        uint32_t version, layer, index, rate;  // the header's fields; version 3: MPEG-1
        int bytes, samples;
    } cases[] = {
        {3, 1, 9, 0, 312, 384},    {3, 1, 14, 0, 484, 384}, {3, 2, 9, 1, 480, 1152},
        {3, 2, 14, 2, 1728, 1152}, {3, 3, 9, 0, 417, 1152}, {3, 3, 14, 1, 960, 1152},
        {2, 1, 9, 0, 312, 384},    {2, 1, 14, 1, 512, 384}, {2, 2, 9, 2, 720, 1152},
        {2, 3, 14, 0, 522, 576},   {0, 3, 1, 1, 48, 576},   {0, 3, 8, 2, 576, 576},
        {0, 3, 14, 0, 1044, 576},
    };
    for (const auto& c : cases) {
        const uint32_t word =
            0xFFE00000 | c.version << 19 | (4 - c.layer) << 17 | c.index << 12 | c.rate << 10;
        const auto header = ParseMpegFrameHeader(word);
        ASSERT_TRUE(header) << std::hex << word;
        EXPECT_EQ(std::pair(header->bytes, header->samplesPerFrame), std::pair(c.bytes, c.samples))
            << std::hex << word;
        // Padding adds one slot: four bytes in layer I.
        EXPECT_EQ(ParseMpegFrameHeader(word | 1u << 9)->bytes, c.bytes + (c.layer == 1 ? 4 : 1))
            << std::hex << word;
    }

    const uint32_t refused[] = {
        0xFFFB0064,  // free format: no size in the header
        0xFFFBF064,  // bit rate index 15
        0xFFFB9C64,  // reserved sample rate
        0xFFEB9064,  // reserved version
        0xFFF99064,  // reserved layer
        0xFF7B9064,  // no sync
        0x54414778,  // "TAGx"
    };
    for (const uint32_t word : refused) {
        EXPECT_FALSE(ParseMpegFrameHeader(word)) << std::hex << word;
    }
    EXPECT_NE(ParseMpegFrameHeader(0xFFFB9064)->streamBits,
              ParseMpegFrameHeader(0xFFFB9464)->streamBits);  // 44.1 vs 48 kHz
    EXPECT_EQ(ParseMpegFrameHeader(0xFFFB9064)->streamBits,
              ParseMpegFrameHeader(0xFFFBE264)->streamBits);  // bit rate and padding differ
}

// Frames of 417 or 418 bytes (128 kbit/s, one in three padded), each a header and zeros.
std::vector<uint8_t> Frames(int count, size_t offset = 0) {
    std::vector<uint8_t> bytes(offset, 0x55);
    for (int i = 0; i < count; ++i) {
        const bool padded = i % 3 == 1;
        bytes.insert(bytes.end(), {0xFF, 0xFB, static_cast<uint8_t>(padded ? 0x92 : 0x90), 0x64});
        bytes.resize(bytes.size() + (padded ? 414 : 413), 0);
    }
    return bytes;
}

TEST(MpegAudioFrames, WalkAcceptsOnlyBackToBackFramesAndThinsLongStreams) {
    TempFolder folder;
    std::vector<uint8_t> tagged = Frames(20, 100);
    tagged.insert(tagged.end(), {'T', 'A', 'G'});
    tagged.resize(tagged.size() + 125, 0xFF);  // bytes that look like headers
    std::vector<uint8_t> junk = Frames(20);
    junk.insert(junk.begin() + 417 * 5, 7, 0x00);
    std::vector<uint8_t> cut = Frames(20);
    cut.resize(cut.size() - 10);
    std::vector<uint8_t> otherRate = Frames(20);
    otherRate[417 * 2 + 418 + 2] = 0x94;  // frame 3 at 48 kHz
    std::vector<uint8_t> trailing = Frames(20);
    trailing.insert(trailing.end(), {'A', 'P', 'E', 'T', 'A', 'G', 'E', 'X'});

    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        int64_t first;
        int64_t frames;  // -1: the walk must refuse
        int64_t step;    // every step-th frame's position is kept
    } cases[] = {
        {"plain", Frames(20), 0, 20, 1},
        {"after a tag, with ID3v1", tagged, 100, 20, 1},
        // Halved at 200, 400 and 800 kept positions.
        {"1000 frames, 100 positions at most", Frames(1000), 0, 1000, 8},
        {"junk between frames", junk, 0, -1, 0},
        {"last frame cut", cut, 0, -1, 0},
        {"sample rate changes", otherRate, 0, -1, 0},
        {"other trailing tag", trailing, 0, -1, 0},
        {"start not on a frame", Frames(20), 1, -1, 0},
        {"start past the end", Frames(2), 5000, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(folder / "f.mp3", c.bytes);
        const auto walked = WalkMpegAudioFrames(folder / "f.mp3", c.first, 100);
        EXPECT_EQ(walked ? walked->frameCount : -1, c.frames);
        if (walked) {
            EXPECT_EQ(walked->samplesPerFrame, 1152);
            EXPECT_EQ(walked->step, c.step);
            ASSERT_EQ(static_cast<int64_t>(walked->positions.size()), c.frames / c.step);
            for (size_t k = 0; k < walked->positions.size(); ++k) {
                const int64_t frame = static_cast<int64_t>(k) * c.step;
                ASSERT_EQ(walked->positions[k], c.first + 417 * frame + (frame + 1) / 3) << k;
            }
        }
    }
    EXPECT_FALSE(WalkMpegAudioFrames(folder / "missing.mp3", 0, 100));
}

}  // namespace
}  // namespace harmovia
