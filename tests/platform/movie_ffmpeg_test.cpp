#include "platform/movie_ffmpeg.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "tests/support/audio_suite.h"

#include <sys/stat.h>
#include <unistd.h>

namespace harmovia {
namespace {

namespace fs = std::filesystem;
using testing::MakeTestAudio;
using testing::ReadBytes;
using testing::RunFfmpeg;
using testing::TempFolder;
using testing::TestAudio;
using testing::TestEncoding;
using testing::WriteBytes;

// Music-like content: a tone and beats of noise, so MP3 frames borrow bits from each other.
constexpr const char* kBeats =
    "sine=f=220:r=44100,volume=2[a];anoisesrc=c=pink:a=0.4:r=44100:seed=7,"
    "volume='exp(-6*mod(t,0.43))':eval=frame[b];[a][b]amix=inputs=2";

// Test files, made once for the whole suite.
class MovieFfmpeg : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const auto vbr = TestEncoding::Mp3Vbr, aac = TestEncoding::AacM4a;
        folder_ = testing::MakeTestAudioFolder({
            {"cbr.mp3", {.seconds = 6, .customSource = kBeats}},
            // Small frames: the bit reservoir reaches far back.
            {"vbr.mp3", {.seconds = 6, .encoding = vbr, .vbrQuality = 9, .customSource = kBeats}},
            {"low.mp3", {.seconds = 6, .sampleRate = 48000, .kbps = 32, .customSource = kBeats}},
            // No recorded length, no priming to trim.
            {"bare.mp3", {.seconds = 4, .customSource = kBeats, .mp3InfoFrame = false}},
            {"aac.m4a", {.seconds = 6, .encoding = aac, .customSource = kBeats}},
            {"pcm.caf", {.seconds = 3, .encoding = TestEncoding::CafPcm, .customSource = kBeats}},
            {"mono.mp3", {.seconds = 3, .channels = 1, .customSource = kBeats}},
            {"six.m4a", {.seconds = 3, .channels = 6, .encoding = aac}},
            {"x.flac", {.seconds = 6, .encoding = TestEncoding::Flac, .customSource = kBeats}},
            {"x.ogg", {.seconds = 6, .encoding = TestEncoding::Vorbis, .customSource = kBeats}},
            {"x.opus", {.seconds = 6, .encoding = TestEncoding::Opus, .customSource = kBeats}},
            {"x.wav", {.seconds = 3, .encoding = TestEncoding::WavPcm, .customSource = kBeats}},
            {"x.aiff", {.seconds = 3, .encoding = TestEncoding::AiffPcm, .customSource = kBeats}},
        });
        // Cover art: a picture stream (one frame) beside the audio.
        const std::string mono = Path("mono.mp3"), cover = Path("cover.mp3");
        RunFfmpeg({"-i", mono, "-f", "lavfi", "-i", "color=red:s=16x16:d=0.04", "-map", "0", "-map",
                   "1", "-c:a", "copy", "-c:v", "png", "-disposition:v", "attached_pic", "-fflags",
                   "+bitexact", cover});
        // Cut in the middle of a frame, and with junk between frames: both need a full
        // demux instead of the frame walk.
        const std::vector<uint8_t> cbr = ReadBytes(Path("cbr.mp3"));
        WriteBytes(Path("cut.mp3"), {cbr.begin(), cbr.begin() + cbr.size() * 6 / 10 + 7});
        std::vector<uint8_t> junk = cbr;
        junk.insert(junk.begin() + junk.size() / 3, 300, 0x00);
        WriteBytes(Path("junk.mp3"), junk);
    }
    static void TearDownTestSuite() { folder_.reset(); }
    static fs::path Path(const char* name) { return *folder_ / name; }

    std::unique_ptr<Movie> Open(const fs::path& file) {
        std::unique_ptr<Movie> movie;
        EXPECT_EQ(framework_->OpenMovie(file, movie), kNoErr) << file;
        return movie;
    }

    static inline std::unique_ptr<TempFolder> folder_;
    std::unique_ptr<MovieFramework> framework_ = MakeFfmpegMovieFramework();
};

