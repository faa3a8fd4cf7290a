#pragma once

// Audio files made at test time with the `ffmpeg` command. Nothing here is committed: each
// test writes what it needs into its own TempFolder. Every file is made with
// `-fflags +bitexact`, so the same description always gives the same bytes.
//
// Failures throw std::runtime_error carrying the command line and ffmpeg's own message;
// GoogleTest reports that as a failure of the running test, which then stops.

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace harmovia::testing {

enum class TestSignal {
    Sine,        // `frequency` on every channel
    Silence,     // digital zero
    WhiteNoise,  // fixed seed, so the same on every run
};

enum class TestEncoding {
    Mp3Cbr,   // libmp3lame at `kbps`
    Mp3Vbr,   // libmp3lame at quality `vbrQuality` (0 best .. 9)
    AacM4a,   // FFmpeg's AAC encoder at `kbps`, noise substitution off, in an .m4a file
    CafPcm,   // 16-bit big-endian PCM in a Core Audio Format file
    Flac,     // FLAC in a .flac file
    Vorbis,   // libvorbis at `kbps` (average), in Ogg
    Opus,     // libopus at `kbps`, in Ogg, always at 48 kHz
    WavPcm,   // 16-bit little-endian PCM in WAVE, tags as a RIFF INFO list
    AiffPcm,  // 16-bit big-endian PCM in AIFF, tags in an ID3 chunk
};

struct TestAudio {
    TestSignal signal = TestSignal::Sine;
    double frequency = 440.0;  // Hz
    double amplitude = 0.5;    // of full scale, for sine and noise
    double seconds = 3.0;
    int sampleRate = 44100;
    int channels = 2;  // 1, 2 or 6 (5.1)
    TestEncoding encoding = TestEncoding::Mp3Cbr;
    int kbps = 128;      // Mp3Cbr, AacM4a, Vorbis and Opus
    int vbrQuality = 4;  // Mp3Vbr
    // A lavfi source graph that replaces `signal` (e.g. "sine=f=220,volume=0.3"); it must
    // produce exactly one audio stream. `seconds`, rate and channels still apply.
    std::string customSource = {};
    // Tags written with -metadata, e.g. {"title", "Tune"}, {"artist", "Band"}.
    std::vector<std::pair<std::string, std::string>> tags = {};
    int id3v2Version = 4;      // MP3 only: 3 or 4
    bool mp3InfoFrame = true;  // MP3 only: the Xing/Info frame that carries the length
    bool moovFirst = false;    // M4A only: -movflags +faststart
};

// Writes `file` (overwriting it) as `audio` describes and returns its path. The fields
// have defaults, so designated initializers may name only those that differ.
std::filesystem::path MakeTestAudio(const std::filesystem::path& file, const TestAudio& audio);

// Runs `ffmpeg` with these arguments (after -nostdin -hide_banner -loglevel error -y),
// for files the description above cannot make. Throws when ffmpeg fails.
void RunFfmpeg(const std::vector<std::string>& arguments);

// Decodes the file's first audio stream from start to end with the ffmpeg command into
// interleaved 16-bit samples, high byte first, at the file's own rate and channel count:
// the reference a sample-exact decoder is compared with.
std::vector<uint8_t> DecodeWithFfmpeg(const std::filesystem::path& file);

}  // namespace harmovia::testing