// Every window equals the same frames of ffmpeg's own decode from the start of the file,
// byte for byte; windows that run past the end are shorter.
TEST_F(MovieFfmpeg, WindowsEqualALinearDecode) {
    const struct {
        const char* file;
        int rate;
        int channels;
        // The tune's length; 0: as long as ffmpeg's decode. AAC in MPEG-4 records its length;
        // the decode runs on into the encoder's padding.
        int64_t frames;
        MovieFormat format;
    } cases[] = {{"cbr.mp3", 44100, 2, 6 * 44100, MovieFormat::Mp3},
                 {"vbr.mp3", 44100, 2, 6 * 44100, MovieFormat::Mp3},
                 {"low.mp3", 48000, 2, 6 * 48000, MovieFormat::Mp3},
                 {"bare.mp3", 44100, 2, 0, MovieFormat::Mp3},
                 {"cut.mp3", 44100, 2, 0, MovieFormat::Mp3},
                 {"aac.m4a", 44100, 2, 6 * 44100, MovieFormat::Mpeg4},
                 {"pcm.caf", 44100, 2, 3 * 44100, MovieFormat::Caf},
                 {"mono.mp3", 44100, 1, 3 * 44100, MovieFormat::Mp3},
                 {"cover.mp3", 44100, 1, 0, MovieFormat::Mp3},
                 {"six.m4a", 44100, 6, 3 * 44100, MovieFormat::Mpeg4},
                 {"x.flac", 44100, 2, 6 * 44100, MovieFormat::Flac},
                 {"x.ogg", 44100, 2, 6 * 44100, MovieFormat::Vorbis},
                 {"x.opus", 48000, 2, 6 * 48000, MovieFormat::Opus},
                 {"x.wav", 44100, 2, 3 * 44100, MovieFormat::Wav},
                 {"x.aiff", 44100, 2, 3 * 44100, MovieFormat::Aiff}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> reference = testing::DecodeWithFfmpeg(Path(c.file));
        const size_t frameBytes = 2 * static_cast<size_t>(c.channels);
        const int64_t length =
            c.frames > 0 ? c.frames : static_cast<int64_t>(reference.size() / frameBytes);
        ASSERT_GE(reference.size(), static_cast<size_t>(length) * frameBytes);
        const auto movie = Open(Path(c.file));
        ASSERT_TRUE(movie);
        const uint32_t d = movie->Duration();
        EXPECT_EQ(d, length * 600 / c.rate);
        EXPECT_EQ(movie->Format(), c.format);

        std::vector<uint8_t> block;
        for (const uint32_t start :
             {0u, 1u, 7u, 599u, 1201u, d / 3, d / 2 + 1, d - 900, d - 300, d - 1, d, d + 5000}) {
            SCOPED_TRACE(start);
            ASSERT_EQ(movie->ExtractSecond(start, block), kNoErr);
            const int64_t first = int64_t{start} * c.rate / 600;
            const int64_t frames = std::clamp<int64_t>(length - first, 0, c.rate);
            ASSERT_EQ(block.size(), 84 + static_cast<size_t>(frames) * frameBytes);
            EXPECT_EQ(block[24], c.channels);
            EXPECT_EQ(std::count(block.begin(), block.begin() + 84, 0), 83);
            // Opus's decoder does not quite converge after a seek: one step off at most.
            const int tolerance = c.format == MovieFormat::Opus ? 1 : 0;
            int worst = 0;
            for (size_t i = 84; i + 1 < block.size(); i += 2) {
                const size_t at = static_cast<size_t>(first) * frameBytes + i - 84;
                worst = std::max(worst, std::abs(int16_t(block[i] << 8 | block[i + 1]) -
                                                 int16_t(reference[at] << 8 | reference[at + 1])));
            }
            EXPECT_LE(worst, tolerance);
        }
    }
}

// A stream that turns from stereo to mono (two files joined) keeps the movie's two
// channels: the mono part is mixed to them, not lost.
TEST_F(MovieFfmpeg, ChannelCountChangingMidStream) {
    std::vector<uint8_t> joined = ReadBytes(Path("bare.mp3"));
    const std::vector<uint8_t> tail = ReadBytes(Path("mono.mp3"));
    joined.insert(joined.end(), tail.begin(), tail.end());
    WriteBytes(Path("joined.mp3"), joined);
    const auto movie = Open(Path("joined.mp3"));
    ASSERT_TRUE(movie);
    std::vector<uint8_t> block;
    ASSERT_EQ(movie->ExtractSecond(5 * 600, block), kNoErr);
    EXPECT_EQ(block[24], 2);
    ASSERT_EQ(block.size(), 84 + 44100 * 4u);
    EXPECT_LT(std::count(block.begin() + 84, block.end(), 0), 44100);  // the tone is there
}

// AAC whose encoder substituted noise: the decoder draws it from a running generator, yet
// the same window gives the same block whatever was extracted before.
TEST_F(MovieFfmpeg, WindowsAreDeterministic) {
    RunFfmpeg({"-f", "lavfi", "-i", "anoisesrc=c=white:a=0.3:r=44100:seed=3", "-t", "8", "-c:a",
               "aac", "-b:a", "64k", "-fflags", "+bitexact", "-f", "ipod", Path("noisy.m4a")});
    const auto movie = Open(Path("noisy.m4a")), fresh = Open(Path("noisy.m4a"));
    ASSERT_TRUE(movie && fresh);
    std::vector<uint8_t> first, block;
    ASSERT_EQ(fresh->ExtractSecond(1500, first), kNoErr);
    for (const uint32_t start : {3000u, 0u, 1400u, 1550u, 1500u}) {
        ASSERT_EQ(movie->ExtractSecond(start, block), kNoErr);
    }
    EXPECT_EQ(block, first);
}

TEST_F(MovieFfmpeg, FilesWithoutPlayableAudioDoNotOpen) {
    TempFolder scratch;
    const std::vector<uint8_t> bytes = ReadBytes(Path("cbr.mp3"));
    const std::string_view playlist =
        "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\n"
        "http://127.0.0.1:9/x.mp3\n#EXT-X-ENDLIST\n";
    WriteBytes(scratch / "playlist.mp3", {playlist.begin(), playlist.end()});
    WriteBytes(scratch / "empty.mp3", {});
    WriteBytes(scratch / "head.mp3", {bytes.begin(), bytes.begin() + 100});
    fs::create_directory(scratch / "folder.mp3");
    ASSERT_EQ(::mkfifo((scratch / "pipe.mp3").c_str(), 0600), 0);
    RunFfmpeg({"-f", "lavfi", "-i", "testsrc=d=1:s=32x32:r=5", "-c:v", "mpeg4", "-fflags",
               "+bitexact", scratch / "video.mp4"});
    WriteBytes(scratch / "locked.mp3", bytes);
    ::chmod((scratch / "locked.mp3").c_str(), 0);

    const struct {
        const char* name;
        OsError expected;  // 0: any non-zero code
    } cases[] = {{"missing.mp3", kFileNotFoundErr},
                 {"folder.mp3", kNotAFileErr},
                 {"pipe.mp3", kNotAFileErr},
                 {"empty.mp3", 0},
                 {"head.mp3", 0},
                 {"playlist.mp3", 0},
                 {"video.mp4", 0},
                 {"locked.mp3", kAccessDeniedErr}};
    // FFmpeg stays silent on all of them, and on damaged frames it decodes.
    ASSERT_EQ(framework_->EnterMovies(), kNoErr);
    ::testing::internal::CaptureStderr();  // where FFmpeg logs
    for (const auto& c : cases) {
        if (c.expected == kAccessDeniedErr && ::geteuid() == 0) {
            continue;  // root reads anything
        }
        SCOPED_TRACE(c.name);
        std::unique_ptr<Movie> movie;
        const OsError result = framework_->OpenMovie(scratch / c.name, movie);
        EXPECT_NE(result, kNoErr);
        if (c.expected != 0) {
            EXPECT_EQ(result, c.expected);
        }
        EXPECT_FALSE(movie);
    }
    // Junk between frames is skipped and the frames after it keep their times (ffmpeg's own
    // decode closes the gap, so the clean file is the reference here).
    const auto clean = Open(Path("cbr.mp3")), junk = Open(Path("junk.mp3"));
    const auto cut = Open(Path("cut.mp3"));
    ASSERT_TRUE(clean && junk && cut);
    EXPECT_EQ(junk->Duration(), clean->Duration());
    std::vector<uint8_t> block, expected;
    for (const uint32_t start : {0u, 300u, 2400u, 2900u}) {
        ASSERT_EQ(cut->ExtractSecond(start, block), kNoErr);
        ASSERT_EQ(junk->ExtractSecond(start, block), kNoErr);
        ASSERT_EQ(clean->ExtractSecond(start, expected), kNoErr);
        EXPECT_EQ(block, expected) << start;
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

// An MPEG-4 file cut short keeps its recorded length: windows within what is left decode,
// a window beyond it fails instead of coming back silent.
TEST_F(MovieFfmpeg, CutMpeg4FailsBeyondTheCut) {
    TempFolder scratch;
    const TestAudio audio{
        .seconds = 6, .encoding = TestEncoding::AacM4a, .customSource = kBeats, .moovFirst = true};
    const std::vector<uint8_t> whole = ReadBytes(MakeTestAudio(scratch / "whole.m4a", audio));
    WriteBytes(scratch / "cut.m4a", {whole.begin(), whole.begin() + whole.size() / 2});
    const auto movie = Open(scratch / "cut.m4a");
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->Duration(), 3600u);
    std::vector<uint8_t> block, expected;
    EXPECT_EQ(movie->ExtractSecond(300, block), kNoErr);
    EXPECT_EQ(Open(scratch / "whole.m4a")->ExtractSecond(300, expected), kNoErr);
    EXPECT_EQ(block, expected);
    EXPECT_NE(movie->ExtractSecond(2700, block), kNoErr);
}

}  // namespace
}  // namespace harmovia
